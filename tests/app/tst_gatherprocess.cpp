// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// The unattended gather as a real process: stopped in the middle, started again, finished.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

namespace {

QProcess *startGather(const QString &home)
{
    auto *p = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VEXA_HOME", home);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p->setProcessEnvironment(env);
    p->start(QStringLiteral(VEXA_BINARY), {"Pics", "/GATHER"});
    return p;
}

QString query(const QString &db, const QString &sql)
{
    QString out;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase("QSQLITE", "probe");
        c.setDatabaseName(db);
        if (c.open()) {
            QSqlQuery q(c);
            if (q.exec(sql) && q.next())
                out = q.value(0).toString();
        }
    }
    QSqlDatabase::removeDatabase("probe");
    return out;
}

// A program directory gathering the list "Pics" over four folders of noisy pictures, which
// decode slowly enough to stop the run where a test wants.
void makeHome(const QString &home, const QStringList &entries)
{
    QDir(home).mkpath("data");
    QFile ini(home + "/VEXA.INI");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("LIST NAME = Pics\r\n.PNG\r\n");
    QFile list(home + "/data/Pics.lst");
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(("[DIRECTORIES]\r\n" + entries.join("\r\n") + "\r\n = INCOMING FILE DIRECTORY\r\n \r\n").toUtf8());
}

QMap<QString, int> numbers(const QString &db)
{
    QMap<QString, int> out;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase("QSQLITE", "numbers");
        c.setDatabaseName(db);
        if (c.open()) {
            QSqlQuery q(c);
            q.exec("select PATH || DISKNAME, RECNUM from FILES");
            while (q.next())
                out.insert(q.value(0).toString(), q.value(1).toInt());
        }
    }
    QSqlDatabase::removeDatabase("numbers");
    return out;
}

int savedIndex(const QString &marker)
{
    QFile m(marker);
    return m.open(QIODevice::ReadOnly) ? QString::fromUtf8(m.readLine()).trimmed().toInt() : -1;
}

} // namespace

// Stopped by a crash, by logout (SIGTERM) and by Ctrl+C (SIGINT), each time in a later entry,
// then resumed to its end: every row has the number an uninterrupted gather gives it.
TEST(GatherProcess, StoppedAtSeveralPointsResumesToTheSameNumbers)
{
    QTemporaryDir reference, home, pics;
    QStringList entries;
    int total = 0;
    QRandomGenerator rng(7);
    for (int d = 0; d < 5; ++d) {
        const QString sub = pics.filePath(QString("d%1").arg(d));
        QDir().mkpath(sub);
        for (int i = 0; i < 10; ++i) {
            QImage img(900, 700, QImage::Format_RGB32);
            for (int y = 0; y < img.height(); ++y) {
                auto *line = reinterpret_cast<quint32 *>(img.scanLine(y));
                for (int x = 0; x < img.width(); ++x)
                    line[x] = rng.generate();
            }
            ASSERT_TRUE(img.save(sub + QString("/p%1.png").arg(i)));
            ++total;
        }
        entries << "[] " + sub + "/";
    }
    makeHome(reference.path(), entries);
    makeHome(home.path(), entries);
    std::unique_ptr<QProcess> whole(startGather(reference.path()));
    ASSERT_TRUE(whole->waitForFinished(120000));
    ASSERT_EQ(whole->exitCode(), 0);
    const QMap<QString, int> expected = numbers(reference.filePath("data/Pics.mdb"));
    ASSERT_EQ(expected.size(), total);

    const QString marker = home.filePath("Scanning.dat");
    const struct
    {
        int signal, atIndex, status;
    } stops[] = {{SIGKILL, 1, -1}, {SIGTERM, 2, 143}, {SIGINT, 3, 130}};
    for (const auto &stop : stops) {
        SCOPED_TRACE(stop.signal);
        std::unique_ptr<QProcess> run(startGather(home.path()));
        ASSERT_TRUE(run->waitForStarted());
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 60000 && run->state() == QProcess::Running
               && savedIndex(marker) < stop.atIndex)
            QThread::msleep(2);
        ASSERT_EQ(run->state(), QProcess::Running) << "the run ended before it could be stopped";
        ::kill(pid_t(run->processId()), stop.signal);
        ASSERT_TRUE(run->waitForFinished(60000));
        if (stop.status < 0) {
            EXPECT_EQ(run->exitStatus(), QProcess::CrashExit);
        } else {
            // Stopped as Quit stops it: the lock is released, the marker stays.
            EXPECT_EQ(run->exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(run->exitCode(), stop.status);
            EXPECT_FALSE(QFile::exists(home.filePath("vexa.lock")));
            EXPECT_TRUE(run->readAllStandardOutput().contains("stopped before the end"));
        }
        EXPECT_TRUE(QFile::exists(marker));
        EXPECT_GE(savedIndex(marker), stop.atIndex);
        EXPECT_EQ(query(home.filePath("data/Pics.mdb"), "PRAGMA integrity_check"), "ok");
    }

    std::unique_ptr<QProcess> last(startGather(home.path()));
    ASSERT_TRUE(last->waitForFinished(120000));
    EXPECT_EQ(last->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(last->exitCode(), 0) << last->readAllStandardError().toStdString();
    EXPECT_TRUE(QString::fromUtf8(last->readAllStandardOutput()).startsWith("Vexa! gather of list Pics: "));
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_EQ(numbers(home.filePath("data/Pics.mdb")), expected);
    EXPECT_EQ(query(home.filePath("data/Pics.mdb"), "select count(*) from FILES where length(PXLRAY) = 100 and "
                                                   "length(RGB) > 5 and length(CHECKSUM) > 200").toInt(), total);
    // A gather run leaves the box unchecked in the settings it saves.
    QFile ini(home.filePath("VEXA.INI"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray settings = ini.readAll();
    EXPECT_TRUE(settings.contains("[MISC]"));
    EXPECT_FALSE(settings.contains("GATHER"));
}
