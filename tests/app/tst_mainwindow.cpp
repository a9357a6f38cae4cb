// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmmain.h"

#include "dirlist.h"
#include "fakeplatform.h"
#include "frmdirlook.h"
#include "frmfindit.h"
#include "frmprematch.h"
#include "frmresume.h"
#include "frmstats.h"
#include "scriptedprompts.h"
#include "settingsini.h"
#include "temphome.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

using Check = MainState::Check;
using Mode = MainState::Mode;
using Prompts::Answer;

namespace {

struct WindowFixture : ::testing::Test
{
    TempHome home;
    FakePlatform platform;
    ScriptedPrompts prompts;

    void TearDown() override
    {
        // No window may outlive its test.
        for (QWidget *w : QApplication::topLevelWidgets())
            delete w;
    }
};

} // namespace

// A fresh program directory: the first-run defaults on screen and in a new settings file.
TEST_F(WindowFixture, AFreshProgramDirectoryStartsWithTheFirstRunDefaults)
{
    frmMAIN w;
    QStringList checked;
    for (QAbstractButton *b : w.findChildren<QAbstractButton *>(QRegularExpression("^(opt|chk)"))) {
        if (b->isChecked())
            checked << b->objectName();
    }
    checked.sort();
    EXPECT_EQ(checked, (QStringList{"chkIGNORE", "optNAME"}));
    EXPECT_EQ(
        QStringList({w.txtTOLERANCE->text(), w.lblLISTNAME->text(), w.txtTHUMBNAILEXT->text()}),
        QStringList({"5", "General", ".THN"}));
    EXPECT_TRUE(home.read("VEXA.INI").contains("THUMBNAIL = .THN\r\nFILTER = *\r\n"));
    EXPECT_TRUE(w.controller().isFirstRun());
}

TEST_F(WindowFixture, ClicksChangeTheOptionsAsDesigned)
{
    frmMAIN w;
    MainState &s = w.state();
    w.chkSOFTMATCH->click();
    EXPECT_TRUE(s.isChecked(Check::SoftMatch));
    EXPECT_TRUE(s.optionsChanged);
    s.optionsChanged = false;
    w.optPATTERN->click();
    EXPECT_EQ(s.mode(), Mode::Pattern);
    EXPECT_FALSE(w.chkSOFTMATCH->isChecked()); // a mode click unchecks soft matching
    EXPECT_TRUE(s.optionsChanged);

    const struct
    {
        QCheckBox *box;
        bool raises;
    } boxes[] = {{w.fileTypeBoxes[0], true}, {w.chkEXCLUSIVE, true},   {w.chkGATHER, true},
                 {w.chkNOT, true},           {w.chkSINGLETABLE, true}, {w.chkSNAPSHOT, false},
                 {w.chkRECYCLE, false},      {w.chkNOSOUND, false},    {w.chkPREMATCH, false}};
    for (const auto &b : boxes) {
        s.optionsChanged = false;
        b.box->click();
        EXPECT_EQ(s.optionsChanged, b.raises) << b.box->objectName().toStdString();
    }
}

TEST_F(WindowFixture, LeavingAFieldValidatesIt)
{
    frmMAIN w;
    MainState &s = w.state();
    const struct
    {
        QString typed, tolerance;
    } tolerances[] = {{"150", "5"}, {"-1", "5"},    {"99", "99"},
                      {"0", "0"},   {" 12 ", "12"}, {"abc", "abc"}};
    for (const auto &t : tolerances) {
        s.tolerance = t.typed;
        w.controller().txtTOLERANCE_LostFocus();
        EXPECT_EQ(w.txtTOLERANCE->text(), t.tolerance) << t.typed.toStdString();
    }
    s.optionsChanged = false;
    w.controller().txtTOLERANCE_LostFocus();
    EXPECT_FALSE(s.optionsChanged);
    s.clickCheck(Check::PreMatch, true);
    s.optionsChanged = false;
    w.controller().txtTOLERANCE_LostFocus();
    EXPECT_TRUE(s.optionsChanged); // the pre-match results depend on the tolerance

    const struct { QString typed, ext; } exts[] = {{"  thn ", ".THN"}, {"", ""}, {".jpg", ".JPG"}};
    for (const auto &e : exts) {
        s.thumbnailExt = e.typed;
        w.controller().txtTHUMBNAILEXT_LostFocus();
        EXPECT_EQ(w.txtTHUMBNAILEXT->text(), e.ext);
    }
    s.filter = "  dog*,cat* ";
    s.optionsChanged = false;
    w.controller().txtFILTER_LostFocus();
    EXPECT_EQ(w.txtFILTER->text(), "DOG*,CAT*");
    EXPECT_TRUE(s.optionsChanged);
    s.filter = "   ";
    w.controller().txtFILTER_LostFocus();
    EXPECT_EQ(s.filter, "*");
}

