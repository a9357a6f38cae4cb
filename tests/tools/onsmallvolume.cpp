// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Runs a program with its folder on a small volume of its own, so that a test can show it a
// nearly full disk without touching the machine's: in a private mount namespace (a user
// namespace too when not run as root) a memory file system of the given size is mounted over
// DIR, SEED's files are copied onto it, HOME is pointed at it, and the program is started.
// Usage: onsmallvolume BYTES DIR SEED PROGRAM [ARGS...]
// Exits 77 when this system does not allow it; otherwise with the program's status.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

static bool writeText(const char *path, const QByteArray &text)
{
    QFile f(QString::fromLocal8Bit(path));
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}

int main(int argc, char **argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: onsmallvolume BYTES DIR SEED PROGRAM [ARGS...]\n");
        return 2;
    }
    const QByteArray size = QByteArray("size=") + argv[1];
    const QString dir = QString::fromLocal8Bit(argv[2]);
    const QString seed = QString::fromLocal8Bit(argv[3]);

    const QByteArray uid = QByteArray::number(::getuid()), gid = QByteArray::number(::getgid());
    const bool root = ::getuid() == 0;
    if (::unshare(root ? CLONE_NEWNS : CLONE_NEWUSER | CLONE_NEWNS) != 0
        || (!root && !(writeText("/proc/self/setgroups", "deny") && writeText("/proc/self/uid_map", "0 " + uid + " 1")
                       && writeText("/proc/self/gid_map", "0 " + gid + " 1")))
        || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || ::mount("tmpfs", argv[2], "tmpfs", 0, size.constData()) != 0) {
        std::perror("onsmallvolume: no private volume");
        return 77;
    }

    QDirIterator it(seed, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString to = dir + QLatin1Char('/') + QDir(seed).relativeFilePath(from);
        const bool ok = it.fileInfo().isDir() ? QDir().mkpath(to) : QFile::copy(from, to);
        if (!ok) {
            std::fprintf(stderr, "onsmallvolume: cannot copy %s\n", qPrintable(from));
            return 2;
        }
    }
    ::setenv("HOME", argv[2], 1);
    ::execv(argv[4], argv + 4);
    std::perror("exec");
    return 2;
}
