// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "platform.h"

#include <QByteArray>
#include <QDateTime>
#include <QtGlobal>

#include <memory>

class QLockFile;

// Internals of the platform layer, shared by platform.cpp, the file for this system and the
// tests. Not for use elsewhere in the program.
namespace Platform {
namespace Internal {

// The real services of this system; defined by the platform file that is built.
Services &systemServices();

// Calls the function given to setBeepFunction, if any.
void soundBeep();

} // namespace Internal

#ifdef Q_OS_LINUX

// The kind of a mounted volume from its file system type, its mount point and whether the
// kernel reports its block device as removable. Knows nothing of paths that are not mounted.
DriveKind classify(const QByteArray &fileSystemType, const QString &mountPoint,
                   bool deviceRemovable);

// Whether a mounted volume belongs in the list offered to the user: pseudo file systems and
// the read-only images of installed snap packages do not.
bool isListedVolume(const QByteArray &fileSystemType, const QString &mountPoint, bool readOnly);

// Whether the kernel reports the disk holding a block device ("/dev/sdb1", a /dev/disk/by-*
// link) as removable. A partition answers for its disk. sysRoot is where sysfs is mounted.
bool isDeviceRemovable(const QByteArray &device, const QString &sysRoot = QStringLiteral("/sys"));

// rename(2) that never replaces: renameat2 with RENAME_NOREPLACE, else (file systems that do not
// know the flag) a hard link and the removal of the old name. Returns 0 or the errno value.
int renameNoReplace(const QByteArray &from, const QByteArray &to);

// The freedesktop.org Trash: moves the file at path into the home Trash under dataHome
// ($XDG_DATA_HOME) when both lie on one file system, else into $topdir/.Trash/$uid (when the
// administrator made $topdir/.Trash) or $topdir/.Trash-$uid of the file's own file system.
// The entry's info file is written first, created exclusively, with the original location
// percent-encoded and the deletion time in local time. Returns an error text, or nothing.
std::optional<QString> moveToFreedesktopTrash(const QString &path, const QString &dataHome,
                                              const QDateTime &deletedAt);
// A path's bytes as the Trash's info files hold them: everything but letters, digits and
// "-_.~/" percent-encoded.
QByteArray trashEncodedPath(const QByteArray &path);

class LinuxServices : public Services
{
public:
    LinuxServices();
    ~LinuxServices() override;

    DriveKind driveKind(const QString &path) override;
    Volume volume(const QString &path) override;
    QList<Volume> mountedVolumes() override;
    std::optional<QString> moveToTrash(const QString &path) override;
    std::optional<QString> renameFile(const QString &from, const QString &to) override;
    std::optional<QString> copyFile(const QString &from, const QString &to) override;
    std::optional<QString> removeFile(const QString &path) override;
    InstanceLock acquireInstanceLock(const QString &programDir) override;
    void releaseInstanceLock() override;
    void playSound(const QString &wavPath) override;
    void beep() override;
    std::optional<StartFailure> startProgram(const QString &program,
                                             const QStringList &arguments) override;
    bool openHelp(const QString &htmlPath, const std::function<void()> &failedLater) override;
    int screenDepth() override;

private:
    std::unique_ptr<QLockFile> m_lock;
};

#endif

} // namespace Platform
