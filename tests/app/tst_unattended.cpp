// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// The unattended gather as a real process under faults: every box that would wait for a user,
// a full disk, a read-only or damaged catalogue, stops and resumes. Each run has a time limit.
#include "childlimits.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <sys/stat.h>

namespace {

RunResult gather(const QString &home, const std::function<void()> &inChild = {},
                 const QString &list = "Pics")
{
    return runProgram(VEXA_BINARY, {list, "/GATHER"}, programEnvironment(home), inChild, 60000);
}

QString query(const QString &db, const QString &sql) { return queryRows(db, sql).value(0); }

// A run that ended by itself with 1 after printing text.
bool failedWith(const RunResult &r, const QString &text)
{
    return r.finished && r.code == 1 && r.err.contains(text);
}

// A program directory with the list "Pics" over `entries` folders of `perEntry` pictures each,
// gathering every type of picture it holds. Noisy pictures decode slowly enough for a test to
// stop the run where it wants.
struct Gather
{
    QTemporaryDir home, pics;
    QStringList entries;

    explicit Gather(int entryCount = 1, int perEntry = 3, int side = 64, bool noisy = false)
    {
        QRandomGenerator rng(7);
        for (int d = 0; d < entryCount; ++d) {
            const QString sub = pics.filePath(QString("d%1").arg(d));
            QDir().mkpath(sub);
            for (int i = 0; i < perEntry; ++i) {
                QImage img(side + i, side * 3 / 4, QImage::Format_RGB32);
                img.fill(QColor(d * 40 % 256, i * 30 % 256, 120));
                for (int y = 0; noisy && y < img.height(); ++y)
                    rng.fillRange(reinterpret_cast<quint32 *>(img.scanLine(y)), img.width());
                img.save(sub + QString("/p%1.png").arg(i));
            }
            entries << "[] " + sub + "/";
        }
        makeHome(home.path());
    }
    void makeHome(const QString &where) const
    {
        writeFile(where + "/VEXA.INI", "LIST NAME = Pics\r\n.PNG\r\n");
        writeFile(where + "/data/Pics.lst", listText(entries));
    }
    QString file(const QString &name) const { return home.filePath(name); }
    void settings(const QByteArray &content) const { writeFile(file("VEXA.INI"), content); }
    void list(const QStringList &lines, const char *eol = "\r\n") const
    {
        writeFile(file("data/Pics.lst"), listText(lines, eol));
    }
    static QByteArray listText(const QStringList &lines, const char *eol = "\r\n")
    {
        const QString e = QString::fromLatin1(eol);
        return ("[DIRECTORIES]" + e + lines.join(e) + e + " = INCOMING FILE DIRECTORY" + e + " " +
                e)
            .toUtf8();
    }
    QString catalogue() const { return file("data/Pics.mdb"); }
};

// The entry the pre-scan's marker file says it had reached; 0 without one.
int savedIndex(const QString &marker)
{
    return readFile(marker).split('\n').value(0).trimmed().toInt();
}

// The file number of a file, -1 when there is none: a file written anew and swapped in has a
// new one.
qint64 fileNumber(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? qint64(st.st_ino) : -1;
}

} // namespace

// Each box that used to wait for somebody now prints its text on standard error and the run
// ends by itself: with 0 only when the gather completed.
TEST(Unattended, EveryBoxGoesToStandardErrorAndTheRunEnds)
{
    const struct
    {
        const char *name;
        std::function<void(Gather &)> setup;
        const char *text;
        int code;
        QString list = "Pics";
        bool obeyPermissions = false;
    } cases[] = {
        {"empty settings", [](Gather &g) { g.settings(""); },
         "You have not selected any file types...", 1},
        {"settings file is a folder",
         [](Gather &g) {
             QFile::remove(g.file("VEXA.INI"));
             QDir().mkpath(g.file("VEXA.INI"));
         },
         "Unable to read INI file", 1},
        {"missing removable directory",
         [](Gather &g) {
             g.list({g.entries[0], "[STICK] /media/vexa-absent-stick/photos/"});
         },
         "Vexa! - Cannot find DIRECTORY...: [STICK] /media/vexa-absent-stick/photos/", 0},
        {"list that cannot be read", [](Gather &) {}, "Unable to read DIR LIST file", 1,
         "NoSuchList"},
        {"program folder not writable",
         [](Gather &g) { ::chmod(QFile::encodeName(g.home.path()).constData(), 0555); },
         "cannot write to its folder", 1, "Pics", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Gather g;
        c.setup(g);
        const bool obey = c.obeyPermissions;
        const RunResult r = gather(g.home.path(), [obey] {
            if (obey)
                ChildLimits::obeyFilePermissions();
        }, c.list);
        ::chmod(QFile::encodeName(g.home.path()).constData(), 0700);
        ASSERT_TRUE(r.finished) << "the run waited for somebody";
        EXPECT_EQ(r.code, c.code) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("vexa: ") && r.err.contains(c.text)) << r.err.toStdString();
        if (c.code == 0)
            EXPECT_TRUE(r.out.startsWith("Vexa! gather of list Pics: ")) << r.out.toStdString();
        EXPECT_FALSE(QFileInfo::exists(g.file("vexa.lock")));
    }
}

