#pragma once

// Disc images built byte by byte: ISO 9660 and Joliet volume descriptors, a UDF
// recognition sequence with its anchor and volume descriptors, and a sparse sector
// reader that serves them.

#include "scan/DiscDescriptors.h"

#include <QByteArray>
#include <QString>
#include <map>
#include <memory>

namespace vorn::test {

// Sectors of a disc: the sectors put in it, zeros for the others up to `sectorCount`,
// nothing beyond. Counts the sectors read.
class SectorImage final : public SectorReader
{
public:
    explicit SectorImage(qint64 sectorCount = 300) : m_count(sectorCount) {}
    void put(qint64 sector, const QByteArray &bytes)
    {
        m_sectors[sector] = bytes.left(kDiscSectorSize).leftJustified(kDiscSectorSize, '\0');
    }
    int reads() const { return m_reads; }
    std::optional<QByteArray> readSector(qint64 sector) const override
    {
        ++m_reads;
        if (sector < 0 || sector >= m_count)
            return std::nullopt;
        const auto it = m_sectors.find(sector);
        return it != m_sectors.end() ? it->second : QByteArray(kDiscSectorSize, '\0');
    }

private:
    qint64 m_count;
    std::map<qint64, QByteArray> m_sectors;
    mutable int m_reads = 0;
};

// Fills the bytes no reader looks at with a pattern that depends on `seed`, so that
// lane sums see more than the label.
inline void fillPattern(QByteArray &sector, int from, int to, int seed)
{
    for (int i = from; i < to; ++i)
        sector[i] = char((i * 31 + seed * 17 + (i >> 3)) & 0xFF);
}

// A descriptor of `type` with `field` at 40 (32 bytes, padded with `pad`).
inline QByteArray isoDescriptor(quint8 type, const QByteArray &field = {}, QByteArray pad = " ", int seed = 1)
{
    QByteArray sector(kDiscSectorSize, '\0');
    sector[0] = char(type);
    sector.replace(1, 6, "CD001\x01");
    if (type == 255)
        return sector;
    QByteArray padded = field.left(32);
    while (padded.size() < 32)
        padded += pad;
    sector.replace(40, 32, padded);
    fillPattern(sector, 72, 88, seed);
    fillPattern(sector, 120, 2048, seed);
    return sector;
}
inline QByteArray isoPrimary(const QByteArray &label, int seed = 1) { return isoDescriptor(1, label, " ", seed); }
inline QByteArray isoTerminator() { return isoDescriptor(255); }

// A supplementary descriptor with `escape` at byte 88 and `label` as UTF-16BE.
inline QByteArray isoSupplementary(const QString &label, const QByteArray &escape, int seed = 2)
{
    QByteArray field;
    for (QChar c : label.left(16))
        field.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    QByteArray sector = isoDescriptor(2, field, QByteArray("\0 ", 2), seed);
    return sector.replace(88, escape.size(), escape);
}

// A volume recognition structure ("BEA01", "NSR02", "NSR03", "TEA01").
inline QByteArray recognition(const char *identifier)
{
    return QByteArray(1, '\0').append(identifier).append('\x01').leftJustified(kDiscSectorSize, '\0');
}

inline void putLe32(QByteArray &sector, int at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        sector[at + i] = char((value >> (8 * i)) & 0xFF);
}

// A UDF descriptor with its tag (identifier, version 2, checksum, location).
inline QByteArray udfDescriptor(quint16 tag, quint32 location, bool goodChecksum = true)
{
    QByteArray sector(kDiscSectorSize, '\0');
    sector[0] = char(tag & 0xFF);
    sector[1] = char(tag >> 8);
    sector[2] = 2;
    putLe32(sector, 12, location);
    quint8 sum = goodChecksum ? 0 : 1;
    for (int i = 0; i < 16; ++i)
        sum = quint8(sum + (i == 4 ? 0 : quint8(sector[i])));
    sector[4] = char(sum);
    return sector;
}

// A dstring field of `size` bytes holding `text` with compression id 8 or 16.
inline QByteArray udfDString(const QString &text, int size, int compression = 8)
{
    QByteArray field(1, char(compression));
    for (QChar c : text) {
        if (compression == 16)
            field.append(char(c.unicode() >> 8));
        field.append(char(c.unicode() & 0xFF));
    }
    const char length = char(field.size());
    field = field.leftJustified(size, '\0');
    field[size - 1] = length;
    return field;
}

struct UdfImageParts
{
    QString logicalLabel = QStringLiteral("UDF DISC");
    bool withLogical = true;
    bool goodAnchor = true;
    int compression = 8;
};

// A UDF-only disc: BEA01, NSR02, TEA01 from sector 16, the anchor at 256 pointing at
// a main sequence at 32: primary descriptor "PRIMARY", logical volume descriptor, terminator.
inline std::unique_ptr<SectorImage> udfImage(const UdfImageParts &parts = {}, QByteArray *primaryOut = nullptr)
{
    auto image = std::make_unique<SectorImage>(300);
    image->put(16, recognition("BEA01"));
    image->put(17, recognition("NSR02"));
    image->put(18, recognition("TEA01"));
    QByteArray anchor = udfDescriptor(2, 256, parts.goodAnchor);
    putLe32(anchor, 16, 4 * kDiscSectorSize);
    putLe32(anchor, 20, 32);
    image->put(256, anchor);
    QByteArray primary = udfDescriptor(1, 32);
    putLe32(primary, 16, 1);
    primary.replace(24, 32, udfDString(QStringLiteral("PRIMARY"), 32, parts.compression));
    fillPattern(primary, 56, 2048, 5);
    image->put(32, primary);
    if (primaryOut)
        *primaryOut = primary;
    int next = 33;
    if (parts.withLogical)
        image->put(next++, udfDescriptor(6, 33).replace(84, 128, udfDString(parts.logicalLabel, 128, parts.compression)));
    image->put(next, udfDescriptor(8, quint32(next)));
    return image;
}

} // namespace vorn::test
