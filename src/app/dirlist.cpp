// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "dirlist.h"

#include "listtag.h"
#include "mainstate.h"
#include "platform.h"
#include "programdir.h"
#include "prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace DirList {

QString pathFor(const QString &name)
{
    return ProgramDir::file(QStringLiteral("data/") + name + QStringLiteral(".lst"));
}

bool isEntryLine(const QString &line)
{
    const QString u = line.toUpper();
    const int close = int(u.indexOf(QLatin1String("] ")));
    return u.startsWith(QLatin1Char('[')) && close > 0
           && u.mid(close + 2).startsWith(QLatin1Char('/')) && !u.contains(QLatin1Char('='));
}

QString entryFor(const QString &directory)
{
    QString path = QDir::cleanPath(directory);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    const Platform::Volume v = Platform::services().volume(path);
    return QLatin1Char('[') + v.label.toUpper() + QStringLiteral("] ") + path;
}

bool SaveList(MainState &s, const QString &name)
{
    if (name.trimmed().isEmpty()) {
        Prompts::message(nullptr, QStringLiteral("No list name...  Unable to save list..."),
                         Prompts::Icon::Information, QStringLiteral("Vexa! - Save directory list"));
        return false;
    }
    ProgramDir::ensureDataDir();
    const QString listPath = pathFor(name);
    // The new content replaces the list file only once it is completely written.
    QSaveFile f(listPath);
    if (!f.open(QIODevice::WriteOnly)) {
        Prompts::message(nullptr, QStringLiteral("Unable to create DIR LIST file"));
        return false;
    }
    QByteArray out = "[DIRECTORIES]\r\n";
    for (const QString &entry : s.directories)
        out += entry.toUtf8() + "\r\n";
    out += s.ifcd.toUtf8() + " = INCOMING FILE DIRECTORY\r\n";
    if (s.isChecked(MainState::Check::TreeModeIfcd))
        out += "TREE MODE IFCD\r\n";
    out += " \r\n";
    const bool written = f.write(out) == out.size();
    if (!written || !f.commit()) {
        Prompts::message(nullptr, QStringLiteral("Unable to create DIR LIST file"));
        return false;
    }
    const QString tag = ListTag::pathFor(name);
    if (!QFileInfo::exists(tag) && !ListTag::write(tag, ListTag::currentMonth())) {
        Prompts::message(nullptr, QStringLiteral("Unable to create LIST TAG file"));
        return false;
    }
    s.listName = name;
    s.notifyChanged();
    return true;
}

void LoadList(MainState &s, const QString &name)
{
    if (name.trimmed().isEmpty())
        return;
    ProgramDir::ensureDataDir();
    s.directories.clear();
    s.ifcd.clear();
    s.setChecked(MainState::Check::TreeModeIfcd, false);
    QFile f(pathFor(name));
    if (!f.open(QIODevice::ReadOnly)) {
        if (name.toUpper() != QLatin1String("GENERAL"))
            Prompts::message(nullptr, QStringLiteral("Unable to read DIR LIST file"));
        s.notifyChanged();
        return;
    }
    // Lists are short; a huge file is not a list and only its start is looked at.
    QString text = QString::fromUtf8(f.read(16 * 1024 * 1024));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString u = line.toUpper();
        if (isEntryLine(line))
            s.directories << line;
        if (u.contains(QLatin1String("= INCOMING FILE DIRECTORY")))
            s.ifcd = line.left(line.indexOf(QLatin1Char('='))).trimmed();
        if (u == QLatin1String("TREE MODE IFCD"))
            s.setChecked(MainState::Check::TreeModeIfcd, true);
    }
    if (!s.ifcd.isEmpty() && !s.directories.contains(s.ifcd)) {
        s.directories << s.ifcd;
        s.setChecked(MainState::Check::TreeModeIfcd, false);
    }
    s.listName = name;
    s.notifyChanged();
}

} // namespace DirList