TEST_F(WindowFixture, FirstActivationReadsSettingsAndClearsOptionsChanged)
{
    home.write("VEXA.INI", "LIST NAME = Pics\r\nPATTERN\r\nUSE SOFTMATCH\r\n.GIF\r\n");
    home.write("data/Pics.lst",
               "[DIRECTORIES]\r\n[] /srv/pics/\r\n = INCOMING FILE DIRECTORY\r\n \r\n");
    frmMAIN w;
    w.controller().Form_Activate();
    EXPECT_TRUE(prompts.boxes.isEmpty());
    EXPECT_EQ(w.lblLISTNAME->text(), "Pics");
    EXPECT_TRUE(w.optPATTERN->isChecked());
    EXPECT_TRUE(w.chkSOFTMATCH->isChecked());
    EXPECT_TRUE(w.findChild<QCheckBox *>("chkGIF")->isChecked());
    EXPECT_TRUE(w.chkIGNORE->isChecked());
    EXPECT_FALSE(w.state().optionsChanged);
    EXPECT_TRUE(w.cmdGO->isEnabled());
    EXPECT_TRUE(platform.lockHeld);
    EXPECT_TRUE(platform.helpPages.isEmpty()); // not a first run
    // Every activation writes the settings.
    EXPECT_EQ(home.read("VEXA.INI"), SettingsIni::compose(w.state()));
}

TEST_F(WindowFixture, StartUpWarnings)
{
    const QString lowHome =
        "You have less than 20 meg free on drive /home\n\nYou should free up more "
        "drive space for Windows Virtual Memory and the Vexa! Image Database "
        "before continuing.";
    const struct
    {
        const char *name;
        std::function<void(FakePlatform &, const TempHome &)> setup;
        QStringList texts;
        bool ends;
    } cases[] = {
        {"another instance",
         [](FakePlatform &p, const TempHome &) { p.otherInstanceRunning = true; },
         {"Another instance of Vexa! is already running..."},
         true},
        {"lock file cannot be made",
         [](FakePlatform &p, const TempHome &) { p.lockNotWritable = true; },
         {"Vexa! cannot write to its folder %HOME%, so it cannot start.\n\nMake the folder "
          "writable, "
          "or name another one in VEXA_HOME."},
         true},
        {"256 colours",
         [](FakePlatform &p, const TempHome &) { p.depth = 8; },
         {"You should increase your screen color resolution for better performance..."},
         false},
        {"low space at home",
         [](FakePlatform &p, const TempHome &) {
             p.addVolume(QDir::homePath() == "/" ? "/" : "/home", Platform::DriveKind::Fixed, "",
                         5 << 20);
         },
         {},
         false},
        {"low space for the program directory",
         [](FakePlatform &p, const TempHome &h) {
             p.addVolume(h.path(), Platform::DriveKind::Removable, "STICK", 19 << 20);
         },
         {"You have less than 20 meg free on drive %HOME%\n\nYou should free up more drive space "
          "for the Vexa! Image Database before continuing."},
         false},
    };
    for (const auto &c : cases) {
        TempHome caseHome;
        FakePlatform p;
        ScriptedPrompts sp;
        c.setup(p, caseHome);
        QStringList expected;
        for (QString t : c.texts)
            expected << t.replace("%HOME%", caseHome.path());
        if (QByteArray(c.name) == "low space at home" && QDir::homePath().startsWith("/home/"))
            expected << lowHome;
        for (int i = 0; i < expected.size(); ++i)
            sp.then(Answer::Ok);
        frmMAIN w;
        w.controller().Form_Activate();
        EXPECT_EQ(sp.texts(), expected) << c.name;
        EXPECT_EQ(w.controller().hasEnded(), c.ends) << c.name;
        for (const Prompts::Box &b : sp.boxes) {
            if (b.text.startsWith("You have less"))
                EXPECT_EQ(b.title, "Vexa! - Low Disk Space Warning");
        }
    }
}

TEST_F(WindowFixture, CrashRecoveryAsksForEachMarker)
{
    home.write("VEXA.INI", "LIST NAME = General\r\n.JPG\r\n");
    home.write("Scanning.dat", "1");
    home.write("Matching.dat", "1");
    prompts.then(Answer::No).then(Answer::No);
    frmMAIN w;
    w.controller().Form_Activate();
    const QString ask =
        "Vexa! appears to have crashed during a Pre-%1.  Do you wish to continue the scan?";
    EXPECT_EQ(prompts.texts(), (QStringList{ask.arg("Scan"), ask.arg("Match")}));
    for (const auto &b : prompts.boxes) {
        EXPECT_TRUE(b.title == "vexa! - Crash recovery" && b.icon == Prompts::Icon::Critical &&
                    b.buttons == Prompts::Buttons::YesNo);
    }
    EXPECT_FALSE(home.exists("Scanning.dat") || home.exists("Matching.dat"));
}

