// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "fakeplatform.h"

#include "platform_p.h"

#include <QFile>

FakePlatform::FakePlatform()
{
    Platform::setServicesForTesting(this);
}

FakePlatform::~FakePlatform()
{
    Platform::setServicesForTesting(nullptr);
}

void FakePlatform::addVolume(const QString &root, Platform::DriveKind kind, const QString &label,
                             qint64 bytesFree, int blockSize, bool mounted)
{
    FakeVolume v;
    v.volume.root = root;
    v.volume.label = label.toUpper();
    v.volume.fileSystem = QStringLiteral("fake");
    v.volume.bytesFree = bytesFree;
    v.volume.blockSize = blockSize;
    v.volume.valid = mounted;
    v.kind = kind;
    v.mounted = mounted;
    volumes.insert(root, v);
}

const FakePlatform::FakeVolume *FakePlatform::find(const QString &path) const
{
    const FakeVolume *best = nullptr;
    for (auto it = volumes.cbegin(); it != volumes.cend(); ++it) {
        const QString root = it.key();
        const bool under =
            path == root ||
            path.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
        if (under && (!best || root.size() > best->volume.root.size()))
            best = &it.value();
    }
    return best;
}

Platform::DriveKind FakePlatform::driveKind(const QString &path)
{
    const FakeVolume *v = find(path);
    if (!v)
        return Platform::DriveKind::Fixed;
    return v->mounted ? v->kind : Platform::DriveKind::NoRoot;
}

Platform::Volume FakePlatform::volume(const QString &path)
{
    if (const FakeVolume *v = find(path))
        return v->mounted ? v->volume : Platform::Volume{};
    Platform::Volume root;
    root.root = QStringLiteral("/");
    root.fileSystem = QStringLiteral("fake");
    root.bytesFree = qint64(100) << 30;
    root.blockSize = 4096;
    root.valid = true;
    return root;
}

QList<Platform::Volume> FakePlatform::mountedVolumes()
{
    QList<Platform::Volume> out;
    for (const auto &v : volumes) {
        if (v.mounted)
            out.append(v.volume);
    }
    return out;
}

std::optional<QString> FakePlatform::moveToTrash(const QString &path)
{
    if (trashFails)
        return QStringLiteral("The Trash is not available");
    if (realTrash)
        return Platform::Internal::systemServices().moveToTrash(path);
    if (!QFile::remove(path))
        return QStringLiteral("Cannot remove %1").arg(path);
    return std::nullopt;
}

std::optional<QString> FakePlatform::renameFile(const QString &from, const QString &to)
{
    if (failRename.contains(from))
        return QStringLiteral("Unable to rename %1: Read-only file system").arg(from);
    return Platform::Internal::systemServices().renameFile(from, to);
}

std::optional<QString> FakePlatform::copyFile(const QString &from, const QString &to)
{
    if (failCopy.contains(from))
        return QStringLiteral("Unable to copy %1: Input/output error").arg(from);
    std::optional<QString> error = Platform::Internal::systemServices().copyFile(from, to);
    if (error)
        return error;
    if (copyBreaksAfter >= 0) {
        QFile part(to);
        part.resize(copyBreaksAfter);
        return QStringLiteral("Unable to copy %1: No space left on device").arg(from);
    }
    if (copyCorrupts) {
        QFile copy(to);
        if (copy.open(QIODevice::ReadWrite) && copy.size() > 0) {
            char c = 0;
            copy.seek(copy.size() / 2);
            copy.getChar(&c);
            copy.seek(copy.size() / 2);
            copy.putChar(char(c ^ 0x20));
        }
    }
    return std::nullopt;
}

std::optional<QString> FakePlatform::removeFile(const QString &path)
{
    if (failRemove.contains(path))
        return QStringLiteral("Unable to delete %1: Operation not permitted").arg(path);
    return Platform::Internal::systemServices().removeFile(path);
}

Platform::InstanceLock FakePlatform::acquireInstanceLock(const QString &)
{
    if (otherInstanceRunning)
        return Platform::InstanceLock::HeldByOther;
    if (lockNotWritable)
        return Platform::InstanceLock::NotWritable;
    lockHeld = true;
    return Platform::InstanceLock::Taken;
}

void FakePlatform::releaseInstanceLock()
{
    lockHeld = false;
}

void FakePlatform::playSound(const QString &) {}

void FakePlatform::beep()
{
    ++beeps;
}

std::optional<Platform::StartFailure> FakePlatform::startProgram(const QString &,
                                                                 const QStringList &)
{
    return std::nullopt;
}

bool FakePlatform::openHelp(const QString &htmlPath, const std::function<void()> &failedLater)
{
    helpPages.append(htmlPath);
    if (help == Help::FailsLater && failedLater)
        failedLater();
    return help != Help::NoBrowser;
}

int FakePlatform::screenDepth()
{
    return depth;
}
