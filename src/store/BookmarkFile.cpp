#include "store/BookmarkFile.h"

#include "common/DurableFile.h"
#include "common/LineFields.h"
#include "store/Catalogue.h"
#include "store/DiscArchive.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <limits>

namespace vorn::BookmarkFile {

namespace {

const QString kExtension = QStringLiteral(".sig");

qint32 toInt32(qint64 value)
{
    return qint32(std::clamp<qint64>(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

} // namespace

std::vector<BookmarkRecord> parse(QByteArrayView data)
{
    std::vector<BookmarkRecord> bookmarks(1);
    forEachLine(data, [&](QByteArrayView line) {
        if (line.trimmed().isEmpty())
            return true;
        const LineFields fields(line);
        BookmarkRecord record;
        record.kind = quint8(std::clamp<qint64>(fields.integer(0), 0, 255));
        record.name = fields.text(1);
        record.path = fields.text(2);
        record.number = toInt32(fields.integer(3));
        record.description = fields.text(4);
        record.folder = toInt32(fields.integer(5));
        bookmarks.push_back(std::move(record));
        return true;
    });
    return bookmarks;
}

QByteArray serialize(const std::vector<BookmarkRecord> &bookmarks)
{
    QByteArray out;
    LineWriter writer(out);
    for (size_t i = 1; i < bookmarks.size(); ++i) {
        const BookmarkRecord &record = bookmarks[i];
        if (record.name.isEmpty())
            continue;
        writer.integer(record.kind)
            .text(record.name)
            .text(record.path)
            .integer(record.number)
            .text(record.description)
            .integer(record.folder)
            .endLine();
    }
    return out;
}

std::vector<BookmarkRecord> read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::vector<BookmarkRecord>(1);
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::vector<BookmarkRecord>(1);
    return parse(data);
}

std::vector<BookmarkRecord> read(const Catalogue &catalogue, const QString &identifier)
{
    const QString path = catalogue.workingCopy(identifier, kExtension);
    if (!QFileInfo(path).isFile())
        DiscArchive::unpack(catalogue, identifier, QStringLiteral(".sig;"));
    return read(path);
}

bool write(const QString &path, const std::vector<BookmarkRecord> &bookmarks)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray data = serialize(bookmarks);
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return commitDurably(file);
}

bool write(const Catalogue &catalogue, const QString &identifier, const std::vector<BookmarkRecord> &bookmarks)
{
    return write(catalogue.workingCopy(identifier, kExtension), bookmarks);
}

} // namespace vorn::BookmarkFile
