#include "ArchiveFixtures.h"

#include "capture/ArchiveChecksum.h"

#include <zip.h>

namespace vorn::test {

namespace {

// Little-endian fields of 2, 4 or 8 bytes, appended in turn.
template<int Bytes, typename... T>
void put(QByteArray &out, T... values)
{
    for (const quint64 value : {quint64(values)...})
        for (int i = 0; i < Bytes; ++i)
            out.append(char((value >> (8 * i)) & 0xFF));
}

// RAR 5 variable-length integers: 7 bits a byte, low bits first, the top bit set on all but the last.
template<typename... T>
void putVints(QByteArray &out, T... values)
{
    for (quint64 value : {quint64(values)...}) {
        for (; value > 0x7F; value >>= 7)
            out.append(char((value & 0x7F) | 0x80));
        out.append(char(value));
    }
}

} // namespace

std::vector<Delivered> readAll(ArchiveKind kind, const QString &path, const ArchiveListing &listing,
                               const std::vector<MemberRequest> &requests, UserPrompt *prompt)
{
    std::vector<Delivered> delivered;
    readArchiveMembers(kind, path, listing, requests, [&](const MemberRequest &request, const MemberContent &content) {
        delivered.push_back({request.index, request.want, content});
    }, prompt);
    return delivered;
}

QByteArray mp3Bytes(int audioBytes)
{
    return QByteArray("ID3\x03\x00\x00\x00\x00\x00\x0F" "TIT2\x00\x00\x00\x05\x00\x00\x00Song", 25)
        + QByteArray(audioBytes, '\xFB') + "TAG" + QByteArray(125, ' ');
}

void expectMembers(const ArchiveListing &listing, const std::vector<ExpectedMember> &expected)
{
    ASSERT_EQ(listing.members.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const ArchiveMember &m = listing.members[i];
        const ExpectedMember &e = expected[i];
        EXPECT_EQ(std::tuple(m.name, m.path, m.size, m.folder, m.encrypted), std::tuple(e.name, e.path, e.size, e.folder, e.encrypted));
        if (e.date.isValid()) {
            EXPECT_DOUBLE_EQ(m.date, dayNumberFromDateTime(e.date)) << e.name.toStdString();
        }
    }
}

QByteArray makeRawZip(const std::vector<RawZipEntry> &entries, const QByteArray &prefix,
                      bool adjustOffsets, const QByteArray &comment, bool wrapCount)
{
    QByteArray out = prefix;
    const quint32 shift = adjustOffsets ? 0 : quint32(prefix.size());
    const auto claimed = [](const RawZipEntry &e) {
        return e.claimedSize < 0 ? quint32(e.data.size()) : quint32(qMin<qint64>(e.claimedSize, 0xFFFFFFFFll));
    };
    std::vector<quint32> offsets;
    for (const RawZipEntry &e : entries) {
        offsets.push_back(quint32(out.size()) - shift);
        out.append("PK\x03\x04", 4);
        put<2>(out, 20, e.flags, 0, 0x6000, 0x5A21);
        put<4>(out, crc32(e.data), e.data.size(), claimed(e));
        put<2>(out, e.name.size(), 0);
        out.append(e.name + e.data);
    }
    const quint32 directoryOffset = quint32(out.size()) - shift;
    const qsizetype directoryStart = out.size();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const RawZipEntry &e = entries[i];
        QByteArray extra = e.extra;
        if (claimed(e) == 0xFFFFFFFFu) {   // the real size goes in a ZIP64 extra field
            QByteArray zip64;
            put<2>(zip64, 1, 8);
            put<8>(zip64, e.claimedSize);
            extra.prepend(zip64);
        }
        out.append("PK\x01\x02", 4);
        put<2>(out, e.versionMadeBy, 20, e.flags, 0, 0x6000, 0x5A21);
        put<4>(out, crc32(e.data), e.data.size(), claimed(e));
        put<2>(out, e.name.size(), extra.size(), 0, 0, 0);
        put<4>(out, e.name.endsWith('/') ? 0x10u : 0x20u, offsets[i]);
        out.append(e.name + extra);
    }
    const quint32 directorySize = quint32(out.size() - directoryStart);
    quint32 count = quint32(entries.size());
    if (count > 0xFFFF && wrapCount) {
        count &= 0xFFFF;   // as old tools wrote it
    } else if (count > 0xFFFF) {
        const quint64 recordOffset = quint64(out.size()) - shift;
        out.append("PK\x06\x06", 4);
        put<8>(out, 44);
        put<2>(out, 45, 45);
        put<4>(out, 0, 0);
        put<8>(out, entries.size(), entries.size(), directorySize, directoryOffset);
        out.append("PK\x06\x07", 4);
        put<4>(out, 0);
        put<8>(out, recordOffset);
        put<4>(out, 1);
        count = 0xFFFF;
    }
    out.append("PK\x05\x06", 4);
    put<2>(out, 0, 0, count, count);
    put<4>(out, directorySize, directoryOffset);
    put<2>(out, comment.size());
    return out + comment;
}

