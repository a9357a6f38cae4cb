// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "progresswindowplacement.h"

#include "catalogue.h"
#include "fakeplatform.h"
#include "frmdirlook.h"
#include "frmprematch.h"
#include "mainstate.h"
#include "programdir.h"
#include "scriptedprompts.h"
#include "temphome.h"
#include "unprivileged.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>

#include <cmath>

TEST(ProgressWindowPlacement, LowerRightOrTheSavedPlaceAlwaysWholeOnTheArea)
{
    const QRect screen(0, 0, 1280, 1024), right(1280, 24, 1024, 744); // the second below a panel
    const QSize frame(648, 200);
    // 450 twips above the bottom: 30 pixels at 96 dots per inch (15 twips a pixel), 45 at 144.
    EXPECT_EQ(ProgressWindowPlacement::framePosition(screen, frame, -5000, -5000, 15), QPoint(632, 794));
    EXPECT_EQ(ProgressWindowPlacement::framePosition(screen, frame, -5000, -5000, 10), QPoint(632, 779));
    EXPECT_EQ(ProgressWindowPlacement::framePosition(right, frame, -5000, -5000, 15), QPoint(1656, 538));
    EXPECT_EQ(ProgressWindowPlacement::framePosition(right, frame, 32000, -3000, 15), QPoint(1280, 568));
    EXPECT_EQ(ProgressWindowPlacement::framePosition(right, {400, 900}, 1500, 30000, 15), QPoint(1904, 24));
}

namespace {

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
        state.clickFileType(MainState::fileTypeIndex(".PNG"), true);
        ASSERT_TRUE(ProgramDir::ensureDataDir());
        ASSERT_TRUE(Catalogue::ensureTemplate(home.file("vexa.mdb")));
        ASSERT_TRUE(Catalogue::createFromTemplate(home.file("vexa.mdb"), home.file("data/Pics.mdb")));
    }
    void TearDown() override { MainState::setCurrent(nullptr); }
    QString folder(const QString &name, int pictures)
    {
        QDir().mkpath(pics.filePath(name));
        QImage img(8, 8, QImage::Format_RGB32);
        img.fill(Qt::darkGreen);
        for (int i = 0; i < pictures; ++i)
            EXPECT_TRUE(img.save(pics.filePath(name) + QString("/p%1.png").arg(i, 3, 10, QLatin1Char('0'))));
        return pics.filePath(name) + "/";
    }

    // Runs the pre-scan window to its end: what it showed when its closing message came up.
    struct Seen
    {
        QRect frame;
        QString number, message;
    };
    Seen run()
    {
        Seen seen;
        auto *w = new frmDIRLOOK(state);
        prompts.then(Prompts::Answer::Ok);
        prompts.onAsk = [&](const Prompts::Box &box) { seen = {w->frameGeometry(), w->lblNUMBER->text(), box.text}; };
        state.preScanDone = false;
        w->show();
        QElapsedTimer clock;
        clock.start();
        while (!state.preScanDone && clock.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return seen;
    }
};

} // namespace

TEST_F(PreScanWindowFixture, OpensWholeOnTheScreenWhereItWasLeftAndEndsOnTheFiguresOfItsMessage)
{
    const QString locked = folder("locked", 1);
    state.directories = {"[] " + folder("a", 40), "[] " + locked};
    state.clickMode(MainState::Mode::Pattern); // shows each picture: the window's largest form
    state.noWarnings = true;
    const QScreen *screen = ProgressWindowPlacement::screen();
    const QRect area = screen->availableGeometry();
    Unprivileged::openToAll(home.path());
    Unprivileged::openToAll(pics.path());
    Unprivileged::lock(locked);
    Unprivileged user;

    const Seen first = run();
    EXPECT_EQ(first.number, "40 found...");
    EXPECT_EQ(first.message, "40 files read...\n\n1 folder(s) could not be read and were skipped.\n" + locked);
    EXPECT_TRUE(area.contains(first.frame));
    EXPECT_EQ(first.frame.right(), area.right());
    EXPECT_EQ(first.frame.bottom(), area.bottom() - std::lround(450 / ProgressWindowPlacement::twipsPerPixel(screen)));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(run().frame.topLeft(), first.frame.topLeft()) << "search " << i + 2;
    for (qint16 saved : {qint16(32000), qint16(-4000)}) {
        state.scanBarTop = state.scanBarLeft = saved;
        EXPECT_TRUE(area.contains(run().frame)) << saved;
        frmPREMATCH match(state); // the pre-match window follows the same rule
        EXPECT_TRUE(area.contains(QRect(match.pos(), match.frameGeometry().size()))) << saved;
    }
    Unprivileged::openToAll(locked); // so that its owner can clean it away
}
