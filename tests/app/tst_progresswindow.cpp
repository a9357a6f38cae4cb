// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "progresswindowplacement.h"

#include "catalogue.h"
#include "fakeplatform.h"
#include "frmdirlook.h"
#include "mainstate.h"
#include "programdir.h"
#include "scriptedprompts.h"
#include "temphome.h"
#include "unprivileged.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>

#include <cmath>

using Mode = MainState::Mode;
using Prompts::Answer;

TEST(ProgressWindowPlacement, LowerRightOrTheSavedPlaceAlwaysWholeOnTheArea)
{
    const QSize frame(648, 200);
    const QRect screen(0, 0, 1280, 1024);
    const QRect right(1280, 24, 1024, 744); // a second screen, below a panel
    const struct
    {
        const char *name;
        QRect area;
        QSize frame;
        qint16 top, left;
        double twipsPerPixel;
        QPoint at;
    } cases[] = {
        // 450 twips above the bottom: 30 pixels at 96 dots per inch, 45 at 144.
        {"not saved", screen, frame, -5000, -5000, 15, {632, 794}},
        {"not saved, 144 dpi", screen, frame, -5000, -5000, 10, {632, 779}},
        {"not saved, second screen", right, frame, -5000, -5000, 15, {1656, 538}},
        {"saved", screen, frame, 1500, 3000, 15, {200, 100}},
        {"saved beyond the bottom right", screen, frame, 32000, 32000, 15, {632, 824}},
        {"saved above and left of the area", right, frame, -3000, -3000, 15, {1280, 24}},
        {"saved, taller than the area", right, QSize(400, 900), 1500, 30000, 15, {1904, 24}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ProgressWindowPlacement::framePosition(c.area, c.frame, c.top, c.left, c.twipsPerPixel), c.at)
            << c.name;
    }
}

namespace {

// The pre-scan window run to its end over a real catalogue.
struct PreScanWindowFixture : ::testing::Test
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
        ASSERT_TRUE(ProgramDir::ensureDataDir());
        ASSERT_TRUE(Catalogue::ensureTemplate(home.file("vexa.mdb")));
        ASSERT_TRUE(Catalogue::createFromTemplate(home.file("vexa.mdb"), home.file("data/Pics.mdb")));
    }
    void TearDown() override
    {
        MainState::setCurrent(nullptr);
        for (QWidget *w : QApplication::topLevelWidgets())
            delete w;
    }
    QString folder(const QString &name, int pictures)
    {
        const QString path = pics.filePath(name);
        QDir().mkpath(path);
        QImage img(8, 8, QImage::Format_RGB32);
        img.fill(Qt::darkGreen);
        for (int i = 0; i < pictures; ++i)
            EXPECT_TRUE(img.save(path + QString("/p%1.png").arg(i, 3, 10, QLatin1Char('0'))));
        return path + "/";
    }

    // What the window showed when its closing message came up.
    struct Seen
    {
        QRect frame;
        QString number, message;
    };
    Seen run()
    {
        Seen seen;
        auto *w = new frmDIRLOOK(state);
        prompts.then(Answer::Ok);
        prompts.onAsk = [&](const Prompts::Box &box) {
            seen.frame = w->frameGeometry();
            seen.number = w->lblNUMBER->text();
            seen.message = box.text;
        };
        state.preScanDone = false;
        w->show();
        QElapsedTimer clock;
        clock.start();
        while (!state.preScanDone && clock.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_TRUE(state.preScanDone);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return seen;
    }
};

} // namespace

TEST_F(PreScanWindowFixture, OpensWholeOnTheScreenAndWhereItWasLeftWithoutCreeping)
{
    state.directories = {"[] " + folder("a", 2)};
    state.clickMode(Mode::Pattern); // shows each picture: the window's largest form
    state.noWarnings = true;
    const QScreen *screen = ProgressWindowPlacement::screen();
    const QRect area = screen->availableGeometry();
    const int above = int(std::lround(450 / ProgressWindowPlacement::twipsPerPixel(screen)));

    const QRect first = run().frame;
    EXPECT_TRUE(area.contains(first)) << first.x() << "," << first.y() << " " << first.width() << "x" << first.height();
    EXPECT_EQ(first.right(), area.right());
    EXPECT_EQ(first.bottom(), area.bottom() - above);
    EXPECT_NE(state.scanBarTop, -5000);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(run().frame.topLeft(), first.topLeft()) << "search " << i + 2;

    for (qint16 saved : {qint16(32000), qint16(-4000)}) {
        state.scanBarTop = state.scanBarLeft = saved;
        const QRect frame = run().frame;
        EXPECT_TRUE(area.contains(frame)) << saved;
    }
}

TEST_F(PreScanWindowFixture, EndsOnTheFiguresOfItsClosingMessageAndNamesFoldersItCouldNotRead)
{
    const QString locked = folder("locked", 1);
    state.directories = {"[] " + folder("a", 40), "[] " + locked};
    Unprivileged::openToAll(home.path());
    Unprivileged::openToAll(pics.path());
    Unprivileged::lock(locked);
    Seen seen;
    {
        Unprivileged user;
        seen = run();
    }
    Unprivileged::openToAll(locked);
    EXPECT_EQ(seen.number, "40 found...");
    EXPECT_EQ(seen.message, "40 files read...\n\n1 folder(s) could not be read and were skipped.\n" + locked);
}