bool makeZipFile(const QString &path, const std::vector<ZipEntry> &entries)
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
            if (index < 0)
                zip_source_free(source);
        }
        if (index < 0) {
            zip_discard(archive);
            return false;
        }
        if (!e.name.endsWith(u'/'))
            zip_set_file_compression(archive, zip_uint64_t(index), e.deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, e.deflate);
        if (!e.password.isEmpty())
            zip_file_set_encryption(archive, zip_uint64_t(index), ZIP_EM_TRAD_PKWARE, e.password.constData());
        if (e.date != 0)
            zip_file_set_dostime(archive, zip_uint64_t(index), e.time, e.date, 0);
    }
    return zip_close(archive) == 0;
}

QByteArray makeCab(const std::vector<CabEntry> &entries)
{
    QByteArray files, data, blocks;
    for (const CabEntry &e : entries) {
        put<4>(files, e.data.size(), data.size());
        put<2>(files, 0, e.date, e.time, 0x20);
        files.append(e.name + '\0');
        data.append(e.data);
    }
    int blockCount = 0;
    for (qsizetype at = 0; at < data.size(); at += 32768, ++blockCount) {
        const QByteArray piece = data.mid(at, 32768);
        put<4>(blocks, 0);
        put<2>(blocks, piece.size(), piece.size());
        blocks.append(piece);
    }
    const quint32 filesOffset = 36 + 8;   // header, one folder
    const quint32 dataOffset = filesOffset + quint32(files.size());
    QByteArray out("MSCF", 4);
    put<4>(out, 0, dataOffset + blocks.size(), 0, filesOffset, 0);
    out.append("\x03\x01", 2);
    put<2>(out, 1, entries.size(), 0, 0, 0);
    put<4>(out, dataOffset);
    put<2>(out, blockCount, 0);
    return out + files + blocks;
}

namespace {

// A RAR 4 block: CRC (low 16 bits of the CRC-32 of what follows), type, flags, size.
QByteArray rar4Block(char type, quint32 flags, const QByteArray &body)
{
    QByteArray header(1, type), block;
    put<2>(header, flags, 7 + body.size());
    put<2>(block, crc32(QByteArray(header + body)) & 0xFFFF);
    return block + header + body;
}

QByteArray rar4UnicodeName(const QString &name)
{
    QByteArray out = name.toLatin1() + QByteArray(2, '\0');   // NUL, then the high byte
    for (qsizetype i = 0; i < name.size(); i += 4) {
        out.append(char(0xAA));   // four two-byte literals
        for (qsizetype j = i; j < qMin(i + 4, name.size()); ++j)
            put<2>(out, name[j].unicode());
    }
    return out;
}

QByteArray rar5Block(const QByteArray &header)
{
    QByteArray sized;
    putVints(sized, quint64(header.size()));
    sized.append(header);
    QByteArray block;
    put<4>(block, crc32(sized));
    return block + sized;
}

} // namespace

