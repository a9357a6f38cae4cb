// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// The windows a search opens before its review: the start dialog and the progress windows.
#include "frmresume.h"
#include "progresswindowplacement.h"

#include "catalogue.h"
#include "fakeplatform.h"
#include "frmdirlook.h"
#include "frmprematch.h"
#include "mainstate.h"
#include "programdir.h"
#include "scriptedprompts.h"
#include "temphome.h"
#include "testkit.h"
#include "unprivileged.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>

#include <cmath>

using Kind = Platform::DriveKind;

namespace {

struct ResumeFixture : ::testing::Test
{
    TempHome home;
    FakePlatform platform;
    MainState state;

    void SetUp() override
    {
        platform.addVolume("/", Kind::Fixed);
        platform.addVolume("/media/ann/STICK", Kind::Removable, "STICK");
        platform.addVolume("/mnt/nas", Kind::Remote, "NAS");
        platform.addVolume("/data", Kind::Fixed, "DATA");
        platform.addVolume("/dev/shm", Kind::Ram);
        platform.addVolume("/media/ann/CD", Kind::Optical, "CD", 0, 2048, /*mounted*/ false);
    }
    QCheckBox *box(frmRESUME &d, const QString &root)
    {
        return d.findChild<QCheckBox *>("chk" + root);
    }
};

} // namespace

TEST_F(ResumeFixture, OffersMountedRemovableNetworkAndRamVolumesAndAbsentChosenOnes)
{
    state.startMode = "RESUME";
    state.reactivate = "/media/ann/CD;/data";
    frmRESUME dialog(state);
    const struct
    {
        const char *root;
        bool enabled, checked;
    } expected[] = {{"/data", false, true}, // fixed now: kept, cannot be unticked
                    {"/dev/shm", true, false},
                    {"/media/ann/CD", false, true}, // absent
                    {"/media/ann/STICK", true, false},
                    {"/mnt/nas", true, false}};
    ASSERT_EQ(dialog.volumeBoxes.size(), 5); // the root file system is never offered
    for (int i = 0; i < 5; ++i) {
        QCheckBox *b = dialog.volumeBoxes[i];
        EXPECT_EQ(b->objectName(), QString("chk") + expected[i].root);
        EXPECT_EQ(b->isEnabled(), expected[i].enabled) << expected[i].root;
        EXPECT_EQ(b->isChecked(), expected[i].checked) << expected[i].root;
    }
    // Chosen volumes mean a new search, even when resuming was possible.
    EXPECT_TRUE(dialog.optNEW->isChecked());
    EXPECT_TRUE(dialog.optRESUME->isEnabled());
    box(dialog, "/mnt/nas")->click();
    dialog.cmdGO->click();
    EXPECT_EQ(state.startMode, "NEW");
    EXPECT_EQ(state.reactivate, "/data;/media/ann/CD;/mnt/nas");
}

TEST_F(ResumeFixture, ChoicesFollowTheStartModeAndOnlyStartKeepsThem)
{
    const struct
    {
        const char *startMode;
        bool clickResume, clickVolume, start;
        const char *result, *reactivate;
    } cases[] = {{"NEW", true, false, true, "NEW", ""}, // resume is disabled
                 {"RESUME", false, false, true, "RESUME", ""},
                 {"RESUME", true, true, true, "NEW", "/dev/shm"}, // a volume click switches back
                 {"RESUME", true, false, true, "RESUME", ""},
                 {"RESUME", false, true, false, "RESUME", ""}}; // closed without Start
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.startMode << c.clickResume << c.clickVolume << c.start);
        state.startMode = c.startMode;
        state.reactivate.clear();
        frmRESUME dialog(state);
        EXPECT_EQ(dialog.optRESUME->isEnabled(), QByteArray(c.startMode) == "RESUME");
        if (c.clickResume)
            dialog.optRESUME->click();
        if (c.clickVolume)
            box(dialog, "/dev/shm")->click();
        if (c.start)
            dialog.cmdGO_Click();
        else
            dialog.reject();
        EXPECT_EQ(state.startMode, c.result);
        EXPECT_EQ(state.reactivate, c.reactivate);
    }
}

