// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "fileactions.h"

#include "catalogue.h"
#include "identitykey.h"
#include "mainstate.h"
#include "matchrecord.h"
#include "platform.h"
#include "prompts.h"
#include "recordset.h"
#include "vbtext.h"

#include <QDir>
#include <QFileInfo>

namespace FileActions {
namespace {

using Prompts::Answer;
using Prompts::Box;
using Prompts::Buttons;
using Prompts::Icon;

void critical(const QString &text, const QString &title = QStringLiteral("Error"))
{
    Prompts::ask(nullptr, Box{text, title, Buttons::Ok, Icon::Critical, Prompts::Default::First});
}

bool fileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

int RecycleFiles(const QStringList &paths)
{
    int failed = 0;
    for (const QString &path : paths) {
        if (Platform::services().moveToTrash(path))
            ++failed;
    }
    return failed;
}

void TallyDeletedBytes(MainState &state, const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return;
    const qint64 size = info.size();
    state.sessionBytesRecovered += double(size);
    const Platform::Volume volume = Platform::services().volume(path);
    if (!volume.valid || volume.blockSize <= 0)
        return;
    const qint64 blocks = size / volume.blockSize + 1;
    state.sessionSectorBytesRecovered += double(blocks) * volume.blockSize;
}

QString deletedText(const MainState &state)
{
    return VbText::general(state.sessionFilesDeleted) + QStringLiteral(" files deleted, ")
           + VbText::general(state.totalFilesDeleted) + QStringLiteral(" total...");
}

QString stemOf(const QString &fileName)
{
    // The classic types have three letters; today's photo types four (".webp").
    const int dot = int(fileName.lastIndexOf(QLatin1Char('.')));
    const bool longType = dot >= 0 && fileName.size() - dot == 5
                          && MainState::fileTypeIndex(fileName.mid(dot)) >= 0;
    return fileName.left(qMax(0, int(fileName.size()) - (longType ? 5 : 4)));
}

QString baseLetters(const QString &name)
{
    QString out;
    for (QChar c : name) {
        if (c != QLatin1Char('~') && !(c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            out.append(c);
    }
    return out;
}

bool nameTaken(const QString &folder, const QString &name)
{
    if (fileExists(QDir(folder).filePath(name)))
        return true;
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                       | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString sideFileOf(const QString &folder, const QString &stem, const QString &thumbnailExt)
{
    if (thumbnailExt.isEmpty() || stem.isEmpty())
        return QString();
    const QDir dir(folder);
    const QString wanted = stem + thumbnailExt;
    if (QFileInfo(dir.filePath(wanted)).isFile())
        return dir.filePath(wanted);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return QString();
}

bool unchangedSinceScan(const MatchRecord &file)
{
    const QFileInfo info(file.fullPath());
    if (!info.exists())
        return true;
    return double(info.size()) == file.SIZE
           && IdentityKey::dateText(info.lastModified()) == IdentityKey::dateText(file.DATE);
}

Actor::Actor(MainState &state, Catalogue &catalogue) : m_state(state), m_catalogue(catalogue)
{
}

bool Actor::writeRow(const MatchRecord &file, const std::function<void(FilesRecord &)> &change)
{
    std::unique_ptr<RecordSet> set = m_catalogue.selectByRecnumAndName(file.RECNUM, file.WHOLENAME);
    if (!set || set->eof())
        return false;
    std::optional<FilesRecord> row = set->record();
    if (!row)
        return false;
    change(*row);
    return set->update(*row);
}

bool Actor::confirmUnchanged(const MatchRecord &file, const QString &verb)
{
    if (unchangedSinceScan(file))
        return true;
    const Answer a = Prompts::ask(
        nullptr, Box{QStringLiteral("The file ") + QDir::toNativeSeparators(file.fullPath())
                         + QStringLiteral(" has changed since the search read it: its size or "
                                          "date is not what the catalogue holds.\n\nDo you still "
                                          "want to ")
                         + verb + QStringLiteral(" it?"),
                     QStringLiteral("Vexa! - File changed"), Buttons::YesNo, Icon::Exclamation,
                     Prompts::Default::Second});
    return a == Answer::Yes;
}

bool Actor::refuseSameFile(const MatchRecord &file, const QVector<const MatchRecord *> &others)
{
    const std::optional<Platform::FileId> mine = Platform::fileId(file.fullPath());
    if (!mine)
        return false;
    for (const MatchRecord *other : others) {
        if (!other || other == &file || other->isEmpty() || other->isTagged())
            continue;
        const std::optional<Platform::FileId> theirs = Platform::fileId(other->fullPath());
        if (!theirs || *mine != *theirs)
            continue;
        Prompts::ask(
            nullptr,
            Box{QStringLiteral("The very same file is shown twice, reached by two names (a hard "
                               "link, or one folder reached twice through a link or a second "
                               "mount):\n\n")
                    + QDir::toNativeSeparators(file.fullPath()) + QLatin1Char('\n')
                    + QDir::toNativeSeparators(other->fullPath())
                    + QStringLiteral("\n\nDeleting it would destroy the only copy, so nothing "
                                     "was deleted."),
                QStringLiteral("Vexa! - Same file"), Buttons::Ok, Icon::Exclamation,
                Prompts::Default::First});
        return true;
    }
    return false;
}

bool Actor::removeOne(const QString &path)
{
    bool failed = false;
    if (m_state.isChecked(MainState::Check::Recycle))
        failed = RecycleFiles({path}) != 0;
    else
        failed = Platform::services().removeFile(path).has_value();
    return !failed && !fileExists(path);
}

Outcome Actor::deleteFile(MatchRecord &file, const QVector<const MatchRecord *> &others,
                          QString *status)
{
    const QString path = file.fullPath();
    if (refuseSameFile(file, others) || !confirmUnchanged(file, QStringLiteral("delete")))
        return Outcome::NotDone;
    if (!m_state.isChecked(MainState::Check::Confirm)) {
        const Answer a = Prompts::ask(
            nullptr, Box{QStringLiteral("Delete file - ") + QDir::toNativeSeparators(path),
                         QStringLiteral("Confirm Deletion"), Buttons::YesNo, Icon::Question,
                         Prompts::Default::Second});
        if (a != Answer::Yes)
            return Outcome::NotDone;
    }
    // The side-file is found before its picture goes, while the folder is surely there.
    const QString side = sideFileOf(file.PATH, stemOf(file.DISKNAME), m_state.thumbnailExt);
    TallyDeletedBytes(m_state, path);
    if (!removeOne(path)) {
        critical(QStringLiteral("Unable to Delete file - ") + QDir::toNativeSeparators(path));
        return Outcome::Failed;
    }
    m_state.sessionFilesDeleted += 1;
    m_state.totalFilesDeleted += 1;
    if (status)
        *status = deletedText(m_state);
    writeRow(file, [](FilesRecord &row) { row.RTAG = QStringLiteral("D"); });
    file.RTAG = QStringLiteral("D");
    if (!side.isEmpty() && fileExists(side)) {
        TallyDeletedBytes(m_state, side);
        if (!removeOne(side))
            critical(QStringLiteral("Unable to Delete file - ") + QDir::toNativeSeparators(side));
    }
    return Outcome::Done;
}

Outcome Actor::renameFile(MatchRecord &file, const QString &newName)
{
    const QString text = newName.trimmed();
    if (text.isEmpty() || text.toUpper() == file.NAME.toUpper())
        return Outcome::NotDone;
    const Answer a = Prompts::ask(
        nullptr, Box{QStringLiteral("Rename file to - ") + text, QStringLiteral("Confirm Rename"),
                     Buttons::YesNo, Icon::Question, Prompts::Default::Second});
    if (a != Answer::Yes || !confirmUnchanged(file, QStringLiteral("rename")))
        return Outcome::NotDone;

    const QString oldPath = file.fullPath();
    const QString type = file.DISKNAME.right(qMin(4, int(file.DISKNAME.size())));
    const QString diskName = text + type;
    const QString newPath = file.PATH + diskName;
    const QString oldSide = sideFileOf(file.PATH, stemOf(file.DISKNAME), m_state.thumbnailExt);
    const auto unable = [](const QString &path) {
        critical(QStringLiteral("Unable to Rename file - ") + QDir::toNativeSeparators(path));
        return Outcome::Failed;
    };
    // A name holding a separator would put the file in another folder.
    if (text.contains(QLatin1Char('/')) || text.contains(QChar(0)) || nameTaken(file.PATH, diskName)
        || Platform::services().renameFile(oldPath, newPath) || fileExists(oldPath)) {
        return unable(oldPath);
    }

    MatchRecord renamed = file;
    renamed.NAME = text.toUpper();
    renamed.REFNAME = text;
    renamed.BASENAME = baseLetters(text).toUpper();
    renamed.WHOLENAME = diskName.toUpper();
    renamed.WHOLEBASE = (baseLetters(text) + type).toUpper();
    renamed.DISKNAME = diskName;
    const QFileInfo info(newPath);
    const bool written = writeRow(file, [&](FilesRecord &row) {
        row.NAME = renamed.NAME;
        row.REFNAME = renamed.REFNAME;
        row.BASENAME = renamed.BASENAME;
        row.WHOLENAME = renamed.WHOLENAME;
        row.WHOLEBASE = renamed.WHOLEBASE;
        row.DISKNAME = renamed.DISKNAME;
        row.STAG = IdentityKey::make(m_state.identifyByLocation, row.DRIVEVOLUME, row.PATH,
                                     row.WHOLENAME, info.size(), info.lastModified());
    });
    if (!written) {
        // The row still names the old file: the file takes its old name back.
        Platform::services().renameFile(newPath, oldPath);
        return unable(oldPath);
    }
    file = renamed;
    if (!oldSide.isEmpty()) {
        const QString newSide = file.PATH + text + m_state.thumbnailExt;
        if (nameTaken(file.PATH, text + m_state.thumbnailExt)
            || Platform::services().renameFile(oldSide, newSide)) {
            unable(oldSide);
        }
    }
    return Outcome::Done;
}

bool Actor::recordMove(MatchRecord &file, const QString &volumeTag, const QString &path,
                       const QString &newName)
{
    MatchRecord moved = file;
    moved.DRIVEVOLUME = volumeTag;
    moved.PATH = path;
    moved.NAME = stemOf(newName).toUpper();
    moved.REFNAME = stemOf(newName);
    moved.WHOLENAME = newName.toUpper();
    moved.DISKNAME = newName;
    const QFileInfo info(moved.fullPath());
    const bool written = writeRow(file, [&](FilesRecord &row) {
        row.DRIVEVOLUME = moved.DRIVEVOLUME;
        row.PATH = moved.PATH;
        row.NAME = moved.NAME;
        row.REFNAME = moved.REFNAME;
        row.WHOLENAME = moved.WHOLENAME;
        row.DISKNAME = moved.DISKNAME;
        row.STAG = IdentityKey::make(m_state.identifyByLocation, row.DRIVEVOLUME, row.PATH,
                                     row.WHOLENAME, info.size(), info.lastModified());
    });
    file = moved;
    return written;
}

} // namespace FileActions
