#include "capture/ZipMembers.h"

#include "capture/ArchiveChecksum.h"
#include "capture/ArchiveContent.h"
#include "capture/ArchiveInput.h"
#include "capture/ArchiveNames.h"
#include "capture/ArchiveOutput.h"
#include "common/RegularFile.h"
#include "common/TextCodec.h"
#include "common/UserPrompt.h"

#include <QFile>

#include <zip.h>

#include <atomic>
#include <cstdio>
#include <optional>

namespace vorn {

namespace {

std::atomic<bool> g_passwordRefused{false};

constexpr qint64 kEndRecordSize = 22;
constexpr qint64 kMaxCommentSize = 65535;
constexpr qint64 kCentralHeaderSize = 46;
constexpr quint16 kFlagEncrypted = 0x0001;
constexpr quint16 kFlagUtf8 = 0x0800;

// Where the central directory is, from the end records.
struct CentralDirectory
{
    qint64 start = 0;
    qint64 size = 0;
    quint64 entries = 0;
    bool entriesKnown = true; // false when the 16-bit count may have wrapped
    qint64 archiveStart = 0;
};

bool hasSignature(ArchiveInput &input, qint64 pos, const char *signature)
{
    return input.peek(pos, 4) == QByteArrayView(signature, 4);
}

// Checks an end record found at `endPos` and locates the directory it describes.
std::optional<CentralDirectory> directoryFromEnd(ArchiveInput &input, qint64 endPos)
{
    const QByteArray end = input.read(endPos, kEndRecordSize);
    if (end.size() < kEndRecordSize)
        return std::nullopt;
    quint64 entries = le16(end, 10);
    quint64 size = le32(end, 12);
    quint64 offset = le32(end, 16);
    qint64 directoryEnd = endPos; // the directory ends where the next record starts
    bool entriesKnown = true;

    const bool saturated = entries == 0xFFFF || size == 0xFFFFFFFFu || offset == 0xFFFFFFFFu;
    if (saturated && endPos >= 20 && hasSignature(input, endPos - 20, "PK\x06\x07")) {
        const QByteArray locator = input.read(endPos - 20, 20);
        // The ZIP64 end record sits just before its locator, unless extensible data
        // follows it; with a program in front, the recorded offset is too small.
        const qint64 recorded = qint64(le64(locator, 8));
        const qint64 expected = endPos - 20 - 56;
        qint64 recordPos = -1;
        if (expected >= 0 && hasSignature(input, expected, "PK\x06\x06"))
            recordPos = expected;
        else if (recorded >= 0 && hasSignature(input, recorded, "PK\x06\x06"))
            recordPos = recorded;
        if (recordPos >= 0) {
            const QByteArray record = input.read(recordPos, 56);
            entries = le64(record, 32);
            size = le64(record, 40);
            offset = le64(record, 48);
            directoryEnd = recordPos;
        }
    } else if (entries == 0xFFFF) {
        entriesKnown = false;
    }
    if (size > quint64(directoryEnd) || offset > quint64(directoryEnd))
        return std::nullopt;

    // A self-extracting program whose archive offsets were not moved past the program
    // in front: everything is shifted by the program's length.
    const qint64 shift = directoryEnd - qint64(offset) - qint64(size);
    if (shift < 0)
        return std::nullopt;
    CentralDirectory directory;
    directory.size = qint64(size);
    directory.entries = entries;
    directory.entriesKnown = entriesKnown || entries != 0xFFFF;
    for (const qint64 candidate : {shift, qint64(0)}) {
        const qint64 start = qint64(offset) + candidate;
        if (size == 0 || hasSignature(input, start, "PK\x01\x02")) {
            directory.start = start;
            directory.archiveStart = candidate;
            return directory;
        }
    }
    return std::nullopt;
}

// Looks for the end record in the last 64 KB (its comment's longest) and 22 bytes.
std::optional<CentralDirectory> findCentralDirectory(ArchiveInput &input)
{
    const qint64 fileSize = input.size();
    if (fileSize < kEndRecordSize)
        return std::nullopt;
    const qint64 tailLength = std::min(fileSize, kMaxCommentSize + kEndRecordSize);
    const qint64 tailStart = fileSize - tailLength;
    const QByteArray tail = input.read(tailStart, tailLength);
    for (qint64 i = tail.size() - kEndRecordSize; i >= 0; --i) {
        if (tail[i] != 'P' || tail[i + 1] != 'K' || tail[i + 2] != '\x05' || tail[i + 3] != '\x06')
            continue;
        const qint64 commentLength = le16(tail, i + 20);
        if (tailStart + i + kEndRecordSize + commentLength > fileSize)
            continue;
        if (auto directory = directoryFromEnd(input, tailStart + i))
            return directory;
    }
    return std::nullopt;
}

bool isDosHost(quint16 versionMadeBy)
{
    switch (versionMadeBy >> 8) {
    case 0: // MS-DOS and Windows FAT
    case 6: // OS/2 HPFS
    case 11: // NTFS
    case 14: // VFAT
        return true;
    default:
        return false;
    }
}

// One central directory header into a member; the record holds the whole header.
ArchiveMember memberFromHeader(QByteArrayView record)
{
    const quint16 versionMadeBy = le16(record, 4);
    const quint16 flags = le16(record, 8);
    const quint16 dosTime = le16(record, 12);
    const quint16 dosDate = le16(record, 14);
    const quint16 nameLength = le16(record, 28);
    const quint16 extraLength = le16(record, 30);
    const QByteArrayView rawName = record.sliced(kCentralHeaderSize, nameLength);
    const QByteArrayView extra = record.sliced(kCentralHeaderSize + nameLength, extraLength);

    ArchiveMember member;
    member.size = le32(record, 24);
    member.crc = le32(record, 16);
    member.encrypted = flags & kFlagEncrypted;
    member.date = dayNumberFromDos(dosDate, dosTime, false);

    QString name;
    for (qsizetype at = 0; at + 4 <= extra.size();) {
        const quint16 id = le16(extra, at);
        const quint16 length = le16(extra, at + 2);
        if (at + 4 + length > extra.size())
            break;
        const QByteArrayView data = extra.sliced(at + 4, length);
        if (id == 0x0001 && le32(record, 24) == 0xFFFFFFFFu && data.size() >= 8) {
            member.size = qint64(le64(data, 0) & 0x7FFFFFFFFFFFFFFFull);
        } else if (id == 0x7075 && data.size() > 5 && data[0] == 1 && le32(data, 1) == crc32(rawName)) {
            // The Unicode form of the name, kept beside a legacy one.
            const QByteArrayView utf8 = data.sliced(5);
            if (isValidUtf8(utf8))
                name = QString::fromUtf8(utf8);
        }
        at += 4 + length;
    }
    if (name.isEmpty()) {
        if (flags & kFlagUtf8)
            name = decodeArchiveName(rawName, LegacyNames::Windows1252);
        else
            name =
                decodeArchiveName(rawName, isDosHost(versionMadeBy) ? LegacyNames::Oem850 : LegacyNames::Windows1252);
    }
    setMemberPath(member, name);
    return member;
}

// zip_fread in pieces of a fixed buffer.
class MemberStream
{
public:
    explicit MemberStream(zip_file_t *file) : m_file(file) {}
    ~MemberStream() { zip_fclose(m_file); }
    MemberStream(const MemberStream &) = delete;
    MemberStream &operator=(const MemberStream &) = delete;