QByteArray makeRar4(const std::vector<Rar4Entry> &entries, bool solid, bool endBlock)
{
    QByteArray out = QByteArray("Rar!\x1A\x07\x00", 7) + rar4Block(0x73, solid ? 0x0008 : 0, QByteArray(6, '\0'));
    for (const Rar4Entry &e : entries) {
        const QByteArray name = e.unicode ? rar4UnicodeName(e.name) : e.name.toLatin1();
        QByteArray body;
        put<4>(body, e.data.size(), e.data.size());
        body.append(char(2));   // made on Windows
        put<4>(body, crc32(e.data), e.dosDateTime);
        body.append("\x1D\x30", 2);
        put<2>(body, name.size());
        put<4>(body, e.directory ? 0x10 : 0x20);
        const quint32 flags = 0x8000 | (e.directory ? 0x00E0 : 0) | (e.encrypted ? 0x0004 : 0) | (e.unicode ? 0x0200 : 0);
        out.append(rar4Block(0x74, flags, body + name) + e.data);
    }
    return endBlock ? out + rar4Block(0x7B, 0x4000, {}) : out;
}

QByteArray makeRar5(const std::vector<Rar5Entry> &entries, bool solid)
{
    QByteArray out("Rar!\x1A\x07\x01\x00", 8), main;
    putVints(main, 1, 0, solid ? 0x0004u : 0u);
    out.append(rar5Block(main));
    for (const Rar5Entry &e : entries) {
        // Extra records, each after its size: the file time, the encryption record.
        QByteArray extra, time, encryption;
        putVints(time, 3, 0x0002);
        put<8>(time, e.fileTime);
        putVints(encryption, 1, 0, 0);
        encryption.append(char(15) + QByteArray(32, '\x5A'));
        for (const QByteArray &record : {e.fileTime >= 0 ? time : QByteArray(), e.encrypted ? encryption : QByteArray()}) {
            if (!record.isEmpty()) {
                putVints(extra, quint64(record.size()));
                extra.append(record);
            }
        }
        const QByteArray name = e.name.toUtf8();
        QByteArray header;
        putVints(header, 2, (extra.isEmpty() ? 0 : 0x0001) | (e.data.isEmpty() ? 0 : 0x0002));
        if (!extra.isEmpty())
            putVints(header, quint64(extra.size()));
        if (!e.data.isEmpty())
            putVints(header, quint64(e.data.size()));
        putVints(header, 0x0004 | (e.directory ? 0x0001 : 0) | (e.unixTime >= 0 ? 0x0002 : 0), e.data.size(),
                 e.directory ? 0x10 : 0x20);
        if (e.unixTime >= 0)
            put<4>(header, e.unixTime);
        put<4>(header, crc32(e.data));
        putVints(header, 0, 0, name.size());
        out.append(rar5Block(header + name + extra) + e.data);
    }
    QByteArray end;
    putVints(end, 5, 0, 0);
    return out + rar5Block(end);
}

namespace {

void putIconEntryFields(QByteArray &out, const IconImage &image)
{
    const char side = char(image.width >= 256 ? 0 : image.width);
    out.append(QByteArray(1, side) + QByteArray(1, side) + QByteArray(2, '\0'));
    put<2>(out, 1, 32);
    put<4>(out, image.bytes.size());
}

} // namespace

QByteArray makeIco(const std::vector<IconImage> &images)
{
    QByteArray out, data;
    put<2>(out, 0, 1, images.size());
    for (const IconImage &image : images) {
        putIconEntryFields(out, image);
        put<4>(out, 6 + 16 * images.size() + data.size());
        data.append(image.bytes);
    }
    return out + data;
}