TEST(Unattended, AnotherInstanceIsToldFromALockThatCannotBeMade)
{
    Gather g;
    QProcess first;
    first.setProcessEnvironment(programEnvironment(g.home.path()));
    first.start(VEXA_BINARY, {});
    ASSERT_TRUE(first.waitForStarted());
    for (int i = 0; i < 500 && !QFileInfo::exists(g.file("vexa.lock")); ++i)
        QThread::msleep(20);
    ASSERT_TRUE(QFileInfo::exists(g.file("vexa.lock")));
    const RunResult r = gather(g.home.path());
    EXPECT_TRUE(failedWith(r, "Another instance of Vexa! is already running..."))
        << r.err.toStdString();
    // The first instance is stopped as Quit would stop it.
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(30000));
    EXPECT_EQ(first.exitCode(), 143);
    EXPECT_FALSE(QFileInfo::exists(g.file("vexa.lock")));
}

// On a nearly full volume the warning is printed and the gather still completes.
TEST(Unattended, LowDiskSpaceWarnsAndGoesOn)
{
    Gather g;
    QTemporaryDir volume;
    const RunResult r = runProgram(
        ONSMALLVOLUME_BINARY,
        {QString::number(19 << 20), volume.path(), g.home.path(), VEXA_BINARY, "Pics", "/GATHER"},
        programEnvironment(volume.path()), {}, 60000);
    if (r.code == 77)
        GTEST_SKIP() << "no private volume can be mounted here: " << r.err.toStdString();
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(
        "Vexa! - Low Disk Space Warning: You have less than 20 meg free on drive " + volume.path()))
        << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("3 rows written")) << r.out.toStdString();
}

// A full disk (a file size limit here) never empties the settings or cuts a list: the old
// files stay byte for byte, the usual message says what failed, the run ends non-zero.
TEST(Unattended, AFullDiskLeavesSettingsAndListsAsTheyWere)
{
    const QByteArray oldSettings = "LIST NAME = Pics\r\n.PNG\r\nAUTOSAVE DIR LIST\r\n";
    {
        Gather g;
        g.settings(oldSettings);
        const RunResult r = gather(g.home.path(), [] { ChildLimits::limitFileSize(200); });
        EXPECT_TRUE(failedWith(r, "Unable to create INI file")) << r.err.toStdString();
        EXPECT_EQ(readFile(g.file("VEXA.INI")), oldSettings);
    }
    {
        // Settings fit, the list does not: it was saved with other line ends, so it would change.
        Gather g(80, 1);
        g.settings(oldSettings);
        ASSERT_EQ(gather(g.home.path()).code, 0);
        g.list(g.entries, "\n");
        const QByteArray oldList = readFile(g.file("data/Pics.lst"));
        ASSERT_GT(oldList.size(), 2000);
        const RunResult r = gather(g.home.path(), [] { ChildLimits::limitFileSize(1500); });
        EXPECT_TRUE(failedWith(r, "Unable to create DIR LIST file")) << r.err.toStdString();
        EXPECT_EQ(readFile(g.file("data/Pics.lst")), oldList);
    }
}

// Catalogue writes that fail stop the gather: nothing after the failure counts as written,
// the marker stays, and the next run goes on from there to the same catalogue.
TEST(Unattended, FailedCatalogueWritesStopTheGather)
{
    Gather g(4, 25, 48);
    const RunResult r = gather(g.home.path(), [] { ChildLimits::limitFileSize(96 * 1024); });
    EXPECT_TRUE(failedWith(r, "could not be changed") && r.err.contains("This happened while"))
        << r.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(g.file("Scanning.dat")));
    const QString marked = query(g.catalogue(), "select count(*) from FILES where ACTIVE = 'X'");
    EXPECT_TRUE(r.out.contains(", " + marked + " rows written"))
        << r.out.toStdString() << " / " << marked.toStdString();
    EXPECT_LT(marked.toInt(), 100);

    const RunResult again = gather(g.home.path());
    ASSERT_TRUE(again.finished);
    EXPECT_EQ(again.code, 0) << again.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(g.file("Scanning.dat")));
    EXPECT_EQ(query(g.catalogue(), "select count(*) from FILES"), "100");
    EXPECT_EQ(query(g.catalogue(), "select count(distinct RECNUM) from FILES where RECNUM > 0"),
              "100");
}

