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
        QByteArray padded = bytes.left(kDiscSectorSize);
        padded.resize(kDiscSectorSize, '\0');
        m_sectors[sector] = padded;
    }
    void setSectorCount(qint64 count) { m_count = count; }
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

// Fills the bytes of a descriptor that no reader looks at with a pattern that depends
// on `seed`, so that lane sums see more than the label.
inline void fillPattern(QByteArray &sector, int from, int to, int seed)
{
    for (int i = from; i < to; ++i)
        sector[i] = char((i * 31 + seed * 17 + (i >> 3)) & 0xFF);
}

inline QByteArray isoDescriptorHead(quint8 type)
{
    QByteArray sector(kDiscSectorSize, '\0');
    sector[0] = char(type);
    sector.replace(1, 5, "CD001");
    sector[6] = 1;
    return sector;
}

// A primary volume descriptor whose identifier field holds `label` padded with blanks.
inline QByteArray isoPrimary(const QByteArray &label, int seed = 1)
{
    QByteArray sector = isoDescriptorHead(1);
    QByteArray field = label.left(32);
    field.resize(32, ' ');
    sector.replace(40, 32, field);
    fillPattern(sector, 72, 88, seed);
    fillPattern(sector, 120, 2048, seed);
    return sector;
}

// A supplementary descriptor with `escape` at byte 88 and `label` as UTF-16BE,
// padded with UTF-16 blanks.
inline QByteArray isoSupplementary(const QString &label, const QByteArray &escape, int seed = 2)
{
    QByteArray sector = isoDescriptorHead(2);
    QByteArray field;
    for (QChar c : label.left(16)) {
        field.append(char(c.unicode() >> 8));
        field.append(char(c.unicode() & 0xFF));
    }
    while (field.size() < 32)
        field.append('\0').append(' ');
    sector.replace(40, 32, field);
    sector.replace(88, escape.size(), escape);
    fillPattern(sector, 72, 88, seed);
    fillPattern(sector, 120, 2048, seed);
    return sector;
}

inline QByteArray isoTerminator()
{
    return isoDescriptorHead(255);
}

// A volume recognition structure ("BEA01", "NSR02", "NSR03", "TEA01").
inline QByteArray recognition(const char *identifier)
{
    QByteArray sector(kDiscSectorSize, '\0');
    sector.replace(1, 5, identifier);
    sector[6] = 1;
    return sector;
}

// A UDF descriptor with its tag (identifier, version 2, checksum, location).
inline QByteArray udfDescriptor(quint16 tag, quint32 location, bool goodChecksum = true)
{
    QByteArray sector(kDiscSectorSize, '\0');
    sector[0] = char(tag & 0xFF);
    sector[1] = char(tag >> 8);
    sector[2] = 2;
    for (int i = 0; i < 4; ++i)
        sector[12 + i] = char((location >> (8 * i)) & 0xFF);
    quint8 sum = 0;
    for (int i = 0; i < 16; ++i)
        if (i != 4)
            sum = quint8(sum + quint8(sector[i]));
    sector[4] = char(goodChecksum ? sum : quint8(sum + 1));
    return sector;
}

inline void putLe32(QByteArray &sector, int at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        sector[at + i] = char((value >> (8 * i)) & 0xFF);
}

// A dstring field of `size` bytes holding `text` with compression id 8 or 16.
inline QByteArray udfDString(const QString &text, int size, int compression = 8)
{
    QByteArray field(size, '\0');
    QByteArray characters;
    for (QChar c : text) {
        if (compression == 16)
            characters.append(char(c.unicode() >> 8));
        characters.append(char(c.unicode() & 0xFF));
    }
    field[0] = char(compression);
    field.replace(1, characters.size(), characters);
    field[size - 1] = char(characters.size() + 1);
    return field;
}

struct UdfImageParts
{
    QString logicalLabel = QStringLiteral("UDF DISC");
    QString primaryLabel = QStringLiteral("PRIMARY");
    bool withLogical = true;
    bool goodAnchor = true;
    int compression = 8;
};

// A UDF-only disc: BEA01, NSR02, TEA01 from sector 16, the anchor at 256 pointing at
// a main sequence at 32: primary descriptor, logical volume descriptor, terminator.
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
    primary.replace(24, 32, udfDString(parts.primaryLabel, 32, parts.compression));
    fillPattern(primary, 56, 2048, 5);
    image->put(32, primary);
    if (primaryOut)
        *primaryOut = primary;

    int next = 33;
    if (parts.withLogical) {
        QByteArray logical = udfDescriptor(6, 33);
        logical.replace(84, 128, udfDString(parts.logicalLabel, 128, parts.compression));
        image->put(next++, logical);
    }
    image->put(next, udfDescriptor(8, quint32(next)));
    return image;
}

} // namespace vorn::test
