// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "platform.h"

#include <QByteArray>
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

class LinuxServices : public Services
{
public:
    LinuxServices();
    ~LinuxServices() override;

    DriveKind driveKind(const QString &path) override;
    Volume volume(const QString &path) override;
    QList<Volume> mountedVolumes() override;
    std::optional<QString> moveToTrash(const QString &path) override;
    InstanceLock acquireInstanceLock(const QString &programDir) override;
    void releaseInstanceLock() override;
    void playSound(const QString &wavPath) override;
    void beep() override;
    bool startProgram(const QString &program, const QStringList &arguments) override;
    bool openHelp(const QString &htmlPath) override;
    int screenDepth() override;

private:
    std::unique_ptr<QLockFile> m_lock;
};

#endif

} // namespace Platform
