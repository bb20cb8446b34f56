#include "scan/DriveSystem.h"

#include "scan/MountTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>

#include <cerrno>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorn {

namespace {

constexpr int kMountTimeoutMs = 30000;

class DeviceHandle
{
public:
    explicit DeviceHandle(const QString &device)
        : m_fd(::open(QFile::encodeName(device).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC))
    {
    }
    ~DeviceHandle()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    DeviceHandle(const DeviceHandle &) = delete;
    DeviceHandle &operator=(const DeviceHandle &) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

class DeviceSectorReader final : public SectorReader
{
public:
    explicit DeviceSectorReader(std::unique_ptr<DeviceHandle> handle) : m_handle(std::move(handle)) {}

    std::optional<QByteArray> readSector(qint64 sector) const override
    {
        if (sector < 0)
            return std::nullopt;
        QByteArray bytes(kDiscSectorSize, '\0');
        qint64 done = 0;
        while (done < kDiscSectorSize) {
            const ssize_t got = ::pread(m_handle->fd(), bytes.data() + done, size_t(kDiscSectorSize - done),
                                        off_t(sector * kDiscSectorSize + done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return std::nullopt;
            done += got;
        }
        return bytes;
    }

private:
    std::unique_ptr<DeviceHandle> m_handle;
};

// The kernel's name of a device ("sr0" for /dev/sr0 or /dev/cdrom).
QString kernelName(const QString &device)
{
    return QFileInfo(QFileInfo(device).canonicalFilePath()).fileName();
}

QByteArray readSmallFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().trimmed();
}

bool runDriveIoctl(const QString &device, unsigned long request)
{
    const DeviceHandle handle(device);
    return handle.fd() >= 0 && ::ioctl(handle.fd(), request, 0) >= 0;
}

MountAttempt runUdisks(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("udisksctl"), arguments);
    if (!process.waitForStarted())
        return {false, QStringLiteral("udisksctl: ") + process.errorString()};
    if (!process.waitForFinished(kMountTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {false, QStringLiteral("udisksctl: ") + process.errorString()};
    }
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return {true, {}};
    QString detail = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    if (detail.isEmpty())
        detail = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    return {false, detail};
}

class HostDriveSystem final : public DriveSystem
{
public:
    QStringList opticalDevices() const override
    {
        static const QRegularExpression pattern(QStringLiteral("^sr(\\d+)$"));
        std::vector<std::pair<int, QString>> found;
        const QStringList names = QDir(QStringLiteral("/sys/block")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        for (const QString &name : names) {
            const QRegularExpressionMatch match = pattern.match(name);
            if (match.hasMatch())
                found.emplace_back(match.captured(1).toInt(), name);
        }
        std::sort(found.begin(), found.end());
        QStringList devices;
        for (const auto &[number, name] : found)
            devices << QStringLiteral("/dev/") + name;
        return devices;
    }

    DriveStatus driveStatus(const QString &device) const override
    {
        const DeviceHandle handle(device);
        if (handle.fd() < 0)
            return DriveStatus::Unknown;
        switch (::ioctl(handle.fd(), CDROM_DRIVE_STATUS, CDSL_CURRENT)) {
        case CDS_NO_DISC:
            return DriveStatus::NoDisc;
        case CDS_TRAY_OPEN:
            return DriveStatus::TrayOpen;
        case CDS_DRIVE_NOT_READY:
            return DriveStatus::NotReady;
        case CDS_DISC_OK:
            return DriveStatus::DiscOk;
        default:
            return DriveStatus::Unknown;
        }
    }

    QByteArray mediaSignature(const QString &device) const override
    {
        const QString folder = QStringLiteral("/sys/block/") + kernelName(device) + u'/';
        return readSmallFile(folder + QStringLiteral("diskseq")) + '/' + readSmallFile(folder + QStringLiteral("size"));
    }

    QByteArray mountTable() const override
    {
        for (const char *path : {"/proc/self/mounts", "/proc/mounts"}) {
            QFile file(QString::fromLatin1(path));
            if (file.open(QIODevice::ReadOnly))
                return file.readAll();
        }
        return {};
    }

    bool sameDevice(const QString &source, const QString &device) const override
    {
        if (!source.startsWith(u'/'))
            return false;
        struct stat a;
        struct stat b;
        return ::stat(QFile::encodeName(source).constData(), &a) == 0
            && ::stat(QFile::encodeName(device).constData(), &b) == 0 && S_ISBLK(a.st_mode) && S_ISBLK(b.st_mode)
            && a.st_rdev == b.st_rdev;
    }

    std::unique_ptr<SectorReader> openDisc(const QString &device) const override
    {
        auto handle = std::make_unique<DeviceHandle>(device);
        if (handle->fd() < 0)
            return nullptr;
        return std::make_unique<DeviceSectorReader>(std::move(handle));
    }

    MountAttempt mount(const QString &device) const override
    {
        return runUdisks({QStringLiteral("mount"), QStringLiteral("-b"), device});
    }

    bool ejectTray(const QString &device) const override
    {
        if (runDriveIoctl(device, CDROMEJECT))
            return true;
        // A mounted disc keeps the drive busy: unmount it through the desktop and retry.
        const std::vector<MountEntry> table = parseMountTable(mountTable());
        const auto same = [this](const QString &source, const QString &dev) { return sameDevice(source, dev); };
        if (findMountPoint(table, device, same).isEmpty())
            return false;
        if (!runUdisks({QStringLiteral("unmount"), QStringLiteral("-b"), device}).ok)
            return false;
        return runDriveIoctl(device, CDROMEJECT);
    }

    bool closeTray(const QString &device) const override { return runDriveIoctl(device, CDROMCLOSETRAY); }
};

} // namespace

std::shared_ptr<const DriveSystem> hostDriveSystem()
{
    static const std::shared_ptr<const DriveSystem> system = std::make_shared<HostDriveSystem>();
    return system;
}

} // namespace vorn