    QByteArrayView next(bool &failed)
    {
        const zip_int64_t got = zip_fread(m_file, m_buffer, sizeof m_buffer);
        if (got < 0) {
            failed = true;
            return {};
        }
        return QByteArrayView(m_buffer, qsizetype(got));
    }
    // The last `count` bytes of a member that can be sought (stored, not encrypted).
    std::optional<QByteArray> last(qint64 size, qint64 count)
    {
        if (zip_fseek(m_file, size - count, SEEK_SET) != 0)
            return std::nullopt;
        QByteArray bytes(count, Qt::Uninitialized);
        qint64 got = 0;
        while (got < count) {
            const zip_int64_t n = zip_fread(m_file, bytes.data() + got, zip_uint64_t(count - got));
            if (n <= 0)
                return std::nullopt;
            got += n;
        }
        return bytes;
    }

private:
    zip_file_t *m_file;
    char m_buffer[64 * 1024];
};

// Password bytes to try for an answer: UTF-8, and the single-byte form older
// archivers used when it differs.
QList<QByteArray> passwordForms(const QString &answer)
{
    QList<QByteArray> forms{answer.toUtf8()};
    const QByteArray latin = answer.toLatin1();
    if (latin != forms.first())
        forms << latin;
    return forms;
}

class ZipReader
{
public:
    ZipReader(zip_t *archive, UserPrompt *prompt) : m_archive(archive), m_prompt(prompt) {}

