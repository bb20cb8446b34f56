#include "store/CoverMembers.h"

#include "store/DiscArchive.h"
#include "store/ZipDirectRead.h"
#include "store/ZipTail.h"

#include <QFile>
#include <QtEndian>

namespace vorn {

namespace {

constexpr qint64 LocalHeaderSize = 30;

bool hasExtension(const QByteArray &name, QLatin1StringView extension)
{
    return QLatin1StringView(name).endsWith(extension, Qt::CaseInsensitive);
}

// One member's bytes read through its local header only: two small reads instead of
// the whole archive.
std::optional<QByteArray> readDirect(QFile &file, const ZipEntry &entry)
{
    if (!directlyReadable(entry) || !file.seek(entry.localOffset))
        return std::nullopt;
    QByteArray region = file.read(LocalHeaderSize);
    if (region.size() != LocalHeaderSize)
        return std::nullopt;
    const uchar *header = reinterpret_cast<const uchar *>(region.constData());
    const qint64 rest = qint64(qFromLittleEndian<quint16>(header + 26)) + qFromLittleEndian<quint16>(header + 28)
        + entry.compressedSize;
    region += file.read(rest);
    if (region.size() != LocalHeaderSize + rest)
        return std::nullopt;
    ZipEntry local = entry;
    local.localOffset = 0;
    QByteArray data;
    if (!readZipMemberDirect(region, local, data))
        return std::nullopt;
    return data;
}

} // namespace

std::optional<CoverMembers> readCoverMembers(const QString &archivePath)
{
    QFile file(archivePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const std::optional<ZipTail> tail = readZipTail(file);
    if (!tail)
        return std::nullopt;
    CoverMembers cover;
    const ZipEntry *thumbnail = nullptr;
    for (const ZipEntry &entry : tail->entries) {
        if (cover.pictureSize < 0 && hasExtension(entry.name, QLatin1StringView(".img1")))
            cover.pictureSize = entry.size;
        else if (!thumbnail && hasExtension(entry.name, QLatin1StringView(".imi")))
            thumbnail = &entry;
    }
    if (!tail->namesKnown) {
        // Archives with the ZIP64 extensions are left to the ZIP library.
        file.close();
        const auto members = DiscArchive::readMembers(archivePath, QStringLiteral(".img1;.imi;"), qint64(1) << 30);
        for (const auto &[name, data] : members) {
            if (name.endsWith(QLatin1StringView(".img1"), Qt::CaseInsensitive) && cover.pictureSize < 0)
                cover.pictureSize = data.size();
            else if (name.endsWith(QLatin1StringView(".imi"), Qt::CaseInsensitive) && cover.thumbnailSize < 0) {
                cover.thumbnailSize = data.size();
                cover.thumbnail = data;
            }
        }
        return cover;
    }
    if (thumbnail) {
        cover.thumbnailSize = thumbnail->size;
        if (thumbnail->size > 0) {
            std::optional<QByteArray> data = readDirect(file, *thumbnail);
            if (!data) {
                file.close();
                data = DiscArchive::readMember(archivePath, QString::fromUtf8(thumbnail->name));
            }
            cover.thumbnail = data.value_or(QByteArray());
        }
    }
    return cover;
}

} // namespace vorn
