#include "store/FileListLoader.h"

#include "common/LineFields.h"
#include "store/Catalogue.h"
#include "store/DiscArchive.h"

#include <algorithm>

namespace vorn {

namespace {
constexpr qint64 BlockSize = 1 << 20;
constexpr int FileFieldCount = 6;
} // namespace

FileListLoader::FileListLoader() = default;
FileListLoader::~FileListLoader() = default;

void FileListLoader::close()
{
    closeFile();
    m_position = 0;
    m_identifier.clear();
    m_lastOwner = -1;
    m_count = 0;
    m_sums = {};
    m_fullyRead = false;
    m_failed = false;
}

void FileListLoader::closeFile()
{
    m_file.reset();
    m_buffer = QByteArray();
    m_offset = 0;
    m_endOfFile = false;
    m_readError = false;
}

bool FileListLoader::openFile(const Catalogue &catalogue, DiscTree &tree)
{
    closeFile();
    tree.files.clear();
    m_count = 0;
    m_sums = {};
    m_lastOwner = -1;
    m_fullyRead = false;

    m_file = std::make_unique<QFile>(catalogue.workingCopy(m_identifier, QStringLiteral(".fic")));
    if (!m_file->open(QIODevice::ReadOnly)) {
        m_file.reset();
        return false;
    }
    // A file line takes some 50 bytes or more; reserving avoids repeated moves.
    tree.files.reserve(size_t(std::max<qint64>(m_file->size() / 50, 16)));

    QByteArrayView header;
    bool complete = false;
    nextLine(header, complete);
    return !m_readError;
}

bool FileListLoader::nextLine(QByteArrayView &line, bool &complete)
{
    while (true) {
        const qsizetype end = m_buffer.indexOf('\n', m_offset);
        if (end >= 0 || m_endOfFile) {
            const qsizetype stop = end >= 0 ? end : m_buffer.size();
            if (end < 0 && m_offset >= stop)
                return false;
            line = QByteArrayView(m_buffer).sliced(m_offset, stop - m_offset);
            if (!line.isEmpty() && line.back() == '\r')
                line.chop(1);
            complete = end >= 0;
            m_offset = stop + (end >= 0 ? 1 : 0);
            return true;
        }
        // Keep the unfinished line and append the next block after it.
        m_buffer.remove(0, m_offset);
        m_offset = 0;
        const qsizetype kept = m_buffer.size();
        m_buffer.resize(kept + BlockSize);
        const qint64 got = m_file->read(m_buffer.data() + kept, BlockSize);
        if (got < 0) {
            m_buffer.resize(kept);
            m_readError = true;
            return false;
        }
        m_buffer.resize(kept + qsizetype(got));
        if (got == 0)
            m_endOfFile = true;
    }
}

qint64 FileListLoader::finish(Catalogue &catalogue)
{
    DiscRecord &record = catalogue.disc(m_position);
    record.totalSize = m_sums.totalSize;
    record.capturedSize = m_sums.capturedSize;
    record.fileCount = m_sums.fileCount;
    record.archiveCount = m_sums.archiveCount;
    record.memberCount = m_sums.memberCount;
    record.capturedCount = m_sums.capturedCount;
    record.fileListRead = true;
    m_fullyRead = true;
    closeFile();
    return m_sums.totalSize;
}

qint64 FileListLoader::load(Catalogue &catalogue, DiscTree &tree, int target, int position)
{
    if (target == Close) {
        close();
        return 0;
    }

    const int wanted = position == 0 ? catalogue.current : position;
    if (wanted < 1 || wanted > catalogue.discCount()) {
        close();
        m_failed = true;
        return 0;
    }
    const QString &identifier = catalogue.disc(wanted).identifier;
    if (wanted != m_position || identifier != m_identifier) {
        close();
        m_position = wanted;
        m_identifier = identifier;
    } else if (m_fullyRead || m_failed) {
        return m_sums.totalSize;
    }

    if (!m_file) {
        if (!openFile(catalogue, tree)) {
            closeFile();
            m_failed = true;
            return m_sums.totalSize;
        }
    } else if (m_lastOwner > target) {
        return -1;
    }

    tree.files.resize(size_t(m_count));
    LineFields fields;
    while (true) {
        QByteArrayView line;
        bool complete = false;
        if (!nextLine(line, complete)) {
            if (m_readError)
                break;
            return finish(catalogue);
        }
        if (line.isEmpty())
            continue;
        fields.parse(line);
        // A last line without its line end and short of fields was cut in the middle.
        if (!complete && fields.count() < FileFieldCount)
            break;

        tree.files.push_back(TreeFiles::parseFileLine(fields));
        const FileRecord &file = tree.files.back();
        if (file.link < 0)
            ++m_sums.archiveCount;
        if (file.link > 0) {
            ++m_sums.capturedCount;
            m_sums.capturedSize += file.size;
        }
        if (file.owner >= 0) {
            ++m_sums.fileCount;
            m_sums.totalSize += file.size;
        } else {
            ++m_sums.memberCount;
            m_sums.memberSize += file.size;
        }
        ++m_count;
        m_lastOwner = file.owner;

        if (m_endOfFile && m_offset >= m_buffer.size())
            return finish(catalogue);
        if (m_lastOwner > target)
            return -1;
    }

    closeFile();
    m_failed = true;
    return m_sums.totalSize;
}

bool loadDiscTree(Catalogue &catalogue, int position, DiscTree &tree)
{
    const QString identifier = catalogue.disc(position).identifier;
    if (!DiscArchive::unpack(catalogue, identifier, QStringLiteral(".rep;.fic;")))
        return false;
    auto folders = TreeFiles::readFolderFile(catalogue.workingCopy(identifier, QStringLiteral(".rep")));
    if (!folders)
        return false;
    tree.folders = std::move(*folders);
    FileListLoader loader;
    loader.load(catalogue, tree, FileListLoader::WholeFile, position);
    return !loader.failed();
}

} // namespace vorn
