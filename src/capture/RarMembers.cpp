#include "capture/RarMembers.h"

#include "capture/ArchiveChecksum.h"
#include "capture/ArchiveInput.h"
#include "capture/ArchiveNames.h"
#include "capture/ArchiveOutput.h"
#include "common/DayDate.h"

#include <QDateTime>

#include <optional>

namespace vorn {

namespace {

constexpr QByteArrayView kSignature4("Rar!\x1A\x07\x00", 7);
constexpr QByteArrayView kSignature5("Rar!\x1A\x07\x01\x00", 8);
// How far into a self-extracting program the archive is looked for.
constexpr qint64 kSfxSearch = 1024 * 1024;

// Block types and flags of the older format.
constexpr quint8 kMainHead = 0x73;
constexpr quint8 kFileHead = 0x74;
constexpr quint8 kSubHead = 0x7A;
constexpr quint8 kEndHead = 0x7B;
constexpr quint16 kLongBlock = 0x8000;
constexpr quint16 kMainSolid = 0x0008;
constexpr quint16 kMainEncryptedHeaders = 0x0080;
constexpr quint16 kFilePassword = 0x0004;
constexpr quint16 kFileDirectoryMask = 0x00E0;
constexpr quint16 kFileLarge = 0x0100;
constexpr quint16 kFileUnicode = 0x0200;
constexpr qint64 kFileHeadFixed = 32;

// RAR 5 limits a header to 2 MB.
constexpr quint64 kMaxHeader5 = 2 * 1024 * 1024;

// The name of a file header with the Unicode flag: the legacy name, a zero byte and
// the Unicode name encoded against it.
QString decodeUnicodeName(QByteArrayView legacy, QByteArrayView encoded)
{
    constexpr qsizetype kMaxLength = 1024;
    QString name;
    const auto byte = [](QByteArrayView b, qsizetype i) { return static_cast<unsigned char>(b[i]); };
    qsizetype pos = 0;
    const char16_t high = pos < encoded.size() ? byte(encoded, pos++) : 0;
    unsigned flags = 0;
    int flagBits = 0;
    while (pos < encoded.size() && name.size() < kMaxLength) {
        if (flagBits == 0) {
            flags = byte(encoded, pos++);
            flagBits = 8;
        }
        switch (flags >> 6) {
        case 0:
            if (pos >= encoded.size())
                return name;
            name += QChar(char16_t(byte(encoded, pos++)));
            break;
        case 1:
            if (pos >= encoded.size())
                return name;
            name += QChar(char16_t(byte(encoded, pos++) + (high << 8)));
            break;
        case 2:
            if (pos + 1 >= encoded.size())
                return name;
            name += QChar(char16_t(byte(encoded, pos) + (byte(encoded, pos + 1) << 8)));
            pos += 2;
            break;
        case 3: {
            if (pos >= encoded.size())
                return name;
            int length = byte(encoded, pos++);
            if (length & 0x80) {
                if (pos >= encoded.size())
                    return name;
                const unsigned correction = byte(encoded, pos++);
                for (length = (length & 0x7F) + 2; length > 0 && name.size() < legacy.size(); --length)
                    name += QChar(char16_t(((byte(legacy, name.size()) + correction) & 0xFF) + (high << 8)));
            } else {
                for (length += 2; length > 0 && name.size() < legacy.size(); --length)
                    name += QChar(char16_t(byte(legacy, name.size())));
            }
            break;
        }
        }
        flags = (flags << 2) & 0xFF;
        flagBits -= 2;
    }
    const qsizetype end = name.indexOf(QChar(0));
    return end >= 0 ? name.left(end) : name;
}

bool isDosHost4(quint8 host)
{
    return host <= 2; // MS-DOS, OS/2, Windows
}

ArchiveMember memberFromFileHead(QByteArrayView header, quint16 flags)
{
    ArchiveMember member;
    const quint8 host = static_cast<quint8>(header[15]);
    const quint32 dosDateTime = le32(header, 20);
    const quint16 nameSize = le16(header, 26);
    qint64 at = kFileHeadFixed;
    quint64 unpacked = le32(header, 11);
    if (flags & kFileLarge) {
        unpacked |= quint64(le32(header, at + 4)) << 32;
        at += 8;
    }
    member.size = qint64(unpacked & 0x7FFFFFFFFFFFFFFFull);
    member.crc = le32(header, 16);
    member.date = dayNumberFromDos(quint16(dosDateTime >> 16), quint16(dosDateTime & 0xFFFF), true);
    member.encrypted = flags & kFilePassword;
    member.folder = (flags & kFileDirectoryMask) == kFileDirectoryMask;

    const QByteArrayView raw = header.sliced(at, std::min<qint64>(nameSize, header.size() - at));
    QString name;
    if (flags & kFileUnicode) {
        const qsizetype zero = raw.indexOf('\0');
        name = zero >= 0 ? decodeUnicodeName(raw.first(zero), raw.sliced(zero + 1))
                         : decodeArchiveName(raw, LegacyNames::Oem850);
    } else {
        name = decodeArchiveName(raw, isDosHost4(host) ? LegacyNames::Oem850 : LegacyNames::Windows1252);
    }
    setMemberPath(member, name);
    if (member.folder && member.name.isEmpty()) {
        // A folder stored with a trailing separator still lists under its own name.
        setMemberPath(member, member.path);
        member.folder = true;
    }
    return member;
}

// Where the archive begins: at the start, or inside a self-extracting program.
std::optional<std::pair<qint64, int>> findSignature(ArchiveInput &input)
{
    const QByteArrayView start = input.peek(0, 8);
    if (start.startsWith(kSignature5))
        return std::pair<qint64, int>{0, 5};
    if (start.startsWith(kSignature4))
        return std::pair<qint64, int>{0, 4};
    if (!start.startsWith("MZ"))
        return std::nullopt;
    const QByteArray head = input.read(0, std::min(input.size(), kSfxSearch));
    for (qsizetype at = head.indexOf("Rar!\x1A\x07"); at >= 0; at = head.indexOf("Rar!\x1A\x07", at + 1)) {
        const QByteArrayView here = QByteArrayView(head).sliced(at);
        if (here.startsWith(kSignature5))
            return std::pair<qint64, int>{at, 5};
        if (here.startsWith(kSignature4))
            return std::pair<qint64, int>{at, 4};
    }
    return std::nullopt;
}

void markDamaged(ArchiveListing &listing, const char *what)
{
    listing.damaged = true;
    listing.error = QString::fromLatin1(what);
}

void listFormat4(ArchiveInput &input, qint64 pos, ArchiveListing &listing)
{
    while (listing.members.size() < kMaxArchiveMembers) {
        if (pos == input.size())
            return; // archives before RAR 3 have no end block
        if (pos > input.size())
            return markDamaged(listing, "truncated data");
        const QByteArrayView base = input.peek(pos, 7);
        if (base.size() < 7)
            return markDamaged(listing, "truncated header");
        const quint16 crc = le16(base, 0);
        const quint8 type = static_cast<quint8>(base[2]);
        const quint16 flags = le16(base, 3);
        const quint16 size = le16(base, 5);
        if (size < 7)
            return markDamaged(listing, "bad header size");
        const QByteArrayView header = input.peek(pos, size);
        if (header.size() < size)
            return markDamaged(listing, "truncated header");
        bool crcOk = (crc32(header.sliced(2)) & 0xFFFF) == crc;
        // Main headers with an old-style comment inside have their CRC over the fixed part.
        if (!crcOk && type == kMainHead && size > 13)
            crcOk = (crc32(header.sliced(2, 11)) & 0xFFFF) == crc;
        if (!crcOk)
            return markDamaged(listing, "header CRC error");

        quint64 dataSize = (flags & kLongBlock) ? le32(header, 7) : 0;
        if (type == kMainHead) {
            if (flags & kMainEncryptedHeaders) {
                listing.recognised = false;
                listing.error = QStringLiteral("encrypted headers");
                return;
            }
            listing.solid = flags & kMainSolid;
        } else if (type == kFileHead || type == kSubHead) {
            if (size < kFileHeadFixed + ((flags & kFileLarge) ? 8 : 0) + le16(header, 26))
                return markDamaged(listing, "bad file header");
            dataSize = le32(header, 7);
            if (flags & kFileLarge)
                dataSize |= quint64(le32(header, kFileHeadFixed)) << 32;
            if (type == kFileHead)
                listing.members.push_back(memberFromFileHead(header, flags));
        } else if (type == kEndHead) {
            return;
        }
        if (dataSize > quint64(input.size()))
            return markDamaged(listing, "truncated data");
        pos += size + qint64(dataSize);
    }
}

// A RAR 5 variable-length number.
std::optional<quint64> readVint(QByteArrayView bytes, qsizetype &at)
{
    quint64 value = 0;
    for (int shift = 0; shift < 64 && at < bytes.size(); shift += 7) {
        const auto b = static_cast<unsigned char>(bytes[at++]);
        value |= quint64(b & 0x7F) << shift;
        if (!(b & 0x80))
            return value;
    }
    return std::nullopt;
}

double dayNumberFromUnixTime(qint64 seconds)
{
    return dayNumberFromDateTime(QDateTime::fromSecsSinceEpoch(seconds));
}

std::optional<ArchiveMember> memberFromFile5(QByteArrayView body, quint64 extraSize)
{
    qsizetype at = 0;
    const auto fileFlags = readVint(body, at);
    const auto unpacked = readVint(body, at);
    const auto attributes = readVint(body, at);
    if (!fileFlags || !unpacked || !attributes)
        return std::nullopt;
    ArchiveMember member;
    member.folder = *fileFlags & 0x0001;
    member.size = (*fileFlags & 0x0008) ? 0 : qint64(*unpacked & 0x7FFFFFFFFFFFFFFFull);
    if (*fileFlags & 0x0002) {
        if (at + 4 > body.size())
            return std::nullopt;
        member.date = dayNumberFromUnixTime(le32(body, at));
        at += 4;
    }
    if (*fileFlags & 0x0004) {
        if (at + 4 > body.size())
            return std::nullopt;
        member.crc = le32(body, at);
        at += 4;
    }
    const auto compression = readVint(body, at);
    const auto host = readVint(body, at);
    const auto nameLength = readVint(body, at);
    if (!compression || !host || !nameLength || *nameLength > quint64(body.size() - at))
        return std::nullopt;
    setMemberPath(member, decodeArchiveName(body.sliced(at, qsizetype(*nameLength)), LegacyNames::Windows1252));

    if (extraSize > quint64(body.size()))
        return member;
    const QByteArrayView extra = body.last(qsizetype(extraSize));
    for (qsizetype pos = 0; pos < extra.size();) {
        const auto recordSize = readVint(extra, pos);
        if (!recordSize || *recordSize == 0 || *recordSize > quint64(extra.size() - pos))
            break;
        const QByteArrayView record = extra.sliced(pos, qsizetype(*recordSize));
        pos += qsizetype(*recordSize);
        qsizetype r = 0;
        const auto type = readVint(record, r);
        if (!type)
            break;
        if (*type == 1) {
            member.encrypted = true;
        } else if (*type == 3) {
            const auto timeFlags = readVint(record, r);
            if (!timeFlags || !(*timeFlags & 0x0002))
                continue;
            if (*timeFlags & 0x0001) {
                if (r + 4 <= record.size())
                    member.date = dayNumberFromUnixTime(le32(record, r));
            } else if (r + 8 <= record.size()) {
                // Windows file time: 100 ns steps since 1 January 1601 (UTC).
                const quint64 fileTime = le64(record, r);
                member.date = dayNumberFromUnixTime(qint64(fileTime / 10000000ull) - 11644473600ll);
            }
        }
    }
    return member;
}

void listFormat5(ArchiveInput &input, qint64 pos, ArchiveListing &listing)
{
    while (listing.members.size() < kMaxArchiveMembers) {
        if (pos == input.size())
            return; // the end block is missing, but nothing is cut short
        const QByteArrayView start = input.peek(pos, 7);
        qsizetype at = 4;
        const auto headerSize = readVint(start, at);
        if (start.size() < 5 || !headerSize)
            return markDamaged(listing, "truncated header");
        if (*headerSize == 0 || *headerSize > kMaxHeader5)
            return markDamaged(listing, "bad header size");
        const qint64 total = at + qint64(*headerSize);
        const QByteArray block = input.read(pos, total);
        if (block.size() < total)
            return markDamaged(listing, "truncated header");
        if (crc32(QByteArrayView(block).sliced(4)) != le32(block, 0))
            return markDamaged(listing, "header CRC error");

        const QByteArrayView header = QByteArrayView(block).sliced(at);
        qsizetype h = 0;
        const auto type = readVint(header, h);
        const auto flags = readVint(header, h);
        if (!type || !flags)
            return markDamaged(listing, "bad header");
        quint64 extraSize = 0;
        quint64 dataSize = 0;
        if (*flags & 0x0001) {
            const auto value = readVint(header, h);
            if (!value)
                return markDamaged(listing, "bad header");
            extraSize = *value;
        }
        if (*flags & 0x0002) {
            const auto value = readVint(header, h);
            if (!value)
                return markDamaged(listing, "bad header");
            dataSize = *value;
        }
        const QByteArrayView body = header.sliced(h);
        if (*type == 1) {
            qsizetype b = 0;
            const auto archiveFlags = readVint(body, b);
            listing.solid = archiveFlags && (*archiveFlags & 0x0004);
        } else if (*type == 2) {
            const std::optional<ArchiveMember> member = memberFromFile5(body, extraSize);
            if (!member)
                return markDamaged(listing, "bad file header");
            listing.members.push_back(*member);
        } else if (*type == 4) {
            listing.recognised = false;
            listing.error = QStringLiteral("encrypted headers");
            return;
        } else if (*type == 5) {
            return;
        }
        if (dataSize > quint64(input.size() - pos - total))
            return markDamaged(listing, "truncated data");
        pos += total + qint64(dataSize);
    }
}

} // namespace

ArchiveListing listRarArchive(const QString &hostPath)
{
    ArchiveListing listing;
    ArchiveInput input;
    if (!input.open(hostPath)) {
        listing.error = QStringLiteral("cannot open the file");
        return listing;
    }
    const auto signature = findSignature(input);
    if (!signature) {
        listing.error = QStringLiteral("not a RAR archive");
        return listing;
    }
    listing.recognised = true;
    listing.archiveStart = signature->first;
    if (signature->second == 4)
        listFormat4(input, signature->first + kSignature4.size(), listing);
    else
        listFormat5(input, signature->first + kSignature5.size(), listing);
    return listing;
}

int ListRarMembers(const QString &archivePath, MemberList &members)
{
    ArchiveListing listing = listRarArchive(archivePath);
    members = std::move(listing.members);
    if (!listing.recognised)
        return RarResult::CannotOpen;
    return listing.damaged ? RarResult::BadData : RarResult::Success;
}

int ExtractRarMember(const QString &archivePath, const QString &storedPath, const QString &targetFolder, qint64 limit)
{
    const ArchiveListing listing = listRarArchive(archivePath);
    if (!listing.recognised)
        return RarResult::CannotOpen;
    QString wanted = storedPath;
    wanted.replace(u'/', u'\\');
    for (std::size_t i = 0; i < listing.members.size(); ++i) {
        const ArchiveMember &member = listing.members[i];
        if (member.folder || memberStoredPath(member) != wanted)
            continue;
        if (member.encrypted)
            return RarResult::MissingPassword;
        const std::optional<QStringList> parts = confinedPathParts(wanted);
        if (!parts || member.size > limit)
            return RarResult::CannotCreate;
        const std::optional<QByteArray> bytes =
            readWholeMember(ArchiveKind::Rar, archivePath, listing, int(i), limit, nullptr);
        if (!bytes)
            return RarResult::BadData;
        return writeConfined(targetFolder, *parts, *bytes).isEmpty() ? RarResult::CannotCreate : RarResult::Success;
    }
    return listing.damaged ? RarResult::BadData : RarResult::EndOfArchive;
}

} // namespace vorn
