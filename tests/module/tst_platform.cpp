// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "platform_p.h"

#include "temptrash.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/wait.h>
#include <unistd.h>

using Platform::DriveKind;

namespace {

TEST(Platform, MountsAreClassifiedAndListed)
{
    const DriveKind fixed = DriveKind::Fixed, removable = DriveKind::Removable,
                    remote = DriveKind::Remote, optical = DriveKind::Optical, ram = DriveKind::Ram;
    const struct { const char *type, *mountPoint; bool removable; DriveKind kind; } rows[] = {
        {"ext4", "/", false, fixed}, {"overlay", "/", false, fixed},
        {"ext4", "/media", false, fixed}, {"ext4", "/mediastore/x", false, fixed},
        {"ext4", "/mnt/usb", true, removable}, {"vfat", "/media/ann/STICK", false, removable},
        {"exfat", "/run/media/ann/CARD", false, removable}, {"NFS4", "/a", false, remote},
        {"cifs", "/media/ann/nas", true, remote}, {"fuse.sshfs", "/a", false, remote},
        {"9p", "/a", false, remote}, {"iso9660", "/media/ann/CD", true, optical},
        {"udf", "/media/ann/DVD", true, optical}, {"tmpfs", "/tmp", false, ram},
    };
    for (const auto &row : rows)
        EXPECT_EQ(Platform::classify(row.type, QLatin1String(row.mountPoint), row.removable),
                  row.kind) << row.type << " on " << row.mountPoint;

    // The volumes offered to the user: no system mounts, no read-only snap packages.
    const struct { const char *type, *mountPoint; bool readOnly, listed; } listed[] = {
        {"ext4", "/", false, true}, {"tmpfs", "/run", false, true},
        {"squashfs", "/media/ann/IMAGE", true, true}, {"squashfs", "/snap/core/10", true, false},
        {"squashfs", "/var/lib/snapd/snap/x/1", true, false}, {"proc", "/proc", false, false},
        {"cgroup2", "/sys/fs/cgroup", false, false}, {"autofs", "/misc", false, false},
    };
    for (const auto &row : listed)
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
    EXPECT_TRUE(v.valid && v.blockSize > 0 && v.bytesFree >= 0 && v.label == v.label.toUpper());
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
    EXPECT_EQ(second.acquireInstanceLock(dir.filePath("missing/folder")),
              InstanceLock::NotWritable);

    // A crashed run leaves a lock naming a process that is gone: this file's own, with the
    // number of a child that has already exited.
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    ASSERT_GT(child, 0);
    waitpid(child, nullptr, 0);
    ASSERT_EQ(first.acquireInstanceLock(dir.path()), InstanceLock::Taken);
    const QByteArray content = readFile(lockName);
    first.releaseInstanceLock();
    const QByteArray stale = QByteArray::number(child) + content.mid(content.indexOf('\n'));
    ASSERT_TRUE(writeFile(lockName, stale));
    EXPECT_EQ(second.acquireInstanceLock(dir.path()), InstanceLock::Taken);
}

// Every name a user may give a picture comes back from the Trash exactly, through another tool.
TEST(Platform, TrashRestoresEveryName)
{
    TempTrash trash;
    if (!trash.list())
        GTEST_SKIP() << "trash-cli is not installed";
    const QString folder = trash.folder(QStringLiteral("photos"));
    const QString names[] = {"a b.jpg",
                             "100%.jpg",
                             "%41%2F.jpg",
                             "line\nbreak.jpg",
                             "Ünïcødé ñ 写真.jpg",
                             "-leading dash.jpg",
                             "quote's \"both\".jpg",
                             "hash#question?.jpg",
                             QString(120, QChar(0x00E9)) + ".jpg"};
    Platform::LinuxServices services;
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString file = folder + QLatin1Char('/') + name;
        ASSERT_TRUE(writeFile(file, name.toUtf8()));
        ASSERT_EQ(services.moveToTrash(file), std::nullopt);
        EXPECT_FALSE(QFileInfo::exists(file));
        const std::optional<QString> listed = trash.list();
        EXPECT_TRUE(listed && listed->contains(file)) << listed->toStdString();
        trash.restore(folder);
        EXPECT_EQ(readFile(file), name.toUtf8());
    }
    // The same name twice: two entries, both restorable.
    const QString twice = folder + QStringLiteral("/twice.jpg");
    for (const char *content : {"first", "second"}) {
        ASSERT_TRUE(writeFile(twice, content));
        ASSERT_EQ(services.moveToTrash(twice), std::nullopt);
    }
    EXPECT_EQ(QDir(trash.dataHome() + QStringLiteral("/Trash/info")).entryList(QDir::Files).size(),
              2);
    EXPECT_TRUE(services.moveToTrash(twice).has_value()); // gone already: an error, nothing else
}

