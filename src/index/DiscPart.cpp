#include "index/DiscPart.h"

#include "common/LineFields.h"
#include "store/DiscArchive.h"
#include "index/TrigramFilter.h"
#include "store/TreeFiles.h"

#include <libdeflate.h>
#include <lz4.h>

#include <QFile>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace vorn {

namespace {

constexpr quint64 Magic = 0x31584449'4e524f56ull;   // "VORNIDX1"
constexpr quint32 StreamedFlag = 1;
constexpr quint32 SpecialsFlag = 2;   // some text folds into ASCII: the filter cannot rule it out
// Bytes after every decompressed section, so the byte scan may read past a column.
constexpr qsizetype Padding = 64;
constexpr qint64 MemberSizeLimit = qint64(1) << 31;

template<typename T>
void put(QByteArray &out, T value)
{
    out.append(reinterpret_cast<const char *>(&value), sizeof value);
}

template<typename T>
T get(const char *at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

quint64 headerHash(QByteArrayView bytes)
{
    quint64 hash = 0xcbf29ce484222325ull;
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

qint32 toInt32(qint64 value)
{
    return qint32(std::clamp<qint64>(value, std::numeric_limits<qint32>::min(),
                                     std::numeric_limits<qint32>::max()));
}

// The field readers' integer: plain digits (with a minus sign) are read here, the
// rest by the shared reader, which gives the same value for plain digits.
qint64 integerField(QByteArrayView raw)
{
    qsizetype i = 0;
    const bool negative = !raw.isEmpty() && raw[0] == '-';
    i += negative ? 1 : 0;
    if (raw.size() - i < 1 || raw.size() - i > 18)
        return parseFieldInteger(raw);
    qint64 value = 0;
    for (; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c < '0' || c > '9')
            return parseFieldInteger(raw);
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

// The field readers' float: "digits[.digits]" of at most 15 digits is the integer of
// its digits divided by a power of ten, both exact in a double, so the division
// rounds exactly as the shared reader does; anything else goes to that reader.
double numberField(QByteArrayView raw)
{
    static constexpr double powers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    qint64 digits = 0;
    int count = 0;
    int decimals = -1;
    for (char c : raw) {
        if (c >= '0' && c <= '9') {
            digits = digits * 10 + (c - '0');
            ++count;
            if (decimals >= 0)
                ++decimals;
        } else if (c == '.' && decimals < 0 && count > 0) {
            decimals = 0;
        } else {
            return parseFieldNumber(raw);
        }
    }
    if (count == 0 || count > 15 || decimals == 0)
        return parseFieldNumber(raw);
    return decimals < 0 ? double(digits) : double(digits) / powers[decimals];
}

bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// A section: the CRC-32 of the compressed bytes, then the LZ4 block. The checksum
// is tested before decompressing, so damage never reaches the decoder's output.
QByteArray compress(const QByteArray &raw)
{
    if (raw.isEmpty())
        return {};
    QByteArray out(4 + LZ4_compressBound(int(raw.size())), Qt::Uninitialized);
    // A little less compression for a quicker build: the index is still smaller
    // than the archives it comes from.
    const int written = LZ4_compress_fast(raw.constData(), out.data() + 4, int(raw.size()),
                                          int(out.size() - 4), 2);
    if (written <= 0)
        return {};
    out.truncate(4 + written);
    const quint32 crc = quint32(libdeflate_crc32(0, out.constData() + 4, size_t(written)));
    std::memcpy(out.data(), &crc, 4);
    return out;
}

template<typename T>
void appendPlanes(QByteArray &out, const T *values, size_t n)
{
    const qsizetype start = out.size();
    out.resize(start + qsizetype(n * sizeof(T)));
    char *planes = out.data() + start;
    for (size_t i = 0; i < n; ++i) {
        const char *bytes = reinterpret_cast<const char *>(values + i);
        for (size_t b = 0; b < sizeof(T); ++b)
            planes[b * n + i] = bytes[b];
    }
}

template<typename T>
T fromPlanes(const char *planes, size_t n, size_t i)
{
    char bytes[sizeof(T)];
    for (size_t b = 0; b < sizeof(T); ++b)
        bytes[b] = planes[b * n + i];
    T value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

class PartWriter
{
public:
    explicit PartWriter(const ArchiveKey &key) : m_key(key) {}

    bool addFolders(const std::vector<FolderRecord> &folders);
    bool addFile(QByteArrayView line);
    void reserve(qsizetype fileListSize);
    QByteArray finish();
    QByteArray streamed();

private:
    QByteArray header(quint32 flags, const std::vector<QByteArray> &sections) const;
    QByteArray rowBlock(size_t first, size_t n) const;

    ArchiveKey m_key;
    LineFields m_fields;   // reused from line to line
    QByteArray m_folders;
    quint32 m_folderCount = 0;
    TextColumn m_folderNames;
    TextColumn m_folderNotes;
    TextColumn m_names;
    TextColumn m_parts[3];
    QByteArray m_archives;
    quint32 m_archiveCount = 0;
    std::vector<qint32> m_owners;
    std::vector<qint32> m_links;
    std::vector<qint64> m_sizes;
    std::vector<double> m_dates;
};

bool PartWriter::addFolders(const std::vector<FolderRecord> &folders)
{
    TextColumn &names = m_folderNames;
    TextColumn &notes = m_folderNotes;
    m_folderCount = quint32(folders.size() - 1);
    put(m_folders, m_folderCount);
    for (size_t k = 1; k < folders.size(); ++k)
        put(m_folders, folders[k].parent);
    for (size_t k = 1; k < folders.size(); ++k)
        put(m_folders, folders[k].flags);
    for (size_t k = 1; k < folders.size(); ++k)
        put(m_folders, folders[k].date);
    for (size_t k = 1; k < folders.size(); ++k) {
        if (!names.append(folders[k].name) || !notes.append(folders[k].description))
            return false;
    }
    for (const TextColumn *column : {&names, &notes}) {
        QByteArray bytes;
        column->serialize(bytes);
        put(m_folders, quint32(bytes.size()));
        m_folders.append(bytes);
    }
    return true;
}

bool PartWriter::addFile(QByteArrayView line)
{
    m_fields.parse(line);
    const LineFields &fields = m_fields;
    const QByteArrayView name = fields.raw(0);
    const QByteArrayView stored = fields.raw(4);
    // Plain ASCII decodes to itself whatever the line's encoding; a text without a
    // leading marker is all user description.
    if (isAscii(name)) {
        m_names.appendAscii(name);
    } else if (!m_names.append(fields.text(0))) {
        return false;
    }
    if (isAscii(stored)) {
        m_parts[0].appendAscii(stored);
        m_parts[1].appendAscii({});
        m_parts[2].appendAscii({});
    } else {
        const DescriptionTriple triple = TreeFiles::splitDescriptions(fields.text(4));
        if (!m_parts[0].append(triple.user) || !m_parts[1].append(triple.automatic)
            || !m_parts[2].append(triple.archivePath))
            return false;
    }
    const qint32 owner = toInt32(integerField(fields.raw(1)));
    qint64 size = integerField(fields.raw(2));
    if (size == 0)
        size = 1;
    const double date = numberField(fields.raw(3));
    const qint32 link = toInt32(integerField(fields.raw(5)));
    if (link < 0) {
        put(m_archives, quint32(m_owners.size()));
        put(m_archives, owner);
        put(m_archives, link);
        put(m_archives, size);
        put(m_archives, date);
        ++m_archiveCount;
    }
    m_owners.push_back(owner);
    m_links.push_back(link);
    m_sizes.push_back(size);
    m_dates.push_back(date);
    return true;
}

void PartWriter::reserve(qsizetype fileListSize)
{
    // About a third of a file-list line is its name.
    m_names.reserve(fileListSize / 3);
    const size_t lines = size_t(fileListSize / 40);
    m_owners.reserve(lines);
    m_links.reserve(lines);
    m_sizes.reserve(lines);
    m_dates.reserve(lines);
}

QByteArray PartWriter::header(quint32 flags, const std::vector<QByteArray> &sections) const
{
    QByteArray out;
    put(out, Magic);
    put(out, DiscPart::FormatVersion);
    put(out, flags);
    put(out, m_key.size);
    put(out, m_key.modified);
    put(out, m_key.inode);
    put(out, quint32(m_owners.size()));
    put(out, m_folderCount);
    put(out, quint32(sections.size()));
    put(out, quint32(0));
    for (const QByteArray &section : sections)
        put(out, quint32(section.size()));
    put(out, headerHash(out));
    return out;
}

// A block of number fields, each field's bytes stored plane by plane (all first
// bytes, then all second bytes...) so the high bytes, nearly all equal, compress to
// almost nothing. Dates are stored as whole seconds plus the distance in units of
// the last place from seconds / 86400, which gives the stored number back exactly;
// a block with a date too far from whole seconds keeps its dates as they are.
QByteArray PartWriter::rowBlock(size_t first, size_t n) const
{
    std::vector<qint64> seconds(n);
    std::vector<qint8> offsets(n);
    bool exact = true;
    for (size_t i = 0; i < n && exact; ++i) {
        const double date = m_dates[first + i];
        if (!std::isfinite(date) || std::fabs(date) > 1e7) {
            exact = false;
            break;
        }
        seconds[i] = std::llround(date * 86400.0);
        const qint64 distance = qint64(std::bit_cast<quint64>(date)
                                       - std::bit_cast<quint64>(double(seconds[i]) / 86400.0));
        exact = distance >= -127 && distance <= 127;
        offsets[i] = qint8(distance);
    }
    QByteArray block;
    block.append(char(exact ? 0 : 1));
    appendPlanes(block, m_owners.data() + first, n);
    appendPlanes(block, m_links.data() + first, n);
    appendPlanes(block, m_sizes.data() + first, n);
    if (exact) {
        appendPlanes(block, seconds.data(), n);
        block.append(reinterpret_cast<const char *>(offsets.data()), qsizetype(n));
    } else {
        appendPlanes(block, m_dates.data() + first, n);
    }
    return block;
}

QByteArray PartWriter::streamed()
{
    m_owners.clear();
    m_folderCount = 0;
    return header(StreamedFlag, {});
}

QByteArray PartWriter::finish()
{
    std::vector<QByteArray> raw;
    raw.push_back(m_folders);
    for (const TextColumn *column : {&m_names, &m_parts[0], &m_parts[1], &m_parts[2]}) {
        QByteArray bytes;
        column->serialize(bytes);
        raw.push_back(bytes);
    }
    QByteArray archives;
    put(archives, m_archiveCount);
    archives.append(m_archives);
    raw.push_back(archives);
    TrigramFilter filter;
    quint32 flags = 0;
    for (const TextColumn *column : {&m_folderNames, &m_folderNotes, &m_names, &m_parts[0], &m_parts[1], &m_parts[2]}) {
        filter.addTexts(column->builtTexts());
        if (column->hasSpecials())
            flags |= SpecialsFlag;
    }
    raw.push_back(filter.bytes());
    const size_t count = m_owners.size();
    for (size_t first = 0; first < count; first += DiscPart::RowBlock)
        raw.push_back(rowBlock(first, std::min<size_t>(DiscPart::RowBlock, count - first)));
    std::vector<QByteArray> packed;
    packed.reserve(raw.size());
    for (const QByteArray &bytes : raw)
        packed.push_back(compress(bytes));
    QByteArray out = header(flags, packed);
    // The raw sizes follow the packed ones so a reader can size its buffers.
    QByteArray sizes;
    for (const QByteArray &bytes : raw)
        put(sizes, quint32(bytes.size()));
    out.append(sizes);
    put(out, headerHash(out));
    for (const QByteArray &bytes : packed)
        out.append(bytes);
    return out;
}

// Section buffers of the parts read on one thread, handed from one disc to the next
// so a search of thousands of discs does not allocate and fault in fresh pages for each.
class BufferPool
{
public:
    QByteArray take()
    {
        if (m_free.empty())
            return {};
        QByteArray buffer = std::move(m_free.back());
        m_free.pop_back();
        return buffer;
    }
    void give(QByteArray &buffer)
    {
        if (buffer.capacity() > 0 && m_free.size() < 16)
            m_free.push_back(std::move(buffer));
    }

private:
    std::vector<QByteArray> m_free;
};

thread_local BufferPool pool;

bool named(const QString &member, const QString &identifier, QLatin1String extension)
{
    return member.compare(identifier + extension, Qt::CaseInsensitive) == 0;
}

} // namespace

namespace DiscPart {

std::optional<QByteArray> build(const QString &archivePath, const QString &identifier,
                                const ArchiveKey &key)
{
    // Each building thread keeps its buffers from one disc to the next.
    thread_local DiscArchive::MemberReader reader;
    if (!reader.read(archivePath, QStringLiteral(".REP;.FIC;"), MemberSizeLimit))
        return std::nullopt;
    std::vector<FolderRecord> folders(1);
    QByteArrayView fileList;
    for (const DiscArchive::MemberReader::Member &member : reader.members()) {
        if (named(member.name, identifier, QLatin1String(".rep")))
            folders = TreeFiles::parseFolderFile(member.data);
        else if (named(member.name, identifier, QLatin1String(".fic")))
            fileList = member.data;
    }
    PartWriter writer(key);
    writer.reserve(fileList.size());
    if (!writer.addFolders(folders))
        return writer.streamed();
    bool header = true;
    bool represented = true;
    forEachLine(fileList, [&](QByteArrayView line) {
        if (header) {
            header = false;
        } else if (!line.isEmpty()) {
            represented = writer.addFile(line);
        }
        return represented;
    });
    return represented ? writer.finish() : writer.streamed();
}

std::optional<ArchiveKey> keyOf(QByteArrayView head)
{
    if (head.size() < FixedHeaderSize || get<quint64>(head.data()) != Magic
        || get<quint32>(head.data() + 8) != FormatVersion)
        return std::nullopt;
    ArchiveKey key;
    key.size = get<qint64>(head.data() + 16);
    key.modified = get<qint64>(head.data() + 24);
    key.inode = get<quint64>(head.data() + 32);
    return key;
}

} // namespace DiscPart

IndexedDisc::~IndexedDisc()
{
    pool.give(m_folderBytes);
    for (QByteArray &bytes : m_columnBytes)
        pool.give(bytes);
}

std::optional<IndexedDisc> IndexedDisc::open(const QString &path)
{
    auto file = std::make_shared<QFile>(path);
    if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    QByteArray head = file->read(4096);
    const std::optional<ArchiveKey> key = DiscPart::keyOf(head);
    if (!key)
        return std::nullopt;
    IndexedDisc disc;
    disc.m_key = *key;
    const quint32 flags = get<quint32>(head.constData() + 12);
    disc.m_streamed = (flags & StreamedFlag) != 0;
    disc.m_specials = (flags & SpecialsFlag) != 0;
    disc.m_fileCount = get<quint32>(head.constData() + 40);
    disc.m_folderCount = get<quint32>(head.constData() + 44);
    const quint32 sections = get<quint32>(head.constData() + 48);
    const qsizetype tableEnd = DiscPart::FixedHeaderSize + qsizetype(sections) * 4;
    const qsizetype rawEnd = tableEnd + 8 + qsizetype(sections) * 4;
    if (sections > (1u << 24))
        return std::nullopt;
    if (head.size() < rawEnd + 8 && head.size() == 4096)
        head += file->read(rawEnd + 8 - head.size());
    const char *p = head.constData();
    if (head.size() < tableEnd + 8 || get<quint64>(p + tableEnd) != headerHash(head.first(tableEnd)))
        return std::nullopt;
    if (disc.m_streamed) {
        disc.m_file = std::move(file);
        return disc;
    }
    const quint32 rowBlocks = (disc.m_fileCount + DiscPart::RowBlock - 1) / DiscPart::RowBlock;
    if (sections != FirstRows + rowBlocks || head.size() < rawEnd + 8
        || get<quint64>(p + rawEnd) != headerHash(head.first(rawEnd)))
        return std::nullopt;
    qsizetype offset = rawEnd + 8;
    disc.m_sections.resize(sections);
    for (quint32 s = 0; s < sections; ++s) {
        SectionEntry &entry = disc.m_sections[s];
        entry.offset = offset;
        entry.packed = get<quint32>(p + DiscPart::FixedHeaderSize + qsizetype(s) * 4);
        entry.raw = get<quint32>(p + tableEnd + 8 + qsizetype(s) * 4);
        offset += entry.packed;
    }
    // A part cut short or grown is not this part.
    if (offset != file->size())
        return std::nullopt;
    disc.m_file = std::move(file);
    disc.m_folderBytes = pool.take();
    for (QByteArray &bytes : disc.m_columnBytes)
        bytes = pool.take();
    return disc;
}

bool IndexedDisc::section(int index, QByteArray &out) const
{
    if (index < 0 || size_t(index) >= m_sections.size())
        return false;
    const SectionEntry &entry = m_sections[size_t(index)];
    out.resize(qsizetype(entry.raw) + Padding);
    std::memset(out.data() + entry.raw, 0, Padding);
    if (entry.raw == 0)
        return entry.packed == 0;
    if (!m_mapTried) {
        m_mapTried = true;
        m_map = m_file->map(0, m_file->size());
    }
    thread_local QByteArray copy;
    const char *packed = reinterpret_cast<const char *>(m_map) + entry.offset;
    if (!m_map) {
        copy.resize(entry.packed);
        if (!m_file->seek(entry.offset) || m_file->read(copy.data(), entry.packed) != qint64(entry.packed))
            return false;
        packed = copy.constData();
    }
    if (entry.packed <= 4 || get<quint32>(packed) != quint32(libdeflate_crc32(0, packed + 4, entry.packed - 4)))
        return false;
    return LZ4_decompress_safe(packed + 4, out.data(), int(entry.packed - 4), int(entry.raw))
           == int(entry.raw);
}

bool IndexedDisc::mayHold(QByteArrayView literal, bool &sound) const
{
    sound = true;
    if (m_specials || literal.size() < 3)
        return true;
    thread_local QByteArray filter;
    if (!section(Trigrams, filter)) {
        sound = false;
        return true;
    }
    return TrigramFilter::mayHold(QByteArrayView(filter).first(filter.size() - Padding), literal);
}

bool IndexedDisc::loadFolders()
{
    if (m_foldersLoaded)
        return true;
    if (!section(Folders, m_folderBytes))
        return false;
    QByteArrayView rest = QByteArrayView(m_folderBytes).first(m_folderBytes.size() - Padding);
    const qsizetype arrays = 4 + qsizetype(m_folderCount) * 16;
    if (rest.size() < arrays || get<quint32>(rest.data()) != m_folderCount)
        return false;
    rest = rest.sliced(arrays);
    for (TextColumn *column : {&m_folderNames, &m_folderNotes}) {
        if (rest.size() < 4)
            return false;
        const quint32 size = get<quint32>(rest.data());
        if (rest.size() - 4 < qsizetype(size) || !column->deserialize(rest.sliced(4, size))
            || column->count() != m_folderCount)
            return false;
        rest = rest.sliced(4 + size);
    }
    m_foldersLoaded = true;
    return true;
}

bool IndexedDisc::loadColumn(int index)
{
    const size_t c = size_t(index - FileNames);
    if (m_columnLoaded[c])
        return true;
    if (!section(index, m_columnBytes[c])
        || !m_columns[c].deserialize(QByteArrayView(m_columnBytes[c]).first(m_columnBytes[c].size() - Padding))
        || m_columns[c].count() != m_fileCount)
        return false;
    m_columnLoaded[c] = true;
    return true;
}

bool IndexedDisc::folderCandidates(QByteArrayView literal, bool names, bool notes,
                                   std::vector<quint32> &out)
{
    if (m_folderCount == 0)
        return true;
    if (!loadFolders())
        return false;
    const size_t before = out.size();
    if (names)
        m_folderNames.find(literal, out);
    if (notes)
        m_folderNotes.find(literal, out);
    if (names && notes) {
        std::sort(out.begin() + qsizetype(before), out.end());
        out.erase(std::unique(out.begin() + qsizetype(before), out.end()), out.end());
    }
    // Folder numbers count from 1: the root has no line.
    for (size_t i = before; i < out.size(); ++i)
        ++out[i];
    return true;
}

bool IndexedDisc::fileCandidates(QByteArrayView literal, bool names, int descriptionPart,
                                 std::vector<quint32> &out)
{
    if (m_fileCount == 0)
        return true;
    const size_t before = out.size();
    if (names) {
        if (!loadColumn(FileNames))
            return false;
        m_columns[0].find(literal, out);
    }
    if (descriptionPart >= 0 && descriptionPart <= 2) {
        if (!loadColumn(UserPart + descriptionPart))
            return false;
        m_columns[size_t(1 + descriptionPart)].find(literal, out);
        if (names) {
            std::sort(out.begin() + qsizetype(before), out.end());
            out.erase(std::unique(out.begin() + qsizetype(before), out.end()), out.end());
        }
    }
    return true;
}

bool IndexedDisc::folders(std::vector<FolderRecord> &out)
{
    out.assign(size_t(m_folderCount) + 1, FolderRecord());
    if (m_folderCount == 0)
        return true;
    if (!loadFolders())
        return false;
    const char *p = m_folderBytes.constData() + 4;
    const qsizetype n = qsizetype(m_folderCount);
    TextColumn::Cursor names(m_folderNames);
    TextColumn::Cursor notes(m_folderNotes);
    for (qsizetype k = 0; k < n; ++k) {
        FolderRecord &folder = out[size_t(k) + 1];
        folder.parent = get<qint32>(p + k * 4);
        folder.flags = get<qint32>(p + n * 4 + k * 4);
        folder.date = get<double>(p + n * 8 + k * 8);
        folder.name = QString::fromUtf8(names.text(quint32(k)));
        const QByteArrayView note = notes.text(quint32(k));
        if (!note.isEmpty())
            folder.description = QString::fromUtf8(note);
    }
    return true;
}

bool IndexedDisc::records(const std::vector<quint32> &numbers, std::vector<FileRecord> &out,
                          std::vector<quint32> &outNumbers)
{
    thread_local QByteArray archives;
    if (!section(Archives, archives) || archives.size() < Padding + 4)
        return false;
    const quint32 archiveCount = get<quint32>(archives.constData());
    constexpr qsizetype ArchiveEntry = 28;
    if (archives.size() - Padding != 4 + qsizetype(archiveCount) * ArchiveEntry)
        return false;
    for (int c = FileNames; c <= PathPart; ++c) {
        if (!loadColumn(c))
            return false;
    }
    TextColumn::Cursor names(m_columns[0]);
    TextColumn::Cursor parts[3] = {TextColumn::Cursor(m_columns[1]), TextColumn::Cursor(m_columns[2]),
                                   TextColumn::Cursor(m_columns[3])};
    const auto text = [](TextColumn::Cursor &cursor, quint32 number) {
        const QByteArrayView bytes = cursor.text(number);
        return bytes.isEmpty() ? QString() : QString::fromUtf8(bytes);
    };
    thread_local QByteArray block;
    qint64 loadedBlock = -1;
    size_t next = 0;
    quint32 archive = 0;
    const char *archiveAt = archives.constData() + 4;
    out.clear();
    outNumbers.clear();
    out.reserve(numbers.size() + archiveCount);
    // Archives after the last candidate cannot change any row: the test stands in an
    // archive only for the members that follow it.
    const quint32 last = numbers.empty() ? 0 : numbers.back();
    for (;;) {
        quint32 archiveNumber = archive < archiveCount
                                    ? get<quint32>(archiveAt + qsizetype(archive) * ArchiveEntry)
                                    : std::numeric_limits<quint32>::max();
        if (archiveNumber > last)
            archiveNumber = std::numeric_limits<quint32>::max();
        const quint32 wanted = next < numbers.size() ? numbers[next] : std::numeric_limits<quint32>::max();
        const quint32 number = std::min(archiveNumber, wanted);
        if (number == std::numeric_limits<quint32>::max())
            break;
        if (number >= m_fileCount)
            return false;
        FileRecord record;
        if (number == archiveNumber) {
            const char *at = archiveAt + qsizetype(archive) * ArchiveEntry;
            record.owner = get<qint32>(at + 4);
            record.link = get<qint32>(at + 8);
            record.size = get<qint64>(at + 12);
            record.date = get<double>(at + 20);
            ++archive;
        } else {
            const qint64 b = number / DiscPart::RowBlock;
            if (b != loadedBlock) {
                if (!section(FirstRows + int(b), block))
                    return false;
                loadedBlock = b;
            }
            const size_t n = std::min<quint32>(DiscPart::RowBlock, m_fileCount - quint32(b) * DiscPart::RowBlock);
            const qsizetype exactSize = 1 + qsizetype(n) * 25;
            const qsizetype rawSize = 1 + qsizetype(n) * 24;
            const qsizetype size = block.size() - Padding;
            const bool exact = block[0] == 0;
            if (size != (exact ? exactSize : rawSize))
                return false;
            const size_t i = number % DiscPart::RowBlock;
            const char *p = block.constData() + 1;
            record.owner = fromPlanes<qint32>(p, n, i);
            record.link = fromPlanes<qint32>(p + n * 4, n, i);
            record.size = fromPlanes<qint64>(p + n * 8, n, i);
            if (exact) {
                const qint64 seconds = fromPlanes<qint64>(p + n * 16, n, i);
                const qint8 offset = qint8(p[n * 24 + i]);
                record.date = std::bit_cast<double>(std::bit_cast<quint64>(double(seconds) / 86400.0)
                                                    + quint64(qint64(offset)));
            } else {
                record.date = fromPlanes<double>(p + n * 16, n, i);
            }
        }
        record.name = text(names, number);
        // An archive that is no candidate cannot match by its descriptions and is
        // never a row: they are left empty.
        if (number == wanted) {
            ++next;
            record.descriptions.user = text(parts[0], number);
            record.descriptions.automatic = text(parts[1], number);
            record.descriptions.archivePath = text(parts[2], number);
        }
        out.push_back(std::move(record));
        outNumbers.push_back(number);
    }
    return true;
}

} // namespace vorn
