#include "capture/CabFile.h"

#include "capture/ArchiveInput.h"
#include "capture/ArchiveNames.h"
#include "capture/ArchiveOutput.h"

#include <QFileInfo>

namespace vorn {

namespace {

constexpr qint64 kHeaderSize = 36;
constexpr quint16 kPrevCabinet = 0x0001;
constexpr quint16 kNextCabinet = 0x0002;
constexpr quint16 kReservePresent = 0x0004;
constexpr qint64 kMaxName = 256;

constexpr qint64 kErrorFileNotFound = 2;
constexpr qint64 kErrorInvalidData = 13;
constexpr qint64 kErrorCannotCreate = 82;

// Steps over a NUL-terminated string of at most 255 characters; false when there is none.
bool skipString(ArchiveInput &input, qint64 &pos)
{
    const QByteArrayView bytes = input.peek(pos, kMaxName);
    const qsizetype end = bytes.indexOf('\0');
    if (end < 0)
        return false;
    pos += end + 1;
    return true;
}

// libarchive reads out of bounds on a stored data block whose unpacked size is not its
// packed size, and on a block of more than 32 KB unpacked (the format's limit): a
// cabinet with one is listed but its members are not read. Sound blocks never overlap,
// so more blocks than the file could hold mean a damaged cabinet too.
bool dataBlocksSound(ArchiveInput &input, qint64 foldersAt, int folderCount, int folderReserve, int dataReserve)
{
    qint64 budget = input.size() / 8 + 1;
    for (int f = 0; f < folderCount; ++f) {
        const QByteArrayView folder = input.peek(foldersAt + qint64(f) * (8 + folderReserve), 8);
        if (folder.size() < 8)
            break;
        qint64 at = le32(folder, 0);
        const int blocks = le16(folder, 4);
        const bool stored = (le16(folder, 6) & 0x0F) == 0;
        for (int b = 0; b < blocks; ++b) {
            const QByteArrayView block = input.peek(at, 8);
            if (block.size() < 8)
                break; // cut short: the library stops there by itself
            if (--budget < 0)
                return false;
            const quint16 packed = le16(block, 4);
            const quint16 unpacked = le16(block, 6);
            if (unpacked > 32768 || (stored && unpacked != packed))
                return false;
            at += 8 + dataReserve + packed;
        }
    }
    return true;
}

} // namespace

ArchiveListing listCabArchive(const QString &hostPath)
{
    ArchiveListing listing;
    ArchiveInput input;
    if (!input.open(hostPath)) {
        listing.error = QStringLiteral("cannot open the file");
        return listing;
    }
    const QByteArray header = input.read(0, kHeaderSize);
    if (header.size() < kHeaderSize || !header.startsWith("MSCF")) {
        listing.error = QStringLiteral("not a cabinet");
        return listing;
    }
    listing.recognised = true;
    const quint32 filesOffset = le32(header, 16);
    const quint16 fileCount = le16(header, 28);
    const quint16 flags = le16(header, 30);

    // The optional parts of the header are read only to tell a damaged one.
    qint64 pos = kHeaderSize;
    int folderReserve = 0;
    int dataReserve = 0;
    if (flags & kReservePresent) {
        const QByteArrayView reserve = input.peek(pos, 4);
        folderReserve = reserve.size() == 4 ? quint8(reserve[2]) : 0;
        dataReserve = reserve.size() == 4 ? quint8(reserve[3]) : 0;
        pos += 4 + le16(reserve, 0);
    }
    bool headerOk = pos <= input.size();
    if (headerOk && (flags & kPrevCabinet))
        headerOk = skipString(input, pos) && skipString(input, pos);
    if (headerOk && (flags & kNextCabinet))
        headerOk = skipString(input, pos) && skipString(input, pos);
    if (!headerOk || qint64(filesOffset) < pos) {
        listing.damaged = true;
        listing.error = QStringLiteral("damaged cabinet header");
        return listing;
    }

    listing.dataRefused = !dataBlocksSound(input, pos, le16(header, 26), folderReserve, dataReserve);
    pos = filesOffset;
    for (int i = 0; i < fileCount; ++i) {
        const QByteArrayView entry = input.peek(pos, 16 + kMaxName);
        const qsizetype nameEnd = entry.size() > 16 ? entry.sliced(16).indexOf('\0') : -1;
        if (nameEnd <= 0) {
            listing.damaged = true;
            listing.error = QStringLiteral("damaged file entry");
            break;
        }
        // Names are UTF-8 when the attributes say so, else in the ANSI code page;
        // either way valid UTF-8 is read as such.
        const QByteArrayView rawName = entry.sliced(16, nameEnd);
        ArchiveMember member;
        member.size = le32(entry, 0);
        member.date = dayNumberFromDos(le16(entry, 10), le16(entry, 12), true);
        setMemberPath(member, decodeArchiveName(rawName, LegacyNames::Windows1252));
        listing.members.push_back(std::move(member));
        pos += 16 + nameEnd + 1;
    }
    return listing;
}

QString cabErrorText(qint64 code)
{
    switch (code) {
    case 2:
        return QStringLiteral("The system cannot find the file specified.");
    case 3:
        return QStringLiteral("The system cannot find the path specified.");
    case 4:
        return QStringLiteral("The system cannot open the file.");
    case 5:
        return QStringLiteral("Access is denied.");
    case 8:
        return QStringLiteral("Not enough storage is available to process this command.");
    case 13:
        return QStringLiteral("Invalid data.");
    case 14:
        return QStringLiteral("Not enough storage is available to complete this operation.");
    case 15:
        return QStringLiteral("The system cannot find the drive specified.");
    case 19:
        return QStringLiteral("The media is write protected.");
    case 20:
        return QStringLiteral("The system cannot find the device specified.");
    case 21:
        return QStringLiteral("The device is not ready.");
    case 23:
        return QStringLiteral("Data error (cyclic redundancy check).");
    case 25:
        return QStringLiteral("The drive cannot locate a specific area or track on the disk.");
    case 26:
        return QStringLiteral("The specified disk or diskette cannot be accessed.");
    case 27:
        return QStringLiteral("The drive cannot find the sector requested.");
    case 29:
        return QStringLiteral("The system cannot write to the specified device.");
    case 30:
        return QStringLiteral("The system cannot read from the specified device.");
    case 31:
        return QStringLiteral("A device attached to the system is not functioning.");
    case 32:
        return QStringLiteral("The process cannot access the file because it is being used by another process.");
    case 33:
        return QStringLiteral(
            "The process cannot access the file because another process has locked a portion of the file.");
    case 39:
        return QStringLiteral("The disk is full.");
    case 82:
        return QStringLiteral("The directory or file cannot be created.");
    case 111:
        return QStringLiteral("The file name is too long.");
    case 112:
        return QStringLiteral("There is not enough space on the disk.");
    case 123:
        return QStringLiteral("The filename, directory name, or volume label syntax is incorrect.");
    case kCabNameErrorNumber:
        return QStringLiteral("You must set the CabName property before taking any action on the CabFile object.");
    default:
        return QStringLiteral("Unknown error.");
    }
}

void CABFile::fail(qint64 number)
{
    m_error = CabError{number, QStringLiteral("CabFile"), cabErrorText(number)};
}

std::optional<ArchiveListing> CABFile::listing()
{
    m_error.reset();
    if (m_cabName.isEmpty()) {
        fail(kCabNameErrorNumber);
        return std::nullopt;
    }
    if (!QFileInfo::exists(m_cabName)) {
        fail(kErrorFileNotFound);
        return std::nullopt;
    }
    ArchiveListing result = listCabArchive(m_cabName);
    if (!result.recognised) {
        fail(kErrorInvalidData);
        return std::nullopt;
    }
    return result;
}

int CABFile::FileCount()
{
    const std::optional<ArchiveListing> members = listing();
    if (!members)
        return 0;
    if (members->damaged)
        fail(kErrorInvalidData);
    return int(members->members.size());
}

bool CABFile::GetInfo()
{
    const std::optional<ArchiveListing> members = listing();
    if (!members)
        return false;
    for (const ArchiveMember &member : members->members) {
        if (FileFound)
            FileFound(member.name, member.date, member.size, member.path.isEmpty() ? QString() : member.path + u'\\');
    }
    if (members->damaged) {
        fail(kErrorInvalidData);
        return false;
    }
    return true;
}

bool CABFile::Extract(const QString &memberName, const QString &destinationFolder, qint64 limit)
{
    const std::optional<ArchiveListing> members = listing();
    if (!members)
        return false;
    QString wanted = memberName;
    wanted.replace(u'/', u'\\');
    for (std::size_t i = 0; i < members->members.size(); ++i) {
        const ArchiveMember &member = members->members[i];
        if (memberStoredPath(member).compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        bool cancel = false;
        if (BeforeExtract)
            BeforeExtract(member.name, cancel);
        if (cancel)
            return false;
        const std::optional<QStringList> parts = confinedPathParts(member.name);
        if (!parts || parts->size() != 1)
            return false;
        const std::optional<QByteArray> bytes =
            readWholeMember(ArchiveKind::Cab, m_cabName, *members, int(i), limit, nullptr);
        if (!bytes)
            return false;
        const QString written = writeConfined(destinationFolder, *parts, *bytes);
        if (written.isEmpty()) {
            fail(kErrorCannotCreate);
            return false;
        }
        if (FileExtracted)
            FileExtracted(written);
        return true;
    }
    return false;
}

} // namespace vorn
