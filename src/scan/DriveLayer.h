#pragma once

#include "scan/DiscDescriptors.h"
#include "scan/DriveSystem.h"
#include "scan/IsoVolume.h"
#include "scan/Volume.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QPair>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace vorn {

// A drive that stands for a CD drive: an optical drive of the host, or a virtual
// drive (a letter mapped to a host folder that stands in for a disc, or to an ISO
// image file read as a disc).
enum class DriveKind { Optical, Virtual };

struct DriveSpec
{
    QChar letter;
    DriveKind kind = DriveKind::Virtual;
    QString device; // optical: "/dev/sr0"
    QString folder; // virtual: the host folder
};

// Letter and folder pairs of "X=/some/folder;Y=/other". Letters are upper-cased and
// may be followed by ":"; an empty folder removes the letter; malformed parts are
// skipped.
QList<QPair<QChar, QString>> parseDriveAssignments(QStringView text);

// The drives of the host, in letter order: virtual drives from the settings section
// "Drives" (key = letter, value = folder), replaced letter by letter by the
// assignments of VORN_DRIVES when it is set; then each optical device takes the next
// letter from "D" upward that no virtual drive holds.
std::vector<DriveSpec> assignDriveLetters(const QList<QPair<QChar, QString>> &fromSettings,
                                          const std::optional<QString> &fromEnvironment,
                                          const QStringList &opticalDevices);

// What one reading of a drive found, and the cheap signature it was taken under.
struct DriveReading
{
    QChar letter;
    QByteArray signature;
    std::optional<DiscVolume> volume; // nullopt: no disc (an empty drive)
};

// The cheap state of a drive: status ioctl, medium change counter and mount point for
// an optical drive; the folder's identity and modification time and those of its
// ".vorn-volume" for a virtual drive. Reads no descriptor. Safe on any thread.
QByteArray driveSignature(const DriveSpec &drive, const DriveSystem &system);

// Reads a drive's volume (descriptors or the folder's volume file). Blocking, plain
// data in and out: meant to run off the interface thread.
DriveReading readDrive(const DriveSpec &drive, const DriveSystem &system);

// A reading to be done, handed out by DriveLayer::takeChangedDrives.
struct DriveReadJob
{
    DriveSpec drive;
    std::shared_ptr<const DriveSystem> system;
    DriveReading run() const { return readDrive(drive, *system); }
};

// A volume the walker can read, or why there is none.
struct DriveVolumeOpening
{
    std::unique_ptr<HostVolume> volume; // rooted at the mount point or the folder
    std::unique_ptr<IsoVolume> image; // a virtual drive naming an image file
    QString message; // for the user when neither is set

    const Volume *walked() const { return volume ? static_cast<const Volume *>(volume.get()) : image.get(); }
};

// The drives of the host and the last reading of each. Lives on the interface thread;
// only readDrive and DriveReadJob::run may be called elsewhere.
class DriveLayer
{
public:
    explicit DriveLayer(std::shared_ptr<const DriveSystem> system);
    // The host's drives (found at first use).
    static DriveLayer &host();

    // Finds the drives again (settings, environment, devices) and forgets every reading.
    void findDrives();

    const std::vector<DriveSpec> &drives() const { return m_drives; }
    const DriveSpec *drive(QChar letter) const;
    QString letters() const; // the drive letters, in order ("DV")
    const DriveSystem &system() const { return *m_system; }

    // The cheap change test: the drives whose signature differs from that of their last
    // reading, leaving out those already handed out under the same signature. Reads no
    // descriptor.
    std::vector<DriveReadJob> takeChangedDrives();
    // Keeps a reading (from a job or from readDrive).
    void store(const DriveReading &reading);

    // The drive's volume: the last reading while the signature is unchanged, else a
    // new reading taken now. nullopt for an empty drive or a letter that is no drive.
    std::optional<DiscVolume> volume(QChar letter);
    // Forgets the last readings, so the next question reads the drives again.
    void forgetReadings();

    // The volume the walker reads. A present but unmounted disc is mounted first.
    DriveVolumeOpening openVolume(QChar letter);

    // Tray commands; no-ops for virtual drives; failures are ignored.
    void ejectTray(QChar letter) const;
    void closeTray(QChar letter) const;

private:
    std::shared_ptr<const DriveSystem> m_system;
    std::vector<DriveSpec> m_drives;
    std::map<char16_t, DriveReading> m_readings;
    std::map<char16_t, QByteArray> m_handedOut;
};

} // namespace vorn
