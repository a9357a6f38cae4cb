// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "settingsini.h"

#include "mainstate.h"
#include "scriptedprompts.h"
#include "temphome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

using Check = MainState::Check;
using Mode = MainState::Mode;

namespace {

QByteArray crlf(const QStringList &lines)
{
    QByteArray out;
    for (const QString &l : lines)
        out += l.toUtf8() + "\r\n";
    return out;
}

struct Loaded
{
    QStringList lists;
    std::function<void(const QString &)> fn() { return [this](const QString &n) { lists << n; }; }
};

} // namespace

TEST(SettingsIni, FreshStateIsWrittenLineForLine)
{
    TempHome home;
    MainState s;
    s.filter = QStringLiteral("*");
    s.thumbnailExt = QStringLiteral(".THN");
    s.lastDirectory = QStringLiteral("/home/ann/");
    s.wavDirectory = QStringLiteral("/opt/vexa/");
    const QByteArray expected = crlf({
        "[CURRENT LIST]", "LIST NAME = General", " ",
        "[MODE]", "NAME", "IGNORE EXTENSION", "RGB TOLERANCE = 5", " ",
        "[OPTIONS]", "THUMBNAIL = .THN", "FILTER = *", " ",
        "[FILE TYPES]", " ",
        "[MISC]", "0 FILES DELETED", "0 BYTES RECOVERED", "MONTH COMPACTED = 0",
        "ALTERNATE VIEWER = ", "SEARCH COMPLETED = NO", "REACTIVATE = ", "STOPPED AT RECORD = 0",
        "LAST DIRECTORY = /home/ann/", "WAV DIRECTORY = /opt/vexa/", "SCANBAR TOP = -5000",
        "SCANBAR LEFT = -5000", " "});
    EXPECT_EQ(SettingsIni::compose(s), expected);
}

TEST(SettingsIni, EveryOptionSurvivesARoundTrip)
{
    TempHome home;
    MainState s;
    s.clickMode(Mode::QuadRgb);
    for (int i = 0; i < MainState::CheckCount; ++i) {
        const Check c = Check(i);
        // The tree flag belongs to the list file; gather and the check cleared below are not
        // settings.
        if (c != Check::TreeModeIfcd && c != Check::Gather)
            s.clickCheck(c, true);
    }
    s.clickCheck(Check::Ignore, false);
    for (int i = 0; i < MainState::FileTypeCount; i += 3)
        s.clickFileType(i, true);
    s.listName = QStringLiteral("Holiday Pics");
    s.tolerance = QStringLiteral("12");
    s.filter = QStringLiteral("DOG*,CAT*");
    s.thumbnailExt = QStringLiteral(".TMB");
    s.totalFilesDeleted = 42;
    s.totalBytesRecovered = 1000;
    s.sessionSectorBytesRecovered = 24;
    s.monthCompacted = 7;
    s.alternateViewer = QStringLiteral("/usr/bin/gimp");
    s.searchCompleted = QStringLiteral("YES");
    s.reactivate = QStringLiteral("/media/a;/media/b");
    s.stoppedAtRecord = 1234;
    s.lastDirectory = QStringLiteral("/srv/pics/");
    s.wavDirectory = QStringLiteral("/srv/sounds/");
    s.scanBarTop = 300;
    s.scanBarLeft = -15;
    s.disableFilePolling = true;
    s.showEndStats = false;
    s.autoPurge = false;
    s.identifyByLocation = true;
    s.noWarnings = true;

    MainState r;
    Loaded loaded;
    SettingsIni::apply(SettingsIni::compose(s), r, loaded.fn());

    EXPECT_EQ(loaded.lists, QStringList{"Holiday Pics"});
    EXPECT_EQ(r.mode(), Mode::QuadRgb);
    for (int i = 0; i < MainState::CheckCount; ++i) {
        const Check c = Check(i);
        if (c == Check::TreeModeIfcd || c == Check::Gather)
            continue;
        // "Ignore .EXT" is created checked and never unchecked by the reader.
        EXPECT_TRUE(r.isChecked(c)) << "check " << i;
    }
    for (int i = 0; i < MainState::FileTypeCount; ++i)
        EXPECT_EQ(r.isFileTypeChecked(i), i % 3 == 0) << MainState::fileTypes()[size_t(i)];
    EXPECT_EQ(r.tolerance, "12");
    EXPECT_EQ(r.filter, "DOG*,CAT*");
    EXPECT_EQ(r.thumbnailExt, ".TMB");
    EXPECT_EQ(r.totalFilesDeleted, 42);
    EXPECT_EQ(r.totalBytesRecovered, 1024); // this run's bytes join the total on disk
    EXPECT_EQ(r.monthCompacted, 7);
    EXPECT_EQ(r.alternateViewer, "/usr/bin/gimp");
    EXPECT_EQ(r.searchCompleted, "YES");
    EXPECT_EQ(r.reactivate, "/media/a;/media/b");
    EXPECT_EQ(r.stoppedAtRecord, 1234);
    EXPECT_EQ(r.lastDirectory, "/srv/pics/");
    EXPECT_EQ(r.wavDirectory, "/srv/sounds/");
    EXPECT_EQ(r.scanBarTop, 300);
    EXPECT_EQ(r.scanBarLeft, -15);
    EXPECT_TRUE(r.disableFilePolling);
    EXPECT_FALSE(r.showEndStats);
    EXPECT_FALSE(r.autoPurge);
    EXPECT_TRUE(r.identifyByLocation);
    EXPECT_TRUE(r.noWarnings);
    // The saved soft-matching box survives the mode line that stands before it.
    EXPECT_TRUE(r.isChecked(Check::SoftMatch));
}

