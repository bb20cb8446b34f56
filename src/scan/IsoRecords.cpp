#include "scan/IsoRecords.h"

#include "common/TextCodec.h"
#include "scan/Volume.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace vorn {

namespace {

constexpr int kRecordNameLength = 32;
constexpr int kRecordName = 33;
constexpr quint8 kFlagFolder = 0x02;
constexpr quint8 kFlagMoreParts = 0x80;
// Continuation areas followed for one record; more would only come from a hostile image.
constexpr int kContinuationLimit = 8;
constexpr qint64 kContinuationMaxBytes = 64 * 1024;

quint8 byteAt(QByteArrayView bytes, qsizetype i)
{
    return quint8(bytes[i]);
}

quint32 le32(QByteArrayView bytes, qsizetype i)
{
    return quint32(byteAt(bytes, i)) | quint32(byteAt(bytes, i + 1)) << 8 | quint32(byteAt(bytes, i + 2)) << 16
        | quint32(byteAt(bytes, i + 3)) << 24;
}

qint64 epochMs(int year, int month, int day, int hour, int minute, int second, int quarters)
{
    const QDate date(year, month, day);
    if (!date.isValid() || hour > 23 || minute > 59 || second > 60)
        return 0;
    const qint64 days = date.toJulianDay() - QDate(1970, 1, 1).toJulianDay();
    return (((days * 24 + hour) * 60 + minute) * 60 + second) * 1000 - qint64(quarters) * 15 * 60 * 1000;
}

// A 17-byte date of digits ("YYYYMMDDHHMMSScc") and an offset byte.
qint64 isoLongTime(QByteArrayView date)
{
    auto digits = [&](int from, int count) {
        int value = 0;
        for (int i = from; i < from + count; ++i) {
            const char c = date[i];
            if (c < '0' || c > '9')
                return -1;
            value = value * 10 + (c - '0');
        }
        return value;
    };
    const int year = digits(0, 4);
    if (year <= 0)
        return 0;
    return epochMs(year, digits(4, 2), digits(6, 2), digits(8, 2), digits(10, 2), digits(12, 2), qint8(date[16]));
}

// The name of a record as written in the ISO 9660 or Joliet tree: the version (";1")
// and, for plain names, a dot ending a name without extension are dropped.
QString recordName(QByteArrayView raw, IsoNames names)
{
    QString name;
    if (names == IsoNames::Joliet) {
        name.reserve(raw.size() / 2);
        for (qsizetype i = 0; i + 1 < raw.size(); i += 2)
            name += QChar(char16_t(byteAt(raw, i) << 8 | byteAt(raw, i + 1)));
    } else {
        name = QString::fromLatin1(raw);
    }
    const qsizetype semicolon = name.lastIndexOf(u';');
    if (semicolon > 0)
        name.truncate(semicolon);
    if (names != IsoNames::Joliet && name.endsWith(u'.'))
        name.chop(1);
    return name;
}

// What the Rock Ridge entries of a record say.
struct RockRidgeFacts
{
    QByteArray name;
    bool hasName = false;
    bool symlink = false;
    bool relocatedAway = false; // "RE": shown at its original place through a child link
    qint64 childLink = -1; // "CL": the folder's sector
    qint64 modifiedMs = 0;
};

void readEntries(QByteArrayView area, RockRidgeFacts &facts, const IsoByteReader &read, int hops)
{
    qsizetype pos = 0;
    while (pos + 4 <= area.size()) {
        const QByteArrayView signature = area.sliced(pos, 2);
        const int length = byteAt(area, pos + 2);
        if (length < 4 || pos + length > area.size())
            return;
        const QByteArrayView entry = area.sliced(pos, length);
        if (signature == "NM" && length >= 5) {
            const quint8 flags = byteAt(entry, 4);
            if (!(flags & 0x06)) {
                facts.name += entry.sliced(5).toByteArray();
                facts.hasName = true;
            }
        } else if (signature == "PX" && length >= 8) {
            facts.symlink = (le32(entry, 4) & 0170000) == 0120000;
        } else if (signature == "TF" && length >= 5) {
            const quint8 flags = byteAt(entry, 4);
            const int size = (flags & 0x80) ? 17 : 7;
            qsizetype at = 5 + ((flags & 0x01) ? size : 0);
            if ((flags & 0x02) && at + size <= length)
                facts.modifiedMs =
                    size == 7 ? isoRecordingTime(entry.sliced(at, 7)) : isoLongTime(entry.sliced(at, 17));
        } else if (signature == "RE") {
            facts.relocatedAway = true;
        } else if (signature == "CL" && length >= 8) {
            facts.childLink = le32(entry, 4);
        } else if (signature == "CE" && length >= 28 && hops < kContinuationLimit && read) {
            const qint64 sector = le32(entry, 4);
            const qint64 offset = le32(entry, 12);
            const qint64 size = std::min<qint64>(le32(entry, 20), kContinuationMaxBytes);
            const QByteArray more = read(sector * 2048 + offset, size);
            readEntries(more, facts, read, hops + 1);
        } else if (signature == "ST") {
            return;
        }
        pos += length;
    }
}

} // namespace

