// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "maincontroller.h"

#include "catalogue.h"
#include "fakeplatform.h"
#include "listtag.h"
#include "programdir.h"
#include "scriptedprompts.h"
#include "settingsini.h"
#include "temphome.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QFile>

#include <csignal>
#include <utility>

using Check = MainState::Check;
using Mode = MainState::Mode;
using Prompts::Answer;

namespace {

// Windows around the main window, reduced to what they report back.
class FakeHost : public MainWindowHost
{
public:
    explicit FakeHost(MainState &s) : state(s) {}
    MainState &state;
    QStringList calls;
    std::function<void()> duringPreScan; // runs while the launch waits for the pre-scan
    const char *dialogChoice = nullptr;  // what the resume dialog leaves in the start mode
    bool statsNoDisplay = false;
    QString statsShown;
    int exitCode = -1;

    void processEvents() override {}
    void waitForEvents() override
    {
        if (auto fn = std::exchange(duringPreScan, nullptr))
            fn();
        state.preScanDone = state.preMatchDone = true;
    }
    void runResumeDialog() override
    {
        calls << "resume:" + state.startMode;
        if (dialogChoice)
            state.startMode = dialogChoice;
    }
    void showPreScan() override { calls << "prescan"; state.searchCompleted = "YES"; }
    void showPreMatch() override { calls << "prematch"; }
    void showReview(bool snapshot, const QString &) override
    {
        calls << (snapshot ? "snapshot" : "pairs");
    }
    void hideMain() override {}
    void setEyeTimer(bool) override {}
    void setGoEnabled(bool) override {}
    void setCompactWindowVisible(bool visible) override
    {
        if (visible)
            calls << "compact";
    }
    bool showStats(const QString &message) override
    {
        calls << "stats";
        statsShown = message;
        return statsNoDisplay;
    }
    void endProgram(int code) override { calls << "end"; exitCode = code; }
    void showMain() override { calls << "main"; }
};

// A program directory with a list "Photos" ticking .JPG, and a controller over it.
struct LaunchFixture : ::testing::Test
{
    TempHome home;
    FakePlatform platform;
    ScriptedPrompts prompts;
    MainState state;
    FakeHost host{state};
    MainController controller{state, host};

    void SetUp() override
    {
        state.listName = "Photos";
        state.directories = QStringList{"[] /tmp/photos/"};
        state.clickFileType(MainState::fileTypeIndex(".JPG"), true);
        state.optionsChanged = false;
        state.filter = "*";
    }
    QString catalogue() const { return home.file("data/Photos.mdb"); }
    void makeCatalogue()
    {
        ASSERT_TRUE(ProgramDir::ensureDataDir());
        ASSERT_TRUE(Catalogue::ensureTemplate(home.file("vexa.mdb")));
        ASSERT_TRUE(Catalogue::createFromTemplate(home.file("vexa.mdb"), catalogue()));
    }
    void tagMonth(int month)
    {
        ASSERT_TRUE(ProgramDir::ensureDataDir());
        ASSERT_TRUE(ListTag::write(ListTag::pathFor("Photos"), month));
    }
};

} // namespace

