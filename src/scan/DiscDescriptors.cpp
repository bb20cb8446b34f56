#include "scan/DiscDescriptors.h"

#include "common/TextCodec.h"

#include <array>

namespace vorn {

namespace {

constexpr qint64 kFirstDescriptor = 16;
// A disc holds a handful of descriptors; reading stops well before this many sectors.
constexpr qint64 kDescriptorLimit = 64;
constexpr qint64 kUdfAnchor = 256;

enum IsoType : quint8 { IsoPrimary = 1, IsoSupplementary = 2, IsoTerminator = 255 };

enum UdfTag : quint16 { UdfPrimary = 1, UdfAnchorPointer = 2, UdfLogicalVolume = 6, UdfTerminating = 8 };

quint8 byteAt(QByteArrayView bytes, qsizetype at)
{
    return at < bytes.size() ? quint8(bytes[at]) : 0;
}

quint16 le16(QByteArrayView bytes, qsizetype at)
{
    return quint16(byteAt(bytes, at) | byteAt(bytes, at + 1) << 8);
}

quint32 le32(QByteArrayView bytes, qsizetype at)
{
    return quint32(le16(bytes, at)) | quint32(le16(bytes, at + 2)) << 16;
}

QString trimmedAtNul(QString text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);
    return text.trimmed();
}

QString utf16be(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        text.append(QChar(char16_t(quint8(bytes[i]) << 8 | quint8(bytes[i + 1]))));
    return text;
}

// Five-character identifier of a descriptor or recognition structure (bytes 1-5).
QByteArrayView standardIdentifier(QByteArrayView sector)
{
    return sector.size() >= 6 ? sector.sliced(1, 5) : QByteArrayView();
}

// A UDF descriptor tag with this identifier and a correct checksum.
bool hasUdfTag(QByteArrayView sector, quint16 identifier)
{
    if (sector.size() < 16 || le16(sector, 0) != identifier)
        return false;
    quint8 sum = 0;
    for (qsizetype i = 0; i < 16; ++i)
        if (i != 4)
            sum = quint8(sum + quint8(sector[i]));
    return sum == quint8(sector[4]);
}

std::optional<DiscVolume> readUdfVolume(const SectorReader &reader)
{
    const std::optional<QByteArray> anchor = reader.readSector(kUdfAnchor);
    if (!anchor || !hasUdfTag(*anchor, UdfAnchorPointer))
        return std::nullopt;
    // Main volume descriptor sequence extent: length in bytes, then location.
    const qint64 length = le32(*anchor, 16);
    const qint64 location = le32(*anchor, 20);
    const qint64 count = std::min<qint64>((length + kDiscSectorSize - 1) / kDiscSectorSize, kDescriptorLimit);

    std::optional<QByteArray> primary;
    quint32 primarySequence = 0;
    QString logicalLabel;
    bool haveLogical = false;
    for (qint64 i = 0; i < count; ++i) {
        const std::optional<QByteArray> sector = reader.readSector(location + i);
        if (!sector)
            break;
        if (hasUdfTag(*sector, UdfTerminating))
            break;
        if (hasUdfTag(*sector, UdfPrimary)) {
            // The prevailing descriptor has the highest sequence number.
            const quint32 sequence = le32(*sector, 16);
            if (!primary || sequence > primarySequence) {
                primary = sector;
                primarySequence = sequence;
            }
        } else if (hasUdfTag(*sector, UdfLogicalVolume) && !haveLogical) {
            logicalLabel = udfDString(QByteArrayView(*sector).sliced(84, 128));
            haveLogical = true;
        }
    }
    if (!primary)
        return std::nullopt;
    DiscVolume volume;
    volume.label = haveLogical ? logicalLabel : udfDString(QByteArrayView(*primary).sliced(24, 32));
    volume.serial = laneSumSerial(*primary);
    volume.fileSystem = QStringLiteral("UDF");
    return volume;
}

} // namespace