// A read-only catalogue is named as such, and leaves no side file that would keep it failing
// once its permissions are put right; a damaged one is never written to again.
TEST(Unattended, ReadOnlyAndDamagedCataloguesAreLeftAlone)
{
    Gather g(2, 60, 40);
    ASSERT_EQ(gather(g.home.path()).code, 0);
    const QString db = g.catalogue();

    ASSERT_EQ(::chmod(QFile::encodeName(db).constData(), 0444), 0);
    const RunResult ro = gather(g.home.path(), [] { ChildLimits::obeyFilePermissions(); });
    EXPECT_TRUE(failedWith(ro, "is read-only")) << ro.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(db + "-shm") || QFileInfo::exists(db + "-wal"));
    ASSERT_EQ(::chmod(QFile::encodeName(db).constData(), 0644), 0);
    ASSERT_EQ(gather(g.home.path()).code, 0);

    // Zeros in the middle of the file, as a failing disk leaves them.
    QByteArray bytes = readFile(db);
    ASSERT_GT(bytes.size(), 8 * 4096);
    const int middle = bytes.size() / 2 / 4096 * 4096;
    bytes.replace(middle, 8192, QByteArray(8192, '\0'));
    ASSERT_TRUE(writeFile(db, bytes));
    const RunResult damaged = gather(g.home.path());
    EXPECT_TRUE(failedWith(damaged, "is damaged") && damaged.err.contains(db + ".damaged"))
        << damaged.err.toStdString();
    EXPECT_TRUE(readFile(db) == bytes) << "the damaged catalogue was written to";
    EXPECT_FALSE(QFileInfo::exists(db + ".damaged") || QFileInfo::exists(db + "-wal"));
}

// Stopped by a crash, by logout (SIGTERM) and by Ctrl+C (SIGINT), each time in a later entry,
// then resumed to its end: every row has the number an uninterrupted gather gives it.
TEST(Unattended, StoppedAtSeveralPointsResumesToTheSameNumbers)
{
    // Entries enough after the last stop that the run cannot finish them before it is stopped:
    // the pictures are decoded well ahead of the rows being written.
    Gather g(8, 8, 900, true);
    QTemporaryDir reference;
    g.makeHome(reference.path());
    ASSERT_EQ(gather(reference.path()).code, 0);
    const QString numbers = "select PATH || DISKNAME, RECNUM from FILES order by 1";
    const QStringList expected = queryRows(reference.filePath("data/Pics.mdb"), numbers);
    ASSERT_EQ(expected.size(), 64);

    const QString marker = g.file("Scanning.dat");
    const struct
    {
        int signal, atIndex, status;
    } stops[] = {{SIGKILL, 1, -1}, {SIGTERM, 2, 143}, {SIGINT, 3, 130}};
    for (const auto &stop : stops) {
        SCOPED_TRACE(stop.signal);
        // The last run may have got past this index before it stopped: only a marker this run
        // wrote (a new file) shows how far it is, and that it can be stopped as Quit stops it.
        const qint64 oldMarker = fileNumber(marker);
        QProcess run;
        run.setProcessEnvironment(programEnvironment(g.home.path()));
        run.start(VEXA_BINARY, {"Pics", "/GATHER"});
        ASSERT_TRUE(run.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 60000 && run.state() == QProcess::Running &&
               (fileNumber(marker) == oldMarker || savedIndex(marker) < stop.atIndex))
            QThread::msleep(2);
        ASSERT_EQ(run.state(), QProcess::Running) << "the run ended before it could be stopped";
        ::kill(pid_t(run.processId()), stop.signal);
        ASSERT_TRUE(run.waitForFinished(60000));
        EXPECT_EQ(run.exitStatus() == QProcess::NormalExit ? run.exitCode() : -1, stop.status);
        if (stop.status > 0) {
            // Stopped as Quit stops it: the lock released, the marker kept.
            EXPECT_FALSE(QFileInfo::exists(g.file("vexa.lock")));
            EXPECT_TRUE(run.readAllStandardOutput().contains("stopped before the end"));
        }
        EXPECT_GE(savedIndex(marker), stop.atIndex);
        EXPECT_EQ(query(g.catalogue(), "PRAGMA integrity_check"), "ok");
    }
    const RunResult last = gather(g.home.path());
    EXPECT_EQ(last.code, 0) << last.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(marker));
    EXPECT_EQ(queryRows(g.catalogue(), numbers), expected);
    EXPECT_EQ(query(g.catalogue(), "select count(*) from FILES where length(PXLRAY) = 100 and "
                                   "length(RGB) > 5 and length(CHECKSUM) > 200"), "64");
    // A gather leaves the box unchecked in the settings it saves.
    EXPECT_FALSE(readFile(g.file("VEXA.INI")).contains("GATHER"));
}
