#include "store/ZipTail.h"

#include <QFile>
#include <QtEndian>

namespace vorn {

namespace {

constexpr qint64 EndRecordSize = 22;
constexpr qint64 MaxCommentSize = 0xFFFF;

quint16 read16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

quint32 read32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

std::nullopt_t failure(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return std::nullopt;
}

} // namespace

namespace {

struct EndRecord
{
    QByteArray comment;
    quint16 entries = 0;
    quint32 directorySize = 0;
    quint32 directoryOffset = 0;
    bool zip64 = false;
};

std::optional<EndRecord> readEndRecord(QFile &file, QString *error);

} // namespace

std::optional<QByteArray> readZipComment(QFile &file, QString *error)
{
    std::optional<EndRecord> end = readEndRecord(file, error);
    if (!end)
        return std::nullopt;
    return end->comment;
}

std::optional<QList<QByteArray>> readZipMemberNames(QFile &file)
{
    std::optional<EndRecord> end = readEndRecord(file, nullptr);
    if (!end || end->zip64 || !file.seek(end->directoryOffset))
        return std::nullopt;
    const QByteArray directory = file.read(end->directorySize);
    if (directory.size() != qsizetype(end->directorySize))
        return std::nullopt;
    QList<QByteArray> names;
    qsizetype at = 0;
    for (int i = 0; i < end->entries; ++i) {
        if (at + 46 > directory.size())
            return std::nullopt;
        const char *header = directory.constData() + at;
        if (header[0] != 'P' || header[1] != 'K' || header[2] != 1 || header[3] != 2)
            return std::nullopt;
        const qsizetype nameSize = read16(header + 28);
        const qsizetype extraSize = read16(header + 30);
        const qsizetype commentSize = read16(header + 32);
        if (at + 46 + nameSize > directory.size())
            return std::nullopt;
        names << QByteArray(header + 46, nameSize);
        at += 46 + nameSize + extraSize + commentSize;
    }
    return names;
}

namespace {

std::optional<EndRecord> readEndRecord(QFile &file, QString *error)
{
    const qint64 size = file.size();
    if (size < EndRecordSize)
        return failure(error, QStringLiteral("not a ZIP archive (too short)"));
    const qint64 tailSize = qMin(size, EndRecordSize + MaxCommentSize);
    if (!file.seek(size - tailSize))
        return failure(error, file.errorString());
    const QByteArray tail = file.read(tailSize);
    if (tail.size() != tailSize)
        return failure(error, file.errorString());

    // The end record is the last "PK\5\6" whose comment runs exactly to the end of file.
    for (qint64 at = tailSize - EndRecordSize; at >= 0; --at) {
        const char *record = tail.constData() + at;
        if (record[0] != 'P' || record[1] != 'K' || record[2] != 5 || record[3] != 6)
            continue;
        const quint16 commentSize = read16(record + 20);
        if (at + EndRecordSize + commentSize != tailSize)
            continue;
        const quint16 entries = read16(record + 10);
        const quint32 directorySize = read32(record + 12);
        const quint32 directoryOffset = read32(record + 16);
        const qint64 recordOffset = size - tailSize + at;
        const bool zip64 = directoryOffset == 0xFFFFFFFFu || directorySize == 0xFFFFFFFFu
            || entries == 0xFFFF;
        if (!zip64) {
            if (qint64(directoryOffset) + qint64(directorySize) > recordOffset)
                return failure(error, QStringLiteral("damaged ZIP archive (central directory out of range)"));
            if (entries > 0) {
                char signature[4];
                if (!file.seek(directoryOffset) || file.read(signature, 4) != 4
                    || signature[0] != 'P' || signature[1] != 'K' || signature[2] != 1
                    || signature[3] != 2)
                    return failure(error, QStringLiteral("damaged ZIP archive (central directory not found)"));
            }
        }
        return EndRecord{QByteArray(record + EndRecordSize, commentSize), entries,
                         directorySize, directoryOffset, zip64};
    }
    return failure(error, QStringLiteral("not a ZIP archive, or a truncated one"));
}

} // namespace

} // namespace vorn
