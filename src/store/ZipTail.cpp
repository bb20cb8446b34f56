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

std::optional<QByteArray> failure(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return std::nullopt;
}

} // namespace

std::optional<QByteArray> readZipComment(QFile &file, QString *error)
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
        return QByteArray(record + EndRecordSize, commentSize);
    }
    return failure(error, QStringLiteral("not a ZIP archive, or a truncated one"));
}

} // namespace vorn
