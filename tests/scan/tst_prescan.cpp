// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "prescan.h"

#include "catalogue.h"
#include "fakeplatform.h"
#include "filelisting.h"
#include "identitykey.h"
#include "locate.h"
#include "mainstate.h"
#include "programdir.h"
#include "recordset.h"
#include "scriptedprompts.h"
#include "temphome.h"
#include "testkit.h"
#include "wildcard.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <csignal>
#include <tuple>
#include <sys/resource.h>
#include <unistd.h>

using Check = MainState::Check;
using Mode = MainState::Mode;

TEST(Wildcard, MatchesAsTheProgramAlwaysHas)
{
    const struct
    {
        const char *text, *pattern;
        bool match;
    } cases[] = {
        {"PHOTO.JPG", "*.JPG", true},      {"PHOTO.JPG", "*", true},
        {"PHOTO.JPG", "P?OTO.JPG", true},  {"PHOTO.JPG", "PH*O.JPG", true},
        {"PHOTO.JPG", "*.PNG", false},     {"photo.jpg", "*.JPG", false}, // case-sensitive
        {"IMG0042.JPG", "IMG####.JPG", true}, {"IMG00A2.JPG", "IMG####.JPG", false},
        {"CAT.JPG", "[A-C]AT.JPG", true},  {"DAT.JPG", "[A-C]AT.JPG", false},
        {"DAT.JPG", "[!A-C]AT.JPG", true}, {"CAT.JPG", "[!A-C]AT.JPG", false},
        {"[X].JPG", "[[]X].JPG", true},    {"CAT.JPG", "[A-C.JPG", false}, // unclosed list
        {"CAT.JPG", "*[", false},          {"", "*", true},
        {"", "?", false},                  {"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAB", "*A*A*A*A*A*A*C", false},
        {"ABC", "*?*?*?*", true},          {"AB", "*?*?*?*", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Wildcard::like(c.text, c.pattern), c.match) << c.text << " like " << c.pattern;
}

TEST(PreScanRules, FilterPatternsAndTest)
{
    EXPECT_EQ(PreScan::filterPatterns("ABC*,X*"), (QStringList{"ABC*", "X*", "X*"}));
    EXPECT_EQ(PreScan::filterPatterns("ABC*.JPG"), (QStringList{"ABC*", "ABC*", "ABC*"}));
    EXPECT_EQ(PreScan::filterPatterns("DOG*, CAT*"), (QStringList{"DOG*", " CAT*", " CAT*"}));
    EXPECT_EQ(PreScan::filterPatterns("A*,B*,C*,D*"), (QStringList{"A*", "B*", "C*"}));
    EXPECT_EQ(PreScan::filterPatterns("A*,,C*"), (QStringList{"A*", "A*", "C*"}));
    const QStringList dogCat = PreScan::filterPatterns("DOG*, CAT*");
    const QStringList all = PreScan::filterPatterns("*");
    const struct
    {
        const QStringList &patterns;
        const char *name;
        bool notFilter, passes;
    } cases[] = {{dogCat, "DOGGY.JPG", false, true}, {dogCat, "CATTY.JPG", false, false}, // the blank stays
                 {dogCat, "CATTY.JPG", true, true},  {dogCat, "DOGGY.JPG", true, false},
                 {dogCat, "DOGGY.PNG", false, false},
                 {all, "DOGGY.JPG", false, true},    {all, "DOGGY.JPG", true, false},
                 {all, "DOGGY.PNG", false, false},   {all, "DOGGY.PNG", true, true},
                 {all, "DOGGY.JPGX", false, false}};
    for (const auto &c : cases)
        EXPECT_EQ(PreScan::passesFilter(c.name, c.patterns, ".JPG", c.notFilter), c.passes) << c.name;
}

TEST(PreScanRules, PurgeCutoffCrossesTheYear)
{
    const int expected[12] = {202410, 202411, 202412, 202501, 202502, 202503,
                              202504, 202505, 202506, 202507, 202508, 202509};
    for (int month = 1; month <= 12; ++month)
        EXPECT_EQ(PreScan::purgeCutoff(2025, month), expected[month - 1]) << month;
}

TEST(PreScanRules, FixExtensionNeverReplacesAFile)
{
    QTemporaryDir dir;
    for (const char *n : {"photo.jpeg", "photo.jpg", "photo1.jpg", "other.JPE", "keep.png"}) {
        QFile f(dir.filePath(n));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(n);
    }
    PreScan::FixExtension(dir.path(), ".jpeg");
    PreScan::FixExtension(dir.path(), ".jpe");
    QStringList names = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(names, (QStringList{"keep.png", "other.jpg", "photo.jpg", "photo1.jpg", "photo2.jpg"}));
    QFile moved(dir.filePath("photo2.jpg"));
    ASSERT_TRUE(moved.open(QIODevice::ReadOnly));
    EXPECT_EQ(moved.readAll(), "photo.jpeg");
}

// The marker's list index is a 32-bit number (a crash past entry 32,767 resumes there), and
// its second line the rows marked before that entry.
TEST(PreScanRules, MarkerHoldsTheIndexAndTheRowsMarkedBefore)
{
    TempHome home;
    for (const auto &[content, index, before] : {std::tuple<const char *, int, double>{" 40000 \r\n 123456 \r\n", 40000, 123456},
                                                 {" 7 \r\n", 7, -1}, {"junk", 0, -1}}) {
        home.write("Scanning.dat", content);
        EXPECT_EQ(PreScan::readMarker().listIndex, index) << content;
        EXPECT_EQ(PreScan::readMarker().markedBefore, before) << content;
    }
}

namespace {

// A program directory, a catalogue and a folder of pictures to scan.
struct ScanFixture : ::testing::Test
{
    TempHome home;
    FakePlatform platform;
    ScriptedPrompts prompts;
    QTemporaryDir pics;
    MainState state;

    void SetUp() override
    {
        MainState::setCurrent(&state);
        state.listName = "Pics";
        state.filter = "*";
        state.clickFileType(MainState::fileTypeIndex(".PNG"), true);
        state.clickFileType(MainState::fileTypeIndex(".JPG"), true);
        ASSERT_TRUE(ProgramDir::ensureDataDir());
        ASSERT_TRUE(Catalogue::ensureTemplate(home.file("vexa.mdb")));
        ASSERT_TRUE(Catalogue::createFromTemplate(home.file("vexa.mdb"), home.file("data/Pics.mdb")));
    }
    void TearDown() override { MainState::setCurrent(nullptr); }

    QString dir(const QString &sub)
    {
        QDir().mkpath(pics.filePath(sub));
        return pics.filePath(sub) + "/";
    }
    // A picture whose content depends on seed, so that signatures differ between files.
    void picture(const QString &path, int seed, const char *format = "PNG")
    {
        QImage img(120 + seed, 110, QImage::Format_RGB32);
        img.fill(QColor(20 * seed % 256, 50, 200));
        QPainter p(&img);
        p.fillRect(0, 0, 40 + seed * 5, 60, Qt::black);
        p.end();
        ASSERT_TRUE(img.save(path, format));
    }
    QList<FilesRecord> rows(const QString &where = QString())
    {
        Catalogue c;
        EXPECT_TRUE(c.open(home.file("data/Pics.mdb")));
        QList<FilesRecord> out;
        auto set = c.select(where, "RECNUM, rowid");
        for (set->moveFirst(); !set->eof(); set->moveNext())
            out << *set->record();
        return out;
    }
    // A catalogued picture in path on a stick that is not plugged in, chosen for re-activation.
    void stickAway(const QString &path)
    {
        Catalogue c;
        ASSERT_TRUE(c.open(home.file("data/Pics.mdb")));
        FilesRecord r;
        r.DRIVEVOLUME = "[STICK]";
        r.PATH = path;
        r.WHOLENAME = "AWAY.PNG";
        r.EXTENSION = ".PNG";
        r.STAG = "AWAY.PNG 10 2020-01-01 00:00:00";
        r.ACCESSED = QDate::currentDate().year() * 100 + QDate::currentDate().month();
        ASSERT_TRUE(c.insert(r));
        platform.addVolume("/media/ann/STICK", Platform::DriveKind::Removable, "STICK", 0, 512, false);
        state.reactivate = "/media/ann/STICK";
    }
    PreScan *run(int threads = 0)
    {
        auto *scan = new PreScan(state);
        scan->threads = threads;
        EXPECT_TRUE(scan->RunPreScan()) << scan->error().toStdString();
        QFile::remove(home.file("Scanning.dat")); // as the window does when it closes
        return scan;
    }
};

} // namespace

TEST_F(ScanFixture, NewFilesGetRowsInListingOrderWithTheSignaturesTheModeNeeds)
{
    const QString a = dir("a");
    picture(a + "b-two.png", 2);
    picture(a + "a-one.png", 1);
    picture(a + "c-three.jpg", 3, "JPG");
    picture(a + ".png", 4); // four characters in all: never passes
    QFile::copy(a + "a-one.png", a + "notes.txt");
    state.directories = {"[] " + a};
    state.clickMode(Mode::Checksum);
    std::unique_ptr<PreScan> scan(run());
    const QList<FilesRecord> r = rows("ACTIVE = 'X'");
    ASSERT_EQ(r.size(), 3);
    // Types are scanned .JPG before .PNG, names in order within a type.
    EXPECT_EQ(r[0].DISKNAME, "c-three.jpg");
    EXPECT_EQ(r[1].DISKNAME, "a-one.png");
    EXPECT_EQ(r[2].DISKNAME, "b-two.png");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(r[i].RECNUM, i + 1);
    const FilesRecord &one = r[1];
    EXPECT_EQ(one.NAME, "A-ONE");
    EXPECT_EQ(one.REFNAME, "a-one");
    EXPECT_EQ(one.BASENAME, "AONE");
    EXPECT_EQ(one.WHOLEBASE, "AONE.PNG");
    EXPECT_EQ(one.WHOLENAME, "A-ONE.PNG");
    EXPECT_EQ(one.EXTENSION, ".PNG");
    EXPECT_EQ(one.PATH, a);
    EXPECT_EQ(one.DRIVEVOLUME, "[]");
    EXPECT_EQ(one.SIZE, QFileInfo(a + "a-one.png").size());
    EXPECT_TRUE(one.REF.isEmpty());
    EXPECT_EQ(one.ACCESSED, QDate::currentDate().year() * 100 + QDate::currentDate().month());
    EXPECT_TRUE(one.CHECKSUM.startsWith(".PNG " + QString::number(one.SIZE) + " "));
    EXPECT_EQ(one.RGB, " "); // the checksum mode reads no pixels
    EXPECT_EQ(one.PXLRAY, " ");
    EXPECT_EQ(scan->filesRead(), 3);
    EXPECT_EQ(state.searchCompleted, "YES");
}

TEST_F(ScanFixture, ARepeatedSearchReadsOnlyNewOrChangedFiles)
{
    const QString a = dir("a");
    for (int i = 0; i < 4; ++i)
        picture(a + QString("pic%1.png").arg(i), i);
    state.directories = {"[] " + a};
    state.clickMode(Mode::Pattern);
    delete run();
    const QList<FilesRecord> before = rows();
    ASSERT_EQ(before.size(), 4);
    for (const auto &row : before)
        EXPECT_EQ(row.PXLRAY.size(), 100);

    std::unique_ptr<PreScan> again(run());
    EXPECT_EQ(again->filesRead(), 0);
    EXPECT_EQ(rows().size(), 4);

    // A changed file gets a new row; its old row stays out of the search until purged.
    QFile f(a + "pic2.png");
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("trailing bytes change the length");
    f.close();
    std::unique_ptr<PreScan> third(run());
    EXPECT_EQ(third->filesRead(), 1);
    EXPECT_EQ(rows("ACTIVE = 'X'").size(), 4);
    EXPECT_EQ(rows("ACTIVE = ' '").size(), 1);
}

// Files found again by their key take their rows along: in place only the marks change; a
// file moved to another directory or renamed in case gets its new location and name.
TEST_F(ScanFixture, FilesFoundAgainKeepTheirRowsWhereverTheyAre)
{
    const QString a = dir("a"), b = dir("b");
    for (int i = 0; i < 5; ++i)
        picture(a + QString("p%1.png").arg(i), i);
    state.directories = {"[] " + a, "[] " + b};
    state.clickMode(Mode::Name);
    delete run();
    QHash<QString, qint64> rowIdOf; // by name on disk, from the first search
    {
        Catalogue c;
        ASSERT_TRUE(c.open(home.file("data/Pics.mdb")));
        auto set = c.select(QString(), "rowid");
        for (set->moveFirst(); !set->eof(); set->moveNext())
            rowIdOf.insert(set->record()->DISKNAME, *set->rowId());
    }
    ASSERT_EQ(rowIdOf.size(), 5);

    // rename() keeps the modification time, and with it the key.
    ASSERT_TRUE(QFile::rename(a + "p1.png", a + "P1.png"));
    ASSERT_TRUE(QFile::rename(a + "p3.png", b + "p3.png"));
    std::unique_ptr<PreScan> again(run());
    EXPECT_EQ(again->filesRead(), 0);

    const struct
    {
        const char *diskName, *path, *firstName;
        int recnum;
    } expected[] = {
        {"P1.png", "a", "p1.png", 1}, // capitals list first
        {"p0.png", "a", "p0.png", 2},
        {"p2.png", "a", "p2.png", 3},
        {"p4.png", "a", "p4.png", 4},
        {"p3.png", "b", "p3.png", 5},
    };
    Catalogue c;
    ASSERT_TRUE(c.open(home.file("data/Pics.mdb")));
    EXPECT_EQ(c.rowCount(), 5);
    for (const auto &e : expected) {
        SCOPED_TRACE(e.diskName);
        const std::optional<FilesRecord> row = c.read(rowIdOf.value(e.firstName));
        ASSERT_TRUE(row);
        EXPECT_EQ(row->DISKNAME, e.diskName);
        EXPECT_EQ(row->PATH, e.path == QString("a") ? a : b);
        EXPECT_EQ(row->RECNUM, e.recnum);
        EXPECT_EQ(row->ACTIVE, "X");
        EXPECT_TRUE(row->REF.isEmpty());
        EXPECT_EQ(row->STAG, IdentityKey::normal(e.diskName, qint64(row->SIZE), row->DATE));
    }
}

// A repeated search takes its rows from a look-up table of its own and marks the rows found in
// place in bulk; the catalogue it leaves is the one the plain way leaves: seek each file's key
// on the index ref, in listing order, and write the row found. The files are in place, renamed
// in case, moved, gone, copies sharing one key, in a folder listed twice, or named beyond ASCII.
TEST_F(ScanFixture, ARepeatedSearchLeavesTheCatalogueThePlainWayLeavesIt)
{
    const QString a = dir("a"), b = dir("b");
    int seed = 0;
    for (const char *name : {"p0.png", "p1.png", "p2.png", "p3.png", "\xc3\xa9t\xc3\xa9.png"})
        picture(a + QString::fromUtf8(name), ++seed);
    picture(a + "c.jpg", ++seed, "JPG");
    ASSERT_TRUE(QFile::copy(a + "p2.png", b + "p2.png"));
    QFile(b + "p2.png").setFileTime(QFileInfo(a + "p2.png").lastModified(),
                                    QFileDevice::FileModificationTime);
    state.directories = {"[] " + a, "[] " + b, "[] " + a};
    state.clickMode(Mode::Name);
    delete run();
    ASSERT_TRUE(QFile::rename(a + "p1.png", a + "P1.png"));
    ASSERT_TRUE(QFile::rename(a + "p3.png", b + "p3.png"));
    ASSERT_TRUE(QFile::remove(a + "p0.png")); // its key is the length of the next one's
    const QByteArray before = home.read("data/Pics.mdb");
    const QString everything = "SELECT rowid, * FROM FILES ORDER BY rowid";

    std::unique_ptr<PreScan> again(run());
    EXPECT_EQ(again->filesRead(), 0);
    const QStringList fast = queryRows(home.file("data/Pics.mdb"), everything);
    ASSERT_EQ(fast.size(), 13);

    home.write("data/Pics.mdb", before);
    {
        Catalogue plain;
        ASSERT_TRUE(plain.open(home.file("data/Pics.mdb")));
        const QDate today = QDate::currentDate();
        ASSERT_TRUE(plain.deleteTagged()
                    && plain.deleteAccessedBefore(PreScan::purgeCutoff(today.year(), today.month()))
                    && plain.resetMarks());
        double marked = 0;
        for (const QString &entry : state.directories) {
            const QString path = entry.mid(3);
            for (const Listing &listing : listFiles(path, QStringList{".JPG", ".PNG"})) {
                for (const ListedFile &f : listing.files) {
                    SCOPED_TRACE((path + f.name).toStdString());
                    FilesRecord r;
                    r.RECNUM = ++marked;
                    r.ACTIVE = "X";
                    r.ACCESSED = today.year() * 100 + today.month();
                    r.DRIVEVOLUME = "[]";
                    r.PATH = path;
                    r.DISKNAME = f.name;
                    r.STAG = IdentityKey::make(false, r.DRIVEVOLUME, path, f.name, f.size,
                                               f.modifiedSecs);
                    const std::optional<qint64> row = plain.seekRef(r.STAG);
                    ASSERT_TRUE(row);
                    ASSERT_TRUE(plain.markSeen(*row, r, false));
                }
            }
        }
    }
    EXPECT_EQ(queryRows(home.file("data/Pics.mdb"), everything), fast);
}

// The workers run ahead across folders and types and finish out of order; the rows still
// come out as one thread writes them.
TEST_F(ScanFixture, WorkerThreadsGiveTheSameCatalogueAsOne)
{
    int seed = 0;
    const QString types[] = {"jp", "j", "", "p", "pj"}; // each folder's files' types, in turn
    for (const QString &t : types) {
        const QString sub = dir(QString("d%1").arg(&t - types));
        for (int i = 0; !t.isEmpty() && i < 7; ++i) {
            const bool jpeg = t[i % t.size()] == 'j';
            picture(sub + QString("p%1.%2").arg(i).arg(jpeg ? "jpg" : "png"), ++seed,
                    jpeg ? "JPG" : "PNG");
        }
        state.directories << "[] " + sub;
    }
    state.clickCheck(Check::Gather, true);
    delete run(1);
    QList<FilesRecord> single = rows();
    // Start again from an empty catalogue with four workers.
    QFile::remove(home.file("data/Pics.mdb"));
    ASSERT_TRUE(Catalogue::createFromTemplate(home.file("vexa.mdb"), home.file("data/Pics.mdb")));
    delete run(4);
    QList<FilesRecord> parallel = rows();
    ASSERT_EQ(single.size(), 28);
    ASSERT_EQ(parallel.size(), single.size());
    for (int i = 0; i < single.size(); ++i) {
        const FilesRecord &s = single[i], &p = parallel[i];
        EXPECT_EQ(s.RECNUM, p.RECNUM);
        EXPECT_EQ(s.DISKNAME, p.DISKNAME);
        EXPECT_EQ(s.PATH, p.PATH);
        EXPECT_EQ(s.CHECKSUM, p.CHECKSUM);
        EXPECT_EQ(s.RGB, p.RGB);
        EXPECT_EQ(s.QRGB, p.QRGB);
        EXPECT_EQ(s.SOFTQRGB, p.SOFTQRGB);
        EXPECT_EQ(s.PXLRAY, p.PXLRAY);
        EXPECT_EQ(s.XYRATIO, p.XYRATIO);
        EXPECT_EQ(s.STAG, p.STAG);
        EXPECT_NE(s.RGB, " ");
    }
}

TEST_F(ScanFixture, NamesDifferingOnlyInCaseTakeTheirOwnRows)
{
    const QString a = dir("a");
    picture(a + "same.png", 1);
    QFile::copy(a + "same.png", a + "SAME.png");
    QFile(a + "SAME.png").setFileTime(QFileInfo(a + "same.png").lastModified(), QFileDevice::FileModificationTime);
    state.directories = {"[] " + a, "[] " + a}; // listed twice too
    delete run();
    delete run(); // the second run finds each row once
    const QList<FilesRecord> r = rows("ACTIVE = 'X'");
    ASSERT_EQ(r.size(), 4);
    QStringList names;
    for (const auto &row : r)
        names << row.DISKNAME;
    EXPECT_EQ(names, (QStringList{"SAME.png", "same.png", "SAME.png", "same.png"}));
    EXPECT_EQ(rows().size(), 4); // no row was added by the repeated run
}

TEST_F(ScanFixture, ResumesAtTheSavedEntryWithoutPreparation)
{
    const QString a = dir("a"), b = dir("b");
    picture(a + "first.png", 1);
    picture(b + "second.png", 2);
    // The interrupted run had finished the first entry and died in the second.
    state.directories = {"[] " + a};
    delete run();
    {
        Catalogue c;
        ASSERT_TRUE(c.open(home.file("data/Pics.mdb")));
        ASSERT_TRUE(c.database().exec("update FILES set RTAG = 'D'").isActive());
    }
    state.directories = {"[] " + a, "[] " + b};
    home.write("Scanning.dat", " 1 \r\n");
    {
        PreScan resumed(state);
        ASSERT_TRUE(resumed.RunPreScan());
    }
    // No preparation: the tagged row survives with its mark; a marker that does not say how
    // many rows were marked before its entry numbers on from the highest number given.
    const QList<FilesRecord> r = rows();
    ASSERT_EQ(r.size(), 2);
    EXPECT_EQ(r[0].DISKNAME, "first.png");
    EXPECT_EQ(r[0].RTAG, "D");
    EXPECT_EQ(r[1].DISKNAME, "second.png");
    EXPECT_EQ(r[1].RECNUM, 2);
    EXPECT_EQ(home.read("Scanning.dat"), " 1 \r\n 1 \r\n");

    home.write("Scanning.dat", " 0 \r\n"); // a crash in the first entry means a full run
    delete run();
    EXPECT_EQ(rows().size(), 2);
    EXPECT_EQ(rows("RTAG = 'D'").size(), 0);
}

TEST_F(ScanFixture, AbsentChosenVolumesAreReactivatedWithWarnings)
{
    const QString a = dir("a");
    picture(a + "local.png", 1);
    state.directories = {"[] " + a, "[STICK] /media/ann/STICK/photos/"};
    stickAway("/media/ann/STICK/photos/");
    std::unique_ptr<PreScan> scan(run());
    EXPECT_TRUE(prompts.boxes.isEmpty()); // a chosen volume is not prompted for
    const QList<FilesRecord> r = rows("ACTIVE = 'X'");
    ASSERT_EQ(r.size(), 2);
    EXPECT_EQ(r[1].WHOLENAME, "AWAY.PNG");
    EXPECT_EQ(r[1].RECNUM, 2);
    EXPECT_TRUE(scan->warnChecksum());
    EXPECT_TRUE(scan->warnColour());
    EXPECT_TRUE(scan->warnPattern());
}

TEST_F(ScanFixture, CancelStopsBothPasses)
{
    const QString a = dir("a");
    for (int i = 0; i < 5; ++i)
        picture(a + QString("p%1.png").arg(i), i);
    state.directories = {"[] " + a};
    PreScan scan(state);
    int yields = 0;
    scan.yield = [&] {
        if (++yields == 1)
            scan.cancel();
    };
    ASSERT_TRUE(scan.RunPreScan());
    EXPECT_EQ(state.searchCompleted, "NO");
    EXPECT_LT(rows("ACTIVE = 'X'").size(), 5);
}

TEST_F(ScanFixture, UnreadableNamesAreCountedNotLost)
{
    const QString a = dir("a");
    picture(a + "good.png", 1);
    const QByteArray bad = QFile::encodeName(a) + "bad\xff\xfe.png";
    QFile::copy(a + "good.png", QFile::decodeName(QFile::encodeName(a) + "tmp.png"));
    ASSERT_EQ(::rename(QFile::encodeName(a + "tmp.png").constData(), bad.constData()), 0);
    state.directories = {"[] " + a};
    std::unique_ptr<PreScan> scan(run());
    EXPECT_EQ(scan->unreadableNames(), 1);
    EXPECT_EQ(rows().size(), 1);
    ::unlink(bad.constData());
}

// The directory of the next entry is read ahead while an entry is written; one that is only
// there once the user has put its medium in at the prompt is read again then.
TEST_F(ScanFixture, ADirectoryLoadedAtThePromptIsScanned)
{
    const QString a = dir("a");
    picture(a + "first.png", 1);
    const QString stick = dir("stick").chopped(1); // the mount point
    platform.addVolume(stick, Platform::DriveKind::Removable, "STICK");
    const QString photos = stick + "/photos/";
    state.directories = {"[] " + a, "[STICK] " + photos};
    prompts.then(Prompts::Answer::Ok);
    prompts.onAsk = [&](const Prompts::Box &) { picture(dir("stick/photos") + "second.png", 2); };
    state.clickMode(Mode::Name);
    delete run();
    ASSERT_EQ(prompts.boxes.size(), 1);
    const QList<FilesRecord> r = rows("ACTIVE = 'X'");
    ASSERT_EQ(r.size(), 2);
    EXPECT_EQ(r[1].DISKNAME, "second.png");
    EXPECT_EQ(r[1].PATH, photos);
}

TEST_F(ScanFixture, LocateDirectoryPromptsOnlyForMissingRemovableMedia)
{
    using Prompts::Answer;
    platform.addVolume("/media/ann/ZIP", Platform::DriveKind::Removable, "ZIP", 0, 512, false);
    prompts.then(Answer::Ok).then(Answer::Cancel);
    EXPECT_FALSE(LocateDirectory("[ZIP]", "/media/ann/ZIP/pics/"));
    ASSERT_EQ(prompts.boxes.size(), 2); // OK asks again, Cancel gives up
    EXPECT_EQ(prompts.boxes[0].text,
              "[ZIP] /media/ann/ZIP/pics/\n\nIf you are using removable media (MO, Zip disk, "
              "etc.), please load the disk that contains this directory.  Otherwise, click "
              "CANCEL (deleted directories from previous sessions will cause this prompting as "
              "well).");
    EXPECT_EQ(prompts.boxes[0].title, "Vexa! - Cannot find DIRECTORY...");
    EXPECT_EQ(prompts.boxes[0].buttons, Prompts::Buttons::OkCancel);

    // No prompt: a missing directory of a fixed volume, a chosen volume, polling disabled.
    EXPECT_FALSE(LocateDirectory("[]", pics.filePath("gone/")));
    state.reactivate = "/media/ann/ZIP";
    EXPECT_FALSE(LocateDirectory("[ZIP]", "/media/ann/ZIP/pics/"));
    state.reactivate.clear();
    state.disableFilePolling = true;
    EXPECT_FALSE(LocateDirectory("[ZIP]", "/media/ann/ZIP/pics/"));
    EXPECT_FALSE(LocateFile("[ZIP]", "/media/ann/ZIP/pics/a.png"));
    EXPECT_EQ(prompts.boxes.size(), 2);
}

// A run stopped anywhere and resumed gives every row the number an uninterrupted run gives it.
// It stops after a given number of rows: by a stop request (the entry's rows so far are kept),
// by a failed statement (the entry is rolled back), or by a stop whose marker is then replaced
// by an older one, as a crash between an entry's commit and the next marker leaves it.
TEST_F(ScanFixture, AResumedRunNumbersEveryRowAsAnUninterruptedOne)
{
    QStringList entries;
    int seed = 0;
    for (const char *d : {"a", "b", "c", "d"}) {
        const QString sub = dir(d);
        for (int i = 0; i < 4; ++i)
            picture(sub + QString("p%1.png").arg(i), ++seed);
        entries << "[] " + sub;
    }
    // An earlier search saw half of the files; the others are new now. A row of an absent
    // stick is re-activated at the end.
    state.clickMode(Mode::Name);
    state.directories = {entries[1], entries[3]};
    delete run();
    stickAway("/media/ann/STICK/");
    state.directories = entries;
    state.directories << "[STICK] /media/ann/STICK/";
    const QByteArray before = home.read("data/Pics.mdb");

    auto numbers = [&] {
        QMap<QString, double> out;
        for (const FilesRecord &r : rows())
            out.insert(r.PATH + r.DISKNAME + r.WHOLENAME, r.RECNUM);
        return out;
    };
    delete run();
    const QMap<QString, double> expected = numbers();
    ASSERT_EQ(expected.size(), 17);

    enum class Stop { Request, Failure, StaleMarker };
    const struct
    {
        int afterRows;
        Stop how;
    } cases[] = {{1, Stop::Request},     {6, Stop::Request},     {16, Stop::Request},
                 {3, Stop::Failure},     {9, Stop::Failure},     {13, Stop::Failure},
                 {7, Stop::StaleMarker}, {14, Stop::StaleMarker}};
    for (const auto &c : cases) {
        SCOPED_TRACE(QString("after %1 rows, %2").arg(c.afterRows).arg(int(c.how)).toStdString());
        home.write("data/Pics.mdb", before);
        QFile::remove(home.file("data/Pics.mdb-wal"));
        QFile::remove(home.file("data/Pics.mdb-shm"));
        QFile::remove(home.file("Scanning.dat"));

        QList<QByteArray> markers; // every marker the run wrote
        rlimit unlimited;
        ::getrlimit(RLIMIT_FSIZE, &unlimited);
        {
            PreScan scan(state);
            scan.yield = [&] {
                const QByteArray m = home.read("Scanning.dat");
                if (markers.isEmpty() || markers.last() != m)
                    markers << m;
                if (scan.markedCount() < c.afterRows || state.stopSignal)
                    return;
                if (c.how == Stop::Failure) {
                    // The disk is full from here on: the catalogue's log cannot grow.
                    std::signal(SIGXFSZ, SIG_IGN);
                    rlimit full = unlimited;
                    full.rlim_cur = rlim_t(QFileInfo(home.file("data/Pics.mdb-wal")).size());
                    ::setrlimit(RLIMIT_FSIZE, &full);
                }
                state.stopSignal = c.how == Stop::Failure ? 0 : SIGTERM;
            };
            const bool ok = scan.RunPreScan();
            ::setrlimit(RLIMIT_FSIZE, &unlimited);
            EXPECT_EQ(ok, c.how != Stop::Failure) << scan.error().toStdString();
        }
        state.stopSignal = 0;
        if (c.how == Stop::StaleMarker && markers.size() > 2)
            home.write("Scanning.dat", markers[markers.size() - 2]);
        if (home.exists("Scanning.dat")) {
            PreScan resumed(state);
            ASSERT_TRUE(resumed.RunPreScan()) << resumed.error().toStdString();
        }
        EXPECT_EQ(numbers(), expected);
    }
}

// A folder deep enough that its path passes 255 characters keeps its whole path in the row,
// and the next search finds the row again instead of adding another.
TEST_F(ScanFixture, LongPathsAreKeptWhole)
{
    QString sub = "deep";
    for (int level = 0; level < 30; ++level)
        sub += QString("/level-%1-of-a-deep-tree").arg(level, 2, 10, QChar('0'));
    const QString deep = dir(sub);
    ASSERT_GT(deep.size(), 600);
    const QString name = QString(200, 'n') + ".png";
    picture(deep + name, 1);
    state.directories = {"[] " + deep};
    delete run();
    delete run();
    const QList<FilesRecord> r = rows();
    ASSERT_EQ(r.size(), 1);
    EXPECT_EQ(r[0].PATH, deep);
    EXPECT_EQ(r[0].DISKNAME, name);
    EXPECT_EQ(r[0].WHOLENAME, name.toUpper());
    EXPECT_TRUE(QFileInfo(r[0].PATH + r[0].DISKNAME).isFile());
}