    // Opens a member; asks for a password when it is encrypted and wanted as text.
    zip_file_t *open(zip_uint64_t index, bool encrypted, bool mayAsk)
    {
        if (!encrypted)
            return zip_fopen_index(m_archive, index, 0);
        for (const QByteArray &known : std::as_const(m_passwords)) {
            if (zip_file_t *file = zip_fopen_index_encrypted(m_archive, index, 0, known.constData()))
                return file;
        }
        if (!mayAsk || !m_prompt)
            return nullptr;
        for (int attempt = 0; attempt < 3 && !g_passwordRefused; ++attempt) {
            const QString answer =
                m_prompt->inputText(QStringLiteral("Please Enter The Password!"), QStringLiteral("VORN"));
            if (answer.isEmpty()) {
                g_passwordRefused = true;
                return nullptr;
            }
            for (const QByteArray &password : passwordForms(answer)) {
                if (zip_file_t *file = zip_fopen_index_encrypted(m_archive, index, 0, password.constData())) {
                    m_passwords << password;
                    return file;
                }
                if (zip_error_code_zip(zip_get_error(m_archive)) != ZIP_ER_WRONGPASSWD)
                    return nullptr;
            }
        }
        return nullptr;
    }

private:
    zip_t *m_archive;
    UserPrompt *m_prompt;
    QList<QByteArray> m_passwords;
};

void readOne(zip_t *archive, ZipReader &reader, const PendingMember &pending, const ArchiveListing &listing,
             const MemberConsumer &consumer)
{
    const ArchiveMember &member = listing.members[std::size_t(pending.index)];
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, zip_uint64_t(pending.index), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)
        || qint64(stat.size) != member.size || ((stat.valid & ZIP_STAT_CRC) && stat.crc != member.crc)) {
        deliverUnread(pending, listing, consumer);
        return;
    }
    const bool wantsText = std::any_of(pending.requests.begin(), pending.requests.end(), [&](const MemberRequest &r) {
        return r.want == MemberRequest::Want::Text && member.size <= r.limit;
    });
    const bool wantsMp3 = std::any_of(pending.requests.begin(), pending.requests.end(),
                                      [](const MemberRequest &r) { return r.want == MemberRequest::Want::Mp3; });
    if (!wantsText && !wantsMp3) {
        deliverUnread(pending, listing, consumer);
        return;
    }
    zip_file_t *file = reader.open(zip_uint64_t(pending.index), member.encrypted, wantsText);
    if (!file) {
        deliverUnread(pending, listing, consumer);
        return;
    }
    MemberStream stream(file);

    // A single MP3 request on a stored member: its head, then its tail by seeking.
    const bool seekable = (stat.valid & ZIP_STAT_COMP_METHOD) && stat.comp_method == ZIP_CM_STORE && !member.encrypted;
    if (pending.requests.size() == 1 && wantsMp3 && seekable && member.size > 4 * 128) {
        ContentCollector collector(pending.requests.front(), member.size);
        bool failed = false;
        bool ended = false;
        qint64 read = 0;
        const auto readNext = [&] {
            const QByteArrayView piece = stream.next(failed);
            if (!failed && piece.isEmpty())
                ended = true;
            read += piece.size();
            collector.add(piece);
        };
        while (!failed && !ended && read < collector.headWanted())
            readNext();
        if (!failed && !ended && read + 128 <= member.size) {
            const std::optional<QByteArray> last = stream.last(member.size, 128);
            if (last)
                collector.setTail(*last, member.size);
            consumer(pending.requests.front(), collector.finish(bool(last), !last));
            return;
        }
        while (!failed && !ended && collector.wantsMore())
            readNext();
        consumer(pending.requests.front(), collector.finish(ended, failed));
        return;
    }
    collectMember(
        pending, listing, [&](bool &failed) { return stream.next(failed); }, consumer);
}

} // namespace

