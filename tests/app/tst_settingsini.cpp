// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "settingsini.h"

#include "mainstate.h"
#include "scriptedprompts.h"
#include "temphome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>

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

// The settings by name, as texts, with the list the reader asked to load: each case below
// names only the ones it is about.
QMap<QString, QString> settings(const MainState &s, const QStringList &lists = {})
{
    QString checks;
    for (int i = 0; i < MainState::CheckCount; ++i)
        checks += s.isChecked(Check(i)) ? '1' : '0';
    QStringList types;
    for (int i = 0; i < MainState::FileTypeCount; ++i) {
        if (s.isFileTypeChecked(i))
            types << MainState::fileTypes()[size_t(i)];
    }
    auto yes = [](bool b) { return QString(b ? "yes" : "no"); };
    return {{"lists", lists.join('|')}, {"mode", QString::number(int(s.mode()))},
            {"checks", checks}, {"soft", yes(s.isChecked(Check::SoftMatch))},
            {"no sound", yes(s.isChecked(Check::NoSound))}, {"jpeg", yes(s.isChecked(Check::Jpeg))},
            {"types", types.join(' ')}, {"tolerance", s.tolerance}, {"filter", s.filter},
            {"thumbnail", s.thumbnailExt}, {"files deleted", QString::number(s.totalFilesDeleted)},
            {"bytes recovered", QString::number(s.totalBytesRecovered)},
            {"month compacted", QString::number(s.monthCompacted)}, {"viewer", s.alternateViewer},
            {"completed", s.searchCompleted}, {"reactivate", s.reactivate},
            {"stopped at", QString::number(s.stoppedAtRecord)}, {"last directory", s.lastDirectory},
            {"wav directory", s.wavDirectory},
            {"scanbar", QString::number(s.scanBarTop) + "," + QString::number(s.scanBarLeft)},
            {"polling off", yes(s.disableFilePolling)}, {"end stats", yes(s.showEndStats)},
            {"autopurge", yes(s.autoPurge)}, {"by location", yes(s.identifyByLocation)},
            {"no warnings", yes(s.noWarnings)}};
}

QString mode(Mode m)
{
    return QString::number(int(m));
}

void expectSettings(const QMap<QString, QString> &got, const QMap<QString, QString> &want,
                    const char *name)
{
    for (auto it = want.begin(); it != want.end(); ++it)
        EXPECT_EQ(got.value(it.key()), it.value()) << name << ": " << it.key().toStdString();
}

// Reads the lines into a fresh state.
QMap<QString, QString> read(const QByteArray &ini)
{
    MainState s;
    QStringList lists;
    SettingsIni::apply(ini, s, [&](const QString &name) { lists << name; });
    return settings(s, lists);
}

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

    QMap<QString, QString> want = settings(s, {"Holiday Pics"});
    want["bytes recovered"] = "1024"; // this run's bytes join the total on disk
    // "Ignore .EXT" is created checked and never unchecked by the reader.
    want["checks"][int(Check::Ignore)] = '1';
    expectSettings(read(SettingsIni::compose(s)), want, "round trip");
}

TEST(SettingsIni, PhotoTypesAreLinesOfTheirOwnAfterTheClassicOnes)
{
    TempHome home;
    MainState s;
    for (const char *type : {".ICO", ".HEIC", ".WEBP"})
        s.clickFileType(MainState::fileTypeIndex(type), true);
    const QByteArray ini = SettingsIni::compose(s);
    EXPECT_TRUE(ini.contains("\r\n[FILE TYPES]\r\n.ICO\r\n.HEIC\r\n.WEBP\r\n \r\n")) << ini.data();
    EXPECT_EQ(read(ini)["types"], ".ICO .HEIC .WEBP");
    EXPECT_EQ(read(crlf({".webp", "WEBP", ".HEIC2"}))["types"], ".WEBP");
}

