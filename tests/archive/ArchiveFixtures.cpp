#include "ArchiveFixtures.h"

#include "capture/ArchiveChecksum.h"

#include <QFile>

#include <zip.h>

namespace vorn::test {

namespace {

void put16(QByteArray &out, quint32 value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

void put32(QByteArray &out, quint32 value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void put64(QByteArray &out, quint64 value)
{
    put32(out, quint32(value & 0xFFFFFFFFu));
    put32(out, quint32(value >> 32));
}

void put16s(QByteArray &out, std::initializer_list<quint32> values)
{
    for (quint32 value : values)
        put16(out, value);
}

void put32s(QByteArray &out, std::initializer_list<quint32> values)
{
    for (quint32 value : values)
        put32(out, value);
}

void put64s(QByteArray &out, std::initializer_list<quint64> values)
{
    for (quint64 value : values)
        put64(out, value);
}

void set16(QByteArray &out, qsizetype at, quint32 value)
{
    out[at] = char(value & 0xFF);
    out[at + 1] = char((value >> 8) & 0xFF);
}

void set32(QByteArray &out, qsizetype at, quint32 value)
{
    set16(out, at, value & 0xFFFF);
    set16(out, at + 2, value >> 16);
}

void putVint(QByteArray &out, quint64 value)
{
    do {
        unsigned char b = value & 0x7F;
        value >>= 7;
        if (value)
            b |= 0x80;
        out.append(char(b));
    } while (value);
}

void putVints(QByteArray &out, std::initializer_list<quint64> values)
{
    for (quint64 value : values)
        putVint(out, value);
}

} // namespace

std::vector<Delivered> readAll(ArchiveKind kind, const QString &path, const ArchiveListing &listing,
                               const std::vector<MemberRequest> &requests, UserPrompt *prompt)
{
    std::vector<Delivered> delivered;
    readArchiveMembers(kind, path, listing, requests,
                       [&](const MemberRequest &request, const MemberContent &content) {
                           delivered.push_back({request.index, request.want, content});
                       },
                       prompt);
    return delivered;
}

MemberRequest textRequest(int index, qint64 limit)
{
    return MemberRequest{index, MemberRequest::Want::Text, limit};
}

MemberRequest mp3Request(int index)
{
    return MemberRequest{index, MemberRequest::Want::Mp3, 0};
}

QByteArray mp3Bytes(int audioBytes)
{
    QByteArray bytes("ID3\x03\x00\x00\x00\x00\x00\x0F", 10);
    bytes.append("TIT2\x00\x00\x00\x05\x00\x00\x00Song", 15);
    bytes.append(QByteArray(audioBytes, '\xFB'));
    QByteArray v1("TAG");
    v1.append(QByteArray(125, ' '));
    bytes.append(v1);
    return bytes;
}

quint16 dosDate(int year, int month, int day)
{
    return quint16(((year - 1980) << 9) | (month << 5) | day);
}

quint16 dosTime(int hour, int minute, int second)
{
    return quint16((hour << 11) | (minute << 5) | (second / 2));
}

QByteArray makeRawZip(const std::vector<RawZipEntry> &entries, const QByteArray &prefix,
                      bool adjustOffsets, const QByteArray &comment, bool wrapCount)
{
    QByteArray out = prefix;
    const quint32 shift = adjustOffsets ? quint32(prefix.size()) : 0;
    std::vector<quint32> offsets;
    for (const RawZipEntry &e : entries) {
        offsets.push_back(quint32(out.size() - prefix.size()) + shift);
        const quint32 crc = crc32(e.data);
        const quint32 claimed = e.claimedSize < 0 ? quint32(e.data.size()) : quint32(qMin<qint64>(e.claimedSize, 0xFFFFFFFFll));
        out.append("PK\x03\x04", 4);
        put16s(out, {20, e.flags, 0, e.time, e.date});
        put32s(out, {crc, quint32(e.data.size()), claimed});
        put16s(out, {quint32(e.name.size()), 0});
        out.append(e.name);
        out.append(e.data);
    }
    const quint32 directoryOffset = quint32(out.size() - prefix.size()) + shift;
    const qsizetype directoryStart = out.size();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const RawZipEntry &e = entries[i];
        const quint32 claimed = e.claimedSize < 0 ? quint32(e.data.size()) : quint32(qMin<qint64>(e.claimedSize, 0xFFFFFFFFll));
        QByteArray extra = e.extra;
        if (claimed == 0xFFFFFFFFu) {
            // The size of a member of 4 GB or more goes in a ZIP64 extra field.
            QByteArray zip64;
            put16(zip64, 0x0001);
            put16(zip64, 8);
            put64(zip64, quint64(e.claimedSize));
            extra.prepend(zip64);
        }
        out.append("PK\x01\x02", 4);
        put16s(out, {e.versionMadeBy, 20, e.flags, 0, e.time, e.date});
        put32s(out, {crc32(e.data), quint32(e.data.size()), claimed});
        put16s(out, {quint32(e.name.size()), quint32(extra.size()), 0, 0, 0});
        put32s(out, {e.name.endsWith('/') ? 0x10u : 0x20u, offsets[i]});
        out.append(e.name);
        out.append(extra);
    }
    const quint32 directorySize = quint32(out.size() - directoryStart);
    quint32 count = quint32(entries.size());
    if (count > 0xFFFF && wrapCount) {
        count &= 0xFFFF;   // as old tools wrote it
    } else if (count > 0xFFFF) {
        const quint64 recordOffset = quint64(out.size() - prefix.size()) + shift;
        out.append("PK\x06\x06", 4);
        put64(out, 44);
        put16s(out, {45, 45});
        put32s(out, {0, 0});
        put64s(out, {entries.size(), entries.size(), directorySize, directoryOffset});
        out.append("PK\x06\x07", 4);
        put32(out, 0);
        put64(out, recordOffset);
        put32(out, 1);
        count = 0xFFFF;
    }
    out.append("PK\x05\x06", 4);
    put16s(out, {0, 0, count, count});
    put32s(out, {directorySize, directoryOffset});
    put16(out, quint32(comment.size()));
    out.append(comment);
    return out;
}

bool makeZipFile(const QString &path, const std::vector<ZipEntry> &entries, bool aes)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const ZipEntry &e : entries) {
        const QByteArray name = e.name.toUtf8();
        zip_int64_t index = -1;
        if (e.name.endsWith(u'/')) {
            index = zip_dir_add(archive, name.constData(), ZIP_FL_ENC_UTF_8);
        } else {
            zip_source_t *source = zip_source_buffer(archive, e.data.constData(), zip_uint64_t(e.data.size()), 0);
            index = zip_file_add(archive, name.constData(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
            if (index < 0) {
                zip_source_free(source);
                zip_discard(archive);
                return false;
            }
            zip_set_file_compression(archive, zip_uint64_t(index), e.deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE,
                                     e.deflate ? 1 : 0);
            if (!e.password.isEmpty())
                zip_file_set_encryption(archive, zip_uint64_t(index),
                                        aes ? ZIP_EM_AES_256 : ZIP_EM_TRAD_PKWARE, e.password.constData());
        }
        if (index < 0) {
            zip_discard(archive);
            return false;
        }
        if (e.date != 0)
            zip_file_set_dostime(archive, zip_uint64_t(index), e.time, e.date, 0);
    }
    return zip_close(archive) == 0;
}

QByteArray makeCab(const std::vector<CabEntry> &entries)
{
    constexpr qsizetype kHeader = 36;
    constexpr qsizetype kFolder = 8;
    QByteArray files;
    QByteArray data;
    for (const CabEntry &e : entries) {
        put32s(files, {quint32(e.data.size()), quint32(data.size())});
        put16s(files, {0, e.date, e.time, e.attributes});
        files.append(e.name);
        files.append('\0');
        data.append(e.data);
    }
    QByteArray blocks;
    int blockCount = 0;
    for (qsizetype at = 0; at < data.size(); at += 32768) {
        const QByteArray piece = data.mid(at, 32768);
        put32(blocks, 0);
        put16s(blocks, {quint32(piece.size()), quint32(piece.size())});
        blocks.append(piece);
        ++blockCount;
    }
    const quint32 filesOffset = quint32(kHeader + kFolder);
    const quint32 dataOffset = filesOffset + quint32(files.size());
    QByteArray out("MSCF", 4);
    put32s(out, {0, dataOffset + quint32(blocks.size()), 0, filesOffset, 0});
    out.append(char(3));
    out.append(char(1));
    put16s(out, {1, quint32(entries.size()), 0, 0, 0});
    put32(out, dataOffset);
    put16s(out, {quint32(blockCount), 0});
    out.append(files);
    out.append(blocks);
    return out;
}

namespace {

// The RAR block CRC: the low 16 bits of the CRC-32 of the header after its CRC field.
void finishRar4Header(QByteArray &header)
{
    set16(header, 5, quint32(header.size()));
    set16(header, 0, crc32(QByteArrayView(header).sliced(2)) & 0xFFFF);
}

QByteArray rar4UnicodeName(const QString &name)
{
    QByteArray out = name.toLatin1();
    out.append('\0');
    out.append('\0');   // high byte
    for (qsizetype i = 0; i < name.size(); i += 4) {
        out.append(char(0xAA));   // four two-byte literals
        for (qsizetype j = i; j < qMin(i + 4, name.size()); ++j)
            put16(out, name[j].unicode());
    }
    return out;
}

} // namespace

QByteArray makeRar4(const std::vector<Rar4Entry> &entries, bool solid, bool endBlock)
{
    QByteArray out("Rar!\x1A\x07\x00", 7);
    QByteArray main(7, '\0');
    main[2] = char(0x73);
    set16(main, 3, solid ? 0x0008 : 0);
    put16(main, 0);
    put32(main, 0);
    finishRar4Header(main);
    out.append(main);
    for (const Rar4Entry &e : entries) {
        const QByteArray name = e.unicode ? rar4UnicodeName(e.name) : e.name.toLatin1();
        quint16 flags = 0x8000;
        if (e.directory)
            flags |= 0x00E0;
        if (e.encrypted)
            flags |= 0x0004;
        if (e.unicode)
            flags |= 0x0200;
        QByteArray header(7, '\0');
        header[2] = char(0x74);
        set16(header, 3, flags);
        put32s(header, {quint32(e.data.size()), quint32(e.data.size())});
        header.append(char(e.host));
        put32s(header, {crc32(e.data), e.dosDateTime});
        header.append(char(29));
        header.append(char(0x30));
        put16(header, quint32(name.size()));
        put32(header, e.directory ? 0x10 : 0x20);
        header.append(name);
        finishRar4Header(header);
        out.append(header);
        out.append(e.data);
    }
    if (endBlock) {
        QByteArray end(7, '\0');
        end[2] = char(0x7B);
        set16(end, 3, 0x4000);
        finishRar4Header(end);
        out.append(end);
    }
    return out;
}

namespace {

QByteArray rar5Block(const QByteArray &header)
{
    QByteArray sized;
    putVint(sized, quint64(header.size()));
    sized.append(header);
    QByteArray block;
    put32(block, crc32(sized));
    block.append(sized);
    return block;
}

} // namespace

QByteArray makeRar5(const std::vector<Rar5Entry> &entries, bool solid)
{
    QByteArray out("Rar!\x1A\x07\x01\x00", 8);
    QByteArray main;
    putVints(main, {1, 0, solid ? 0x0004u : 0u});
    out.append(rar5Block(main));
    for (const Rar5Entry &e : entries) {
        QByteArray extra;
        if (e.fileTime >= 0) {
            QByteArray record;
            putVint(record, 3);
            putVint(record, 0x0002);
            put64(record, quint64(e.fileTime));
            putVint(extra, quint64(record.size()));
            extra.append(record);
        }
        if (e.encrypted) {
            QByteArray record;
            putVints(record, {1, 0, 0});
            record.append(char(15));
            record.append(QByteArray(32, '\x5A'));
            putVint(extra, quint64(record.size()));
            extra.append(record);
        }
        const QByteArray name = e.name.toUtf8();
        quint64 fileFlags = 0x0004;
        if (e.directory)
            fileFlags |= 0x0001;
        if (e.unixTime >= 0)
            fileFlags |= 0x0002;
        QByteArray header;
        putVint(header, 2);
        putVint(header, (extra.isEmpty() ? 0 : 0x0001) | (e.data.isEmpty() ? 0 : 0x0002));
        if (!extra.isEmpty())
            putVint(header, quint64(extra.size()));
        if (!e.data.isEmpty())
            putVint(header, quint64(e.data.size()));
        putVint(header, fileFlags);
        putVint(header, quint64(e.data.size()));
        putVint(header, e.directory ? 0x10 : 0x20);
        if (e.unixTime >= 0)
            put32(header, quint32(e.unixTime));
        put32(header, crc32(e.data));
        putVints(header, {0, 0, quint64(name.size())});
        header.append(name);
        header.append(extra);
        out.append(rar5Block(header));
        out.append(e.data);
    }
    QByteArray end;
    putVints(end, {5, 0, 0});
    out.append(rar5Block(end));
    return out;
}

namespace {

void putIconEntryFields(QByteArray &out, const IconImage &image)
{
    out.append(char(image.width >= 256 ? 0 : image.width));
    out.append(char(image.height >= 256 ? 0 : image.height));
    out.append(char(0));
    out.append(char(0));
    put16s(out, {1, 32});
    put32(out, quint32(image.bytes.size()));
}

} // namespace

QByteArray makeIco(const std::vector<IconImage> &images)
{
    QByteArray out;
    put16s(out, {0, 1, quint32(images.size())});
    quint32 offset = quint32(6 + 16 * images.size());
    for (const IconImage &image : images) {
        putIconEntryFields(out, image);
        put32(out, offset);
        offset += quint32(image.bytes.size());
    }
    for (const IconImage &image : images)
        out.append(image.bytes);
    return out;
}

QByteArray makePeStub()
{
    return makePe({});
}

QByteArray makePe(const std::vector<IconGroupResource> &groups, int firstIconId)
{
    constexpr quint32 kSectionRva = 0x1000;
    constexpr quint32 kSectionFile = 0x200;

    // Icon images and group records.
    struct Leaf { quint32 id; QByteArray data; };
    std::vector<Leaf> icons;
    std::vector<QByteArray> groupData;
    int nextId = firstIconId;
    for (const IconGroupResource &group : groups) {
        QByteArray record;
        put16s(record, {0, 1, quint32(group.images.size())});
        for (const IconImage &image : group.images) {
            putIconEntryFields(record, image);
            put16(record, quint32(nextId));
            icons.push_back(Leaf{quint32(nextId), image.bytes});
            ++nextId;
        }
        groupData.push_back(record);
    }

    // Layout: root, the two type directories, one language directory per leaf,
    // the data entries, the group names, then the data.
    const bool hasResources = !groups.empty();
    const quint32 rootSize = 16 + 8 * 2;
    const quint32 iconTypeSize = 16 + 8 * quint32(icons.size());
    const quint32 groupTypeSize = 16 + 8 * quint32(groups.size());
    const quint32 langSize = 16 + 8;
    const quint32 leafCount = quint32(icons.size() + groups.size());
    const quint32 iconTypeAt = rootSize;
    const quint32 groupTypeAt = iconTypeAt + iconTypeSize;
    const quint32 langAt = groupTypeAt + groupTypeSize;
    const quint32 entryAt = langAt + langSize * leafCount;
    const quint32 namesAt = entryAt + 16 * leafCount;
    QByteArray names;
    std::vector<quint32> nameOffsets;
    for (const IconGroupResource &group : groups) {
        nameOffsets.push_back(namesAt + quint32(names.size()));
        if (!group.name.isEmpty()) {
            put16(names, quint32(group.name.size()));
            for (const QChar c : group.name)
                put16(names, c.unicode());
        }
    }
    while (names.size() % 8)
        names.append('\0');
    const quint32 dataAt = namesAt + quint32(names.size());

    QByteArray section;
    const auto directory = [&](quint16 namedCount, quint16 idCount) {
        put32s(section, {0, 0, 0});
        put16s(section, {namedCount, idCount});
    };
    directory(0, 2);
    put32s(section, {3, 0x80000000u | iconTypeAt, 14, 0x80000000u | groupTypeAt});

    directory(0, quint16(icons.size()));
    for (std::size_t i = 0; i < icons.size(); ++i) {
        put32(section, icons[i].id);
        put32(section, 0x80000000u | (langAt + langSize * quint32(i)));
    }
    quint16 named = 0;
    for (const IconGroupResource &group : groups)
        named += group.name.isEmpty() ? 0 : 1;
    directory(named, quint16(groups.size() - named));
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (groups[i].name.isEmpty())
            put32(section, quint32(groups[i].id));
        else
            put32(section, 0x80000000u | nameOffsets[i]);
        put32(section, 0x80000000u | (langAt + langSize * quint32(icons.size() + i)));
    }
    for (quint32 leaf = 0; leaf < leafCount; ++leaf) {
        directory(0, 1);
        put32s(section, {0x0409, entryAt + 16 * leaf});
    }
    QByteArray blobs;
    const auto dataEntry = [&](const QByteArray &data) {
        put32s(section, {kSectionRva + dataAt + quint32(blobs.size()), quint32(data.size()), 0, 0});
        blobs.append(data);
        while (blobs.size() % 8)
            blobs.append('\0');
    };
    for (const Leaf &icon : icons)
        dataEntry(icon.data);
    for (const QByteArray &record : groupData)
        dataEntry(record);
    section.append(names);
    section.append(blobs);
    if (!hasResources)
        section.clear();

    QByteArray out(0x40, '\0');
    out[0] = 'M';
    out[1] = 'Z';
    set32(out, 0x3C, 0x40);
    out.append("PE\0\0", 4);
    put16s(out, {0x014C, 1});
    put32s(out, {0, 0, 0});
    put16s(out, {224, 0x0102});
    QByteArray optional(224, '\0');
    set16(optional, 0, 0x010B);
    set32(optional, 92, 16);
    if (hasResources) {
        set32(optional, 96 + 2 * 8, kSectionRva);
        set32(optional, 96 + 2 * 8 + 4, quint32(section.size()));
    }
    out.append(optional);
    QByteArray header(".rsrc\0\0\0", 8);
    put32s(header, {quint32(section.size()), kSectionRva, quint32(section.size()), kSectionFile, 0, 0});
    put16s(header, {0, 0});
    put32(header, 0x40000040u);
    out.append(header);
    out.append(QByteArray(kSectionFile - out.size(), '\0'));
    out.append(section);
    return out;
}

} // namespace vorn::test