ArchiveListing listZipArchive(const QString &hostPath)
{
    ArchiveListing listing;
    ArchiveInput input;
    if (!input.open(hostPath)) {
        listing.error = QStringLiteral("cannot open the file");
        return listing;
    }
    const std::optional<CentralDirectory> directory = findCentralDirectory(input);
    if (!directory) {
        listing.error = QStringLiteral("not a ZIP archive");
        return listing;
    }
    listing.recognised = true;
    listing.archiveStart = directory->archiveStart;

    const qint64 end = directory->start + directory->size;
    qint64 pos = directory->start;
    while (pos < end && listing.members.size() < kMaxArchiveMembers) {
        const QByteArrayView header = input.peek(pos, kCentralHeaderSize);
        if (header.size() < kCentralHeaderSize || !header.startsWith("PK\x01\x02")) {
            listing.damaged = true;
            break;
        }
        const qint64 length = kCentralHeaderSize + le16(header, 28) + le16(header, 30) + le16(header, 32);
        if (pos + length > end) {
            listing.damaged = true;
            break;
        }
        const QByteArrayView record = input.peek(pos, length);
        if (record.size() < length) {
            listing.damaged = true;
            break;
        }
        listing.members.push_back(memberFromHeader(record));
        pos += length;
    }
    if (!listing.damaged && directory->entriesKnown && listing.members.size() < kMaxArchiveMembers
        && listing.members.size() < directory->entries)
        listing.damaged = true;
    if (listing.damaged)
        listing.error = QStringLiteral("damaged central directory");
    return listing;
}

void readZipMembers(const QString &hostPath, const ArchiveListing &listing, const std::vector<MemberRequest> &requests,
                    const MemberConsumer &consumer, UserPrompt *prompt)
{
    const std::vector<PendingMember> pending = groupRequests(requests, listing, consumer);
    if (pending.empty())
        return;
    zip_error_t error;
    zip_error_init(&error);
    zip_t *archive = nullptr;
    if (listing.recognised) {
        const int fd = openRegularFile(QFile::encodeName(hostPath));
        FILE *stream = fd >= 0 ? ::fdopen(fd, "rb") : nullptr;
        if (fd >= 0 && !stream)
            ::close(fd);
        // The source owns the stream from here on, and closes it when freed.
        if (zip_source_t *source =
                stream ? zip_source_filep_create(stream, zip_uint64_t(listing.archiveStart), -1, &error) : nullptr) {
            archive = zip_open_from_source(source, ZIP_RDONLY, &error);
            if (!archive)
                zip_source_free(source);
        } else if (stream) {
            std::fclose(stream);
        }
    }
    zip_error_fini(&error);
    if (!archive) {
        for (const PendingMember &member : pending)
            deliverUnread(member, listing, consumer);
        return;
    }
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    ZipReader reader(archive, prompt);
    for (const PendingMember &member : pending) {
        if (member.index >= count)
            deliverUnread(member, listing, consumer);
        else
            readOne(archive, reader, member, listing, consumer);
    }
    zip_discard(archive);
}

bool zipPasswordRefused()
{
    return g_passwordRefused;
}

void resetZipPasswordRefusal()
{
    g_passwordRefused = false;
}

bool ListZipMembers(const QString &archivePath, MemberList &members)
{
    ArchiveListing listing = listZipArchive(archivePath);
    members = std::move(listing.members);
    return listing.recognised;
}

bool ExtractZipMember(const QString &archivePath, const QString &memberName, const QString &memberFolder,
                      const QString &targetFolder, qint64 limit, UserPrompt *prompt)
{
    const ArchiveListing listing = listZipArchive(archivePath);
    QString folder = memberFolder;
    folder.replace(u'/', u'\\');
    while (folder.endsWith(u'\\'))
        folder.chop(1);
    int found = -1;
    for (int pass = 0; pass < 2 && found < 0; ++pass) {
        for (std::size_t i = 0; i < listing.members.size(); ++i) {
            const ArchiveMember &member = listing.members[i];
            if (member.folder || member.name.compare(memberName, Qt::CaseInsensitive) != 0)
                continue;
            if (pass == 1 && folder.isEmpty())
                break;
            if (pass == 1 || member.path.compare(folder, Qt::CaseInsensitive) == 0) {
                found = int(i);
                break;
            }
        }
    }
    if (found < 0)
        return false;
    const ArchiveMember &member = listing.members[std::size_t(found)];
    const std::optional<QStringList> parts = confinedPathParts(member.name);
    if (!parts || parts->size() != 1)
        return false;
    const std::optional<QByteArray> bytes =
        readWholeMember(ArchiveKind::Zip, archivePath, listing, found, limit, prompt);
    if (!bytes)
        return false;
    return !writeConfined(targetFolder, *parts, *bytes).isEmpty();
}

} // namespace vorn
