#include "index/DiscPart.h"

#include "common/LineFields.h"
#include "common/Numbers.h"
#include "common/TextCodec.h"
#include "index/FastFields.h"
#include "index/PartFormat.h"
#include "index/RowBlock.h"
#include "index/TextColumn.h"
#include "index/TrigramFilter.h"
#include "store/DiscArchive.h"
#include "store/TreeFiles.h"

#include <libdeflate.h>
#include <lz4.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace vorn {

using namespace PartFormat;

namespace {

constexpr qint64 MemberSizeLimit = qint64(1) << 31;

qint32 toInt32(qint64 value)
{
    return qint32(std::clamp<qint64>(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

// A section: the CRC-32 of the compressed bytes, then the LZ4 block. The checksum
// is tested before decompressing, so damage never reaches the decoder's output.
QByteArray compress(const QByteArray &raw)
{
    if (raw.isEmpty())
        return {};
    // One compression state per building thread, reset cheaply before each section:
    // a fresh state begins with a 16 KB clear, which cost more than compressing a row
    // block (7 % of a build's instructions).
    struct Stream
    {
        LZ4_stream_t *state = LZ4_createStream();
        ~Stream() { LZ4_freeStream(state); }
    };
    thread_local Stream stream;
    if (!stream.state)
        return {};
    LZ4_resetStream_fast(stream.state);
    QByteArray out(4 + LZ4_compressBound(int(raw.size())), Qt::Uninitialized);
    // A little less compression for a quicker build: the index is still smaller
    // than the archives it comes from.
    const int written = LZ4_compress_fast_continue(stream.state, raw.constData(), out.data() + 4, int(raw.size()),
                                                   int(out.size() - 4), 2);
    if (written <= 0)
        return {};
    out.truncate(4 + written);
    const quint32 crc = quint32(libdeflate_crc32(0, out.constData() + 4, size_t(written)));
    std::memcpy(out.data(), &crc, 4);
    return out;
}

// A section kept uncompressed, behind the CRC-32 of its bytes.
QByteArray stored(const QByteArray &raw)
{
    QByteArray out(4, Qt::Uninitialized);
    const quint32 crc = quint32(libdeflate_crc32(0, raw.constData(), size_t(raw.size())));
    std::memcpy(out.data(), &crc, 4);
    return out + raw;
}

class PartWriter
{
public:
    explicit PartWriter(const ArchiveKey &key) : m_key(key) {}

    // The folder file's lines (after its header), as the shared folder reader reads
    // them, without making texts of the plain ASCII ones.
    bool addFolderFile(QByteArrayView data);
    bool addFile(QByteArrayView line);
    void reserve(qsizetype fileListSize);
    QByteArray finish();
    QByteArray streamed();

private:
    QByteArray header(quint32 flags, const std::vector<QByteArray> &sections) const;

    ArchiveKey m_key;
    LineFields m_fields; // reused from line to line
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

bool PartWriter::addFolderFile(QByteArrayView data)
{
    TextColumn &names = m_folderNames;
    TextColumn &notes = m_folderNotes;
    std::vector<qint32> parents;
    std::vector<qint32> flags;
    std::vector<double> dates;
    bool represented = true;
    const auto text = [&](TextColumn &column, int index) {
        const QByteArrayView raw = m_fields.raw(index);
        if (isAscii(raw)) {
            column.appendAscii(raw);
            return true;
        }
        return column.append(m_fields.text(index));
    };
    forEachRecordLine(data, [&](QByteArrayView line) {
        m_fields.parse(line);
        represented = text(names, 0) && text(notes, 3);
        parents.push_back(toInt32(fastInteger(m_fields.raw(1))));
        dates.push_back(fastNumber(m_fields.raw(2)));
        qint64 flag = 0;
        if (!plainInteger(m_fields.raw(4), flag))
            flag = integerValue(m_fields.text(4));
        flags.push_back(toInt32(flag));
        return represented;
    });
    if (!represented)
        return false;
    m_folderCount = quint32(parents.size());
    put(m_folders, m_folderCount);
    for (const qint32 parent : parents)
        put(m_folders, parent);
    for (const qint32 flag : flags)
        put(m_folders, flag);
    for (const double date : dates)
        put(m_folders, date);
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
    // Lines of the plain shape are split here; LineFields reads the others, and decodes
    // any text outside ASCII, since it decides the encoding of the whole line.
    bool parsed = false;
    const auto fields = [&]() -> const LineFields & {
        if (!parsed) {
            m_fields.parse(line);
            parsed = true;
        }
        return m_fields;
    };
    QByteArrayView raw[6];
    if (!splitPlainFileLine(line, raw)) {
        for (int k = 0; k < 6; ++k)
            raw[k] = fields().raw(k);
    }
    const QByteArrayView name = raw[0];
    const QByteArrayView stored = raw[4];
    // Plain ASCII decodes to itself whatever the line's encoding; a text without a
    // leading marker is all user description.
    if (isAscii(name)) {
        m_names.appendAscii(name);
    } else if (!m_names.append(fields().text(0))) {
        return false;
    }
    if (isAscii(stored)) {
        m_parts[0].appendAscii(stored);
        m_parts[1].appendAscii({});
        m_parts[2].appendAscii({});
    } else {
        const DescriptionTriple triple = TreeFiles::splitDescriptions(fields().text(4));
        if (!m_parts[0].append(triple.user) || !m_parts[1].append(triple.automatic)
            || !m_parts[2].append(triple.archivePath))
            return false;
    }
    const qint32 owner = toInt32(fastInteger(raw[1]));
    qint64 size = fastInteger(raw[2]);
    if (size == 0)
        size = 1;
    const double date = fastNumber(raw[3]);
    const qint32 link = toInt32(fastInteger(raw[5]));
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
    // About a third of a file-list line is its name; descriptions are mostly empty.
    m_names.reserve(fileListSize / 3);
    for (TextColumn &part : m_parts)
        part.reserve(fileListSize / 40);
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

QByteArray PartWriter::streamed()
{
    m_owners.clear();
    m_folderCount = 0;
    return header(StreamedFlag, {});
}

QByteArray PartWriter::finish()
{
    TrigramFilter filter;
    quint32 flags = 0;
    for (const TextColumn *column : {&m_folderNames, &m_folderNotes, &m_names, &m_parts[0], &m_parts[1], &m_parts[2]}) {
        filter.addTexts(column->builtTexts());
        if (column->hasSpecials())
            flags |= SpecialsFlag;
    }
    std::vector<QByteArray> raw;
    raw.push_back(filter.bytes());
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
    std::vector<QByteArray> packed;
    packed.reserve(raw.size() + m_owners.size() / DiscPart::RowBlock + 1);
    // The trigram set is stored as it is: nearly every search reads it from every part,
    // straight from the bytes read with the header.
    for (const QByteArray &bytes : raw)
        packed.push_back(packed.empty() ? stored(bytes) : compress(bytes));
    // Row blocks are stored as they are: a search reads single records out of them.
    const size_t count = m_owners.size();
    for (size_t first = 0; first < count; first += DiscPart::RowBlock) {
        const int n = int(std::min<size_t>(DiscPart::RowBlock, count - first));
        raw.push_back(RowBlock::encode(m_owners.data() + first, m_links.data() + first, m_sizes.data() + first,
                                       m_dates.data() + first, n));
        packed.push_back(stored(raw.back()));
    }
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

bool named(const QString &member, const QString &identifier, QLatin1String extension)
{
    return member.compare(identifier + extension, Qt::CaseInsensitive) == 0;
}

} // namespace

namespace DiscPart {

std::optional<QByteArray> build(const QString &archivePath, const QString &identifier, const ArchiveKey &key)
{
    // Each building thread keeps its buffers from one disc to the next.
    thread_local DiscArchive::MemberReader reader;
    if (!reader.read(archivePath, QStringLiteral(".REP;.FIC;"), MemberSizeLimit))
        return std::nullopt;
    QByteArrayView folderFile;
    QByteArrayView fileList;
    for (const DiscArchive::MemberReader::Member &member : reader.members()) {
        if (named(member.name, identifier, QLatin1String(".rep")))
            folderFile = member.data;
        else if (named(member.name, identifier, QLatin1String(".fic")))
            fileList = member.data;
    }
    PartWriter writer(key);
    writer.reserve(fileList.size());
    if (!writer.addFolderFile(folderFile))
        return writer.streamed();
    bool represented = true;
    forEachRecordLine(fileList, [&](QByteArrayView line) {
        represented = writer.addFile(line);
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

} // namespace vorn
