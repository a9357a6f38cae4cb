// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "platform_p.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <sys/wait.h>
#include <unistd.h>

using Platform::DriveKind;

namespace {

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

TEST(Platform, Classify)
{
    const DriveKind fixed = DriveKind::Fixed, removable = DriveKind::Removable,
                    remote = DriveKind::Remote, optical = DriveKind::Optical, ram = DriveKind::Ram;
    const struct { const char *type, *mountPoint; bool removable; DriveKind kind; } rows[] = {
        {"ext4", "/", false, fixed}, {"overlay", "/", false, fixed},
        {"ext4", "/media", false, fixed}, {"ext4", "/mediastore/x", false, fixed},
        {"ext4", "/mnt/usb", true, removable}, {"vfat", "/media/ann/STICK", false, removable},
        {"exfat", "/run/media/ann/CARD", false, removable},
        {"nfs", "/a", false, remote}, {"nfs4", "/a", false, remote}, {"NFS4", "/a", false, remote},
        {"cifs", "/media/ann/nas", true, remote}, {"smb3", "/a", false, remote},
        {"smbfs", "/a", false, remote}, {"sshfs", "/a", false, remote},
        {"fuse.sshfs", "/a", false, remote}, {"9p", "/a", false, remote},
        {"afs", "/a", false, remote}, {"ceph", "/a", false, remote},
        {"glusterfs", "/a", false, remote}, {"davfs", "/a", false, remote},
        {"iso9660", "/media/ann/CD", true, optical}, {"udf", "/media/ann/DVD", true, optical},
        {"tmpfs", "/tmp", false, ram}, {"ramfs", "/mnt/ram", false, ram},
    };
    for (const auto &row : rows)
        EXPECT_EQ(Platform::classify(row.type, QLatin1String(row.mountPoint), row.removable),
                  row.kind) << row.type << " on " << row.mountPoint;
}

TEST(Platform, ListedVolumes)
{
    const struct { const char *type, *mountPoint; bool readOnly, listed; } rows[] = {
        {"ext4", "/", false, true}, {"overlay", "/", false, true}, {"tmpfs", "/run", false, true},
        {"squashfs", "/media/ann/IMAGE", true, true}, {"squashfs", "/snap/core/10", true, false},
        {"squashfs", "/var/lib/snapd/snap/x/1", true, false}, {"proc", "/proc", false, false},
        {"sysfs", "/sys", false, false}, {"cgroup2", "/sys/fs/cgroup", false, false},
        {"devtmpfs", "/dev", false, false}, {"devpts", "/dev/pts", false, false},
        {"autofs", "/misc", false, false}, {"nsfs", "/run/netns/x", false, false},
    };
    for (const auto &row : rows)
        EXPECT_EQ(Platform::isListedVolume(row.type, QLatin1String(row.mountPoint), row.readOnly),
                  row.listed) << row.type << " on " << row.mountPoint;
}

TEST(Platform, RemovableFlagComesFromTheDisk)
{
    // A miniature sysfs: class/block links to device folders, partitions inside their disk.
    QTemporaryDir sys;
    const struct { const char *disk, *flag, *partition; } disks[] = {
        {"usb/sdb", "1\n", "sdb1"}, {"ata/sda", "0\n", "sda2"},
        {"pci/cciss!c0d0", "1", "cciss!c0d0p1"}};
    QDir(sys.path()).mkpath(QStringLiteral("class/block"));
    const QString links = sys.filePath(QStringLiteral("class/block/"));
    for (const auto &d : disks) {
        const QString disk = sys.filePath(QStringLiteral("devices/") + QLatin1String(d.disk));
        const QString part = disk + QLatin1Char('/') + QLatin1String(d.partition);
        ASSERT_TRUE(writeFile(disk + QStringLiteral("/removable"), d.flag));
        ASSERT_TRUE(writeFile(part + QStringLiteral("/partition"), "1\n"));
        ASSERT_TRUE(writeFile(part + QStringLiteral("/removable"), "0\n")); // never consulted
        QFile::link(disk, links + QFileInfo(disk).fileName());
        QFile::link(part, links + QLatin1String(d.partition));
    }
    const struct { const char *device; bool removable; } rows[] = {
        {"/dev/sdb1", true}, {"/dev/sdb", true}, {"/dev/sda2", false}, {"/dev/sda", false},
        {"/dev/cciss/c0d0p1", true}, {"/dev/sdz1", false}, {"server:/export", false}, {"", false},
    };
    for (const auto &row : rows)
        EXPECT_EQ(Platform::isDeviceRemovable(row.device, sys.path()), row.removable) << row.device;
}

TEST(Platform, DriveKindAndVolumes)
{
    QTemporaryDir dir;
    Platform::LinuxServices services;
    EXPECT_NE(services.driveKind(dir.path()), DriveKind::NoRoot);
    const Platform::Volume v = services.volume(dir.path());
    EXPECT_TRUE(v.valid);
    EXPECT_GT(v.blockSize, 0);
    EXPECT_GE(v.bytesFree, 0);
    EXPECT_EQ(v.label, v.label.toUpper());
    EXPECT_TRUE(v.root == QLatin1String("/") || dir.path().startsWith(v.root + QLatin1Char('/')));

    // A missing path has no volume, though QStorageInfo would name its parent's.
    const QString missing = dir.filePath(QStringLiteral("gone/deeper"));
    EXPECT_EQ(services.driveKind(missing), DriveKind::NoRoot);
    EXPECT_FALSE(services.volume(missing).valid);

    bool found = false;
    for (const Platform::Volume &m : services.mountedVolumes()) {
        EXPECT_TRUE(m.valid && Platform::isListedVolume(m.fileSystem.toLatin1(), m.root, false))
            << m.fileSystem.toStdString() << " on " << m.root.toStdString();
        found = found || m.root == v.root;
    }
    EXPECT_TRUE(found) << v.root.toStdString();
}

TEST(Platform, InstanceLock)
{
    QTemporaryDir dir;
    const QString lockName = dir.filePath(QStringLiteral("vexa.lock"));
    using Platform::InstanceLock;
    Platform::LinuxServices first, second;
    EXPECT_EQ(first.acquireInstanceLock(dir.path()), InstanceLock::Taken);
    EXPECT_TRUE(QFileInfo::exists(lockName));
    EXPECT_EQ(first.acquireInstanceLock(dir.path()), InstanceLock::Taken); // asking again keeps it
    EXPECT_EQ(second.acquireInstanceLock(dir.path()), InstanceLock::HeldByOther);
    first.releaseInstanceLock();
    EXPECT_EQ(second.acquireInstanceLock(dir.path()), InstanceLock::Taken);
    second.releaseInstanceLock();

    // A folder that cannot hold the lock file is not another instance.
    EXPECT_EQ(second.acquireInstanceLock(dir.filePath("missing/folder")), InstanceLock::NotWritable);

    // A crashed run leaves a lock naming a process that is gone: this file's own, with the
    // number of a child that has already exited.
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    ASSERT_GT(child, 0);
    waitpid(child, nullptr, 0);
    ASSERT_EQ(first.acquireInstanceLock(dir.path()), InstanceLock::Taken);
    QFile lock(lockName);
    ASSERT_TRUE(lock.open(QIODevice::ReadOnly));
    const QByteArray content = lock.readAll();
    lock.close();
    first.releaseInstanceLock();
    const QByteArray stale = QByteArray::number(child) + content.mid(content.indexOf('\n'));
    ASSERT_TRUE(writeFile(lockName, stale));
    EXPECT_EQ(second.acquireInstanceLock(dir.path()), InstanceLock::Taken);
}

TEST(Platform, MoveToTrash)
{
    // The file and the home Trash must share a volume: a temporary folder stands in for the
    // user's home, so the real home is never touched. The data folder does not exist yet, as
    // on a fresh account.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("HOME", dir.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("share")).toLocal8Bit());
    const QString file = dir.filePath(QStringLiteral("photos/a b.jpg"));
    ASSERT_TRUE(writeFile(file, "jpeg"));

    Platform::LinuxServices services;
    EXPECT_EQ(services.moveToTrash(file), std::nullopt);
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("share/Trash/files/a b.jpg"))));
    const std::optional<QString> error = services.moveToTrash(file);
    EXPECT_TRUE(error && error->contains(file));
    qputenv("XDG_DATA_HOME", oldDataHome);
    qputenv("HOME", oldHome);
}

TEST(Platform, StartsProgramsWithoutAShell)
{
    const QString touch = QStandardPaths::findExecutable(QStringLiteral("touch"));
    if (touch.isEmpty())
        GTEST_SKIP() << "no touch program";
    QTemporaryDir dir;
    Platform::LinuxServices services;
    // A shell would split this into two commands and expand $HOME.
    const QString name = dir.filePath(QStringLiteral("x; y $HOME"));
    EXPECT_TRUE(services.startProgram(touch, {name}));
    QElapsedTimer timer;
    timer.start();
    while (!QFileInfo::exists(name) && timer.elapsed() < 10000)
        QThread::msleep(20);
    EXPECT_TRUE(QFileInfo::exists(name));
    EXPECT_FALSE(services.startProgram(dir.filePath(QStringLiteral("no-such-program")), {}));
}

} // namespace
