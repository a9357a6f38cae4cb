// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// The platform services on Linux: volumes come from the mount table through QStorageInfo,
// removable disks from sysfs, the Trash follows the freedesktop.org layout.
#include "platform_p.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLockFile>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

#include <unistd.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace Platform {
namespace {

template <std::size_t N> bool isOneOf(const QByteArray &value, const char *const (&names)[N])
{
    return std::any_of(std::begin(names), std::end(names),
                       [&value](const char *name) { return value == name; });
}

const char *const networkFileSystems[] = {"nfs",   "nfs4",  "cifs",       "smb3",
                                          "smbfs", "sshfs", "fuse.sshfs", "9p",
                                          "afs",   "ceph",  "glusterfs",  "davfs"};
const char *const opticalFileSystems[] = {"iso9660", "udf"};
const char *const ramFileSystems[] = {"tmpfs", "ramfs"};

// Kernel and desktop interfaces that show up in the mount table but hold no user files.
// overlay is not among them: it is the root file system in containers.
const char *const pseudoFileSystems[] = {
    "proc",    "sysfs",    "devpts",     "cgroup",      "cgroup2",  "securityfs",
    "debugfs", "tracefs",  "mqueue",     "hugetlbfs",   "pstore",   "bpf",
    "autofs",  "configfs", "fusectl",    "binfmt_misc", "devtmpfs", "efivarfs",
    "nsfs",    "rootfs",   "rpc_pipefs", "selinuxfs",   "nfsd",     "fuse.portal"};

bool isUnder(const QString &path, const QString &folder)
{
    return path.startsWith(folder) && path.size() > folder.size() &&
           path.at(folder.size()) == QLatin1Char('/');
}

Volume toVolume(const QStorageInfo &info)
{
    Volume v;
    v.root = info.rootPath();
    v.label = info.name().toUpper();
    v.fileSystem = QString::fromLatin1(info.fileSystemType());
    v.bytesFree = info.bytesAvailable();
    v.blockSize = std::max(0, info.blockSize());
    v.valid = info.isValid() && info.isReady();
    return v;
}

// Plays one sound on the application's thread. Each effect deletes itself when it has
// finished or failed to load; the oldest are dropped should too many pile up (an effect
// whose output never starts would otherwise live as long as the program).
void startSound(const QString &wavPath)
{
    constexpr int maxLiveSounds = 8;
    static QList<QPointer<QSoundEffect>> live;
    live.removeAll(nullptr);
    while (live.size() >= maxLiveSounds) {
        if (QSoundEffect *oldest = live.takeFirst()) {
            oldest->stop();
            oldest->deleteLater();
        }
    }
    auto *effect = new QSoundEffect(QCoreApplication::instance());
    QObject::connect(effect, &QSoundEffect::playingChanged, effect, [effect] {
        if (!effect->isPlaying())
            effect->deleteLater();
    });
    QObject::connect(effect, &QSoundEffect::statusChanged, effect, [effect] {
        if (effect->status() == QSoundEffect::Error)
            effect->deleteLater();
    });
    effect->setSource(QUrl::fromLocalFile(wavPath));
    effect->play();
    live.append(effect);
}

} // namespace

DriveKind classify(const QByteArray &fileSystemType, const QString &mountPoint,
                   bool deviceRemovable)
{
    const QByteArray type = fileSystemType.toLower();
    if (isOneOf(type, networkFileSystems))
        return DriveKind::Remote;
    if (isOneOf(type, opticalFileSystems))
        return DriveKind::Optical;
    if (isOneOf(type, ramFileSystems))
        return DriveKind::Ram;
    // Desktops mount hot-plugged disks under /media or /run/media; USB hard disks often
    // report a fixed device, so the mount point counts as much as the kernel flag.
    if (deviceRemovable || isUnder(mountPoint, QStringLiteral("/media")) ||
        isUnder(mountPoint, QStringLiteral("/run/media")))
        return DriveKind::Removable;
    return DriveKind::Fixed;
}

bool isListedVolume(const QByteArray &fileSystemType, const QString &mountPoint, bool readOnly)
{
    const QByteArray type = fileSystemType.toLower();
    if (isOneOf(type, pseudoFileSystems))
        return false;
    const bool snapImage = type == "squashfs" && readOnly &&
                           (isUnder(mountPoint, QStringLiteral("/snap")) ||
                            isUnder(mountPoint, QStringLiteral("/var/lib/snapd")));
    return !snapImage;
}

bool isDeviceRemovable(const QByteArray &device, const QString &sysRoot)
{
    if (!device.startsWith("/dev/"))
        return false; // network shares, tmpfs and the like have no block device
    // Follow /dev/disk/by-* and /dev/mapper links to the kernel's name of the device.
    const QString given = QFile::decodeName(device);
    const QString resolved = QFileInfo(given).canonicalFilePath();
    QString name = (resolved.startsWith(QLatin1String("/dev/")) ? resolved : given).mid(5);
    name.replace(QLatin1Char('/'), QLatin1Char('!')); // sysfs spells "cciss/c0d0" "cciss!c0d0"

    const QDir block(sysRoot + QStringLiteral("/class/block/") + name);
    if (!block.exists())
        return false;
    // A partition's folder sits inside the folder of its disk, which carries the flag.
    QString disk = block.canonicalPath();
    if (QFileInfo::exists(block.filePath(QStringLiteral("partition"))))
        disk = QFileInfo(disk).path();
    QFile flag(disk + QStringLiteral("/removable"));
    return flag.open(QIODevice::ReadOnly) && flag.readAll().trimmed() == "1";
}