TEST(Platform, TrashInfoFileAndVolumeTrash)
{
    TempTrash trash;
    const QString pics = trash.folder(QStringLiteral("pics"));
    const QString file = pics + QStringLiteral("/50% off.jpg");
    ASSERT_TRUE(writeFile(file, "x"));
    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));
    ASSERT_EQ(Platform::moveToFreedesktopTrash(file, trash.dataHome(), when), std::nullopt);
    const QString info = trash.dataHome() + QStringLiteral("/Trash/info/50% off.jpg.trashinfo");
    EXPECT_EQ(readFile(info), QByteArray("[Trash Info]\nPath=") +
                                  QFile::encodeName(pics + QStringLiteral("/50")) +
                                  "%25%20off.jpg\nDeletionDate=2026-03-04T05:06:07\n");
    EXPECT_EQ(readFile(trash.dataHome() + QStringLiteral("/Trash/files/50% off.jpg")), "x");

    // A file on another file system goes to that volume's own Trash, named from its top.
    QTemporaryDir other(QStringLiteral("/dev/shm/vexa-XXXXXX"));
    if (!other.isValid() || Platform::sameFileSystem(other.path(), pics))
        GTEST_SKIP() << "no second writable file system";
    const QString away = other.filePath(QStringLiteral("é x.jpg"));
    ASSERT_TRUE(writeFile(away, "y"));
    ASSERT_EQ(Platform::moveToFreedesktopTrash(away, trash.dataHome(), when), std::nullopt);
    const QString volumeTrash = QStringLiteral("/dev/shm/.Trash-") + QString::number(getuid());
    const QString volumeInfo = volumeTrash + QStringLiteral("/info/é x.jpg.trashinfo");
    const QByteArray relative = QFile::encodeName(away.mid(QStringLiteral("/dev/shm/").size()));
    EXPECT_EQ(readFile(volumeInfo), QByteArray("[Trash Info]\nPath=") +
                                        Platform::trashEncodedPath(relative) +
                                        "\nDeletionDate=2026-03-04T05:06:07\n");
    if (trash.list()) {
        trash.restore(other.path());
        EXPECT_EQ(readFile(away), "y");
    }
    QFile::remove(volumeInfo);
    QFile::remove(volumeTrash + QStringLiteral("/files/é x.jpg"));
}

// Renames and copies refuse to write over a file; the real moves are in the file actions' tests.
TEST(Platform, FileOperationsNeverReplace)
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.jpg")),
                  b = dir.filePath(QStringLiteral("b.jpg"));
    ASSERT_TRUE(writeFile(a, "aaa") && writeFile(b, "bb"));
    Platform::LinuxServices services;
    EXPECT_TRUE(services.renameFile(a, b).has_value() && services.copyFile(a, b).has_value());
    EXPECT_EQ(readFile(a) + readFile(b), "aaabb");
    ASSERT_EQ(services.renameFile(a, dir.filePath(QStringLiteral("d.jpg"))), std::nullopt);
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("d.jpg"))), "aaa");
    EXPECT_TRUE(services.removeFile(a).has_value());
}

} // namespace
