// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "locate.h"

#include "mainstate.h"
#include "platform.h"
#include "prompts.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The kind of the volume a path lives on. For a path that does not exist, a place where
// removable media are mounted counts as removable (its medium is out); anything else takes the
// kind of the nearest existing folder above it.
Platform::DriveKind kindOf(const QString &path)
{
    Platform::Services &platform = Platform::services();
    if (QFileInfo::exists(path))
        return platform.driveKind(path);
    for (const char *mounts : {"/media/", "/run/media/", "/mnt/"}) {
        if (path.startsWith(QLatin1String(mounts)))
            return Platform::DriveKind::Removable;
    }
    QString up = QFileInfo(path).absolutePath();
    while (!up.isEmpty() && !QFileInfo::exists(up) && up != QLatin1String("/"))
        up = QFileInfo(up).absolutePath();
    return platform.driveKind(up.isEmpty() ? QStringLiteral("/") : up);
}

bool labelMatches(const QString &volumeTag, const QString &path)
{
    const Platform::Volume v = Platform::services().volume(path);
    return v.valid
           && (QLatin1Char('[') + v.label + QLatin1Char(']')).toUpper() == volumeTag.toUpper();
}

bool underReactivated(const QString &path)
{
    const MainState *state = MainState::current();
    if (!state)
        return false;
    for (QString root : state->reactivate.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        root = root.trimmed();
        if (root.isEmpty())
            continue;
        const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
        const QString p = path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
        if (p.startsWith(prefix))
            return true;
    }
    return false;
}

bool pollingDisabled()
{
    const MainState *state = MainState::current();
    return state && state->disableFilePolling;
}

bool fixedOrRemote(const QString &path)
{
    const Platform::DriveKind kind = kindOf(path);
    return kind == Platform::DriveKind::Fixed || kind == Platform::DriveKind::Remote;
}

} // namespace

bool LocateFile(const QString &volumeTag, const QString &path)
{
    if (pollingDisabled())
        return QFileInfo(path).isFile();
    for (;;) {
        const QFileInfo info(path);
        if (info.exists() && !info.isDir() && labelMatches(volumeTag, path))
            return true;
        if (fixedOrRemote(path))
            return info.exists() && !info.isDir();
        const Prompts::Answer a = Prompts::ask(
            nullptr,
            Prompts::Box{volumeTag + QLatin1Char(' ') + path
                             + QStringLiteral("\n\nIf you are using removable media (MO, Zip disk, "
                                              "etc.), please load the disk that contains this "
                                              "file.  Otherwise, click CANCEL..."),
                         QStringLiteral("Vexa! - Cannot find FILE..."), Prompts::Buttons::OkCancel,
                         Prompts::Icon::None, Prompts::Default::First});
        if (a != Prompts::Answer::Ok)
            return QFileInfo(path).isFile();
    }
}

bool LocateDirectory(const QString &volumeTag, const QString &path)
{
    if (pollingDisabled())
        return QFileInfo(path).isDir();
    for (;;) {
        const bool isDir = QFileInfo(path).isDir();
        if (isDir && labelMatches(volumeTag, path))
            return true;
        if (fixedOrRemote(path))
            return isDir;
        if (isDir && !QDir(path).isEmpty() && labelMatches(volumeTag, path))
            return true;
        if (underReactivated(path))
            return isDir;
        const Prompts::Answer a = Prompts::ask(
            nullptr,
            Prompts::Box{volumeTag + QLatin1Char(' ') + path
                             + QStringLiteral("\n\nIf you are using removable media (MO, Zip disk, "
                                              "etc.), please load the disk that contains this "
                                              "directory.  Otherwise, click CANCEL (deleted "
                                              "directories from previous sessions will cause this "
                                              "prompting as well)."),
                         QStringLiteral("Vexa! - Cannot find DIRECTORY..."),
                         Prompts::Buttons::OkCancel, Prompts::Icon::None, Prompts::Default::First});
        if (a != Prompts::Answer::Ok)
            return QFileInfo(path).isDir();
    }
}
