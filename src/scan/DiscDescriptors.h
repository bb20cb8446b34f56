#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace vorn {

constexpr qint64 kDiscSectorSize = 2048;

// Reads whole 2048-byte sectors of a disc (a device, an image, or bytes made by a test).
class SectorReader
{
public:
    virtual ~SectorReader() = default;
    // The sector at a logical block address; nullopt when it cannot be read.
    virtual std::optional<QByteArray> readSector(qint64 sector) const = 0;
};

// Sectors of an image held in memory; sectors past its end cannot be read.
class BufferSectorReader final : public SectorReader
{
public:
    explicit BufferSectorReader(QByteArray image) : m_image(std::move(image)) {}
    std::optional<QByteArray> readSector(qint64 sector) const override;

private:
    QByteArray m_image;
};

// What a disc says about itself.
struct DiscVolume
{
    QString label;
    qint32 serial = 0;
    QString fileSystem; // "CDFS" (ISO 9660, with or without Joliet) or "UDF"
};

// The volume serial number of a descriptor: four 8-bit lane sums without carry,
// lane[3 - (i & 3)] += byte[i], serial = lane0 | lane1 << 8 | lane2 << 16 | lane3 << 24,
// read as a signed number. Windows computes a CD's serial this way, so a disc keeps
// one identifier on both systems.
qint32 laneSumSerial(QByteArrayView descriptor);

// Label of an ISO 9660 primary volume descriptor: bytes 40-71 up to the first NUL, trimmed.
QString isoPrimaryLabel(QByteArrayView descriptor);
// True for a supplementary descriptor whose escape sequences (bytes 88-119) name
// Joliet's UCS-2 levels ("%/@", "%/C", "%/E").
bool isJolietDescriptor(QByteArrayView descriptor);
// Label of a Joliet descriptor: bytes 40-71 as UTF-16BE, up to the first NUL, trimmed.
QString jolietLabel(QByteArrayView descriptor);

// Text of a UDF dstring field: compression id 8 (one byte a character) or 16
// (UTF-16BE), the recorded length in the field's last byte.
QString udfDString(QByteArrayView field);

// Reads the volume descriptors from sector 16 on. ISO 9660 descriptors give the label
// and serial (the Joliet descriptor when the disc has one, else the primary one);
// a disc with only a UDF recognition sequence is read through its anchor at sector 256.
// nullopt when the disc holds neither.
std::optional<DiscVolume> readDiscVolume(const SectorReader &reader);

} // namespace vorn
