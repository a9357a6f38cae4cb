// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// File operations that never replace a file, and the freedesktop.org Trash, on Linux. They
// work on the bytes of the names, so any name the file system holds is handled.
#include "platform_p.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace Platform {
namespace {

// Closes a descriptor on every way out.
struct Descriptor
{
    int fd = -1;
    explicit Descriptor(int f) : fd(f) {}
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int release()
    {
        const int f = fd;
        fd = -1;
        return f;
    }
};

QString failure(const QString &what, const QString &path, int error)
{
    return what.arg(path) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
}

QByteArray parentOf(const QByteArray &path)
{
    const int slash = path.lastIndexOf('/');
    if (slash <= 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

QByteArray lastPart(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// Flushes a folder's entries, so a new name in it survives a power cut.
bool syncFolder(const QByteArray &folder)
{
    Descriptor dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd < 0)
        return false;
    // Some file systems (network, FUSE) cannot sync a folder; the data itself is synced.
    return ::fsync(dir.fd) == 0 || errno == EINVAL || errno == EROFS;
}

// A folder of the Trash, made owner-only when missing; a symbolic link in its place is refused,
// since another user could point it anywhere.
bool ensureFolder(const QByteArray &path)
{
    if (::mkdir(path.constData(), 0700) == 0)
        return true;
    struct stat st;
    return errno == EEXIST && ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool prepareTrash(const QByteArray &trash)
{
    return ensureFolder(trash) && ensureFolder(trash + "/files") && ensureFolder(trash + "/info");
}

// The mount point of the file system holding the folder: the highest folder above it on the
// same device.
QByteArray topDirectory(QByteArray folder, dev_t device)
{
    for (;;) {
        if (folder == "/")
            return folder;
        const QByteArray up = parentOf(folder);
        struct stat st;
        if (::stat(up.constData(), &st) != 0 || st.st_dev != device)
            return folder;
        folder = up;
    }
}

// A name for the entry in files/: the file's own name, cut so that the info file's name fits
// the file system's limit (and not inside a character), then numbered when taken.
QByteArray entryName(const QByteArray &name, int attempt)
{
    constexpr int maxBytes = 200;
    QByteArray base = name;
    if (base.size() > maxBytes) {
        int cut = maxBytes;
        while (cut > 0 && (uchar(base.at(cut)) & 0xC0) == 0x80)
            --cut; // a UTF-8 continuation byte: back off to the start of its character
        base.truncate(cut);
    }
    if (attempt == 0)
        return base;
    return base + '.' + QByteArray::number(attempt + 1);
}

} // namespace

int renameNoReplace(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    const int error = errno;
    if (error != EINVAL && error != ENOSYS && error != ENOTSUP)
        return error;
    // The file system does not know the flag: a hard link fails on an existing name as well.
    if (::link(from.constData(), to.constData()) == 0) {
        if (::unlink(from.constData()) == 0)
            return 0;
        const int unlinkError = errno;
        ::unlink(to.constData());
        return unlinkError;
    }
    const int linkError = errno;
    if (linkError != EPERM && linkError != ENOTSUP && linkError != EOPNOTSUPP)
        return linkError;
    // Nor hard links (FAT): the name is checked just before the plain rename.
    struct stat st;
    if (::lstat(to.constData(), &st) == 0)
        return EEXIST;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

QByteArray trashEncodedPath(const QByteArray &path)
{
    return path.toPercentEncoding("/", QByteArray(), '%');
}

std::optional<QString> moveToFreedesktopTrash(const QString &path, const QString &dataHome,
                                              const QDateTime &deletedAt)
{
    const QString shown = QFile::decodeName(QFile::encodeName(path));
    const QString cannot = QStringLiteral("Unable to move %1 to the Trash");
    const QByteArray file = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    struct stat st;
    if (::lstat(file.constData(), &st) != 0)
        return failure(cannot, shown, errno);

    // The home Trash when the file lives on its file system, else the Trash of the file's own.
    QByteArray trash;
    QByteArray original = file; // the Path= value before encoding
    const QByteArray home = QFile::encodeName(dataHome);
    struct stat homeSt;
    const QByteArray homeTrash = home + "/Trash";
    bool homeUsable = false;
    if (!home.isEmpty() && (QFileInfo(dataHome).isDir() || QDir().mkpath(dataHome))) {
        homeUsable = ::stat(home.constData(), &homeSt) == 0;
    }
    if (homeUsable && homeSt.st_dev == st.st_dev) {
        if (!prepareTrash(homeTrash))
            return failure(cannot, shown, errno);
        trash = homeTrash;
    } else {
        const QByteArray top = topDirectory(parentOf(file), st.st_dev);
        const QByteArray uid = QByteArray::number(::getuid());
        const QByteArray topPrefix = top == "/" ? top : top + '/';
        struct stat shared;
        // $topdir/.Trash: made by the administrator for all users, sticky, never a link.
        const QByteArray sharedTrash = topPrefix + ".Trash";
        if (::lstat(sharedTrash.constData(), &shared) == 0 && S_ISDIR(shared.st_mode)
            && (shared.st_mode & S_ISVTX) && prepareTrash(sharedTrash + '/' + uid)) {
            trash = sharedTrash + '/' + uid;
        } else if (prepareTrash(topPrefix + ".Trash-" + uid)) {
            trash = topPrefix + ".Trash-" + uid;
        } else {
            return failure(cannot, shown, errno);
        }
        // Entries of a volume's Trash name their place from the volume's top, so they still
        // restore when the volume is mounted elsewhere.
        original = file.mid(topPrefix.size());
    }

    const QByteArray name = lastPart(file);
    const QByteArray info = QByteArrayLiteral("[Trash Info]\nPath=") + trashEncodedPath(original)
                            + QByteArrayLiteral("\nDeletionDate=")
                            + deletedAt.toLocalTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toLatin1()
                            + '\n';
    for (int attempt = 0; attempt < 10000; ++attempt) {
        const QByteArray entry = entryName(name, attempt);
        const QByteArray infoPath = trash + "/info/" + entry + ".trashinfo";
        // The info file claims the name: created exclusively, written and flushed before the
        // file moves, so a crash never leaves a trashed file nobody can restore.
        Descriptor fd(::open(infoPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (fd.fd < 0) {
            if (errno == EEXIST)
                continue;
            return failure(cannot, shown, errno);
        }
        if (!writeAll(fd.fd, info.constData(), info.size()) || ::fsync(fd.fd) != 0
            || ::close(fd.release()) != 0) {
            const int error = errno;
            ::unlink(infoPath.constData());
            return failure(cannot, shown, error);
        }
        const int error = renameNoReplace(file, trash + "/files/" + entry);
        if (error == 0) {
            syncFolder(trash + "/files");
            return std::nullopt;
        }
        ::unlink(infoPath.constData());
        if (error != EEXIST)
            return failure(cannot, shown, error);
    }
    return failure(cannot, shown, EEXIST);
}

std::optional<FileId> fileId(const QString &path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileId{quint64(st.st_dev), quint64(st.st_ino)};
}

bool sameFileSystem(const QString &first, const QString &second)
{
    struct stat a, b;
    return ::stat(QFile::encodeName(first).constData(), &a) == 0
           && ::stat(QFile::encodeName(second).constData(), &b) == 0 && a.st_dev == b.st_dev;
}

std::optional<QString> LinuxServices::renameFile(const QString &from, const QString &to)
{
    const int error = renameNoReplace(QFile::encodeName(from), QFile::encodeName(to));
    if (error == 0) {
        syncFolder(parentOf(QFile::encodeName(to)));
        return std::nullopt;
    }
    return failure(QStringLiteral("Unable to rename %1"), from, error);
}

std::optional<QString> LinuxServices::copyFile(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    Descriptor in(::open(source.constData(), O_RDONLY | O_CLOEXEC));
    struct stat st;
    if (in.fd < 0 || ::fstat(in.fd, &st) != 0)
        return failure(QStringLiteral("Unable to read %1"), from, errno);
    if (!S_ISREG(st.st_mode))
        return failure(QStringLiteral("Unable to read %1"), from, EINVAL);
    Descriptor out(::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          st.st_mode & 07777));
    if (out.fd < 0)
        return failure(QStringLiteral("Unable to create %1"), to, errno);

    int error = 0;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(in.fd, buffer.data(), size_t(buffer.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = errno;
            break;
        }
        if (n == 0)
            break;
        if (!writeAll(out.fd, buffer.constData(), n)) {
            error = errno;
            break;
        }
    }
    if (error == 0) {
        // The copy keeps the original's time, which is part of the catalogue's key.
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::fchmod(out.fd, st.st_mode & 07777);
        if (::futimens(out.fd, times) != 0 || ::fsync(out.fd) != 0)
            error = errno;
    }
    if (error == 0 && ::close(out.release()) != 0)
        error = errno;
    if (error == 0 && !syncFolder(parentOf(target)))
        error = errno;
    if (error != 0) {
        ::unlink(target.constData());
        return failure(QStringLiteral("Unable to copy %1"), from, error);
    }
    return std::nullopt;
}

std::optional<QString> LinuxServices::removeFile(const QString &path)
{
    if (::unlink(QFile::encodeName(path).constData()) != 0)
        return failure(QStringLiteral("Unable to delete %1"), path, errno);
    return std::nullopt;
}

} // namespace Platform