QByteArray makePe(const std::vector<IconGroupResource> &groups)
{
    constexpr quint32 kSectionRva = 0x1000, kSectionFile = 0x200, kSubdirectory = 0x80000000u;
    struct Leaf { quint32 id; QByteArray data; };
    std::vector<Leaf> icons;
    std::vector<QByteArray> groupData;
    for (const IconGroupResource &group : groups) {
        QByteArray record;
        put<2>(record, 0, 1, group.images.size());
        for (const IconImage &image : group.images) {
            const quint32 id = quint32(icons.size() + 1);
            putIconEntryFields(record, image);
            put<2>(record, id);
            icons.push_back(Leaf{id, image.bytes});
        }
        groupData.push_back(record);
    }
    // Layout: root, the two type directories, one language directory per leaf, the
    // data entries, the group names, then the data.
    const quint32 langSize = 16 + 8, leafCount = quint32(icons.size() + groups.size());
    const quint32 iconTypeAt = 16 + 8 * 2;
    const quint32 groupTypeAt = iconTypeAt + 16 + 8 * quint32(icons.size());
    const quint32 langAt = groupTypeAt + 16 + 8 * quint32(groups.size());
    const quint32 entryAt = langAt + langSize * leafCount;
    const quint32 namesAt = entryAt + 16 * leafCount;
    QByteArray names;
    std::vector<quint32> nameOffsets;
    quint16 named = 0;
    for (const IconGroupResource &group : groups) {
        nameOffsets.push_back(namesAt + quint32(names.size()));
        if (group.name.isEmpty())
            continue;
        ++named;
        put<2>(names, group.name.size());
        for (const QChar c : group.name)
            put<2>(names, c.unicode());
    }
    names.append(QByteArray((8 - names.size() % 8) % 8, '\0'));
    const quint32 dataAt = namesAt + quint32(names.size());

    QByteArray section, blobs;
    const auto directory = [&](qsizetype namedCount, qsizetype idCount) { put<4>(section, 0, 0, 0); put<2>(section, namedCount, idCount); };
    directory(0, 2);
    put<4>(section, 3, kSubdirectory | iconTypeAt, 14, kSubdirectory | groupTypeAt);
    directory(0, icons.size());
    for (std::size_t i = 0; i < icons.size(); ++i)
        put<4>(section, icons[i].id, kSubdirectory | (langAt + langSize * quint32(i)));
    directory(named, qsizetype(groups.size()) - named);
    for (std::size_t i = 0; i < groups.size(); ++i)
        put<4>(section, groups[i].name.isEmpty() ? quint32(groups[i].id) : kSubdirectory | nameOffsets[i],
               kSubdirectory | (langAt + langSize * quint32(icons.size() + i)));
    for (quint32 leaf = 0; leaf < leafCount; ++leaf) {
        directory(0, 1);
        put<4>(section, 0x0409, entryAt + 16 * leaf);
    }
    const auto dataEntry = [&](const QByteArray &data) {
        put<4>(section, kSectionRva + dataAt + blobs.size(), data.size(), 0, 0);
        blobs.append(data + QByteArray((8 - data.size() % 8) % 8, '\0'));
    };
    for (const Leaf &icon : icons)
        dataEntry(icon.data);
    for (const QByteArray &record : groupData)
        dataEntry(record);
    section.append(names + blobs);
    if (groups.empty())
        section.clear();

    QByteArray out = "MZ" + QByteArray(0x3A, '\0');
    put<4>(out, 0x40);
    out.append("PE\0\0", 4);
    put<2>(out, 0x014C, 1);
    put<4>(out, 0, 0, 0);
    put<2>(out, 224, 0x0102);
    QByteArray optional;
    put<2>(optional, 0x010B);
    optional.append(QByteArray(90, '\0'));
    put<4>(optional, 16, 0, 0, 0, 0);   // 16 data directories; the resource one is the third
    put<4>(optional, groups.empty() ? 0 : kSectionRva, section.size());
    out.append(optional + QByteArray(224 - optional.size(), '\0') + QByteArray(".rsrc\0\0\0", 8));
    put<4>(out, section.size(), kSectionRva, section.size(), kSectionFile, 0, 0);
    put<2>(out, 0, 0);
    put<4>(out, 0x40000040u);
    return out + QByteArray(kSectionFile - out.size(), '\0') + section;
}

} // namespace vorn::test
