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
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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

namespace {

struct ListContent
{
    QStringList entries;
    QString ifcd;
    bool tree = false;
};

// An entry read back from a file always names a folder: one without its closing separator
// (written by hand, or by an older version) gets it, or the pre-scan would join its path and
// the file names into names of files that do not exist.
QString withClosingSeparator(const QString &entry)
{
    return entry.isEmpty() || entry.endsWith(QLatin1Char('/')) ? entry : entry + QLatin1Char('/');
}

ListContent parseList(const QByteArray &content)
{
    ListContent out;
    QString text = QString::fromUtf8(content);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString u = line.toUpper();
        if (isEntryLine(line))
            out.entries << withClosingSeparator(line);
        if (u.contains(QLatin1String("= INCOMING FILE DIRECTORY")))
            out.ifcd = withClosingSeparator(line.left(line.indexOf(QLatin1Char('='))).trimmed());
        if (u == QLatin1String("TREE MODE IFCD"))
            out.tree = true;
    }
    if (!out.ifcd.isEmpty() && !out.entries.contains(out.ifcd)) {
        out.entries << out.ifcd;
        out.tree = false;
    }
    return out;
}

// Lists are short; a huge file is not a list and only its start is looked at.
constexpr qint64 kListReadLimit = 16 * 1024 * 1024;

} // namespace

bool LoadList(MainState &s, const QString &name)
{
    if (name.trimmed().isEmpty())
        return false;
    ProgramDir::ensureDataDir();
    s.directories.clear();
    s.ifcd.clear();
    s.setChecked(MainState::Check::TreeModeIfcd, false);
    // What is shown now comes from a file (or is nothing): no change of the user's yet.
    s.listEdited = false;
    QFile f(pathFor(name));
    if (!isUsableName(name) || !f.open(QIODevice::ReadOnly)) {
        if (name.toUpper() != QLatin1String("GENERAL"))
            Prompts::message(nullptr, QStringLiteral("Unable to read DIR LIST file"));
        s.notifyChanged();
        return false;
    }
    const ListContent list = parseList(f.read(kListReadLimit));
    s.directories = list.entries;
    s.ifcd = list.ifcd;
    s.setChecked(MainState::Check::TreeModeIfcd, list.tree);
    s.listName = name;
    s.notifyChanged();
    return true;
}

bool SaveListAutomatically(MainState &s)
{
    // A list the user did not change is never written back shorter than its file: what is
    // missing was lost on the way in (a list that could not be read), not removed.
    if (!s.listEdited && isUsableName(s.listName)) {
        QFile f(pathFor(s.listName));
        if (f.open(QIODevice::ReadOnly)
            && parseList(f.read(kListReadLimit)).entries.size() > s.directories.size())
            return false;
    }
    return SaveList(s, s.listName);
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

bool holdsLineBreak(const QString &path)
{
    return path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r'));
}

QString shownPath(const QString &path)
{
    QString shown = QDir::toNativeSeparators(path);
    shown.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    shown.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return shown;
}

} // namespace

Subdirectories subdirectories(const QString &path)
{
    Subdirectories out;
#ifdef Q_OS_UNIX
    // Read here rather than through QDir, which passes over names that are not valid text
    // without a word.
    DIR *dir = ::opendir(QFile::encodeName(path).constData());
    if (!dir)
        return out;
    const int fd = ::dirfd(dir);
    while (const dirent *e = ::readdir(dir)) {
        if (e->d_name[0] == '.')
            continue; // ".", ".." and hidden folders
        struct stat st;
        if (::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode))
            continue;
        const QByteArray raw(e->d_name);
        const QString name = QFile::decodeName(raw);
        (QFile::encodeName(name) == raw ? out.names : out.notText) << name;
    }
    ::closedir(dir);
#else
    out.names = QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
#endif
    for (QStringList *list : {&out.names, &out.notText}) {
        std::sort(list->begin(), list->end(), [](const QString &a, const QString &b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
    }
    return out;
}

bool isReadableDirectory(const QString &path)
{
#ifdef Q_OS_UNIX
    // Listing a folder and looking at what it holds needs both read and search rights, for
    // the user the program runs as.
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), R_OK | X_OK, AT_EACCESS) == 0
           && QFileInfo(path).isDir();
#else
    return QDir(path).isReadable();
#endif
}

QString AddListEntry(MainState &s, const QString &directory)
{
    // A list file holds one entry a line: a line break in a name would make the entry name
    // another folder when the list is read back.
    if (holdsLineBreak(directory)) {
        Prompts::message(nullptr,
                         QStringLiteral("The folder %1 cannot be added to a directory list: its "
                                        "name holds a line break.")
                             .arg(shownPath(directory)),
                         Prompts::Icon::Information, QStringLiteral("Vexa! - Add directories"));
        return QString();
    }
    const QString entry = entryFor(directory);
    if (s.directories.isEmpty() || (!s.directories.contains(entry) && entry != s.ifcd)) {
        s.directories << entry;
        s.listEdited = true;
        s.notifyChanged();
    }
    return entry;
}

bool AddTree(MainState &s, const QString &directory, const std::function<bool()> &keepResponsive)
{
    const QString root = QDir::cleanPath(directory);
    if (holdsLineBreak(root))
        return !AddListEntry(s, root).isEmpty(); // refused, with its message
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
    stack.append({root, deviceOf(root), QString()});
    bool first = true;
    int sinceResponsive = 0;
    int unreadable = 0, lineBreaks = 0, notText = 0;
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
            s.listEdited = true;
        }
        // A folder that cannot be opened is listed (the pre-scan says so when it meets it),
        // but what lies below it is unknown.
        if (!isReadableDirectory(d.path))
            ++unreadable;
        const Subdirectories children = subdirectories(d.path);
        notText += int(children.notText.size());
        for (auto it = children.names.crbegin(); it != children.names.crend(); ++it) {
            if (holdsLineBreak(*it)) {
                ++lineBreaks;
                continue;
            }
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
    QStringList skipped;
    if (unreadable > 0) {
        skipped << QStringLiteral("%1 folder(s) could not be opened: the folders inside them are "
                                  "not in the list.")
                       .arg(unreadable);
    }
    if (lineBreaks > 0) {
        skipped << QStringLiteral("%1 folder(s) were left out: their names hold a line break, "
                                  "which a directory list cannot keep.")
                       .arg(lineBreaks);
    }
    if (notText > 0) {
        skipped << QStringLiteral("%1 folder(s) were left out: their names are not valid text "
                                  "on this system.")
                       .arg(notText);
    }
    if (!skipped.isEmpty()) {
        Prompts::message(nullptr, skipped.join(QStringLiteral("\n\n")), Prompts::Icon::Information,
                         QStringLiteral("Vexa! - Add directories"));
    }
    return true;
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
        s.listEdited = true;
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
            s.listEdited = true;
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
    for (const char *ext : {".lst", ".mdb", ".lcd", ".ldb", ".mdb-wal", ".mdb-shm", ".mdb-checked"})
        QFile::remove(base + QLatin1String(ext));
}

} // namespace DirList