qint64 IsoRecord::size() const
{
    qint64 total = 0;
    for (const IsoExtent &extent : extents)
        total += extent.length;
    return total;
}

qint64 isoRecordingTime(QByteArrayView date)
{
    if (date.size() < 7 || byteAt(date, 0) == 0)
        return 0;
    return epochMs(1900 + byteAt(date, 0), byteAt(date, 1), byteAt(date, 2), byteAt(date, 3), byteAt(date, 4),
                   byteAt(date, 5), qint8(date[6]));
}

int rockRidgeSkip(QByteArrayView dot)
{
    if (dot.size() < kRecordName + 1)
        return -1;
    const int nameLength = byteAt(dot, kRecordNameLength);
    qsizetype area = kRecordName + nameLength + ((nameLength % 2 == 0) ? 1 : 0);
    const qsizetype end = std::min<qsizetype>(byteAt(dot, 0), dot.size());
    if (area + 7 > end)
        return -1;
    const QByteArrayView sp = dot.sliced(area, 7);
    if (sp.first(2) != "SP" || byteAt(sp, 4) != 0xBE || byteAt(sp, 5) != 0xEF)
        return -1;
    return byteAt(sp, 6);
}

std::vector<IsoRecord> parseIsoFolder(QByteArrayView bytes, IsoNames names, int suspSkip, const IsoByteReader &read)
{
    std::vector<IsoRecord> records;
    bool continuing = false; // the last record has more parts to come
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const int length = byteAt(bytes, pos);
        if (length == 0) {
            // Records never cross a sector: the rest of this sector is padding.
            pos = (pos / 2048 + 1) * 2048;
            continue;
        }
        if (length < kRecordName + 1 || pos + length > bytes.size())
            break;
        const QByteArrayView record = bytes.sliced(pos, length);
        pos += length;
        const int nameLength = byteAt(record, kRecordNameLength);
        if (kRecordName + nameLength > length)
            continue;
        const QByteArrayView raw = record.sliced(kRecordName, nameLength);
        const quint8 flags = byteAt(record, 25);
        const IsoExtent extent{qint64(le32(record, 2)) + byteAt(record, 1), qint64(le32(record, 10))};
        if (continuing && !records.empty()) {
            records.back().extents.push_back(extent);
            continuing = (flags & kFlagMoreParts) != 0;
            continue;
        }
        continuing = (flags & kFlagMoreParts) != 0;
        if (nameLength == 1 && (raw[0] == 0 || raw[0] == 1))
            continue; // "." and ".."

        IsoRecord entry;
        entry.isFolder = (flags & kFlagFolder) != 0;
        entry.modifiedMs = isoRecordingTime(record.sliced(18, 7));
        entry.extents.push_back(extent);
        entry.name = recordName(raw, names);
        if (names == IsoNames::RockRidge) {
            const qsizetype area = kRecordName + nameLength + ((nameLength % 2 == 0) ? 1 : 0) + suspSkip;
            if (area < length) {
                RockRidgeFacts facts;
                readEntries(record.sliced(area), facts, read, 0);
                if (facts.relocatedAway)
                    continue;
                if (facts.hasName)
                    entry.name = decodeText(facts.name);
                if (facts.modifiedMs != 0)
                    entry.modifiedMs = facts.modifiedMs;
                entry.isSymlink = facts.symlink;
                if (facts.childLink >= 0) {
                    entry.isFolder = true;
                    entry.relocated = true;
                    entry.extents = {IsoExtent{facts.childLink, 0}};
                }
            }
        }
        entry.name.replace(u'\\', kStoredBackslash);
        if (entry.name.isEmpty() || entry.name == u"."_s || entry.name == u".."_s)
            continue;
        records.push_back(std::move(entry));
    }
    return records;
}

} // namespace vorn