TEST(ProgressWindowPlacement, LowerRightOrTheSavedPlaceAlwaysWholeOnTheArea)
{
    const QRect screen(0, 0, 1280, 1024), right(1280, 24, 1024, 744); // the second below a panel
    const QSize frame(648, 200);
    // 450 twips above the bottom: 30 pixels at 96 dots per inch (15 twips a pixel), 45 at 144.
    EXPECT_EQ(ProgressWindowPlacement::framePosition(screen, frame, -5000, -5000, 15),
              QPoint(632, 794));
    EXPECT_EQ(ProgressWindowPlacement::framePosition(screen, frame, -5000, -5000, 10),
              QPoint(632, 779));
    EXPECT_EQ(ProgressWindowPlacement::framePosition(right, frame, -5000, -5000, 15),
              QPoint(1656, 538));
    EXPECT_EQ(ProgressWindowPlacement::framePosition(right, frame, 32000, -3000, 15),
              QPoint(1280, 568));
    EXPECT_EQ(ProgressWindowPlacement::framePosition(right, {400, 900}, 1500, 30000, 15),
              QPoint(1904, 24));
}

// The pre-scan window opens whole on the screen where it was left, and ends on the figures of
// its closing message.
TEST(PreScanWindow, OpensWholeOnTheScreenAndEndsOnTheFiguresOfItsMessage)
{
    TempHome home;
    FakePlatform platform;
    ScriptedPrompts prompts;
    QTemporaryDir pics;
    MainState state;
    MainState::setCurrent(&state);
    state.listName = "Pics";
    state.clickFileType(MainState::fileTypeIndex(".PNG"), true);
    ASSERT_TRUE(ProgramDir::ensureDataDir());
    ASSERT_TRUE(Catalogue::createTemplate(home.file("data/Pics.mdb")));
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(savePicture(pics.filePath(QString("a/p%1.png").arg(i)), {8, 8}));
    const QString locked = pics.filePath("locked/");
    ASSERT_TRUE(savePicture(locked + "p.png", {8, 8}));
    state.directories = {"[] " + pics.filePath("a/"), "[] " + locked};
    state.clickMode(MainState::Mode::Pattern); // shows each picture: the window's largest form
    state.noWarnings = true;
    const QScreen *screen = ProgressWindowPlacement::screen();
    const QRect area = screen->availableGeometry();
    Unprivileged::openToAll(home.path());
    Unprivileged::openToAll(pics.path());
    Unprivileged::lock(locked);
    Unprivileged user;

    // Runs the window to its end: where it stood and what it showed at its closing message.
    const auto run = [&] {
        struct { QRect frame; QString number, message; } seen;
        auto *w = new frmDIRLOOK(state);
        prompts.then(Prompts::Answer::Ok);
        prompts.onAsk = [&](const Prompts::Box &box) {
            seen = {w->frameGeometry(), w->lblNUMBER->text(), box.text};
        };
        state.preScanDone = false;
        w->show();
        waitFor([&] { return state.preScanDone; });
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return seen;
    };
    const auto first = run();
    EXPECT_EQ(first.number, "40 found...");
    EXPECT_EQ(first.message,
              "40 files read...\n\n1 folder(s) could not be read and were skipped.\n" + locked);
    EXPECT_TRUE(area.contains(first.frame));
    EXPECT_EQ(first.frame.right(), area.right());
    EXPECT_EQ(first.frame.bottom(),
              area.bottom() - std::lround(450 / ProgressWindowPlacement::twipsPerPixel(screen)));
    EXPECT_EQ(run().frame.topLeft(), first.frame.topLeft()) << "the next search";
    for (qint16 saved : {qint16(32000), qint16(-4000)}) {
        state.scanBarTop = state.scanBarLeft = saved;
        EXPECT_TRUE(area.contains(run().frame)) << saved;
        frmPREMATCH match(state); // the pre-match window follows the same rule
        EXPECT_TRUE(area.contains(QRect(match.pos(), match.frameGeometry().size()))) << saved;
    }
    Unprivileged::openToAll(locked); // so that its owner can clean it away
    MainState::setCurrent(nullptr);
}
