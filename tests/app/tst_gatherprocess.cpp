// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// The unattended gather as a real process: killed in the middle, started again, finished.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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

} // namespace

TEST(GatherProcess, KilledMidwayResumesAtTheSavedEntryAndFinishesConsistent)
{
    QTemporaryDir home, pics;
    QDir(home.path()).mkpath("data");
    // Noisy pictures decode slowly enough to stop the run in its second entry.
    QStringList entries;
    int total = 0;
    QRandomGenerator rng(7);
    for (int d = 0; d < 4; ++d) {
        const QString sub = pics.filePath(QString("d%1").arg(d));
        QDir().mkpath(sub);
        for (int i = 0; i < 12; ++i) {
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
    QFile ini(home.filePath("VEXA.INI"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("LIST NAME = Pics\r\n.PNG\r\n");
    ini.close();
    QFile list(home.filePath("data/Pics.lst"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(("[DIRECTORIES]\r\n" + entries.join("\r\n") + "\r\n = INCOMING FILE DIRECTORY\r\n \r\n").toUtf8());
    list.close();

    const QString marker = home.filePath("Scanning.dat");
    std::unique_ptr<QProcess> first(startGather(home.path()));
    ASSERT_TRUE(first->waitForStarted());
    QElapsedTimer clock;
    clock.start();
    int saved = 0;
    while (clock.elapsed() < 60000 && first->state() == QProcess::Running) {
        QFile m(marker);
        if (m.open(QIODevice::ReadOnly))
            saved = QString::fromUtf8(m.readAll()).trimmed().toInt();
        if (saved >= 2)
            break;
        QThread::msleep(2);
    }
    ASSERT_EQ(first->state(), QProcess::Running) << "the run ended before it could be stopped";
    ::kill(pid_t(first->processId()), SIGKILL);
    first->waitForFinished();
    ASSERT_GE(saved, 2);
    ASSERT_TRUE(QFile::exists(marker));
    const QString db = home.filePath("data/Pics.mdb");
    EXPECT_EQ(query(db, "PRAGMA integrity_check"), "ok");

    std::unique_ptr<QProcess> second(startGather(home.path()));
    ASSERT_TRUE(second->waitForFinished(120000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0) << second->readAllStandardError().toStdString();
    const QString summary = QString::fromUtf8(second->readAllStandardOutput());
    EXPECT_TRUE(summary.startsWith("Vexa! gather of list Pics: ")) << summary.toStdString();
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_EQ(query(db, "PRAGMA integrity_check"), "ok");
    // Every picture has its row with every signature; the entries before the saved one kept
    // the rows written before the kill.
    EXPECT_EQ(query(db, "select count(*) from FILES").toInt(), total);
    EXPECT_EQ(query(db, "select count(*) from FILES where length(PXLRAY) = 100 and "
                        "length(RGB) > 5 and length(CHECKSUM) > 200").toInt(), total);
    EXPECT_EQ(query(db, "select count(distinct PATH) from FILES").toInt(), 4);
    // A gather run leaves the box unchecked in the settings it saves.
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray settings = ini.readAll();
    EXPECT_TRUE(settings.contains("[MISC]"));
    EXPECT_FALSE(settings.contains("GATHER"));
}
