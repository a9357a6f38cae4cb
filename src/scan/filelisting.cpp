// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "filelisting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace {

bool endsWithType(const QByteArray &raw, const QByteArray &typeUpper)
{
    if (raw.size() < typeUpper.size())
        return false;
    for (int i = 0; i < typeUpper.size(); ++i) {
        char c = raw[raw.size() - typeUpper.size() + i];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c != typeUpper[i])
            return false;
    }
    return true;
}

QDateTime wholeSeconds(qint64 secondsSinceEpoch)
{
    return QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::LocalTime);
}

} // namespace

Listing listFiles(const QString &directory, const QString &type)
{
    Listing out;
#ifdef Q_OS_UNIX
    const QByteArray dirPath = QFile::encodeName(directory);
    DIR *dir = ::opendir(dirPath.constData());
    if (!dir)
        return out;
    out.ok = true;
    const int fd = ::dirfd(dir);
    const QByteArray typeUpper = type.toUpper().toLatin1();
    while (dirent *e = ::readdir(dir)) {
        const QByteArray raw(e->d_name);
        if (raw == "." || raw == ".." || !endsWithType(raw, typeUpper))
            continue;
        struct stat st;
        if (::fstatat(fd, e->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode))
            continue; // vanished, unreadable, or not a plain file
        const QString name = QFile::decodeName(raw);
        if (QFile::encodeName(name) != raw) {
            ++out.unreadableNames;
            continue;
        }
        out.files.append({name, qint64(st.st_size), wholeSeconds(qint64(st.st_mtime))});
    }
    ::closedir(dir);
#else
    QDir dir(directory);
    if (!dir.exists())
        return out;
    out.ok = true;
    const QFileInfoList infos = dir.entryInfoList({QStringLiteral("*") + type},
                                                  QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &fi : infos) {
        out.files.append({fi.fileName(), fi.size(),
                          wholeSeconds(fi.lastModified().toSecsSinceEpoch())});
    }
#endif
    std::sort(out.files.begin(), out.files.end(),
              [](const ListedFile &a, const ListedFile &b) { return a.name < b.name; });
    return out;
}
