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

// Why a program could not be started: the system's error number (0 when it gave none) and its
// description.
struct StartFailure
{
    int number = 0;
    QString description;
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

    // The file operations of the review's actions. None of them ever replaces an existing
    // file; each returns an error text, or nothing on success.
    // Gives a file a new name on the same file system; fails when `to` exists.
    virtual std::optional<QString> renameFile(const QString &from, const QString &to) = 0;
    // Copies a file into the new file `to` (fails when it exists), with its permissions and
    // modification time, and flushes the copy and its folder to the disk. A copy that fails
    // part way is removed again.
    virtual std::optional<QString> copyFile(const QString &from, const QString &to) = 0;
    virtual std::optional<QString> removeFile(const QString &path) = 0;

    // Takes the single-instance lock in the program directory. Stale locks of a crashed run
    // are taken over.
    virtual InstanceLock acquireInstanceLock(const QString &programDir) = 0;
    virtual void releaseInstanceLock() = 0;

    virtual void playSound(const QString &wavPath) = 0; // returns at once
    virtual void beep() = 0;
    // Starts a program with these arguments, each passed as it is (no shell ever reads them),
    // without waiting for it. Nothing on success.
    virtual std::optional<StartFailure> startProgram(const QString &program,
                                                     const QStringList &arguments) = 0;
    // Shows the help page in the desktop's browser. False when no browser can be started;
    // failedLater runs (on the user-interface thread) when the launch fails afterwards.
    virtual bool openHelp(const QString &htmlPath, const std::function<void()> &failedLater) = 0;

    // Bits per pixel of the screen.
    virtual int screenDepth() = 0;
};

// What tells two names of one file apart from two files: the file system and the file's number
// on it. Two folders reached through a symbolic link or a bind mount, and hard links, give the
// same identity.
struct FileId
{
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FileId &o) const { return device == o.device && inode == o.inode; }
    bool operator!=(const FileId &o) const { return !(*this == o); }
};
// Nothing when the path does not exist. A symbolic link answers for itself, not its target.
std::optional<FileId> fileId(const QString &path);
// Whether two existing paths lie on one file system (a rename can take a file from one to the
// other).
bool sameFileSystem(const QString &first, const QString &second);

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