struct KeyCase
{
    const char *name;
    QStringList lines;
    std::function<void(const MainState &, const QStringList &lists)> check;
};

class SettingsKeys : public ::testing::TestWithParam<KeyCase>
{
};

TEST_P(SettingsKeys, AreReadAsTheProgramAlwaysHas)
{
    TempHome home;
    MainState s;
    Loaded loaded;
    SettingsIni::apply(crlf(GetParam().lines), s, loaded.fn());
    GetParam().check(s, loaded.lists);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SettingsKeys,
    ::testing::Values(
        KeyCase{"EmptyListNameLoadsGeneral", {"LIST NAME ="},
                [](const MainState &, const QStringList &l) { EXPECT_EQ(l, QStringList{"General"}); }},
        KeyCase{"LowerCaseKeyKeepsTheNamesCase", {"list name = My Pics"},
                [](const MainState &, const QStringList &l) { EXPECT_EQ(l, QStringList{"My Pics"}); }},
        KeyCase{"NoBlankBeforeEqualsIsNotAKey", {"LIST NAME= Pics", "RGB TOLERANCE=9"},
                [](const MainState &s, const QStringList &l) {
                    EXPECT_TRUE(l.isEmpty());
                    EXPECT_EQ(s.tolerance, "5");
                }},
        KeyCase{"NameAndSizeSelectsOnlyThatMode", {"NAME AND SIZE"},
                [](const MainState &s, const QStringList &) { EXPECT_EQ(s.mode(), Mode::NameSize); }},
        KeyCase{"NameLineSelectsName", {"PATTERN", "NAME"},
                [](const MainState &s, const QStringList &) { EXPECT_EQ(s.mode(), Mode::Name); }},
        KeyCase{"ModeLineAfterSoftMatchUnchecksIt", {"USE SOFTMATCH", "CHECKSUM"},
                [](const MainState &s, const QStringList &) {
                    EXPECT_EQ(s.mode(), Mode::Checksum);
                    EXPECT_FALSE(s.isChecked(Check::SoftMatch));
                }},
        KeyCase{"CounterKeysAreFoundAnywhere", {"LIST NAME = FILES DELETED", "77 BYTES RECOVERED"},
                [](const MainState &s, const QStringList &l) {
                    EXPECT_EQ(l, QStringList{"FILES DELETED"});
                    EXPECT_EQ(s.totalFilesDeleted, 0); // "LIST" reads as 0
                    EXPECT_EQ(s.totalBytesRecovered, 77);
                }},
        KeyCase{"CountersAndNumbersRoundHalfToEven",
                {"12.5 FILES DELETED", "MONTH COMPACTED = 6.5", "STOPPED AT RECORD = 7.5abc",
                 "SCANBAR TOP = 40000", "SCANBAR LEFT = -7x"},
                [](const MainState &s, const QStringList &) {
                    EXPECT_EQ(s.totalFilesDeleted, 12);
                    EXPECT_EQ(s.monthCompacted, 6);
                    EXPECT_EQ(s.stoppedAtRecord, 8);
                    EXPECT_EQ(s.scanBarTop, 0); // out of a 16-bit range reads as 0
                    EXPECT_EQ(s.scanBarLeft, -7);
                }},
        KeyCase{"MalformedNumbersReadAsZero",
                {"junk FILES DELETED", "STOPPED AT RECORD = many", "1E400 BYTES RECOVERED"},
                [](const MainState &s, const QStringList &) {
                    EXPECT_EQ(s.totalFilesDeleted, 0);
                    EXPECT_EQ(s.stoppedAtRecord, 0);
                    EXPECT_EQ(s.totalBytesRecovered, 0);
                }},
        KeyCase{"ValuesKeepInnerBlanksAndTheirCase",
                {"ALTERNATE VIEWER =   /opt/My Viewer/view = fast  ", "filter = dog*"},
                [](const MainState &s, const QStringList &) {
                    EXPECT_EQ(s.alternateViewer, "/opt/My Viewer/view = fast");
                    EXPECT_EQ(s.filter, "dog*");
                }},
        KeyCase{"FlagsFoundInsideLongerLines",
                {"# DISABLE FILE POLLING please", "xx DISABLE END STATS MESSAGE", "DISABLE SOUND!"},
                [](const MainState &s, const QStringList &) {
                    EXPECT_TRUE(s.disableFilePolling);
                    EXPECT_FALSE(s.showEndStats);
                    EXPECT_TRUE(s.isChecked(Check::NoSound));
                }},
        KeyCase{"WholeLineFlagsNeedTheWholeLine",
                {"FIX JPEG FILES NOW", " NO WARNINGS", "DO NOT AUTOPURGE "},
                [](const MainState &s, const QStringList &) {
                    EXPECT_FALSE(s.isChecked(Check::Jpeg));
                    EXPECT_FALSE(s.noWarnings);
                    EXPECT_TRUE(s.autoPurge);
                }},
        KeyCase{"FileTypesAndCrOnlyLineEnds", {".jpg\r.PNG\r.XYZ"},
                [](const MainState &s, const QStringList &) {
                    EXPECT_TRUE(s.isFileTypeChecked(MainState::fileTypeIndex(".JPG")));
                    EXPECT_TRUE(s.isFileTypeChecked(MainState::fileTypeIndex(".PNG")));
                    EXPECT_EQ(s.checkedFileTypeCount(), 2);
                }}),
    [](const ::testing::TestParamInfo<KeyCase> &info) { return std::string(info.param.name); });

