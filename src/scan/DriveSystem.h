#pragma once

#include "scan/DiscDescriptors.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

namespace vorn {

// What the drive's status ioctl says.
enum class DriveStatus { Unknown, NoDisc, TrayOpen, NotReady, DiscOk };

struct MountAttempt
{
    bool ok = false;
    QString detail; // what the mounting tool said when it failed
};

// The host's optical drives as the drive layer sees them. Every call is safe from any
// thread: an implementation keeps no state between calls. Tests replace it with a
// scripted one.
class DriveSystem
{
public:
    virtual ~DriveSystem() = default;

    // Optical drive devices in kernel order ("/dev/sr0", "/dev/sr1", ...).
    virtual QStringList opticalDevices() const = 0;
    virtual DriveStatus driveStatus(const QString &device) const = 0;
    // Changes whenever the kernel sees another medium in the drive (its disk sequence
    // number and size); empty when not known.
    virtual QByteArray mediaSignature(const QString &device) const = 0;
    // The text of the mount table.
    virtual QByteArray mountTable() const = 0;
    // True when a mount table's source names the device (through any alias).
    virtual bool sameDevice(const QString &source, const QString &device) const = 0;
    // Reader of the disc's sectors; nullptr when the device cannot be opened.
    virtual std::unique_ptr<SectorReader> openDisc(const QString &device) const = 0;
    // Mounts the disc through the desktop ("udisksctl mount -b DEVICE").
    virtual MountAttempt mount(const QString &device) const = 0;
    // Tray commands; false when the drive refused.
    virtual bool ejectTray(const QString &device) const = 0;
    virtual bool closeTray(const QString &device) const = 0;
};

// The real host: /sys/block, the CD-ROM ioctls, /proc/self/mounts and udisksctl.
std::shared_ptr<const DriveSystem> hostDriveSystem();

} // namespace vorn