std::optional<QByteArray> BufferSectorReader::readSector(qint64 sector) const
{
    const qint64 start = sector * kDiscSectorSize;
    if (sector < 0 || start + kDiscSectorSize > m_image.size())
        return std::nullopt;
    return m_image.mid(start, kDiscSectorSize);
}

qint32 laneSumSerial(QByteArrayView descriptor)
{
    std::array<quint8, 4> lane{};
    for (qsizetype i = 0; i < descriptor.size(); ++i)
        lane[3 - (i & 3)] = quint8(lane[3 - (i & 3)] + quint8(descriptor[i]));
    const quint32 serial = quint32(lane[0]) | quint32(lane[1]) << 8 | quint32(lane[2]) << 16 | quint32(lane[3]) << 24;
    return qint32(serial);
}

QString isoPrimaryLabel(QByteArrayView descriptor)
{
    if (descriptor.size() < 72)
        return {};
    QByteArrayView field = descriptor.sliced(40, 32);
    const qsizetype nul = field.indexOf('\0');
    if (nul >= 0)
        field = field.first(nul);
    return decodeText(field).trimmed();
}

bool isJolietDescriptor(QByteArrayView descriptor)
{
    if (descriptor.size() < 120 || byteAt(descriptor, 0) != IsoSupplementary)
        return false;
    const QByteArrayView escapes = descriptor.sliced(88, 32);
    for (const char *level : {"%/@", "%/C", "%/E"})
        if (escapes.startsWith(QByteArrayView(level)))
            return true;
    return false;
}

QString jolietLabel(QByteArrayView descriptor)
{
    if (descriptor.size() < 72)
        return {};
    return trimmedAtNul(utf16be(descriptor.sliced(40, 32)));
}

QString udfDString(QByteArrayView field)
{
    if (field.size() < 2)
        return {};
    const qsizetype recorded = std::min<qsizetype>(byteAt(field, field.size() - 1), field.size() - 1);
    if (recorded < 1)
        return {};
    const QByteArrayView characters = field.sliced(1, recorded - 1);
    switch (byteAt(field, 0)) {
    case 8:
        return trimmedAtNul(QString::fromLatin1(characters));
    case 16:
        return trimmedAtNul(utf16be(characters));
    default:
        return {};
    }
}

std::optional<DiscVolume> readDiscVolume(const SectorReader &reader)
{
    std::optional<QByteArray> primary;
    std::optional<QByteArray> joliet;
    bool udf = false;
    bool isoEnded = false;
    for (qint64 sector = kFirstDescriptor; sector < kFirstDescriptor + kDescriptorLimit; ++sector) {
        const std::optional<QByteArray> bytes = reader.readSector(sector);
        if (!bytes)
            break;
        const QByteArrayView identifier = standardIdentifier(*bytes);
        if (identifier == "CD001") {
            if (isoEnded)
                continue;
            const quint8 type = byteAt(*bytes, 0);
            if (type == IsoPrimary && !primary)
                primary = bytes;
            else if (type == IsoSupplementary && !joliet && isJolietDescriptor(*bytes))
                joliet = bytes;
            else if (type == IsoTerminator)
                isoEnded = true;
        } else if (identifier == "BEA01" || identifier == "BOOT2" || identifier == "CDW02") {
            continue;
        } else if (identifier == "NSR02" || identifier == "NSR03") {
            udf = true;
        } else {
            // "TEA01" ends the recognition sequence; anything else is not a descriptor.
            break;
        }
    }

    if (primary) {
        DiscVolume volume;
        const QByteArray &active = joliet ? *joliet : *primary;
        volume.label = joliet ? jolietLabel(*joliet) : isoPrimaryLabel(*primary);
        volume.serial = laneSumSerial(active);
        volume.fileSystem = QStringLiteral("CDFS");
        return volume;
    }
    if (udf)
        return readUdfVolume(reader);
    return std::nullopt;
}

} // namespace vorn