TEST(SettingsIni, LinesAreReadAsTheProgramAlwaysHas)
{
    TempHome home;
    const struct
    {
        const char *name;
        QStringList lines;
        QMap<QString, QString> expected;
    } cases[] = {
        {"empty list name loads General", {"LIST NAME ="}, {{"lists", "General"}}},
        {"a lower-case key keeps the name's case", {"list name = My Pics"}, {{"lists", "My Pics"}}},
        {"no blank before equals is no key",
         {"LIST NAME= Pics", "RGB TOLERANCE=9"},
         {{"lists", ""}, {"tolerance", "5"}}},
        {"name and size selects only that mode",
         {"NAME AND SIZE"},
         {{"mode", mode(Mode::NameSize)}}},
        {"name line selects name", {"PATTERN", "NAME"}, {{"mode", mode(Mode::Name)}}},
        {"a mode line after soft matching unchecks it",
         {"USE SOFTMATCH", "CHECKSUM"},
         {{"mode", mode(Mode::Checksum)}, {"soft", "no"}}},
        // "LIST" reads as 0 files deleted.
        {"counter keys are found anywhere",
         {"LIST NAME = FILES DELETED", "77 BYTES RECOVERED"},
         {{"lists", "FILES DELETED"}, {"files deleted", "0"}, {"bytes recovered", "77"}}},
        // A scan bar position out of a 16-bit range reads as 0.
        {"counters and numbers round half to even",
         {"12.5 FILES DELETED", "MONTH COMPACTED = 6.5", "STOPPED AT RECORD = 7.5abc",
          "SCANBAR TOP = 40000", "SCANBAR LEFT = -7x"},
         {{"files deleted", "12"},
          {"month compacted", "6"},
          {"stopped at", "8"},
          {"scanbar", "0,-7"}}},
        {"malformed numbers read as zero",
         {"junk FILES DELETED", "STOPPED AT RECORD = many", "1E400 BYTES RECOVERED"},
         {{"files deleted", "0"}, {"stopped at", "0"}, {"bytes recovered", "0"}}},
        {"values keep inner blanks and their case",
         {"ALTERNATE VIEWER =   /opt/My Viewer/view = fast  ", "filter = dog*"},
         {{"viewer", "/opt/My Viewer/view = fast"}, {"filter", "dog*"}}},
        {"flags found inside longer lines",
         {"# DISABLE FILE POLLING please", "xx DISABLE END STATS MESSAGE", "DISABLE SOUND!"},
         {{"polling off", "yes"}, {"end stats", "no"}, {"no sound", "yes"}}},
        {"whole-line flags need the whole line",
         {"FIX JPEG FILES NOW", " NO WARNINGS", "DO NOT AUTOPURGE "},
         {{"jpeg", "no"}, {"no warnings", "no"}, {"autopurge", "yes"}}},
        {"file types and CR-only line ends", {".jpg\r.PNG\r.XYZ"}, {{"types", ".JPG .PNG"}}},
    };
    for (const auto &c : cases)
        expectSettings(read(crlf(c.lines)), c.expected, c.name);
}

TEST(SettingsIni, DefaultsAreRestoredBeforeReading)
{
    TempHome home;
    MainState s;
    s.stoppedAtRecord = 9;
    s.reactivate = QStringLiteral("/media/x");
    s.showEndStats = false;
    s.scanBarTop = 10;
    SettingsIni::apply(QByteArray(), s, {});
    expectSettings(settings(s),
                   {{"stopped at", "0"},
                    {"reactivate", ""},
                    {"end stats", "yes"},
                    {"scanbar", "-5000,-5000"},
                    {"completed", "NO"},
                    {"last directory", QDir::homePath()},
                    {"wav directory", home.path() + "/"}},
                   "defaults");
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
    EXPECT_EQ(prompts.texts(),
              (QStringList{"Unable to read INI file", "Unable to create INI file"}));
    EXPECT_EQ(prompts.boxes.value(1).buttons, Prompts::Buttons::Ok);
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
