#include "capture/PeIcons.h"

#include "capture/ArchiveInput.h"

#include <QFile>

#include <vector>

namespace vorn {

namespace {

constexpr quint32 kIconType = 3;
constexpr quint32 kGroupIconType = 14;
constexpr quint32 kHighBit = 0x80000000u;
constexpr int kMaxSections = 96;
constexpr int kMaxDirectoryEntries = 4096;
constexpr int kMaxGroupImages = 256;
constexpr qint64 kMaxGroupSize = 6 + 14 * kMaxGroupImages;

struct Section
{
    quint32 virtualAddress = 0;
    quint32 rawSize = 0;
    quint32 rawOffset = 0;
};

struct DirectoryEntry
{
    bool named = false;
    quint32 id = 0;
    quint32 target = 0; // offset inside the resources
    bool subdirectory = false;
};

class PeResources
{
public:
    bool open(const QString &path) { return m_input.open(path) && readHeaders(); }
    bool open(std::unique_ptr<QIODevice> device) { return m_input.open(std::move(device)) && readHeaders(); }

private:
    bool readHeaders()
    {
        const QByteArray dos = m_input.read(0, 64);
        if (dos.size() < 64 || !dos.startsWith("MZ"))
            return false;
        const qint64 pe = le32(dos, 0x3C);
        const QByteArray headers = m_input.read(pe, 24 + 240);
        if (headers.size() < 24 || !headers.startsWith(QByteArrayView("PE\0\0", 4)))
            return false;
        const int sectionCount = le16(headers, 6);
        const qint64 optionalSize = le16(headers, 20);
        const quint16 magic = le16(headers, 24);
        qint64 directories = 0;
        qint64 countAt = 0;
        if (magic == 0x10B) {
            countAt = 24 + 92;
            directories = 24 + 96;
        } else if (magic == 0x20B) {
            countAt = 24 + 108;
            directories = 24 + 112;
        } else {
            return false;
        }
        if (le32(headers, countAt) < 3 || directories + 24 > 24 + optionalSize)
            return false;
        const quint32 resourceRva = le32(headers, directories + 16);
        if (resourceRva == 0 || sectionCount <= 0 || sectionCount > kMaxSections)
            return false;

        const QByteArray table = m_input.read(pe + 24 + optionalSize, 40 * qint64(sectionCount));
        for (int i = 0; i + 1 <= sectionCount && (i + 1) * 40 <= table.size(); ++i) {
            Section section;
            section.virtualAddress = le32(table, i * 40 + 12);
            section.rawSize = le32(table, i * 40 + 16);
            section.rawOffset = le32(table, i * 40 + 20);
            m_sections.push_back(section);
        }
        const std::optional<qint64> root = fileOffset(resourceRva, 16);
        if (!root)
            return false;
        m_root = *root;
        return true;
    }

public:
    // The file offset of `length` bytes at a relative virtual address, when they lie
    // inside one section's data in the file.
    std::optional<qint64> fileOffset(quint32 rva, quint32 length) const
    {
        for (const Section &section : m_sections) {
            if (rva < section.virtualAddress)
                continue;
            const quint64 into = quint64(rva) - section.virtualAddress;
            if (into + length > section.rawSize)
                continue;
            const quint64 offset = quint64(section.rawOffset) + into;
            if (offset + length > quint64(m_input.size()))
                return std::nullopt;
            return qint64(offset);
        }
        return std::nullopt;
    }

    std::vector<DirectoryEntry> directory(quint32 offset)
    {
        std::vector<DirectoryEntry> entries;
        const QByteArray header = m_input.read(m_root + offset, 16);
        if (header.size() < 16)
            return entries;
        const int count = std::min(le16(header, 12) + le16(header, 14), kMaxDirectoryEntries);
        const QByteArray table = m_input.read(m_root + offset + 16, 8 * qint64(count));
        for (int i = 0; (i + 1) * 8 <= table.size(); ++i) {
            const quint32 name = le32(table, i * 8);
            const quint32 target = le32(table, i * 8 + 4);
            entries.push_back(
                DirectoryEntry{bool(name & kHighBit), name & 0xFFFF, target & ~kHighBit, bool(target & kHighBit)});
        }
        return entries;
    }

