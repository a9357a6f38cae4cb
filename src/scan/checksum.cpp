// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "checksum.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "locate.h"

namespace Checksum {

namespace {

// Large enough that reading costs far more than the calls, small enough that comparing two
// files of any size needs only a few megabytes.
constexpr qint64 CompareBlock = 1 << 20;

// Reads the first bytes of a file with one read call and reports its length. Returns the
// number of bytes read, or -1 when the file cannot be opened or read. The pre-scan runs this
// for every file of a collection, so it goes straight to the system where it can.
qint64 readHead(const QString &path, char *buffer, qint64 *length)
{
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info = {};
    ssize_t got = -1;
    if (::fstat(fd, &info) == 0) {
        *length = qint64(info.st_size);
        do {
            got = ::read(fd, buffer, HeadBytes);
        } while (got < 0 && errno == EINTR);
    }
    ::close(fd);
    return qint64(got);
#else
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return -1;
    *length = file.size();
    return file.read(buffer, HeadBytes);
#endif
}

} // namespace

QString Text(const QString &type, qint64 length, const QByteArray &head)
{
    // Words past the bytes read stay zero, so a short file gives "0" digits at the end.
    unsigned char bytes[HeadBytes] = {};
    std::memcpy(bytes, head.constData(), size_t(qMin<qsizetype>(head.size(), HeadBytes)));
    char digits[Digits];
    for (int k = 1; k <= Digits; ++k) {
        const int word = int(int16_t(uint16_t(bytes[2 * k] | (bytes[2 * k + 1] << 8))));
        digits[k - 1] = char('0' + (word < 0 ? -(word % 10) : word % 10));
    }
    QString text;
    text.reserve(type.size() + 22 + Digits);
    text += type;
    text += QLatin1Char(' ');
    text += QString::number(length);
    text += QLatin1Char(' ');
    text += QLatin1String(digits, Digits);
    return text;
}

QString Compute(const QString &path, const QString &type)
{
    char buffer[HeadBytes];
    qint64 length = -1;
    const qint64 got = readHead(path, buffer, &length);
    if (length < 0)
        length = QFileInfo(path).size(); // not opened: the length as the file system lists it
    return Text(type, length, QByteArray::fromRawData(buffer, got > 0 ? int(got) : 0));
}

bool CompareFiles(const QString &volume1, const QString &path1, const QString &volume2,
                  const QString &path2)
{
    LocateFile(volume1, path1);
    LocateFile(volume2, path2);
    QFile a(path1);
    QFile b(path2);
    if (!a.open(QIODevice::ReadOnly | QIODevice::Unbuffered) ||
        !b.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    const qint64 length = a.size();
    if (b.size() != length)
        return false;

    const std::unique_ptr<char[]> blockA(new char[CompareBlock]);
    const std::unique_ptr<char[]> blockB(new char[CompareBlock]);
    qint64 done = 0;
    while (done < length) {
        const qint64 want = qMin(CompareBlock, length - done);
        if (a.read(blockA.get(), want) != want || b.read(blockB.get(), want) != want)
            return false; // a read error, or a file that shrank while it was read
        // The first two bytes of the files do not take part.
        const qint64 skip = done == 0 ? qMin<qint64>(2, want) : 0;
        if (std::memcmp(blockA.get() + skip, blockB.get() + skip, size_t(want - skip)) != 0)
            return false;
        done += want;
    }
    return true;
}

} // namespace Checksum
