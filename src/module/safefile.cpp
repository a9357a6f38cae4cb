// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "safefile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace SafeFile {
namespace {

bool failed(QString *error, const QString &path, const QString &why)
{
    if (error)
        *error = QStringLiteral("%1: %2").arg(path, why);
    return false;
}

// Where the new content goes: the file itself, or the target of a link standing at path.
QString targetOf(const QString &path)
{
    const QFileInfo info(path);
    return info.isSymLink() ? info.symLinkTarget() : path;
}

} // namespace

#ifdef Q_OS_UNIX

bool writeWhole(const QString &path, const QByteArray &bytes, QString *error, Sync sync)
{
    const QString target = targetOf(path);
    const QByteArray native = QFile::encodeName(target);
    auto reason = [] { return QString::fromLocal8Bit(std::strerror(errno)); };

    struct stat old;
    const bool existed = ::stat(native.constData(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode))
        return failed(error, target, QStringLiteral("it is a folder"));

    // A new name beside the file, on the same file system, so the rename is atomic.
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = native + ".new-" + QByteArray::number(QRandomGenerator::global()->generate(), 16);
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return failed(error, target, reason());
    }
    if (fd < 0)
        return failed(error, target, reason());

    auto abandon = [&](const QString &why) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temp.constData());
        return failed(error, target, why);
    };
    // The new file keeps the permissions of the one it replaces.
    if (existed)
        ::fchmod(fd, old.st_mode & 07777);
    const char *p = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return abandon(reason());
        }
        p += n;
        left -= n;
    }
    if (sync == Sync::Now && ::fsync(fd) != 0)
        return abandon(reason());
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0)
        return abandon(reason());
    if (::rename(temp.constData(), native.constData()) != 0)
        return abandon(reason());
    if (sync == Sync::Deferred)
        return true;

    // The rename itself reaches the disk only with its folder.
    const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        const bool synced = ::fsync(dir) == 0 || errno == EINVAL; // some file systems cannot
        const QString why = synced ? QString() : reason();
        ::close(dir);
        if (!synced)
            return failed(error, target, why);
    }
    return true;
}

#else

bool writeWhole(const QString &path, const QByteArray &bytes, QString *error, Sync)
{
    const QString target = targetOf(path);
    if (QFileInfo(target).isDir())
        return failed(error, target, QStringLiteral("it is a folder"));
    // Unbuffered, every write reaches the file at once and its failure is seen here; commit()
    // then refuses to replace the old file.
    QSaveFile f(target);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(error, target, f.errorString());
    if (f.write(bytes) != bytes.size()) {
        const QString why = f.errorString();
        f.cancelWriting();
        return failed(error, target, why);
    }
    if (!f.commit())
        return failed(error, target, f.errorString());
    return true;
}

#endif

} // namespace SafeFile
