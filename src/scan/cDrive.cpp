#include "scan/cDrive.h"

#include "settings/StringTable.h"

namespace vorn {

namespace {
constexpr int kNoDiscText = 301;
}

cDrive::cDrive() : m_layer(&DriveLayer::host())
{
}

cDrive::cDrive(DriveLayer &layer) : m_layer(&layer)
{
}

void cDrive::setLetter(const QString &letter)
{
    m_letter = letter.left(1).toUpper();
    Refresh();
}

void cDrive::Refresh()
{
    m_hasDisc = false;
    m_volume.clear();
    m_numberId.clear();
    m_fileSystem.clear();
    if (m_letter.isEmpty() || m_letter < u"A" || m_letter > u"Z") {
        m_letter.clear();
        m_driveType = kDriveInvalidLetter;
        return;
    }
    const QChar letter = m_letter[0];
    m_driveType = m_layer->drive(letter) ? kDriveCdRom : kDriveNoRoot;
    if (m_options == 1)
        return;
    // A drive that gives no volume reads as serial 0, as the platform reports it.
    m_numberId = QStringLiteral("0");
    if (m_driveType != kDriveCdRom)
        return;
    const std::optional<DiscVolume> volume = m_layer->volume(letter);
    if (!volume)
        return;
    m_hasDisc = true;
    m_volume = volume->label;
    m_numberId = QString::number(volume->serial);
    m_fileSystem = volume->fileSystem;
}

DriveVolumeOpening cDrive::openVolume() const
{
    if (m_letter.isEmpty()) {
        DriveVolumeOpening opening;
        opening.message = LoadText(kNoDiscText);
        return opening;
    }
    return m_layer->openVolume(m_letter[0]);
}

} // namespace vorn
