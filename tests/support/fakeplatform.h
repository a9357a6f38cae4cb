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
    qint64 rootBytesFree = qint64(100) << 30;
    int depth = 32;
    bool otherInstanceRunning = false;
    bool lockNotWritable = false;
    bool trashFails = false;

    QStringList trashed, sounds, helpPages;
    QList<QStringList> started; // program, then arguments
    int beeps = 0;
    bool lockHeld = false;

    Platform::DriveKind driveKind(const QString &path) override;
    Platform::Volume volume(const QString &path) override;
    QList<Platform::Volume> mountedVolumes() override;
    std::optional<QString> moveToTrash(const QString &path) override;
    Platform::InstanceLock acquireInstanceLock(const QString &programDir) override;
    void releaseInstanceLock() override;
    void playSound(const QString &wavPath) override;
    void beep() override;
    bool startProgram(const QString &program, const QStringList &arguments) override;
    bool openHelp(const QString &htmlPath) override;
    int screenDepth() override;

private:
    const FakeVolume *find(const QString &path) const;
};
