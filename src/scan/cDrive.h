#pragma once

#include "scan/DriveLayer.h"

#include <QString>

namespace vorn {

// Platform drive types this program meets.
enum DriveTypeCode : qint32 {
    kDriveNoRoot = 1, // the letter is no drive
    kDriveRemovable = 2,
    kDriveCdRom = 5, // optical and virtual drives
    kDriveInvalidLetter = 7,
};

// A drive letter and what its volume says about itself. Setting the letter refreshes
// at once. Volume facts come from the drive layer, which re-reads a drive only when its
// cheap state changed, so refreshing every watch tick costs little.
class cDrive
{
public:
    cDrive(); // the host's drives
    explicit cDrive(DriveLayer &layer);

    const QString &Letter() const { return m_letter; }
    // Keeps only the first character, upper-cased, then refreshes.
    void setLetter(const QString &letter);

    qint32 DriveType() const { return m_driveType; }
    const QString &volume() const { return m_volume; } // label
    // Serial as signed 32-bit decimal: the disc identifier; "0" for an empty drive.
    const QString &NumberID() const { return m_numberId; }
    const QString &FileSystem() const { return m_fileSystem; }

    // 1: do not read volume information (the three volume texts stay empty).
    qint32 Options() const { return m_options; }
    void setOptions(qint32 options) { m_options = options; }

    void Refresh();

    // A volume was read at the last refresh.
    bool hasDisc() const { return m_hasDisc; }
    // The drive's root in disc path syntax: Letter & ":\".
    QString rootPath() const { return m_letter + QStringLiteral(":\\"); }
    // The volume the walker reads (mounting an unmounted disc first), or a message.
    DriveVolumeOpening openVolume() const;

    DriveLayer &layer() const { return *m_layer; }

private:
    DriveLayer *m_layer;
    QString m_letter;
    qint32 m_driveType = kDriveInvalidLetter;
    QString m_volume;
    QString m_numberId;
    QString m_fileSystem;
    qint32 m_options = 0;
    bool m_hasDisc = false;
};

} // namespace vorn