// Go refuses what cannot start, and asks before a mode that reads every picture.
TEST_F(LaunchFixture, GoRefusesOrWarnsBeforeItStarts)
{
    const QString warning =
        "The comparison mode you have chosen requires that I read each individual file";
    // The answer to the one box shown and how that box starts; whether the scan starts.
    const struct
    {
        const char *name;
        std::function<void(MainState &)> setup;
        std::optional<Answer> answer;
        QString message;
        bool scans;
    } cases[] = {
        {"empty list name", [](MainState &s) { s.listName = "  "; }, Answer::Ok,
         "Please name and save the directory list.", false},
        {"IFCD with Exclusive",
         [](MainState &s) {
             s.ifcd = "[] /tmp/in/";
             s.clickCheck(Check::Exclusive, true);
         },
         Answer::Ok, "You may not combine the IFCD and Exclusive search options...", false},
        {"no file type",
         [](MainState &s) { s.clickFileType(MainState::fileTypeIndex(".JPG"), false); }, Answer::Ok,
         "You have not selected any file types...", false},
        {"average colour, declined", [](MainState &s) { s.clickMode(Mode::AverageRgb); },
         Answer::No, warning, false},
        {"quadrant colour, accepted", [](MainState &s) { s.clickMode(Mode::QuadRgb); }, Answer::Yes,
         warning, true},
        {"pattern, declined", [](MainState &s) { s.clickMode(Mode::Pattern); }, Answer::No, warning,
         false},
        {"pattern, no warnings",
         [](MainState &s) {
             s.clickMode(Mode::Pattern);
             s.noWarnings = true;
         },
         std::nullopt, "", true},
        {"size", [](MainState &s) { s.clickMode(Mode::Size); }, std::nullopt, "", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        MainState s;
        s.listName = "Photos";
        s.clickFileType(MainState::fileTypeIndex(".JPG"), true);
        c.setup(s);
        FakeHost h(s);
        MainController m(s, h);
        const int before = int(prompts.boxes.size());
        if (c.answer)
            prompts.then(*c.answer);
        m.cmdGO_Click();
        ASSERT_EQ(prompts.boxes.size(), before + (c.answer ? 1 : 0));
        if (c.answer)
            EXPECT_TRUE(prompts.boxes.last().text.startsWith(c.message))
                << prompts.boxes.last().text.toStdString();
        EXPECT_EQ(h.calls.contains("prescan"), c.scans);
        EXPECT_FALSE(m.isSearchBusy());
    }
    EXPECT_TRUE(home.exists("VEXA.INI")); // settings are written before the checks
}

// The first search copies the template to the list's catalogue (or, with Single Database, to
// the shared one) and leaves the list's tag file alone.
TEST_F(LaunchFixture, FirstSearchCopiesTheTemplateAndLeavesTheTagAlone)
{
    controller.cmdGO_Click();
    EXPECT_EQ(host.calls, (QStringList{"prescan", "pairs"}));
    EXPECT_TRUE(Catalogue::isCatalogue(catalogue()) && home.exists("vexa.mdb"));
    EXPECT_FALSE(home.exists("data/Photos.lcd") || home.exists("data/vexatmp.mdb"));
    EXPECT_FALSE(controller.isSearchBusy());
    EXPECT_TRUE(prompts.boxes.isEmpty());
    QFile::remove(catalogue());
    state.clickCheck(Check::SingleTable, true);
    controller.cmdGO_Click();
    EXPECT_TRUE(home.exists("data/vexatmp.mdb"));
    EXPECT_FALSE(home.exists("data/Photos.mdb"));
}

TEST_F(LaunchFixture, ResumeIsOfferedOnlyForAnUnchangedSearch)
{
    // question: the "not completed" question and its answer.
    const struct { const char *name; bool optionsChanged; int stoppedAt; QString searchCompleted;
                   std::optional<Answer> question; QStringList calls; int stoppedAfter;
                   const char *dialogChoice = nullptr; } cases[] = {
        {"resume", false, 5, "YES", std::nullopt, {"resume:RESUME", "pairs"}, 5},
        {"incomplete, resume anyway", false, 5, "NO", Answer::Yes, {"resume:RESUME", "pairs"}, 5},
        {"incomplete, new search", false, 5, "NO", Answer::No,
         {"resume:RESUME", "prescan", "pairs"}, 0},
        {"options changed", true, 5, "YES", std::nullopt, {"resume:NEW", "prescan", "pairs"}, 0},
        {"nothing to resume", false, 0, "YES", std::nullopt, {"resume:NEW", "prescan", "pairs"}, 0},
        {"dialog closed on a new search", false, 3, "YES", std::nullopt,
         {"resume:RESUME", "prescan", "pairs"}, 0, "NEW"},
    };
    makeCatalogue();
    tagMonth(QDate::currentDate().month());
    for (const auto &c : cases) {
        host.calls.clear();
        state.optionsChanged = c.optionsChanged;
        state.stoppedAtRecord = c.stoppedAt;
        state.searchCompleted = c.searchCompleted;
        if (c.question)
            prompts.then(*c.question);
        host.dialogChoice = c.dialogChoice;
        const int boxesBefore = int(prompts.boxes.size());
        controller.cmdGO_Click();
        EXPECT_EQ(host.calls, c.calls) << c.name;
        EXPECT_EQ(state.stoppedAtRecord, c.stoppedAfter) << c.name;
        ASSERT_EQ(prompts.boxes.size(), boxesBefore + (c.question ? 1 : 0)) << c.name;
        if (c.question)
            EXPECT_EQ(prompts.boxes.last().text,
                      "The Directory Pre-Scan was not completed on your last session.\n\n"
                      "Would you like to resume where you last left off anyway?");
    }
}

TEST_F(LaunchFixture, MarkerFilesSkipTheChecks)
{
    // Scanning.dat wins: the scan reruns even with no file type ticked.
    state.clickFileType(MainState::fileTypeIndex(".JPG"), false);
    home.write("Scanning.dat", "1");
    home.write("Matching.dat", "1");
    controller.cmdGO_Click();
    EXPECT_EQ(host.calls, (QStringList{"prescan", "pairs"}));

    // Matching.dat alone goes to the pre-match (when ticked) and the review.
    QFile::remove(home.file("Scanning.dat"));
    host.calls.clear();
    controller.cmdGO_Click();
    EXPECT_EQ(host.calls, (QStringList{"pairs"}));
    state.clickCheck(Check::PreMatch, true);
    state.clickCheck(Check::Snapshot, true);
    host.calls.clear();
    controller.cmdGO_Click();
    EXPECT_EQ(host.calls, (QStringList{"prematch", "snapshot"}));
    EXPECT_TRUE(prompts.boxes.isEmpty());
}

TEST_F(LaunchFixture, SecondLaunchWhileWaitingOnlySavesSettings)
{
    state.listName = "General";
    host.duringPreScan = [&] {
        QFile::remove(home.file("data/General.lst"));
        QFile::remove(home.file("VEXA.INI"));
        controller.cmdGO_Click();
        EXPECT_TRUE(home.exists("data/General.lst"));
        EXPECT_TRUE(home.exists("VEXA.INI"));
    };
    controller.cmdGO_Click();
    EXPECT_EQ(host.calls, (QStringList{"prescan", "pairs"}));
}

// The month of the last compaction is kept in the list's tag file, made when missing; a search
// in a later month compacts the catalogue first; a tag that cannot be read ends the program.
TEST_F(LaunchFixture, MonthlyCheckCompactsOnceTheMonthChanges)
{
    makeCatalogue();
    {
        Catalogue c;
        ASSERT_TRUE(c.open(catalogue()));
        FilesRecord r;
        r.WHOLENAME = "A.JPG";
        r.STAG = "A.JPG 1 2026-01-01 00:00:00";
        for (int i = 0; i < 10; ++i)
            ASSERT_TRUE(c.insert(r));
    }
    const int month = QDate::currentDate().month();
    const QByteArray thisMonth = " " + QByteArray::number(month) + "\r\n";
    controller.cmdGO_Click();
    EXPECT_EQ(home.read("data/Photos.lcd"), thisMonth);
    tagMonth(month == 1 ? 12 : month - 1);
    for (const QStringList &calls :
         {QStringList{"resume:NEW", "compact", "prescan", "pairs"},
          QStringList{"resume:NEW", "prescan", "pairs"}}) { // the same month now
        host.calls.clear();
        controller.cmdGO_Click();
        EXPECT_EQ(host.calls, calls);
        EXPECT_EQ(home.read("data/Photos.lcd"), thisMonth);
    }
    Catalogue c;
    ASSERT_TRUE(c.open(catalogue()));
    EXPECT_EQ(c.rowCount(), 10);
    EXPECT_FALSE(home.exists("vexatmp.mdb"));

    QFile::remove(home.file("data/Photos.lcd"));
    QDir(home.path()).mkpath("data/Photos.lcd"); // a folder cannot be read as a file
    host.calls.clear();
    prompts.then(Answer::Ok);
    controller.cmdGO_Click();
    EXPECT_EQ(prompts.boxes.last().text, "Unable to read LIST TAG file");
    EXPECT_EQ(host.calls, (QStringList{"resume:NEW", "end"}));
    EXPECT_TRUE(controller.hasEnded());
}

// A damaged catalogue is set aside, with its log, only when the user says so, under a name
// not taken yet; the search then starts a new catalogue. (No is the unattended test's.)
TEST_F(LaunchFixture, DamagedCatalogueIsSetAsideOnRequest)
{
    const QByteArray junk("this is not a database at all, just some text\n");
    home.write("data/Photos.mdb", junk);
    home.write("data/Photos.mdb-wal", "log");
    home.write("data/Photos.mdb.damaged", "set aside earlier");
    tagMonth(QDate::currentDate().month() % 12 + 1); // a new catalogue is not compacted
    prompts.then(Answer::Yes);
    controller.cmdGO_Click();
    ASSERT_EQ(prompts.boxes.size(), 1);
    const Prompts::Box &box = prompts.boxes[0];
    EXPECT_TRUE(box.text.startsWith("The catalogue file " + catalogue()
                                    + " is damaged or is not a Vexa! catalogue."));
    EXPECT_TRUE(box.text.contains(catalogue() + ".damaged"));
    EXPECT_EQ(box.defaultButton, Prompts::Default::Second);
    EXPECT_EQ(home.read("data/Photos.mdb.damaged2"), junk);
    EXPECT_EQ(home.read("data/Photos.mdb.damaged2-wal"), "log");
    EXPECT_TRUE(Catalogue::isCatalogue(catalogue()));
    EXPECT_EQ(host.calls, (QStringList{"resume:NEW", "prescan", "pairs"}));
}

// After the pre-scan: a failure stops the launch (the main window comes back, no review); a
// gather skips the resume dialog, starts anew and ends with a status that says whether it
// completed; a stop request ends the program with 128 + signal, saving the settings but
// showing no statistics.
TEST_F(LaunchFixture, WhatComesAfterAPreScanThatDidNotComplete)
{
    makeCatalogue();
    tagMonth(QDate::currentDate().month());
    const struct
    {
        const char *name;
        bool gather, failed;
        int signal;
        QStringList calls;
        int exitCode;
    } cases[] = {
        {"failed", false, true, 0, {"resume:NEW", "prescan", "main"}, -1},
        {"failed gather", true, true, 0, {"prescan", "end"}, 1},
        {"completed gather", true, false, 0, {"prescan", "end"}, 0},
        {"stopped by logout", false, false, SIGTERM, {"resume:NEW", "prescan", "end"}, 143},
        {"stopped gather by Ctrl+C", true, false, SIGINT, {"prescan", "end"}, 130},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        MainState s;
        s.listName = "Photos";
        s.clickFileType(MainState::fileTypeIndex(".JPG"), true);
        s.clickCheck(Check::Gather, c.gather);
        s.stoppedAtRecord = c.gather ? 9 : 0; // a gather never resumes
        FakeHost fake(s);
        MainController m(s, fake);
        fake.duringPreScan = [&] {
            if (c.signal)
                m.stopBySignal(c.signal);
            s.preScanFailed = c.failed;
            s.searchCompleted = c.failed || c.signal ? "NO" : "YES";
        };
        home.write("VEXA.INI", "");
        m.cmdGO_Click();
        EXPECT_EQ(fake.calls, c.calls);
        EXPECT_EQ(fake.exitCode, c.exitCode);
        EXPECT_FALSE(m.isSearchBusy());
        EXPECT_EQ(m.hasEnded(), c.exitCode >= 0);
        if (c.gather)
            EXPECT_EQ(s.stoppedAtRecord, 0);
        if (c.exitCode >= 0)
            EXPECT_EQ(home.read("VEXA.INI"), SettingsIni::compose(s));
    }
    EXPECT_TRUE(prompts.boxes.isEmpty());
}

TEST(ReviewTitle, FollowsModeAndOptions)
{
    const struct { Mode mode; bool soft, ignore; QString ifcd, title;
    } cases[] = {
        {Mode::Name, true, false, "[] /in/", "Vexa! - NAME search, SOFT MATCHING, IFCD"},
        {Mode::Size, false, false, "", "Vexa! - SIZE search"},
        {Mode::NameSize, true, true, "",
         "Vexa! - NAME and SIZE search, SOFT MATCHING, IGNORE TYPE"},
        {Mode::Numbered, false, true, " ", "Vexa! - NUMBERED search, IGNORE TYPE"},
        {Mode::AverageRgb, false, false, "", "Vexa! - AVERAGE RGB search"},
        {Mode::QuadRgb, true, false, "", "Vexa! - QUADRANT RGB search, SOFT MATCHING"},
        {Mode::Pattern, true, true, "", "Vexa! - PATTERN search"},
        {Mode::Checksum, false, true, "[] /in/", "Vexa! - CHECKSUM search, IFCD"},
    };
    for (const auto &c : cases) {
        MainState s;
        s.clickMode(c.mode);
        s.clickCheck(Check::SoftMatch, c.soft);
        s.clickCheck(Check::Ignore, c.ignore);
        s.ifcd = c.ifcd;
        EXPECT_EQ(MainController::reviewTitle(s), c.title);
    }
}

TEST(QuitStatistics, MegabytesAlwaysShowThePoint)
{
    const struct
    {
        double bytes;
        const char *text;
    } cases[] = {{0, "."},           {2114000, "2."}, {1057000 * 1.5, "1.5"},
                 {5285, ".01"},      {5284, "."},     {1057000 * 12.345, "12.35"},
                 {1e12, "946073.79"}};
    for (const auto &c : cases)
        EXPECT_EQ(MainController::megabytes(c.bytes), c.text) << c.bytes;
}

TEST(QuitStatistics, MessageAddsThisRunToTheTotal)
{
    MainState s;
    s.sessionFilesDeleted = 3;
    s.totalFilesDeleted = 10;
    s.sessionBytesRecovered = 2114000;
    s.sessionSectorBytesRecovered = 2117632;
    s.totalBytesRecovered = 1e15;
    EXPECT_EQ(MainController::statsMessage(s),
              "3 file(s) deleted this session.\n\n"
              "2114000 bytes recovered, or 2. meg(s).\n\n"
              "Actual space adjusted for sector usage...\n"
              "2117632 bytes recovered, or 2. meg(s).\n"
              "__________\n\n"
              "Total recovered for all sessions...\n"
              "1.00000000211763E+15 bytes recovered, or 946073795.76 meg(s).\n"
              "10 files deleted.");
}

TEST_F(LaunchFixture, OptingOutOfStatisticsAtQuitIsRememberedInTheSettings)
{
    state.listName = "General";
    state.totalBytesRecovered = 100;
    state.sessionSectorBytesRecovered = 4096;
    host.statsNoDisplay = true;
    prompts.then(Answer::Ok);
    controller.cmdQUIT_Click();
    EXPECT_EQ(host.calls, (QStringList{"stats", "end"}));
    EXPECT_EQ(prompts.boxes[0].text,
              "To Re-enable the drive stats message at a later time, remove "
              "the line that reads \n\nDISABLE END STATS MESSAGE\n\nfrom the "
              "VEXA.INI file");
    EXPECT_EQ(prompts.boxes[0].icon, Prompts::Icon::Information);
    const QByteArray ini = home.read("VEXA.INI");
    EXPECT_TRUE(ini.contains("\r\nDISABLE END STATS MESSAGE\r\n"));
    // The total shown is the one the settings file keeps.
    EXPECT_TRUE(ini.contains("\r\n4196 BYTES RECOVERED\r\n"));
    EXPECT_TRUE(host.statsShown.contains("\n4196 bytes recovered"))
        << host.statsShown.toStdString();
    EXPECT_TRUE(home.exists("data/General.lst")); // the General list is saved at quit

    // The next quit shows nothing.
    host.calls.clear();
    MainController again(state, host);
    again.cmdQUIT_Click();
    EXPECT_EQ(host.calls, (QStringList{"end"}));
}

TEST_F(LaunchFixture, PurgeThrowsTheCatalogueAwayAfterItsQuestion)
{
    makeCatalogue();
    home.write("vexatmp.mdb", "x");
    home.write("VEXATMP.LDB", "x");
    state.stoppedAtRecord = 12;
    prompts.then(Answer::No);
    controller.cmdPURGE_Click();
    EXPECT_TRUE(home.exists("data/Photos.mdb"));
    EXPECT_TRUE(
        prompts.boxes[0].text.startsWith("Do you wish to purge all records from the database?"));
    EXPECT_EQ(prompts.boxes[0].defaultButton, Prompts::Default::Second);

    prompts.then(Answer::Yes).then(Answer::Ok);
    controller.cmdPURGE_Click();
    EXPECT_EQ(prompts.boxes.last().text, "Database Purged...");
    for (const char *f : {"data/Photos.mdb", "vexatmp.mdb", "VEXATMP.LDB"})
        EXPECT_FALSE(home.exists(f)) << f;
    EXPECT_EQ(state.stoppedAtRecord, 0);
    EXPECT_TRUE(state.optionsChanged);
    EXPECT_TRUE(home.read("VEXA.INI").contains("STOPPED AT RECORD = 0\r\n"));

    // Nothing to purge still reports the purge.
    prompts.then(Answer::Yes).then(Answer::Ok);
    controller.cmdPURGE_Click();
    EXPECT_EQ(prompts.boxes.last().text, "Database Purged...");
}

TEST_F(LaunchFixture, FailedCompactionKeepsTheCatalogueAndTheOldMonth)
{
    makeCatalogue();
    tagMonth(1);
    // A folder where the temporary copy goes makes the copy fail.
    QDir(home.path()).mkpath("vexatmp.mdb/blocked");
    prompts.then(Answer::Yes).then(Answer::Ok);
    controller.cmdCOMPACT_Click();
    EXPECT_TRUE(prompts.boxes[0].text.startsWith("Do you wish to compact the database?"));
    EXPECT_TRUE(prompts.boxes.last().text.startsWith("Unable to compact the database."));
    EXPECT_TRUE(Catalogue::isCatalogue(catalogue()));
    EXPECT_FALSE(home.exists("data/Photos.mdb.old"));
    EXPECT_EQ(home.read("data/Photos.lcd"), " 1\r\n");
}

TEST_F(LaunchFixture, AListNamedAtStartThatCannotBeReadLeavesGeneralAsItWas)
{
    const QByteArray general =
        "[DIRECTORIES]\r\n[] /srv/a/\r\n[] /srv/b/\r\n = INCOMING FILE DIRECTORY\r\n \r\n";
    // told: "Unable to read DIR LIST file".
    const struct
    {
        QByteArray ini;
        QString commandLine;
        bool told;
    } cases[] = {{"LIST NAME = General\r\n.JPG\r\n", "NoSuchList", true},
                 {"LIST NAME = Gone\r\n.JPG\r\n", "", true},
                 {".JPG\r\n", "", false}}; // settings that name no list
    for (const auto &c : cases) {
        TempHome caseHome;
        ScriptedPrompts sp;
        caseHome.write("VEXA.INI", c.ini);
        caseHome.write("data/General.lst", general);
        MainState s;
        FakeHost h(s);
        MainController m(s, h);
        m.setCommandLine(c.commandLine);
        if (c.told)
            sp.then(Answer::Ok);
        const auto name = c.ini.left(20).toStdString();
        m.Form_Activate();
        EXPECT_EQ(s.listName, "General") << name;
        EXPECT_EQ(s.directories, (QStringList{"[] /srv/a/", "[] /srv/b/"})) << name;
        m.cmdGO_Click(); // saves "General" as every search does
        EXPECT_EQ(caseHome.read("data/General.lst"), general) << name;
    }
}

TEST_F(LaunchFixture, HelpWithoutABrowserNamesTheHelpPage)
{
    using Help = FakePlatform::Help;
    for (Help help : {Help::Opens, Help::NoBrowser, Help::FailsLater}) {
        ScriptedPrompts sp;
        platform.help = help;
        if (help != Help::Opens)
            sp.then(Answer::Ok);
        controller.openHelp();
        const QStringList expected{
            "No web browser could be started to show the help.\n\nThe help is "
            "the page " +
            home.file("vexa.html") + ": open it with any web browser."};
        EXPECT_EQ(sp.texts(), help == Help::Opens ? QStringList() : expected) << int(help);
    }
}
