#include "index/IndexedDisc.h"

#include "index/DiscPart.h"
#include "index/PartFormat.h"
#include "index/RowBlock.h"
#include "index/TrigramFilter.h"

#include <libdeflate.h>
#include <lz4.h>

#include <QFile>

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace vorn {

using namespace PartFormat;

namespace {

// Section buffers of the parts read on one thread, handed from one disc to the next
// so a search of thousands of discs does not allocate and fault in fresh pages for
// each. One spare per use: a buffer comes back to the use it grew for.
enum BufferUse { HeadBuffer, FolderBuffer, ColumnBuffer, UseCount = ColumnBuffer + 4 };

thread_local std::array<QByteArray, UseCount> spare;

QByteArray take(int use)
{
    return std::move(spare[size_t(use)]);
}

void give(int use, QByteArray &buffer)
{
    if (buffer.capacity() > spare[size_t(use)].capacity())
        spare[size_t(use)] = std::move(buffer);
}

} // namespace

IndexedDisc::~IndexedDisc()
{
    give(HeadBuffer, m_head);
    give(FolderBuffer, m_folderBytes);
    for (size_t c = 0; c < m_columnBytes.size(); ++c)
        give(ColumnBuffer + int(c), m_columnBytes[c]);
}

std::optional<IndexedDisc> IndexedDisc::open(const QString &path, bool headerOnly)
{
    auto file = std::make_shared<QFile>(path);
    if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    const qsizetype headRead = headerOnly ? 4096 : HeadRead;
    QByteArray head = take(HeadBuffer);
    head.resize(headRead);
    head.resize(std::max<qint64>(0, file->read(head.data(), headRead)));
    const std::optional<ArchiveKey> key = DiscPart::keyOf(head);
    if (!key || head.size() < DiscPart::FixedHeaderSize)
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
    if (head.size() < rawEnd + 8 && head.size() == headRead)
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
    disc.m_head = std::move(head);
    disc.m_folderBytes = take(FolderBuffer);
    for (size_t c = 0; c < disc.m_columnBytes.size(); ++c)
        disc.m_columnBytes[c] = take(ColumnBuffer + int(c));
    return disc;
}

const char *IndexedDisc::checkedSection(int index) const
{
    if (index < 0 || size_t(index) >= m_sections.size())
        return nullptr;
    const SectionEntry &entry = m_sections[size_t(index)];
    // Read, not mapped: most searches read one small section of each of thousands of
    // parts, where mapping and unmapping cost more than the copy. A search that needs
    // more than the first bytes usually needs a column and many row blocks: the rest
    // of the part comes in one read rather than one per section.
    if (entry.offset + qsizetype(entry.packed) > m_head.size()) {
        const qsizetype had = m_head.size();
        const qsizetype whole = m_sections.back().offset + m_sections.back().packed;
        m_head.resize(whole);
        if (!m_file->seek(had) || m_file->read(m_head.data() + had, whole - had) != whole - had) {
            m_head.resize(had);
            return nullptr;
        }
    }
    const char *packed = m_head.constData() + entry.offset;
    if (entry.packed < 4 || get<quint32>(packed) != quint32(libdeflate_crc32(0, packed + 4, entry.packed - 4)))
        return nullptr;
    return packed + 4;
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
    const char *packed = entry.packed > 4 ? checkedSection(index) : nullptr;
    return packed && LZ4_decompress_safe(packed, out.data(), int(entry.packed - 4), int(entry.raw)) == int(entry.raw);
}

bool IndexedDisc::mayHold(QByteArrayView literal, bool &sound) const
{
    sound = true;
    if (m_specials || literal.size() < 3)
        return true;
    const SectionEntry *entry = m_sections.empty() ? nullptr : &m_sections[Trigrams];
    const char *filter = entry && entry->packed == entry->raw + 4 ? checkedSection(Trigrams) : nullptr;
    if (!filter) {
        sound = false;
        return true;
    }
    return TrigramFilter::mayHold(QByteArrayView(filter, entry->raw), literal);
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

bool IndexedDisc::folderCandidates(QByteArrayView literal, bool names, bool notes, std::vector<quint32> &out)
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

bool IndexedDisc::fileCandidates(QByteArrayView literal, bool names, int descriptionPart, std::vector<quint32> &out)
{
    if (m_fileCount == 0)
        return true;
    const size_t before = out.size();
    m_nameStarts.clear();
    if (names) {
        if (!loadColumn(FileNames))
            return false;
        m_columns[0].find(literal, out, &m_nameStarts);
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

bool IndexedDisc::folders(std::vector<FolderRecord> &out, const std::vector<qint32> &named)
{
    out.assign(size_t(m_folderCount) + 1, FolderRecord());
    if (m_folderCount == 0)
        return true;
    if (!loadFolders())
        return false;
    const char *p = m_folderBytes.constData() + 4;
    const qsizetype n = qsizetype(m_folderCount);
    for (qsizetype k = 0; k < n; ++k) {
        FolderRecord &folder = out[size_t(k) + 1];
        folder.parent = get<qint32>(p + k * 4);
        folder.flags = get<qint32>(p + n * 4 + k * 4);
        folder.date = get<double>(p + n * 8 + k * 8);
    }
    // Texts only for the folders asked for and the folders above them: a disc of many
    // folders with a few rows makes a few strings, not one per folder.
    std::vector<bool> wanted(out.size(), false);
    for (qint32 folder : named) {
        while (folder > 0 && folder <= n && !wanted[size_t(folder)]) {
            wanted[size_t(folder)] = true;
            folder = out[size_t(folder)].parent;
        }
    }
    TextColumn::Cursor names(m_folderNames);
    TextColumn::Cursor notes(m_folderNotes);
    for (qsizetype k = 0; k < n; ++k) {
        if (!wanted[size_t(k) + 1])
            continue;
        FolderRecord &folder = out[size_t(k) + 1];
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
    QByteArrayView block;
    qint64 loadedBlock = -1;
    size_t next = 0;
    size_t nameStart = 0;
    quint32 archive = 0;
    const char *archiveAt = archives.constData() + 4;
    out.clear();
    outNumbers.clear();
    out.reserve(numbers.size() + archiveCount);
    // Archives after the last candidate cannot change any row: the test stands in an
    // archive only for the members that follow it.
    const quint32 last = numbers.empty() ? 0 : numbers.back();
    for (;;) {
        quint32 archiveNumber = archive < archiveCount ? get<quint32>(archiveAt + qsizetype(archive) * ArchiveEntry)
                                                       : std::numeric_limits<quint32>::max();
        if (archiveNumber > last)
            archiveNumber = std::numeric_limits<quint32>::max();
        const quint32 wanted = next < numbers.size() ? numbers[next] : std::numeric_limits<quint32>::max();
        const quint32 number = std::min(archiveNumber, wanted);
        if (number == std::numeric_limits<quint32>::max())
            break;
        if (number >= m_fileCount)
            return false;
        while (nameStart < m_nameStarts.size() && m_nameStarts[nameStart].number < number)
            ++nameStart;
        if (nameStart < m_nameStarts.size() && m_nameStarts[nameStart].number == number)
            names.moveTo(m_nameStarts[nameStart]);
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
                const SectionEntry &entry = m_sections[size_t(FirstRows + b)];
                const char *bytes = entry.packed == entry.raw + 4 ? checkedSection(FirstRows + int(b)) : nullptr;
                if (!bytes)
                    return false;
                block = QByteArrayView(bytes, entry.raw);
                loadedBlock = b;
            }
            const int n = int(std::min<quint32>(DiscPart::RowBlock, m_fileCount - quint32(b) * DiscPart::RowBlock));
            RowBlock::Fields fields;
            if (!RowBlock::decode(block, n, int(number % DiscPart::RowBlock), fields))
                return false;
            record.owner = fields.owner;
            record.link = fields.link;
            record.size = fields.size;
            record.date = fields.date;
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
