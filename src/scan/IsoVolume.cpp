#include "scan/IsoVolume.h"

#include "settings/StringTable.h"

#include <QFileInfo>

#include <cerrno>

using namespace Qt::StringLiterals;

namespace vorn {

namespace {

constexpr qint64 kFirstDescriptor = 16;
constexpr qint64 kDescriptorLimit = 64;
constexpr int kRootRecord = 156;
constexpr int kRootRecordLength = 34;
// One folder holds at most this many bytes of records (some 300,000 entries), and an
// image is not read as folders for more than this in all: beyond, folders are errors.
constexpr qint64 kFolderMaxBytes = 32 * 1024 * 1024;
constexpr qint64 kFolderBytesBudget = 1024 * 1024 * 1024;

quint32 le32(QByteArrayView bytes, qsizetype i)
{
    return quint32(quint8(bytes[i])) | quint32(quint8(bytes[i + 1])) << 8 | quint32(quint8(bytes[i + 2])) << 16
        | quint32(quint8(bytes[i + 3])) << 24;
}

class FileSectorReader final : public SectorReader
{
public:
    explicit FileSectorReader(QFile &file) : m_file(file) {}
    std::optional<QByteArray> readSector(qint64 sector) const override
    {
        if (sector < 0 || !m_file.seek(sector * kDiscSectorSize))
            return std::nullopt;
        QByteArray bytes = m_file.read(kDiscSectorSize);
        if (bytes.size() != kDiscSectorSize)
            return std::nullopt;
        return bytes;
    }

private:
    QFile &m_file;
};

// The bytes of a file's extents in the image, read as one file.
class ExtentDevice final : public QIODevice
{
public:
    ExtentDevice(const QString &imagePath, std::vector<IsoExtent> parts) : m_image(imagePath), m_parts(std::move(parts))
    {
        for (const IsoExtent &part : m_parts)
            m_size += part.length;
    }
    bool open(OpenMode mode) override
    {
        // Unbuffered: readers ask for whole blocks, and positions stay those of the image.
        return m_image.open(QIODevice::ReadOnly) && QIODevice::open(mode | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_size; }
    bool seek(qint64 pos) override
    {
        if (pos < 0 || pos > m_size || !QIODevice::seek(pos))
            return false;
        m_pos = pos;
        return true;
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        qint64 done = 0;
        qint64 start = 0;
        for (const IsoExtent &part : m_parts) {
            if (done == maxSize)
                break;
            if (m_pos < start + part.length) {
                const qint64 within = m_pos - start;
                const qint64 want = std::min(maxSize - done, part.length - within);
                if (!m_image.seek(part.sector * kDiscSectorSize + within))
                    return done > 0 ? done : -1;
                const qint64 got = m_image.read(data + done, want);
                if (got <= 0)
                    return done > 0 ? done : -1;
                done += got;
                m_pos += got;
                if (got < want)
                    break;
            }
            start += part.length;
        }
        return done;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QFile m_image;
    std::vector<IsoExtent> m_parts;
    qint64 m_size = 0;
    qint64 m_pos = 0;
};

IsoOpening refused(int message, const QString &imagePath)
{
    IsoOpening opening;
    opening.message = LoadText(message) + u": "_s + imagePath;
    return opening;
}

IsoRecord rootRecord(QByteArrayView descriptor)
{
    const QByteArrayView record = descriptor.sliced(kRootRecord, kRootRecordLength);
    IsoRecord root;
    root.isFolder = true;
    root.modifiedMs = isoRecordingTime(record.sliced(18, 7));
    root.extents.push_back({qint64(le32(record, 2)) + quint8(record[1]), qint64(le32(record, 10))});
    return root;
}

} // namespace

bool isDiscImagePath(const QString &hostPath)
{
    return hostPath.endsWith(u".iso"_s, Qt::CaseInsensitive) && QFileInfo(hostPath).isFile();
}

IsoOpening IsoVolume::open(const QString &imagePath)
{
    QFile file(imagePath);
    if (!file.open(QIODevice::ReadOnly))
        return refused(930, imagePath);
    const FileSectorReader reader(file);
    const std::optional<DiscVolume> disc = readDiscVolume(reader);
    if (!disc)
        return refused(930, imagePath);
    if (disc->fileSystem == u"UDF"_s)
        return refused(931, imagePath);

    std::optional<QByteArray> primary;
    std::optional<QByteArray> joliet;
    for (qint64 sector = kFirstDescriptor; sector < kFirstDescriptor + kDescriptorLimit; ++sector) {
        const std::optional<QByteArray> bytes = reader.readSector(sector);
        if (!bytes || bytes->sliced(1, 5) != "CD001")
            break;
        const quint8 type = quint8(bytes->at(0));
        if (type == 1 && !primary)
            primary = bytes;
        else if (type == 2 && !joliet && isJolietDescriptor(*bytes))
            joliet = bytes;
        else if (type == 255)
            break;
    }
    if (!primary || (quint8(primary->at(128)) | quint8(primary->at(129)) << 8) != kDiscSectorSize)
        return refused(930, imagePath);

    // The names Linux shows when it mounts the disc: the primary tree's Rock Ridge
    // names when it has them (whole, up to 255 bytes), else the Joliet tree's, else the
    // primary tree's own.
    std::unique_ptr<IsoVolume> volume(new IsoVolume(imagePath, file.size()));
    volume->m_root = rootRecord(*primary);
    const IsoExtent &primaryRoot = volume->m_root.extents.front();
    volume->m_suspSkip = -1;
    if (primaryRoot.sector * kDiscSectorSize < volume->m_imageSize) {
        if (const std::optional<QByteArray> first = reader.readSector(primaryRoot.sector))
            volume->m_suspSkip = rockRidgeSkip(*first);
    }
    if (volume->m_suspSkip >= 0) {
        volume->m_names = IsoNames::RockRidge;
    } else if (joliet) {
        volume->m_root = rootRecord(*joliet);
        volume->m_names = IsoNames::Joliet;
    }
    const IsoExtent &root = volume->m_root.extents.front();
    if (root.sector * kDiscSectorSize >= volume->m_imageSize || root.length < kRootRecordLength)
        return refused(930, imagePath);
    volume->m_claimed.insert(root.sector);
    if (!volume->m_image.open(QIODevice::ReadOnly))
        return refused(930, imagePath);

    IsoOpening opening;
    opening.volume = std::move(volume);
    opening.disc = *disc;
    return opening;
}

IsoVolume::IsoVolume(const QString &imagePath, qint64 imageSize)
    : m_imagePath(imagePath), m_imageSize(imageSize), m_image(imagePath)
{
}

IsoVolume::~IsoVolume() = default;

QByteArray IsoVolume::readBytes(qint64 offset, qint64 length) const
{
    if (offset < 0 || offset >= m_imageSize || length <= 0 || !m_image.seek(offset))
        return {};
    return m_image.read(std::min(length, m_imageSize - offset));
}

const IsoVolume::Folder &IsoVolume::folder(const IsoRecord &record) const
{
    const IsoExtent extent = record.extents.front();
    std::unique_ptr<Folder> &slot = m_folders[extent.sector];
    if (slot)
        return *slot;
    slot = std::make_unique<Folder>();
    qint64 length = extent.length;
    if (record.relocated) {
        // A relocated folder's length is that of its own "." record.
        const QByteArray dot = readBytes(extent.sector * kDiscSectorSize, kRootRecordLength);
        length = dot.size() == kRootRecordLength ? qint64(le32(dot, 10)) : 0;
    }
    length = std::min(length, kFolderMaxBytes);
    if (extent.sector * kDiscSectorSize >= m_imageSize || m_folderBytesRead + length > kFolderBytesBudget) {
        slot->error = EIO;
        return *slot;
    }
    m_folderBytesRead += length;
    const QByteArray bytes = readBytes(extent.sector * kDiscSectorSize, length);
    const IsoByteReader read = [this](qint64 offset, qint64 size) { return readBytes(offset, size); };
    std::vector<IsoRecord> records = parseIsoFolder(bytes, m_names, std::max(m_suspSkip, 0), read);
    slot->records.reserve(records.size());
    for (IsoRecord &found : records) {
        if (slot->byName.contains(found.name))
            continue;
        if (found.isFolder) {
            const qint64 sector = found.extents.front().sector;
            if (m_claimed.contains(sector))
                continue;
            m_claimed.insert(sector);
        }
        slot->byName.insert(found.name, qsizetype(slot->records.size()));
        slot->records.push_back(std::move(found));
    }
    return *slot;
}

const IsoRecord *IsoVolume::resolve(QStringView path, int &error) const
{
    if (path.size() >= 2 && path[1] == u':' && path[0].isLetter())
        path = path.sliced(2);
    const IsoRecord *current = &m_root;
    for (const QStringView component : path.tokenize(u'\\', Qt::SkipEmptyParts)) {
        if (!current->isFolder) {
            error = ENOTDIR;
            return nullptr;
        }
        const Folder &listing = folder(*current);
        if (listing.error != 0) {
            error = listing.error;
            return nullptr;
        }
        const auto found = listing.byName.constFind(component.toString());
        if (found == listing.byName.cend()) {
            error = ENOENT;
            return nullptr;
        }
        current = &listing.records[size_t(*found)];
    }
    error = 0;
    return current;
}

VolumeEntry IsoVolume::entryOf(const IsoRecord &record) const
{
    VolumeEntry entry;
    entry.name = record.name;
    entry.isFolder = record.isFolder && !record.isSymlink;
    entry.isSymlink = record.isSymlink;
    entry.size = record.isFolder ? 0 : record.size();
    entry.modifiedMs = record.modifiedMs;
    entry.hasFacts = true;
    return entry;
}

bool IsoVolume::isRoot(QStringView path) const
{
    if (path.size() >= 2 && path[1] == u':' && path[0].isLetter())
        path = path.sliced(2);
    for (const QStringView component : path.tokenize(u'\\', Qt::SkipEmptyParts)) {
        Q_UNUSED(component);
        return false;
    }
    return true;
}

FolderListing IsoVolume::listFolder(const QString &path, ListDetail) const
{
    std::lock_guard lock(m_mutex);
    FolderListing listing;
    const IsoRecord *record = resolve(path, listing.error);
    if (!record)
        return listing;
    if (!record->isFolder || record->isSymlink) {
        listing.error = ENOTDIR;
        return listing;
    }
    const Folder &found = folder(*record);
    listing.error = found.error;
    listing.entries.reserve(found.records.size());
    for (const IsoRecord &entry : found.records)
        listing.entries.push_back(entryOf(entry));
    return listing;
}

VolumeLookup IsoVolume::facts(const QString &path) const
{
    std::lock_guard lock(m_mutex);
    VolumeLookup lookup;
    if (const IsoRecord *record = resolve(path, lookup.error))
        lookup.entry = entryOf(*record);
    return lookup;
}

std::unique_ptr<QIODevice> IsoVolume::openFile(const QString &path) const
{
    std::vector<IsoExtent> parts;
    {
        std::lock_guard lock(m_mutex);
        int error = 0;
        const IsoRecord *record = resolve(path, error);
        if (!record || record->isFolder || record->isSymlink)
            return nullptr;
        for (const IsoExtent &extent : record->extents) {
            const qint64 start = extent.sector * kDiscSectorSize;
            if (start >= m_imageSize)
                break;
            parts.push_back({extent.sector, std::min(extent.length, m_imageSize - start)});
        }
        if (parts.empty() && record->size() > 0)
            return nullptr;
    }
    auto device = std::make_unique<ExtentDevice>(m_imagePath, std::move(parts));
    if (!device->open(QIODevice::ReadOnly))
        return nullptr;
    return device;
}

QString IsoVolume::hostPath(const QString &path) const
{
    std::unique_ptr<QIODevice> content = openFile(path);
    if (!content)
        return {};
    std::lock_guard lock(m_mutex);
    if (!m_copies)
        m_copies = std::make_unique<QTemporaryDir>();
    if (!m_copies->isValid())
        return {};
    if (!m_lastCopy.isEmpty())
        QFile::remove(m_lastCopy);
    m_lastCopy.clear();
    const qsizetype dot = path.lastIndexOf(u'.');
    QString suffix = dot > path.lastIndexOf(u'\\') ? path.sliced(dot) : QString();
    suffix.remove(u'/');
    QFile copy(m_copies->filePath(u"copy"_s + suffix));
    if (!copy.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    while (!content->atEnd()) {
        const QByteArray chunk = content->read(1024 * 1024);
        if (chunk.isEmpty() || copy.write(chunk) != chunk.size()) {
            copy.remove();
            return {};
        }
    }
    m_lastCopy = copy.fileName();
    return m_lastCopy;
}

} // namespace vorn
