// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "movefile.h"

#include "fileactions.h"
#include "locate.h"
#include "mainstate.h"
#include "platform.h"
#include "prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace {

using Prompts::Box;
using Prompts::Buttons;
using Prompts::Icon;

void copyError(const QString &text)
{
    Prompts::ask(nullptr, Box{text, QStringLiteral("File Copy Error"), Buttons::Ok, Icon::Critical,
                              Prompts::Default::First});
}

bool readable(const QString &path)
{
    QFile f(path);
    return QFileInfo(path).isFile() && f.open(QIODevice::ReadOnly);
}

bool sameContent(const QString &first, const QString &second)
{
    QFile a(first), b(second);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly) || a.size() != b.size())
        return false;
    constexpr qint64 chunk = 1 << 20;
    while (!a.atEnd()) {
        const QByteArray x = a.read(chunk);
        if (x.isEmpty() || x != b.read(chunk))
            return false;
    }
    return b.atEnd();
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).path();
}

} // namespace

MoveDialog::MoveDialog(MainState &state) : m_state(state)
{
}

void MoveDialog::start(const QString &fileName, const QString &from)
{
    lblFILENAME = fileName;
    lblFROM = from;
    lblTO = from;
    lblNEWNAME = fileName;
}

QString MoveDialog::destinationOf(const QString &directory)
{
    QString path = QDir::cleanPath(QDir(directory).absolutePath());
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return QLatin1Char('[') + Platform::services().volume(directory).label.toUpper()
           + QStringLiteral("] ") + path;
}

void MoveDialog::split(const QString &location, QString *volumeTag, QString *path)
{
    const int bracket = int(location.indexOf(QLatin1Char(']')));
    *volumeTag = location.left(bracket + 1).trimmed();
    *path = location.mid(bracket + 1).trimmed();
    if (!path->endsWith(QLatin1Char('/')))
        *path += QLatin1Char('/');
}

bool MoveDialog::cmdADDDIR_Click()
{
    if (!lstPATHS.contains(lblDIR))
        lstPATHS << lblDIR;
    lblTO = lblDIR;
    return MoveFile();
}

bool MoveDialog::lstPATHS_DblClick(const QString &entry)
{
    lblDIR = entry;
    lblTO = lblDIR;
    return MoveFile();
}

void MoveDialog::cmdCANCEL_Click()
{
    lblTO = lblFROM;
}

void MoveDialog::notMoved()
{
    lblTO = lblFROM;
    lblNEWNAME = lblFILENAME;
}

QString MoveDialog::transfer(const QString &from, const QString &to) const
{
    Platform::Services &system = Platform::services();
    const QString folder = folderOf(to);
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("no folder ") + folder;
    if (Platform::sameFileSystem(folderOf(from), folder)) {
        const std::optional<QString> error = system.renameFile(from, to);
        return error ? *error : QString();
    }
    // Across file systems: a copy under a name of our own beside the destination, checked
    // against the original before it takes the file's name.
    QString temporary;
    do {
        temporary = folder + QStringLiteral("/.vexa-move-")
                    + QString::number(QRandomGenerator::global()->generate64(), 36)
                    + QStringLiteral(".tmp");
    } while (QFileInfo::exists(temporary));
    if (const std::optional<QString> error = system.copyFile(from, temporary)) {
        if (QFileInfo::exists(temporary))
            system.removeFile(temporary);
        return *error;
    }
    if (!sameContent(from, temporary)) {
        system.removeFile(temporary);
        return QStringLiteral("the copy differs from ") + from;
    }
    if (const std::optional<QString> error = system.renameFile(temporary, to)) {
        system.removeFile(temporary);
        return *error;
    }
    return QString();
}

void MoveDialog::undo(const QString &from, const QString &to) const
{
    if (QFileInfo::exists(from))
        Platform::services().removeFile(to); // a checked copy; the original never left
    else
        Platform::services().renameFile(to, from);
}

bool MoveDialog::MoveFile()
{
    QString fromTag, fromPath, toTag, toPath;
    split(lblFROM, &fromTag, &fromPath);
    split(lblTO, &toTag, &toPath);
    const QString thumbnailExt = m_state.thumbnailExt;
    const QString stem = FileActions::stemOf(lblFILENAME);
    const QString tail = lblFILENAME.right(4);

    if (lblTO == lblFROM) {
        Prompts::ask(nullptr, Box{QStringLiteral("DESTINATION directory cannot equal SOURCE "
                                                 "directory... "),
                                  QStringLiteral("Error"), Buttons::Ok, Icon::Exclamation,
                                  Prompts::Default::First});
        return false;
    }
    if (!m_state.isChecked(MainState::Check::Confirm)) {
        const Prompts::Answer a = Prompts::ask(
            nullptr, Box{QStringLiteral("Move file - ") + lblFILENAME + QStringLiteral("\n\nFrom - ")
                             + fromTag + QLatin1Char(' ') + fromPath + QStringLiteral("\n\nTo - ")
                             + toTag + QLatin1Char(' ') + toPath,
                         QStringLiteral("Confirm file move"), Buttons::YesNo, Icon::Question,
                         Prompts::Default::First});
        if (a != Prompts::Answer::Yes) {
            notMoved();
            return false;
        }
    }

    // The original and its side-file must be readable before anything is written anywhere.
    LocateDirectory(fromTag, fromPath);
    const QString source = fromPath + lblFILENAME;
    const QString sourceSide = FileActions::sideFileOf(fromPath, stem, thumbnailExt);
    if (!readable(source) || (!sourceSide.isEmpty() && !readable(sourceSide))) {
        copyError(QStringLiteral("Error making temp file..."));
        notMoved();
        return false;
    }

    // A name taken at the destination, in any case, by the picture or by its side-file, moves
    // the file to the first free numbered name: photo0.jpg, photo1.jpg ...
    LocateDirectory(toTag, toPath);
    QString name = lblFILENAME;
    QString sideName = stem + thumbnailExt;
    const auto taken = [&] {
        return FileActions::nameTaken(toPath, name)
               || (!sourceSide.isEmpty() && FileActions::nameTaken(toPath, sideName));
    };
    for (int n = 0; taken(); ++n) {
        name = stem + QString::number(n) + tail;
        sideName = stem + QString::number(n) + thumbnailExt;
    }

    LocateDirectory(toTag, toPath);
    const QString target = toPath + name;
    if (!transfer(source, target).isEmpty()) {
        copyError(QStringLiteral("Error copying file..."));
        notMoved();
        return false;
    }
    lblNEWNAME = name;
    if (!sourceSide.isEmpty() && !transfer(sourceSide, toPath + sideName).isEmpty()) {
        undo(source, target);
        copyError(QStringLiteral("Error copying file..."));
        notMoved();
        return false;
    }

    // Copies across file systems leave the originals to delete now.
    LocateDirectory(fromTag, fromPath);
    if (QFileInfo::exists(source) && Platform::services().removeFile(source))
        copyError(QStringLiteral("Error deleting original file (Copy to destination OK)..."));
    if (!sourceSide.isEmpty() && QFileInfo::exists(sourceSide)
        && Platform::services().removeFile(sourceSide)) {
        copyError(QStringLiteral("Error deleting original thumbnail (Copy to destination OK)..."));
    }
    return true;
}
