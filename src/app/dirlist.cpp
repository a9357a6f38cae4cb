// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "dirlist.h"

#include "listtag.h"
#include "mainstate.h"
#include "platform.h"
#include "programdir.h"
#include "prompts.h"
#include "safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

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

bool isUsableName(const QString &name)
{
    return !name.contains(QLatin1Char('/')) && !name.contains(QChar(0))
           && !name.contains(QLatin1Char('\\'));
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
    // A name that would reach outside the data folder cannot name a list file.
    if (!isUsableName(name)) {
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
    // The new content replaces the list file only once it is completely written.
    if (!SafeFile::writeWhole(listPath, out)) {
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
    if (!isUsableName(name) || !f.open(QIODevice::ReadOnly)) {
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

QString AddListEntry(MainState &s, const QString &directory)
{
    const QString entry = entryFor(directory);
    if (s.directories.isEmpty() || (!s.directories.contains(entry) && entry != s.ifcd)) {
        s.directories << entry;
        s.notifyChanged();
    }
    return entry;
}

namespace {

// The device a directory lives on: a directory on another device than its parent is a mount
// point and may have another volume label.
qint64 deviceOf(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        return qint64(st.st_dev);
#else
    Q_UNUSED(path);
#endif
    return -1;
}

} // namespace

void AddTree(MainState &s, const QString &directory, const std::function<bool()> &keepResponsive)
{
    QSet<QString> present(s.directories.cbegin(), s.directories.cend());
    struct Pending
    {
        QString path;
        qint64 device;
        QString label;
    };
    // A stack of directories still to visit; children are pushed in reverse so the walk
    // takes them alphabetically, each directory before everything below it.
    QList<Pending> stack;
    const QString root = QDir::cleanPath(directory);
    stack.append({root, deviceOf(root), QString()});
    bool first = true;
    int sinceResponsive = 0;
    while (!stack.isEmpty()) {
        Pending d = stack.takeLast();
        QString label = d.label;
        if (first || d.device < 0 || d.device != deviceOf(QFileInfo(d.path).absolutePath()))
            label = Platform::services().volume(d.path).label.toUpper();
        first = false;
        QString path = d.path;
        if (!path.endsWith(QLatin1Char('/')))
            path += QLatin1Char('/');
        const QString entry = QLatin1Char('[') + label + QStringLiteral("] ") + path;
        if (s.directories.isEmpty() || (!present.contains(entry) && entry != s.ifcd)) {
            s.directories << entry;
            present.insert(entry);
        }
        const QStringList children =
            QDir(d.path).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                                   QDir::Name | QDir::IgnoreCase);
        for (auto it = children.crbegin(); it != children.crend(); ++it) {
            const QString child = QDir(d.path).filePath(*it);
            stack.append({child, deviceOf(child), label});
        }
        if (keepResponsive && ++sinceResponsive >= 20) {
            sinceResponsive = 0;
            s.notifyChanged();
            if (!keepResponsive())
                break;
        }
    }
    s.notifyChanged();
}

void DeleteEntries(MainState &s, const QList<int> &selectedRows)
{
    using namespace Prompts;
    using Check = MainState::Check;
    bool any = false;
    for (int i = int(s.directories.size()) - 1; i >= 0; --i) {
        if (!selectedRows.contains(i))
            continue;
        any = true;
        const QString entry = s.directories.takeAt(i);
        if (entry == s.ifcd) {
            s.ifcd.clear();
            s.setChecked(Check::TreeModeIfcd, false);
        }
    }
    if (!any && !s.ifcd.trimmed().isEmpty()) {
        const Answer undesignate =
            ask(nullptr, Box{QStringLiteral("No directories selected.  Do you wish to "
                                            "Un-designate the IFCD?"),
                             QStringLiteral("Vexa! - Delete directories"), Buttons::YesNo,
                             Icon::Question, Default::First});
        if (undesignate == Answer::Yes) {
            const Answer remove =
                ask(nullptr, Box{QStringLiteral("Shall I remove the IFCD Directory(s) from the "
                                                "seach list as well?"),
                                 QStringLiteral("Vexa! - Un-designate IFCD..."), Buttons::YesNo,
                                 Icon::Question, Default::First});
            if (remove == Answer::Yes) {
                // Entries end with the separator, so a prefix names a directory and everything
                // below it, never a sibling whose name merely starts alike.
                const bool tree = s.isChecked(Check::TreeModeIfcd);
                for (int i = int(s.directories.size()) - 1; i >= 0; --i) {
                    const QString &e = s.directories[i];
                    if (tree ? e.startsWith(s.ifcd) : e == s.ifcd)
                        s.directories.removeAt(i);
                }
            }
            s.ifcd.clear();
            s.setChecked(Check::TreeModeIfcd, false);
        }
    }
    s.notifyChanged();
}

QString nameFromInput(const QString &typed)
{
    const int dot = int(typed.indexOf(QLatin1Char('.')));
    return (dot < 0 ? typed : typed.left(dot)).trimmed();
}

void DeleteListFiles(const QString &name)
{
    if (!isUsableName(name))
        return;
    const QString base = ProgramDir::file(QStringLiteral("data/") + name);
    for (const char *ext : {".lst", ".mdb", ".lcd", ".ldb", ".mdb-wal", ".mdb-shm"})
        QFile::remove(base + QLatin1String(ext));
}

} // namespace DirList
