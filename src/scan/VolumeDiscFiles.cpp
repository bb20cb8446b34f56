#include "scan/VolumeDiscFiles.h"

#include "scan/Volume.h"

namespace vorn {

namespace {

const VolumeEntry *entryNamed(const std::vector<VolumeEntry> &entries, const QString &name)
{
    const VolumeEntry *folded = nullptr;
    for (const VolumeEntry &entry : entries) {
        if (entry.name == name)
            return &entry;
        if (!folded && entry.name.compare(name, Qt::CaseInsensitive) == 0)
            folded = &entry;
    }
    return folded;
}

} // namespace

std::unique_ptr<QIODevice> VolumeDiscFiles::open(const QString &relativePath) const
{
    const std::optional<QStringList> parts = discPathParts(relativePath);
    if (!parts)
        return nullptr;
    QString path;
    for (qsizetype i = 0; i < parts->size(); ++i) {
        const FolderListing listing = m_volume.listFolder(path, ListDetail::Kinds);
        const VolumeEntry *entry = entryNamed(listing.entries, parts->at(i));
        const bool last = i + 1 == parts->size();
        if (!entry || entry->isSymlink || entry->isFolder == last)
            return nullptr;
        path = path.isEmpty() ? entry->name : path + m_volume.separator() + entry->name;
    }
    return m_volume.openFile(path);
}

} // namespace vorn
