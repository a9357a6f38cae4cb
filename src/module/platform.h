// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The operating-system services the program needs, behind one interface so that tests can
// simulate removable or absent volumes, labels, low disk space and a poor screen.
namespace Platform {

// Kinds keep the numbers the program has always used for drive types.
enum class DriveKind { Unknown = 0, NoRoot = 1, Removable = 2, Fixed = 3, Remote = 4, Optical = 5, Ram = 6 };

struct Volume
{
    QString root;       // mount point, ending without a separator except for "/"
    QString label;      // upper-cased; empty when the volume has none
    QString fileSystem; // "ext4", "vfat", "nfs4" ...
    qint64 bytesFree = -1;
    int blockSize = 0;
    bool valid = false;
};

// What became of the single-instance lock.
enum class InstanceLock {
    Taken,       // this run holds it
    HeldByOther, // a running instance holds it
    NotWritable  // the lock file cannot be made: the program directory cannot be written
};

class Services
{
public:
    virtual ~Services() = default;

    virtual DriveKind driveKind(const QString &path) = 0;
    virtual Volume volume(const QString &path) = 0;
    // Every mounted volume the user could care about (pseudo file systems left out).
    virtual QList<Volume> mountedVolumes() = 0;

    // Moves a file to the desktop's Trash. Returns an error text, or nothing on success.
    virtual std::optional<QString> moveToTrash(const QString &path) = 0;

    // Takes the single-instance lock in the program directory. Stale locks of a crashed run
    // are taken over.
    virtual InstanceLock acquireInstanceLock(const QString &programDir) = 0;
    virtual void releaseInstanceLock() = 0;

    virtual void playSound(const QString &wavPath) = 0; // returns at once
    virtual void beep() = 0;
    virtual bool startProgram(const QString &program, const QStringList &arguments) = 0;
    virtual bool openHelp(const QString &htmlPath) = 0;

    // Bits per pixel of the screen.
    virtual int screenDepth() = 0;
};

// The installed services: the real ones for this system unless a test replaced them.
Services &services();
void setServicesForTesting(Services *services); // nullptr restores the real ones

// The real services also need a way to sound the beep, which lives in the widget layer.
void setBeepFunction(std::function<void()> beep);

// Called once at start, before any thread: lets the memory of a decoded picture be used again
// for the next one instead of going back to the system, which would hand it out afresh (and
// zeroed) for every picture of a gather.
void keepPictureMemory();

} // namespace Platform
