// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "filelisting.h"

#include <QDir>
#include <QFile>
#include <QByteArrayView>
#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#endif

namespace {

bool endsWithType(QByteArrayView raw, const QByteArray &typeUpper)
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

} // namespace

QVector<Listing> listFiles(const QString &directory, const QStringList &types)
{
    QVector<Listing> out(types.size());
#ifdef Q_OS_UNIX
    // Keys are made with localtime_r, which reads the time zone only when told to: a change
    // of the system's zone is picked up once per directory.
    ::tzset();
    const QByteArray dirPath = QFile::encodeName(directory);
    DIR *dir = ::opendir(dirPath.constData());
    if (!dir)
        return out;
    for (Listing &l : out)
        l.ok = true;
    const int fd = ::dirfd(dir);
    QVector<QByteArray> typesUpper;
    for (const QString &t : types)
        typesUpper << t.toUpper().toLatin1();
    while (dirent *e = ::readdir(dir)) {
        const QByteArrayView raw(e->d_name);
        if (raw == "." || raw == "..")
            continue;
        const auto type = std::find_if(typesUpper.cbegin(), typesUpper.cend(),
                                       [raw](const QByteArray &t) { return endsWithType(raw, t); });
        if (type == typesUpper.cend())
            continue;
        Listing &listing = out[type - typesUpper.cbegin()];
        struct stat st;
        if (::fstatat(fd, e->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode))
            continue; // vanished, unreadable, or not a plain file
        // Plain ASCII names (most) read the same in every encoding; others must survive the
        // trip to text and back.
        const bool ascii = std::all_of(raw.cbegin(), raw.cend(), [](char c) { return uchar(c) < 0x80; });
        const QString name = ascii ? QString::fromLatin1(raw) : QFile::decodeName(raw.toByteArray());
        if (!ascii && QFile::encodeName(name) != raw) {
            ++listing.unreadableNames;
            continue;
        }
        listing.files.append({name, qint64(st.st_size), qint64(st.st_mtime)});
    }
    ::closedir(dir);
#else
    QDir dir(directory);
    if (!dir.exists())
        return out;
    for (int k = 0; k < types.size(); ++k) {
        out[k].ok = true;
        const QFileInfoList infos = dir.entryInfoList({QStringLiteral("*") + types[k]},
                                                      QDir::Files | QDir::Hidden | QDir::System);
        for (const QFileInfo &fi : infos)
            out[k].files.append({fi.fileName(), fi.size(), fi.lastModified().toSecsSinceEpoch()});
    }
#endif
    for (Listing &l : out) {
        std::sort(l.files.begin(), l.files.end(),
                  [](const ListedFile &a, const ListedFile &b) { return a.name < b.name; });
    }
    return out;
}

Listing listFiles(const QString &directory, const QString &type)
{
    return listFiles(directory, QStringList{type}).constFirst();
}