TEST(SettingsIni, DefaultsAreRestoredBeforeReading)
{
    TempHome home;
    MainState s;
    s.stoppedAtRecord = 9;
    s.reactivate = QStringLiteral("/media/x");
    s.showEndStats = false;
    s.scanBarTop = 10;
    SettingsIni::apply(QByteArray(), s, {});
    EXPECT_EQ(s.stoppedAtRecord, 0);
    EXPECT_TRUE(s.reactivate.isEmpty());
    EXPECT_TRUE(s.showEndStats);
    EXPECT_EQ(s.scanBarTop, -5000);
    EXPECT_EQ(s.searchCompleted, "NO");
    EXPECT_EQ(s.lastDirectory, QDir::homePath());
    EXPECT_EQ(s.wavDirectory, home.path() + "/");
}

TEST(SettingsIni, DamagedFilesNeverStopTheReader)
{
    TempHome home;
    QByteArray junk;
    for (int i = 0; i < 200000; ++i)
        junk += char((i * 7919) % 256);
    junk += "\r\n" + QByteArray(1 << 20, 'A') + "\r\nNO WARNINGS\r\n";
    home.write("VEXA.INI", junk);
    MainState s;
    ScriptedPrompts prompts;
    ASSERT_TRUE(SettingsIni::ReadINI(s, {}));
    EXPECT_TRUE(s.noWarnings);
    EXPECT_EQ(s.filter, "*"); // an empty filter becomes "*"
    EXPECT_TRUE(prompts.boxes.isEmpty());
}

TEST(SettingsIni, UnreadableOrUnwritableFileIsReported)
{
    TempHome home;
    ScriptedPrompts prompts;
    prompts.then(Prompts::Answer::Ok).then(Prompts::Answer::Ok);
    MainState s;
    EXPECT_FALSE(SettingsIni::ReadINI(s, {})); // missing
    QDir(home.path()).mkdir("VEXA.INI");       // a folder cannot be written as a file
    EXPECT_FALSE(SettingsIni::WriteINI(s));
    ASSERT_EQ(prompts.boxes.size(), 2);
    EXPECT_EQ(prompts.boxes[0].text, "Unable to read INI file");
    EXPECT_EQ(prompts.boxes[1].text, "Unable to create INI file");
    EXPECT_EQ(prompts.boxes[1].buttons, Prompts::Buttons::Ok);
}

TEST(SettingsIni, SoundListStopsAtAThousandFiles)
{
    TempHome home;
    QDir(home.path()).mkdir("wav");
    for (int i = 0; i < 1001; ++i)
        home.write(QStringLiteral("wav/s%1.wav").arg(i, 4, 10, QLatin1Char('0')), "RIFF");
    home.write("wav/readme.txt", "x");
    home.write("wav/LOUD.WAV", "RIFF");
    MainState s;
    s.wavDirectory = home.file("wav") + "/";
    SettingsIni::buildSoundList(s);
    EXPECT_EQ(s.wavCount(), 1000);
    EXPECT_EQ(s.wavFiles.first(), home.file("wav/LOUD.WAV"));
    EXPECT_FALSE(s.wavFiles.contains(home.file("wav/readme.txt")));
    s.wavDirectory = home.file("wav"); // without the separator it names no folder's files
    SettingsIni::buildSoundList(s);
    EXPECT_EQ(s.wavCount(), 0);
}
