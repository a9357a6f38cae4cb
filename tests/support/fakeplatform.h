// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "platform.h"

#include <QMap>

// Platform services a test controls: volumes are matched by the longest root that prefixes
// a path; anything else is a fixed volume "/" with plenty of space. Records what the program
// asked of the system. Installed for as long as the object lives.
class FakePlatform : public Platform::Services
{
public:
    FakePlatform();
    ~FakePlatform() override;

    struct FakeVolume
    {
        Platform::Volume volume;
        Platform::DriveKind kind = Platform::DriveKind::Fixed;
        bool mounted = true;
    };
    void addVolume(const QString &root, Platform::DriveKind kind, const QString &label = QString(),
                   qint64 bytesFree = qint64(100) << 30, int blockSize = 4096, bool mounted = true);

    QMap<QString, FakeVolume> volumes; // by root
    int depth = 32;
    bool otherInstanceRunning = false;
    bool lockNotWritable = false;
    bool trashFails = false;
    // The Trash and the file operations of the review act on the real files unless a test
    // makes them fail: realTrash writes real freedesktop entries (under $XDG_DATA_HOME).
    bool realTrash = false;
    // A copy that stops after this many bytes, leaving its part written, as a full disk or a
    // medium pulled out does; -1: copies work.
    qint64 copyBreaksAfter = -1;
    bool copyCorrupts = false;  // the copy reports success, but one byte differs
    QStringList failRemove;     // paths whose deletion fails
    QStringList failCopy;       // paths that cannot be copied
    QStringList failRename;     // paths that cannot be renamed
    enum class Help { Opens, NoBrowser, FailsLater } help = Help::Opens;

    QStringList helpPages;
    int beeps = 0;
    bool lockHeld = false;

    Platform::DriveKind driveKind(const QString &path) override;
    Platform::Volume volume(const QString &path) override;
    QList<Platform::Volume> mountedVolumes() override;
    std::optional<QString> moveToTrash(const QString &path) override;
    std::optional<QString> renameFile(const QString &from, const QString &to) override;
    std::optional<QString> copyFile(const QString &from, const QString &to) override;
    std::optional<QString> removeFile(const QString &path) override;
    Platform::InstanceLock acquireInstanceLock(const QString &programDir) override;
    void releaseInstanceLock() override;
    void playSound(const QString &wavPath) override;
    void beep() override;
    std::optional<Platform::StartFailure> startProgram(const QString &program,
                                                       const QStringList &arguments) override;
    bool openHelp(const QString &htmlPath, const std::function<void()> &failedLater) override;
    int screenDepth() override;

private:
    const FakeVolume *find(const QString &path) const;
};
