// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Go with Pre-Match ticked, through the real windows and the program's own event loop.
#include "frmmain.h"

#include "catalogue.h"
#include "fakeplatform.h"
#include "frmcheckem.h"
#include "scriptedprompts.h"
#include "temphome.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <csignal>

namespace {

// Each row's name and its ACTIVE mark ("cat.png*"), sorted.
QStringList activeMarks(const QString &db)
{
    return queryRows(db, "select (case when DISKNAME = '' then WHOLENAME else DISKNAME end) || ACTIVE from FILES order by 1");
}

} // namespace

TEST(PreMatchLaunch, GoRunsTheCycleAndTheProgramStaysOpen)
{
    TempHome home;
    FakePlatform platform;
    ScriptedPrompts prompts;
    const QString pics = home.file("pics");
    for (const char *name : {"a/cat.png", "b/cat.png", "a/dog.png"})
        ASSERT_TRUE(writeFile(pics + "/" + name, QByteArray(100, 'x')));
    home.write("VEXA.INI", "LIST NAME = General\r\n.PNG\r\nRUN PRE-MATCH CYCLE\r\nNO SOUND\r\n");
    home.write("data/General.lst", ("[DIRECTORIES]\r\n[] " + pics + "/a/\r\n[] " + pics +
                                    "/b/\r\n = INCOMING FILE DIRECTORY\r\n \r\n").toUtf8());
    prompts.then(Prompts::Answer::Ok); // the cycle's summary

    frmMAIN w;
    w.controller().Form_Activate();
    w.show();
    QTimer::singleShot(0, &w, [&] { w.cmdGO->click(); });
    QTimer watchdog;
    watchdog.setInterval(50);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        // The review shows the pair the cycle marked; Exit takes the user back.
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (auto *review = qobject_cast<frmCHECKEM *>(top);
                review && review->isVisible() && review->cmdCANCEL->isEnabled()) {
                review->cmdCANCEL->click();
            }
        }
        // Once the review has closed again the main window is back: the run goes on.
        if (w.isVisible() && !prompts.boxes.isEmpty())
            QCoreApplication::exit(7);
    });
    watchdog.start();
    QTimer::singleShot(60000, [] { QCoreApplication::exit(9); });
    EXPECT_EQ(QApplication::exec(), 7) << "the program ended after the pre-match cycle";
    EXPECT_EQ(prompts.texts(), QStringList({"3 files read,  1 matches found ..."}));
    EXPECT_EQ(activeMarks(home.file("data/General.mdb")), QStringList({"cat.png*", "cat.png*", "dog.pngX"}));
    EXPECT_FALSE(home.exists("Matching.dat"));
    EXPECT_TRUE(w.state().preMatchDone);
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top != &w)
            delete top;
}

TEST(PreMatchLaunch, KilledCycleResumesFromItsMarker)
{
    TempHome home;
    home.write("VEXA.INI", "LIST NAME = General\r\n.JPG\r\nRUN PRE-MATCH CYCLE\r\n");
    const QString db = home.file("data/General.mdb");
    QDir().mkpath(home.file("data"));
    // Four rows in five share their name with one other row; the rest are alone.
    const int rows = 150000;
    int expectedMarked = 0;
    {
        ASSERT_TRUE(Catalogue::createTemplate(db));
        Catalogue c;
        ASSERT_TRUE(c.open(db));
        ASSERT_TRUE(c.transaction([&] {
            for (int i = 0; i < rows; ++i) {
                FilesRecord r;
                const int name = i < rows * 4 / 5 ? i % (rows * 2 / 5) : i;
                r.NAME = QString("N%1").arg(name, 7, 10, QLatin1Char('0'));
                r.WHOLENAME = r.NAME + ".JPG";
                r.PATH = QString("/d%1/").arg(i % 7);
                r.RECNUM = i + 1;
                r.ACTIVE = "X";
                if (!c.insert(r))
                    return false;
            }
            return true;
        }));
        expectedMarked = rows * 4 / 5;
    }
    auto start = [&] {
        auto *p = new QProcess;
        p->setProcessEnvironment(programEnvironment(home.path()));
        p->start(QStringLiteral(PREMATCHRUN), {db});
        return p;
    };
    std::unique_ptr<QProcess> first(start());
    ASSERT_TRUE(first->waitForStarted());
    const QString marker = home.file("Matching.dat");
    QElapsedTimer clock;
    clock.start();
    int reached = 0;
    while (clock.elapsed() < 60000 && first->state() == QProcess::Running && reached == 0) {
        reached = readFile(marker).trimmed().toInt();
        QThread::msleep(2);
    }
    ASSERT_EQ(first->state(), QProcess::Running) << "the cycle ended before it could be killed";
    ::kill(pid_t(first->processId()), SIGKILL);
    first->waitForFinished();
    ASSERT_TRUE(QFile::exists(marker));
    const QStringList halfway = activeMarks(db);
    ASSERT_EQ(halfway.size(), rows);
    EXPECT_LT(halfway.filter("*").size(), expectedMarked);

    std::unique_ptr<QProcess> second(start());
    ASSERT_TRUE(second->waitForFinished(120000));
    EXPECT_EQ(second->exitCode(), 0) << second->readAllStandardError().toStdString();
    EXPECT_FALSE(QFile::exists(marker));
    // Every row with a namesake is marked, as an uninterrupted cycle marks them.
    const QStringList marks = activeMarks(db);
    EXPECT_EQ(marks.filter("*").size(), expectedMarked);
    for (int i : {0, rows / 3, rows * 4 / 5 - 1})
        EXPECT_TRUE(marks.contains(QString("N%1.JPG*").arg(i % (rows * 2 / 5), 7, 10, QLatin1Char('0'))));
}
