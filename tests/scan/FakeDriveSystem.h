#pragma once

// A scripted host for the drive layer: optical devices with a status, a medium
// counter and a disc image, a mount table as text, and a record of what was asked.

#include "scan/DiscImages.h"
#include "scan/DriveSystem.h"

#include <QStringList>
#include <map>
#include <memory>

namespace vorn::test {

class FakeDriveSystem final : public DriveSystem
{
public:
    struct Device
    {
        DriveStatus status = DriveStatus::NoDisc;
        QByteArray media;                         // changes with each medium
        std::shared_ptr<SectorImage> image;       // nullptr: the device cannot be opened
    };

    QStringList devices;
    std::map<QString, Device> state;
    mutable QByteArray mounts;
    // What a mount does: when it succeeds, this line joins the mount table.
    bool mountSucceeds = true;
    QByteArray mountLine;
    QString mountDetail = QStringLiteral("Error mounting: not authorized");
    mutable QStringList calls;                    // "eject /dev/sr0", "close ...", "mount ..."
    mutable int discOpens = 0;

    // Puts a disc in the drive (status OK, a new medium), or takes it out.
    void insert(const QString &device, std::shared_ptr<SectorImage> image)
    {
        state[device] = {DriveStatus::DiscOk, QByteArray::number(++m_media), std::move(image)};
    }
    void remove(const QString &device) { state[device] = {DriveStatus::NoDisc, QByteArray::number(++m_media), {}}; }

    QStringList opticalDevices() const override { return devices; }
    DriveStatus driveStatus(const QString &device) const override
    {
        const auto it = state.find(device);
        return it == state.end() ? DriveStatus::Unknown : it->second.status;
    }
    QByteArray mediaSignature(const QString &device) const override
    {
        const auto it = state.find(device);
        return it == state.end() ? QByteArray() : it->second.media;
    }
    QByteArray mountTable() const override { return mounts; }
    // "/dev/cdrom" is an alias of the first drive, as udev makes it.
    bool sameDevice(const QString &source, const QString &device) const override
    {
        const auto canonical = [](const QString &name) {
            return name == QStringLiteral("/dev/cdrom") ? QStringLiteral("/dev/sr0") : name;
        };
        return canonical(source) == canonical(device);
    }
    std::unique_ptr<SectorReader> openDisc(const QString &device) const override
    {
        ++discOpens;
        const auto it = state.find(device);
        if (it == state.end() || !it->second.image)
            return nullptr;
        return std::make_unique<Forwarding>(it->second.image);
    }
    MountAttempt mount(const QString &device) const override
    {
        calls << QStringLiteral("mount ") + device;
        if (!mountSucceeds)
            return {false, mountDetail};
        mounts += mountLine;
        return {true, {}};
    }
    bool ejectTray(const QString &device) const override { calls << QStringLiteral("eject ") + device; return false; }
    bool closeTray(const QString &device) const override { calls << QStringLiteral("close ") + device; return false; }

private:
    struct Forwarding final : SectorReader
    {
        explicit Forwarding(std::shared_ptr<SectorImage> image) : image(std::move(image)) {}
        std::optional<QByteArray> readSector(qint64 sector) const override { return image->readSector(sector); }
        std::shared_ptr<SectorImage> image;
    };
    int m_media = 0;
};

// An ISO disc image with a primary descriptor labelled `label`.
inline std::shared_ptr<SectorImage> isoDisc(const QByteArray &label, int seed = 1)
{
    auto image = std::make_shared<SectorImage>(40);
    image->put(16, isoPrimary(label, seed));
    image->put(17, isoTerminator());
    return image;
}

} // namespace vorn::test
