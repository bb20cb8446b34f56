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

// Member names of a central directory held in `directory`; false when it is damaged.
bool parseDirectory(const char *directory, qint64 size, int entries, QList<QByteArray> &names)
{
    qint64 at = 0;
    names.reserve(entries);
    for (int i = 0; i < entries; ++i) {
        if (at + DirectoryHeaderSize > size || !hasSignature(directory + at, 1, 2))
            return false;
        const char *header = directory + at;
        const qint64 nameSize = read16(header + 28);
        const qint64 extraSize = read16(header + 30);
        const qint64 commentSize = read16(header + 32);
        if (at + DirectoryHeaderSize + nameSize > size)
            return false;
        names << QByteArray(header + DirectoryHeaderSize, nameSize);
        at += DirectoryHeaderSize + nameSize + extraSize + commentSize;
    }
    return true;
}

} // namespace

std::optional<ZipTail> readZipTail(QFile &file, QString *error)
{
    const qint64 size = file.size();
    if (size < EndRecordSize)
        return failure(error, QStringLiteral("not a ZIP archive (too short)"));
    const qint64 tailSize = qMin(size, EndRecordSize + MaxCommentSize);
    const qint64 tailStart = size - tailSize;
    if (!file.seek(tailStart))
        return failure(error, file.errorString());
    const QByteArray tail = file.read(tailSize);
    if (tail.size() != tailSize)
        return failure(error, file.errorString());

    // The end record is the last "PK\5\6" whose comment runs exactly to the end of file.
    for (qint64 at = tailSize - EndRecordSize; at >= 0; --at) {
        const char *record = tail.constData() + at;
        if (!hasSignature(record, 5, 6))
            continue;
        const quint16 commentSize = read16(record + 20);
        if (at + EndRecordSize + commentSize != tailSize)
            continue;

        ZipTail result;
        result.comment = QByteArray(record + EndRecordSize, commentSize);
        const quint16 entries = read16(record + 10);
        const quint32 directorySize = read32(record + 12);
        const quint32 directoryOffset = read32(record + 16);
        if (directoryOffset == 0xFFFFFFFFu || directorySize == 0xFFFFFFFFu || entries == 0xFFFF)
            return result;   // ZIP64: the comment is all this reader needs to know

        const qint64 recordOffset = tailStart + at;
        if (qint64(directoryOffset) + qint64(directorySize) > recordOffset)
            return failure(error, QStringLiteral("damaged ZIP archive (central directory out of range)"));
        bool parsed = false;
        if (directoryOffset >= tailStart) {
            parsed = parseDirectory(tail.constData() + (directoryOffset - tailStart), directorySize,
                                    entries, result.memberNames);
        } else if (file.seek(directoryOffset)) {
            const QByteArray directory = file.read(directorySize);
            parsed = directory.size() == qsizetype(directorySize)
                && parseDirectory(directory.constData(), directorySize, entries, result.memberNames);
        }
        if (!parsed)
            return failure(error, QStringLiteral("damaged ZIP archive (central directory unreadable)"));
        result.namesKnown = true;
        return result;
    }
    return failure(error, QStringLiteral("not a ZIP archive, or a truncated one"));
}

std::optional<QByteArray> readZipComment(QFile &file, QString *error)
{
    std::optional<ZipTail> tail = readZipTail(file, error);
    if (!tail)
        return std::nullopt;
    return std::move(tail->comment);
}

} // namespace vorn