    // The data of a resource: the first language of a name entry.
    std::optional<QByteArray> data(const DirectoryEntry &nameEntry, qint64 maxSize)
    {
        if (!nameEntry.subdirectory)
            return std::nullopt;
        const std::vector<DirectoryEntry> languages = directory(nameEntry.target);
        if (languages.empty() || languages.front().subdirectory)
            return std::nullopt;
        const QByteArray leaf = m_input.read(m_root + languages.front().target, 16);
        if (leaf.size() < 16)
            return std::nullopt;
        const quint32 size = le32(leaf, 4);
        if (size == 0 || qint64(size) > maxSize)
            return std::nullopt;
        const std::optional<qint64> offset = fileOffset(le32(leaf, 0), size);
        if (!offset)
            return std::nullopt;
        QByteArray bytes = readLarge(*offset, size);
        if (bytes.size() != qsizetype(size))
            return std::nullopt;
        return bytes;
    }

    // The name entries of a resource type.
    std::vector<DirectoryEntry> ofType(quint32 type)
    {
        for (const DirectoryEntry &entry : directory(0)) {
            if (!entry.named && entry.id == type && entry.subdirectory)
                return directory(entry.target);
        }
        return {};
    }

private:
    QByteArray readLarge(qint64 offset, qint64 size)
    {
        QByteArray bytes;
        while (bytes.size() < size) {
            const QByteArray piece =
                m_input.read(offset + bytes.size(), std::min(size - bytes.size(), ArchiveInput::kMaxPeek));
            if (piece.isEmpty())
                break;
            bytes.append(piece);
        }
        return bytes;
    }

    ArchiveInput m_input;
    std::vector<Section> m_sections;
    qint64 m_root = 0;
};

void put16(QByteArray &out, quint32 value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

void put32(QByteArray &out, quint32 value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

std::optional<QByteArray> iconGroup(PeResources &resources, int index)
{
    const std::vector<DirectoryEntry> groups = resources.ofType(kGroupIconType);
    const DirectoryEntry *chosen = nullptr;
    if (index >= 0) {
        if (std::size_t(index) < groups.size())
            chosen = &groups[std::size_t(index)];
    } else {
        const qint64 id = -qint64(index);
        for (const DirectoryEntry &group : groups) {
            if (!group.named && group.id == id) {
                chosen = &group;
                break;
            }
        }
    }
    if (!chosen)
        return std::nullopt;
    const std::optional<QByteArray> group = resources.data(*chosen, kMaxGroupSize);
    if (!group || group->size() < 6 || le16(*group, 0) != 0 || le16(*group, 2) != 1)
        return std::nullopt;
    const int count = std::min<int>(le16(*group, 4), int((group->size() - 6) / 14));

    const std::vector<DirectoryEntry> icons = resources.ofType(kIconType);
    struct Image
    {
        QByteArrayView fields;
        QByteArray bytes;
    };
    std::vector<Image> images;
    qint64 total = 6;
    for (int i = 0; i < count; ++i) {
        const QByteArrayView fields = QByteArrayView(*group).sliced(6 + 14 * i, 14);
        const quint32 id = le16(fields, 12);
        for (const DirectoryEntry &icon : icons) {
            if (icon.named || icon.id != id)
                continue;
            const std::optional<QByteArray> bytes = resources.data(icon, kMaxIconFileSize - total - 16);
            if (bytes) {
                total += 16 + bytes->size();
                images.push_back(Image{fields, *bytes});
            }
            break;
        }
    }
    if (images.empty())
        return std::nullopt;

    QByteArray ico;
    put16(ico, 0);
    put16(ico, 1);
    put16(ico, quint32(images.size()));
    quint32 offset = quint32(6 + 16 * images.size());
    for (const Image &image : images) {
        ico.append(image.fields.first(8).data(), 8); // size, colours, planes, bits per pixel
        put32(ico, quint32(image.bytes.size()));
        put32(ico, offset);
        offset += quint32(image.bytes.size());
    }
    for (const Image &image : images)
        ico.append(image.bytes);
    return ico;
}

} // namespace

int countPeIconGroups(const QString &path)
{
    PeResources resources;
    if (!resources.open(path))
        return 0;
    return int(resources.ofType(kGroupIconType).size());
}

std::optional<QByteArray> readPeIcon(const QString &path, int index)
{
    PeResources resources;
    if (!resources.open(path))
        return std::nullopt;
    return iconGroup(resources, index);
}

std::optional<QByteArray> readPeIcon(std::unique_ptr<QIODevice> device, int index)
{
    PeResources resources;
    if (!resources.open(std::move(device)))
        return std::nullopt;
    return iconGroup(resources, index);
}

} // namespace vorn
