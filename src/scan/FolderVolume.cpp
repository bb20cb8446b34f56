#include "scan/FolderVolume.h"

#include "common/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <limits>

namespace vorn {

namespace {

constexpr quint32 kFnvOffset = 2166136261u;
constexpr quint32 kFnvPrime = 16777619u;

void fnv(quint32 &hash, QByteArrayView bytes)
{
    for (char c : bytes) {
        hash ^= quint8(c);
        hash *= kFnvPrime;
    }
}

// Ends a field, so "ab"+"c" and "a"+"bc" hash differently.
void fnvField(quint32 &hash, QByteArrayView bytes)
{
    fnv(hash, bytes);
    fnv(hash, QByteArrayView("\0", 1));
}

std::optional<qint32> signed32(QStringView text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    if (!ok || value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(value);
}

} // namespace

VolumeFileValues parseVolumeFile(QByteArrayView bytes)
{
    VolumeFileValues values;
    const QString text = decodeText(bytes);
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        const QStringView key = line.first(equals).trimmed();
        const QStringView value = line.sliced(equals + 1).trimmed();
        if (key.compare(u"label", Qt::CaseInsensitive) == 0) {
            if (!values.label)
                values.label = value.toString();
        } else if (key.compare(u"serial", Qt::CaseInsensitive) == 0) {
            if (!values.serial)
                values.serial = signed32(value);
        }
    }
    return values;
}

quint32 listingHash(const QString &label, const std::vector<VolumeEntry> &entries)
{
    struct Item
    {
        QByteArray name;
        const VolumeEntry *entry;
    };
    std::vector<Item> items;
    items.reserve(entries.size());
    for (const VolumeEntry &entry : entries)
        if (entry.hasFacts && !entry.name.startsWith(u'.'))
            items.push_back({QString(entry.name).replace(kStoredBackslash, u'\\').toUtf8(), &entry});
    std::sort(items.begin(), items.end(), [](const Item &a, const Item &b) { return a.name < b.name; });

    quint32 hash = kFnvOffset;
    fnvField(hash, label.toUtf8());
    for (const Item &item : items) {
        const VolumeEntry &entry = *item.entry;
        fnvField(hash, item.name);
        fnvField(hash, entry.isFolder ? "d" : entry.isSymlink ? "l" : "f");
        fnvField(hash, QByteArray::number(entry.isFolder ? 0 : entry.size));
        // Whole seconds: copies to another file system may lose the fraction.
        const qint64 seconds = entry.modifiedMs >= 0 ? entry.modifiedMs / 1000 : -((-entry.modifiedMs + 999) / 1000);
        fnvField(hash, QByteArray::number(seconds));
    }
    return hash;
}

std::optional<DiscVolume> readFolderVolume(const QString &folder)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir())
        return std::nullopt;

    VolumeFileValues values;
    QFile file(QDir(folder).filePath(QString::fromLatin1(kVolumeFileName)));
    if (file.open(QIODevice::ReadOnly))
        values = parseVolumeFile(file.read(64 * 1024));

    DiscVolume volume;
    volume.label = values.label ? *values.label : QDir(QDir::cleanPath(info.absoluteFilePath())).dirName();
    if (values.serial) {
        volume.serial = *values.serial;
    } else {
        const HostVolume root(folder);
        const FolderListing listing = root.listFolder(QString(), ListDetail::Facts);
        volume.serial = qint32(listingHash(volume.label, listing.entries));
    }
    return volume;
}

} // namespace vorn
