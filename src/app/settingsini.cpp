// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "settingsini.h"

#include "mainstate.h"
#include "programdir.h"
#include "prompts.h"
#include "safefile.h"
#include "vbtext.h"

#include <QDir>
#include <QFile>

namespace SettingsIni {
namespace {

using Check = MainState::Check;
using Mode = MainState::Mode;

const char *const kModeKeys[MainState::ModeCount] = {
    "NAME", "SIZE", "NAME AND SIZE", "NUMBERED", "CHECKSUM", "AVERAGE RGB", "QUADRANT RGB",
    "PATTERN"};

// The order in which the writer tests the mode buttons.
const Mode kModeWriteOrder[MainState::ModeCount] = {Mode::Name,     Mode::Size,    Mode::NameSize,
                                                     Mode::Numbered, Mode::Checksum, Mode::Pattern,
                                                     Mode::AverageRgb, Mode::QuadRgb};

struct FlagKey
{
    const char *key;
    Check check;
};
const FlagKey kOptionFlags[] = {
    {"USE SOFTMATCH", Check::SoftMatch},   {"EXCLUSIVE DIR MATCHING", Check::Exclusive},
    {"USE SNAPSHOT", Check::Snapshot},     {"USE RECYCLE BIN", Check::Recycle},
    {"DO NOT CONFIRM DELETES", Check::Confirm}, {"AUTO LOAD NEXT", Check::AutoNext}};

// A "KEY =*" test: the upper-cased line starts with the key and " =".
bool startsWithKey(const QString &upper, const char *key)
{
    return upper.startsWith(QLatin1String(key) + QLatin1String(" ="));
}

// Blanks trimmed at both ends only: the value's inner spaces are kept.
QString trimBlanks(const QString &text)
{
    int b = 0, e = int(text.size());
    while (b < e && text[b] == QLatin1Char(' '))
        ++b;
    while (e > b && text[e - 1] == QLatin1Char(' '))
        --e;
    return text.mid(b, e - b);
}

// The value of a value line: everything after its first "=", blanks trimmed, as read.
QString valueOfLine(const QString &line)
{
    const int eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : trimBlanks(line.mid(eq + 1));
}

// The text before the first blank of a counter line.
double counterValue(const QString &line)
{
    const int blank = line.indexOf(QLatin1Char(' '));
    return VbText::leadingNumber(blank < 0 ? line : line.left(blank));
}

} // namespace

QString fileName()
{
    return ProgramDir::file(QStringLiteral("VEXA.INI"));
}

QByteArray compose(const MainState &s)
{
    QStringList lines;
    auto flag = [&](const char *key, bool on) {
        if (on)
            lines << QLatin1String(key);
    };
    auto value = [&](const char *key, const QString &v) {
        lines << QLatin1String(key) + QLatin1String(" = ") + v;
    };

    lines << QStringLiteral("[CURRENT LIST]");
    value("LIST NAME", s.listName);
    flag("AUTOSAVE DIR LIST", s.isChecked(Check::SaveList));
    flag("USE SINGLE DATABASE", s.isChecked(Check::SingleTable));
    lines << QStringLiteral(" ") << QStringLiteral("[MODE]");
    for (Mode m : kModeWriteOrder)
        flag(kModeKeys[int(m)], s.mode() == m);
    flag("IGNORE EXTENSION", s.isChecked(Check::Ignore));
    value("RGB TOLERANCE", s.tolerance);
    lines << QStringLiteral(" ") << QStringLiteral("[OPTIONS]");
    for (const FlagKey &f : kOptionFlags)
        flag(f.key, s.isChecked(f.check));
    if (!s.thumbnailExt.isEmpty())
        value("THUMBNAIL", s.thumbnailExt);
    value("FILTER", s.filter);
    flag("NOT FILTER", s.isChecked(Check::Not));
    lines << QStringLiteral(" ") << QStringLiteral("[FILE TYPES]");
    for (int i = 0; i < MainState::FileTypeCount; ++i)
        flag(MainState::fileTypes()[size_t(i)], s.isFileTypeChecked(i));
    lines << QStringLiteral(" ") << QStringLiteral("[MISC]");
    lines << VbText::general(s.totalFilesDeleted) + QStringLiteral(" FILES DELETED");
    lines << VbText::general(s.totalBytesRecovered + s.sessionSectorBytesRecovered)
                 + QStringLiteral(" BYTES RECOVERED");
    value("MONTH COMPACTED", VbText::general(s.monthCompacted));
    value("ALTERNATE VIEWER", s.alternateViewer);
    value("SEARCH COMPLETED", s.searchCompleted);
    value("REACTIVATE", s.reactivate);
    value("STOPPED AT RECORD", VbText::general(s.stoppedAtRecord));
    value("LAST DIRECTORY", s.lastDirectory);
    value("WAV DIRECTORY", s.wavDirectory);
    value("SCANBAR TOP", QString::number(s.scanBarTop));
    value("SCANBAR LEFT", QString::number(s.scanBarLeft));
    flag("DISABLE FILE POLLING", s.disableFilePolling);
    flag("DISABLE END STATS MESSAGE", !s.showEndStats);
    flag("DISABLE SOUND", s.isChecked(Check::NoSound));
    flag("FIX JPEG FILES", s.isChecked(Check::Jpeg));
    flag("RUN PRE-MATCH CYCLE", s.isChecked(Check::PreMatch));
    flag("DO NOT AUTOPURGE", !s.autoPurge);
    flag("IDENTIFY BY LOCATION", s.identifyByLocation);
    flag("NO WARNINGS", s.noWarnings);
    lines << QStringLiteral(" ");

    QByteArray out;
    for (const QString &l : lines) {
        out += l.toUtf8();
        out += "\r\n";
    }
    return out;
}

void apply(const QByteArray &content, MainState &s,
           const std::function<void(const QString &)> &loadList)
{
    s.stoppedAtRecord = 0;
    s.alternateViewer.clear();
    s.searchCompleted = QStringLiteral("NO");
    s.disableFilePolling = false;
    s.monthCompacted = 0;
    s.reactivate.clear();
    s.showEndStats = true;
    s.lastDirectory = QDir::homePath();
    s.wavDirectory = ProgramDir::path() + QLatin1Char('/');
    s.autoPurge = true;
    s.identifyByLocation = false;
    s.noWarnings = false;
    s.scanBarTop = -5000;
    s.scanBarLeft = -5000;

    // Lines end at LF; a CR before it belongs to the line end. A lone CR also ends a line.
    QString text = QString::fromUtf8(content);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = text.split(QLatin1Char('\n'));

    for (const QString &line : lines) {
        const QString u = line.toUpper();
        // Every test applies to every line: there is no "else" between them.
        if (startsWithKey(u, "LIST NAME")) {
            const QString name = valueOfLine(line);
            if (loadList)
                loadList(name.isEmpty() ? QStringLiteral("General") : name);
        }
        if (u == QLatin1String("AUTOSAVE DIR LIST"))
            s.clickCheck(Check::SaveList, true);
        if (u == QLatin1String("USE SINGLE DATABASE"))
            s.clickCheck(Check::SingleTable, true);
        for (int m = 0; m < MainState::ModeCount; ++m) {
            if (u == QLatin1String(kModeKeys[m]))
                s.clickMode(Mode(m));
        }
        if (u == QLatin1String("IGNORE EXTENSION"))
            s.clickCheck(Check::Ignore, true);
        if (startsWithKey(u, "RGB TOLERANCE"))
            s.tolerance = valueOfLine(line);
        for (const FlagKey &f : kOptionFlags) {
            if (u == QLatin1String(f.key))
                s.clickCheck(f.check, true);
        }
        if (startsWithKey(u, "THUMBNAIL"))
            s.thumbnailExt = valueOfLine(line);
        if (startsWithKey(u, "FILTER"))
            s.filter = valueOfLine(line);
        if (u == QLatin1String("NOT FILTER"))
            s.clickCheck(Check::Not, true);
        for (int i = 0; i < MainState::FileTypeCount; ++i) {
            if (u == QLatin1String(MainState::fileTypes()[size_t(i)]))
                s.clickFileType(i, true);
        }
        if (u.contains(QLatin1String("FILES DELETED")))
            s.totalFilesDeleted = VbText::toInt32(counterValue(line));
        if (u.contains(QLatin1String("BYTES RECOVERED")))
            s.totalBytesRecovered = counterValue(line);
        if (startsWithKey(u, "MONTH COMPACTED"))
            s.monthCompacted = VbText::toInt16(VbText::leadingNumber(valueOfLine(line)));
        if (startsWithKey(u, "ALTERNATE VIEWER"))
            s.alternateViewer = valueOfLine(line);
        if (startsWithKey(u, "SEARCH COMPLETED"))
            s.searchCompleted = valueOfLine(line);
        if (startsWithKey(u, "REACTIVATE"))
            s.reactivate = valueOfLine(line);
        if (startsWithKey(u, "STOPPED AT RECORD"))
            s.stoppedAtRecord = VbText::toInt32(VbText::leadingNumber(valueOfLine(line)));
        if (startsWithKey(u, "LAST DIRECTORY"))
            s.lastDirectory = valueOfLine(line);
        if (startsWithKey(u, "WAV DIRECTORY"))
            s.wavDirectory = valueOfLine(line);
        if (startsWithKey(u, "SCANBAR TOP"))
            s.scanBarTop = VbText::toInt16(VbText::leadingNumber(valueOfLine(line)));
        if (startsWithKey(u, "SCANBAR LEFT"))
            s.scanBarLeft = VbText::toInt16(VbText::leadingNumber(valueOfLine(line)));
        if (u.contains(QLatin1String("DISABLE FILE POLLING")))
            s.disableFilePolling = true;
        if (u.contains(QLatin1String("DISABLE END STATS MESSAGE")))
            s.showEndStats = false;
        if (u.contains(QLatin1String("DISABLE SOUND")))
            s.clickCheck(Check::NoSound, true);
        if (u == QLatin1String("FIX JPEG FILES"))
            s.clickCheck(Check::Jpeg, true);
        if (u == QLatin1String("RUN PRE-MATCH CYCLE"))
            s.clickCheck(Check::PreMatch, true);
        if (u == QLatin1String("DO NOT AUTOPURGE"))
            s.autoPurge = false;
        if (u == QLatin1String("IDENTIFY BY LOCATION"))
            s.identifyByLocation = true;
        if (u == QLatin1String("NO WARNINGS"))
            s.noWarnings = true;
    }
    s.notifyChanged();
}

void buildSoundList(MainState &s)
{
    s.wavFiles.clear();
    // The directory text is a prefix: it must end with the separator to name a folder.
    const QString prefix = s.wavDirectory;
    const int slash = int(prefix.lastIndexOf(QLatin1Char('/')));
    if (slash < 0)
        return;
    const QString folder = prefix.left(slash + 1);
    const QString namePrefix = prefix.mid(slash + 1);
    QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return;
    const QStringList names =
        dir.entryList({namePrefix + QStringLiteral("*.wav")}, QDir::Files | QDir::Hidden,
                      QDir::Name | QDir::IgnoreCase);
    for (const QString &name : names) {
        if (s.wavFiles.size() >= 1000)
            break;
        s.wavFiles << folder + name;
    }
}

bool ReadINI(MainState &s, const std::function<void(const QString &)> &loadList)
{
    QFile f(fileName());
    if (!f.open(QIODevice::ReadOnly)) {
        Prompts::message(nullptr, QStringLiteral("Unable to read INI file"));
        return false;
    }
    // A settings file is small; anything beyond a few megabytes is not ours and is cut.
    const QByteArray content = f.read(8 * 1024 * 1024);
    apply(content, s, loadList);
    if (s.filter.isEmpty())
        s.filter = QStringLiteral("*");
    buildSoundList(s);
    s.notifyChanged();
    return true;
}

bool WriteINI(const MainState &s)
{
    // A failed write (a full disk) leaves the old file as it was.
    if (!SafeFile::writeWhole(fileName(), compose(s))) {
        Prompts::message(nullptr, QStringLiteral("Unable to create INI file"));
        return false;
    }
    return true;
}

} // namespace SettingsIni