namespace Internal {

Services &systemServices()
{
    static LinuxServices services;
    return services;
}

} // namespace Internal

LinuxServices::LinuxServices() = default;
LinuxServices::~LinuxServices() = default;

DriveKind LinuxServices::driveKind(const QString &path)
{
    // QStorageInfo would report the volume of the nearest existing folder; a path that is
    // not there (a disk taken out, a share gone) has no volume as far as the program cares.
    if (path.isEmpty() || !QFileInfo::exists(path))
        return DriveKind::NoRoot;
    const QStorageInfo info(path);
    if (!info.isValid())
        return DriveKind::NoRoot;
    return classify(info.fileSystemType(), info.rootPath(), isDeviceRemovable(info.device()));
}

Volume LinuxServices::volume(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return Volume{};
    return toVolume(QStorageInfo(path));
}

QList<Volume> LinuxServices::mountedVolumes()
{
    QList<Volume> volumes;
    const QList<QStorageInfo> mounted = QStorageInfo::mountedVolumes();
    for (const QStorageInfo &info : mounted) {
        if (!info.isValid() || !info.isReady())
            continue;
        if (!isListedVolume(info.fileSystemType(), info.rootPath(), info.isReadOnly()))
            continue;
        // Containers bind single files (/etc/hosts) into place; those are no volumes.
        if (!QFileInfo(info.rootPath()).isDir())
            continue;
        volumes.append(toVolume(info));
    }
    return volumes;
}

std::optional<QString> LinuxServices::moveToTrash(const QString &path)
{
    // Qt's own moveToTrash writes the original location without percent-encoding it, so names
    // holding "%", line breaks or non-ASCII letters would come back wrong from the Trash.
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return moveToFreedesktopTrash(path, dataHome, QDateTime::currentDateTime());
}

InstanceLock LinuxServices::acquireInstanceLock(const QString &programDir)
{
    const QString fileName = QDir(programDir).filePath(QStringLiteral("vexa.lock"));
    if (m_lock && m_lock->fileName() == fileName && m_lock->isLocked())
        return InstanceLock::Taken;
    m_lock.reset();
    auto lock = std::make_unique<QLockFile>(fileName);
    // A running instance keeps its lock however long it runs; only a lock whose process is
    // gone (a crash) counts as stale and is taken over.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        // Only a lock file that exists and names a live process means another instance;
        // anything else is a lock file that could not be made.
        return lock->error() == QLockFile::LockFailedError ? InstanceLock::HeldByOther
                                                           : InstanceLock::NotWritable;
    }
    m_lock = std::move(lock);
    return InstanceLock::Taken;
}

void LinuxServices::releaseInstanceLock()
{
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
}

void LinuxServices::playSound(const QString &wavPath)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || wavPath.isEmpty())
        return;
    // Sound effects belong to the application's thread; from elsewhere the call is queued.
    QMetaObject::invokeMethod(app, [wavPath] { startSound(wavPath); });
}

void LinuxServices::beep()
{
    Internal::soundBeep();
}

std::optional<StartFailure> LinuxServices::startProgram(const QString &program,
                                                        const QStringList &arguments)
{
    const auto failure = [](int number) {
        return StartFailure{number, QString::fromLocal8Bit(std::strerror(number))};
    };
    // A bare name is looked for along PATH, as a shell would.
    const QString path = program.contains(QLatin1Char('/'))
                             ? program
                             : QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return failure(ENOENT);
    if (::access(QFile::encodeName(path).constData(), X_OK) != 0)
        return failure(errno);
    if (QFileInfo(path).isDir())
        return failure(EISDIR);
    QProcess process;
    process.setProgram(path);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!process.startDetached())
        return StartFailure{0, process.errorString()};
    return std::nullopt;
}

bool LinuxServices::openHelp(const QString &htmlPath, const std::function<void()> &failedLater)
{
    if (!qGuiApp)
        return false;
    const QUrl url = QUrl::fromLocalFile(htmlPath);
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return QDesktopServices::openUrl(url);
    // xdg-open tells that it found no browser only by its exit status, once it has ended, so
    // it is watched. It may last as long as the browser it starts: it has no parent and
    // writes straight to our output, so it is neither killed nor cut off when we end first.
    auto *process = new QProcess;
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, qGuiApp,
                     [process, failedLater](int code, QProcess::ExitStatus status) {
                         if ((status != QProcess::NormalExit || code != 0) && failedLater)
                             failedLater();
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, qGuiApp,
                     [process, failedLater](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         if (failedLater)
                             failedLater();
                         process->deleteLater();
                     });
    process->start(opener, {url.toString()});
    return true;
}

int LinuxServices::screenDepth()
{
    const QScreen *screen = qGuiApp ? QGuiApplication::primaryScreen() : nullptr;
    return screen ? screen->depth() : 32;
}

void keepPictureMemory()
{
#ifdef __GLIBC__
    // Blocks up to 256 MB (a picture of 64 megapixels) come from the heap instead of mappings
    // of their own, and up to 512 MB of freed memory stays with the process for the next one.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 512 * 1024 * 1024);
    // One heap for every thread: memory a decoder freed on one worker is what the next picture
    // takes on another, instead of each worker keeping a heap of its own as large as the
    // largest picture it met (a gather of HEIC photographs peaked at 1.7 times the memory).
    mallopt(M_ARENA_MAX, 1);
#endif
}

} // namespace Platform
