// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmresume.h"
#include "resumechoice.h"

#include "fakeplatform.h"
#include "frmstats.h"
#include "mainstate.h"
#include "temphome.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

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
    } expected[] = {{"/data", false, true},        // fixed now: kept, cannot be unticked
                    {"/dev/shm", true, false},
                    {"/media/ann/CD", false, true}, // absent
                    {"/media/ann/STICK", true, false},
                    {"/mnt/nas", true, false}};
    ASSERT_EQ(dialog.volumeBoxes.size(), 5);
    for (int i = 0; i < 5; ++i) {
        QCheckBox *b = dialog.volumeBoxes[i];
        EXPECT_EQ(b->objectName(), QString("chk") + expected[i].root);
        EXPECT_EQ(b->isEnabled(), expected[i].enabled) << expected[i].root;
        EXPECT_EQ(b->isChecked(), expected[i].checked) << expected[i].root;
    }
    EXPECT_EQ(box(dialog, "/"), nullptr); // the root file system is never offered
    // Chosen volumes mean a new search, even when resuming was possible.
    EXPECT_TRUE(dialog.optNEW->isChecked());
    EXPECT_TRUE(dialog.optRESUME->isEnabled());
    box(dialog, "/mnt/nas")->click();
    dialog.cmdGO->click();
    EXPECT_EQ(state.startMode, "NEW");
    EXPECT_EQ(state.reactivate, "/data;/media/ann/CD;/mnt/nas");
}

TEST_F(ResumeFixture, ChoicesFollowTheStartMode)
{
    struct Case
    {
        const char *startMode;
        bool clickResume, clickVolume;
        const char *result;
    };
    const Case cases[] = {{"NEW", true, false, "NEW"},     // resume is disabled
                          {"RESUME", false, false, "RESUME"},
                          {"RESUME", true, true, "NEW"},   // a volume click switches back
                          {"RESUME", true, false, "RESUME"}};
    for (const Case &c : cases) {
        state.startMode = c.startMode;
        state.reactivate.clear();
        frmRESUME dialog(state);
        EXPECT_EQ(dialog.optRESUME->isEnabled(), QByteArray(c.startMode) == "RESUME");
        if (c.clickResume)
            dialog.optRESUME->click();
        if (c.clickVolume)
            box(dialog, "/dev/shm")->click();
        dialog.cmdGO_Click();
        EXPECT_EQ(state.startMode, c.result) << c.startMode << c.clickResume << c.clickVolume;
    }
}

TEST_F(ResumeFixture, ClosingWithoutStartChangesNothing)
{
    state.startMode = "RESUME";
    state.reactivate = "/mnt/nas";
    {
        frmRESUME dialog(state);
        box(dialog, "/dev/shm")->click();
        dialog.reject();
    }
    EXPECT_EQ(state.startMode, "RESUME");
    EXPECT_EQ(state.reactivate, "/mnt/nas");
}

TEST(Quit, StatisticsWindowShowsTheMessage)
{
    frmSTATS stats("3 file(s) deleted this session.");
    EXPECT_EQ(stats.windowTitle(), "Vexa! - DriveSpace Recovery Stats");
    EXPECT_EQ(stats.lblMSG->text(), "3 file(s) deleted this session.");
    EXPECT_EQ(stats.chkNODISPLAY->text(), "Do &not display this message...");
    EXPECT_FALSE(stats.chkNODISPLAY->isChecked());
}
