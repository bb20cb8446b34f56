#include "store/ZipTail.h"

#include <QFile>
#include <QtEndian>

namespace vorn {

namespace {

constexpr qint64 EndRecordSize = 22;
constexpr qint64 MaxCommentSize = 0xFFFF;
constexpr qint64 DirectoryHeaderSize = 46;

quint16 read16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

quint32 read32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

bool hasSignature(const char *p, char a, char b)
{
    return p[0] == 'P' && p[1] == 'K' && p[2] == a && p[3] == b;
}

std::nullopt_t failure(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return std::nullopt;
}

// The members of a central directory held in `directory`; false when it is damaged.
bool parseDirectory(const char *directory, qint64 size, int count, std::vector<ZipEntry> &entries)
{
    qint64 at = 0;
    entries.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        if (at + DirectoryHeaderSize > size || !hasSignature(directory + at, 1, 2))
            return false;
        const char *header = directory + at;
        const qint64 nameSize = read16(header + 28);
        const qint64 extraSize = read16(header + 30);
        const qint64 commentSize = read16(header + 32);
        if (at + DirectoryHeaderSize + nameSize > size)
            return false;
        ZipEntry entry;
        entry.name = QByteArray(header + DirectoryHeaderSize, nameSize);
        entry.flags = read16(header + 8);
        entry.method = read16(header + 10);
        entry.crc = read32(header + 16);
        entry.compressedSize = read32(header + 20);
        entry.size = read32(header + 24);
        entry.localOffset = read32(header + 42);
        entries.push_back(std::move(entry));
        at += DirectoryHeaderSize + nameSize + extraSize + commentSize;
    }
    return true;
}

// Where the central directory of a tail stands, or how the tail fails.
struct EndRecord
{
    ZipTail tail;
    bool directoryNeeded = false; // false for ZIP64: the comment is all there is
    quint16 entries = 0;
    quint32 directorySize = 0;
};

// Finds the end record in the last bytes of a file of `fileSize` bytes, `tail`
// starting at `tailStart`.
std::optional<EndRecord> findEndRecord(QByteArrayView tail, qint64 tailStart, QString *error)
{
    const qint64 tailSize = tail.size();
    // The end record is the last "PK\5\6" whose comment runs exactly to the end of file.
    for (qint64 at = tailSize - EndRecordSize; at >= 0; --at) {
        const char *record = tail.data() + at;
        if (!hasSignature(record, 5, 6))
            continue;
        const quint16 commentSize = read16(record + 20);
        if (at + EndRecordSize + commentSize != tailSize)
            continue;

        EndRecord end;
        end.tail.comment = QByteArray(record + EndRecordSize, commentSize);
        end.entries = read16(record + 10);
        end.directorySize = read32(record + 12);
        const quint32 directoryOffset = read32(record + 16);
        if (directoryOffset == 0xFFFFFFFFu || end.directorySize == 0xFFFFFFFFu || end.entries == 0xFFFF)
            return end;
        if (qint64(directoryOffset) + qint64(end.directorySize) > tailStart + at)
            return failure(error, QStringLiteral("damaged ZIP archive (central directory out of range)"));
        end.directoryNeeded = true;
        end.tail.directoryOffset = directoryOffset;
        return end;
    }
    return failure(error, QStringLiteral("not a ZIP archive, or a truncated one"));
}

std::nullopt_t directoryFailure(QString *error)
{
    return failure(error, QStringLiteral("damaged ZIP archive (central directory unreadable)"));
}

} // namespace

std::optional<ZipTail> readZipTail(QFile &file, QString *error)
{
    const qint64 size = file.size();
    if (size < EndRecordSize)
        return failure(error, QStringLiteral("not a ZIP archive (too short)"));
    // The end record and a short comment usually lie in the last few kilobytes: those
    // are read first, and the longest tail a comment allows only when they do not hold
    // it. Both readings look at the same places from the end, so they find the same record.
    constexpr qint64 ShortTail = 8192;
    QByteArray tail;
    qint64 tailStart = 0;
    std::optional<EndRecord> end;
    for (const qint64 wanted : {ShortTail, EndRecordSize + MaxCommentSize}) {
        const qint64 tailSize = qMin(size, wanted);
        if (tailSize == tail.size())
            break;
        tailStart = size - tailSize;
        if (!file.seek(tailStart))
            return failure(error, file.errorString());
        tail = file.read(tailSize);
        if (tail.size() != tailSize)
            return failure(error, file.errorString());
        end = findEndRecord(tail, tailStart, error);
        if (end)
            break;
    }
    if (!end || !end->directoryNeeded)
        return end ? std::optional<ZipTail>(std::move(end->tail)) : std::nullopt;
    ZipTail &result = end->tail;
    const qint64 offset = result.directoryOffset;
    bool parsed = false;
    if (offset >= tailStart) {
        parsed =
            parseDirectory(tail.constData() + (offset - tailStart), end->directorySize, end->entries, result.entries);
    } else if (file.seek(offset)) {
        const QByteArray directory = file.read(end->directorySize);
        parsed = directory.size() == qsizetype(end->directorySize)
            && parseDirectory(directory.constData(), end->directorySize, end->entries, result.entries);
    }
    if (!parsed)
        return directoryFailure(error);
    result.namesKnown = true;
    return std::move(result);
}

std::optional<ZipTail> parseZipTail(QByteArrayView wholeFile, QString *error)
{
    const qint64 size = wholeFile.size();
    if (size < EndRecordSize)
        return failure(error, QStringLiteral("not a ZIP archive (too short)"));
    const qint64 tailSize = qMin(size, EndRecordSize + MaxCommentSize);
    std::optional<EndRecord> end = findEndRecord(wholeFile.last(tailSize), size - tailSize, error);
    if (!end || !end->directoryNeeded)
        return end ? std::optional<ZipTail>(std::move(end->tail)) : std::nullopt;
    ZipTail &result = end->tail;
    if (!parseDirectory(wholeFile.data() + result.directoryOffset, end->directorySize, end->entries, result.entries))
        return directoryFailure(error);
    result.namesKnown = true;
    return std::move(result);
}

std::optional<QByteArray> readZipComment(QFile &file, QString *error)
{
    std::optional<ZipTail> tail = readZipTail(file, error);
    if (!tail)
        return std::nullopt;
    return std::move(tail->comment);
}

} // namespace vorn