TEST(Placement, QuarterOffsetFromTwelveThousandTwipsCentredBelow)
{
    const QSize window(400, 300);
    EXPECT_EQ(frmMAIN::placement(QSize(800, 600), window, 15), QPoint(100, 75));
    EXPECT_EQ(frmMAIN::placement(QSize(640, 480), window, 15), QPoint(120, 90));
    EXPECT_EQ(frmMAIN::placement(QSize(640, 600), window, 15), QPoint(60, 75)); // 9000 high
}

TEST_F(WindowFixture, ClosingTheWindowOrEndingTheSessionSavesAsQuitDoes)
{
    const struct
    {
        const char *name;
        std::function<void(frmMAIN &)> end;
        bool statistics;
    } cases[] = {
        {"close button", [](frmMAIN &w) { w.close(); }, true},
        {"session ends", [](frmMAIN &) { QMetaObject::invokeMethod(qApp, "aboutToQuit"); }, false}};
    for (const auto &c : cases) {
        TempHome caseHome;
        ScriptedPrompts sp;
        sp.onDialog = [](QDialog *) { return int(QDialog::Accepted); };
        caseHome.write("VEXA.INI", "LIST NAME = General\r\n.JPG\r\n");
        frmMAIN w;
        w.show();
        w.controller().Form_Activate();
        w.state().clickFileType(MainState::fileTypeIndex(".GIF"), true);
        w.state().sessionSectorBytesRecovered = 4096;
        DirList::AddListEntry(w.state(), "/srv/new");
        c.end(w);
        EXPECT_EQ(sp.dialogs.contains("frmSTATS"), c.statistics) << c.name;
        const QByteArray ini = caseHome.read("VEXA.INI");
        EXPECT_TRUE(ini.contains("\r\n.GIF\r\n") && ini.contains("\r\n4096 BYTES RECOVERED\r\n"))
            << c.name;
        EXPECT_TRUE(caseHome.read("data/General.lst").contains("[] /srv/new/\r\n")) << c.name;
    }
    // Settings that were never read are never written over.
    TempHome caseHome;
    caseHome.write("VEXA.INI", "LIST NAME = General\r\n.JPG\r\n");
    frmMAIN w;
    QMetaObject::invokeMethod(qApp, "aboutToQuit");
    w.close();
    EXPECT_EQ(caseHome.read("VEXA.INI"), "LIST NAME = General\r\n.JPG\r\n");
}

TEST_F(WindowFixture, FitsAScreenOf1024By768WithEveryControlInSight)
{
    frmMAIN w;
    const QSize room(1024 - 24, 768 - 80); // the rest is for the window's frame and a panel
    EXPECT_TRUE(w.width() <= room.width() && w.height() <= room.height())
        << w.width() << "x" << w.height();
    w.resize(w.minimumSizeHint());
    EXPECT_TRUE(w.width() <= room.width() && w.height() <= room.height())
        << w.width() << "x" << w.height();
    w.show();
    const QList<QWidget *> controls =
        w.findChildren<QWidget *>(QRegularExpression("^(opt|chk|cmd|txt|lst|lbl|img)[A-Z]+$"));
    EXPECT_EQ(controls.size(), 8 + 15 + MainState::FileTypeCount + 4 + 1 + 1 + 11 + 2);
    for (QWidget *c : controls) {
        EXPECT_TRUE(c->isVisible() &&
                    w.rect().contains(QRect(c->mapTo(&w, QPoint(0, 0)), c->size())))
            << c->objectName().toStdString();
    }
}

TEST_F(WindowFixture, EveryWindowGivesItsButtonsKeysOfTheirOwn)
{
    MainState state;
    std::vector<std::unique_ptr<QWidget>> windows;
    for (QWidget *w : std::initializer_list<QWidget *>{
             new frmMAIN, new frmFINDIT(state), new frmLOADSAVE(state, frmLOADSAVE::Action::Load),
             new frmRESUME(state), new frmSTATS("0 file(s) deleted this session."),
             new frmDIRLOOK(state), new frmPREMATCH(state)})
        windows.emplace_back(w);
    for (const auto &w : windows) {
        QStringList captions; // of buttons, of the labels of fields, of groups
        for (QAbstractButton *b : w->findChildren<QAbstractButton *>()) {
            captions << b->text();
            if (qobject_cast<QPushButton *>(b))
                EXPECT_FALSE(QKeySequence::mnemonic(b->text()).isEmpty())
                    << b->text().toStdString();
        }
        for (QLabel *l : w->findChildren<QLabel *>()) {
            if (l->buddy())
                captions << l->text();
        }
        for (QGroupBox *g : w->findChildren<QGroupBox *>())
            captions << g->title();
        QMultiMap<QString, QString> byKey;
        for (const QString &c : captions) {
            if (!QKeySequence::mnemonic(c).isEmpty())
                byKey.insert(QKeySequence::mnemonic(c).toString(), c);
        }
        for (const QString &key : byKey.uniqueKeys())
            EXPECT_EQ(byKey.count(key), 1) << byKey.values(key).join(" / ").toStdString();
    }
}
