#pragma once

#include "store/TreeFiles.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <limits>
#include <memory>

namespace vorn {

struct Catalogue;

// Reads a disc's file list (<id>.fic in the temporary folder) only as far as needed:
// asked for folder t, it reads until it has passed the last line of folder t, so the
// files of every folder up to t are in memory. At the end of the file it copies the
// statistics into the disc's record. One loader serves one disc at a time.
class FileListLoader
{
public:
    static constexpr int WholeFile = std::numeric_limits<int>::max();
    static constexpr int Close = -1;

    struct Sums
    {
        qint64 totalSize = 0; // disc files (owner >= 0)
        qint64 capturedSize = 0; // files with a captured text
        qint64 memberSize = 0; // archive members
        qint32 fileCount = 0;
        qint32 archiveCount = 0;
        qint32 memberCount = 0;
        qint32 capturedCount = 0;
    };

    FileListLoader();
    ~FileListLoader();
    FileListLoader(const FileListLoader &) = delete;
    FileListLoader &operator=(const FileListLoader &) = delete;

    // Loads into tree.files the lines up to and including the first line past folder
    // `target` for the disc at `position` (0: the current disc); target Close (-1)
    // closes the file and forgets the disc. A new disc, or a disc whose file is not
    // open, starts again from the first line with tree.files emptied. Returns -1 when
    // more lines are to come, else the disc's total size. When the working copy is
    // missing or unreadable (a line cut short at the end counts as unreadable), the
    // records read so far stay, failed() becomes true and later calls for the same
    // disc return at once until the loader is closed or switched to another disc.
    qint64 load(Catalogue &catalogue, DiscTree &tree, int target, int position = 0);
    void close();

    bool failed() const { return m_failed; }
    int position() const { return m_position; }
    bool fullyRead() const { return m_fullyRead; }
    int linesRead() const { return m_count; }
    qint32 lastOwner() const { return m_lastOwner; }
    const Sums &sums() const { return m_sums; }

private:
    bool openFile(const Catalogue &catalogue, DiscTree &tree);
    void closeFile();
    // The next line, without its line end; false at the end of the file or on a read
    // error. `complete` tells whether the line ended with LF.
    bool nextLine(QByteArrayView &line, bool &complete);
    qint64 finish(Catalogue &catalogue);

    int m_position = 0;
    QString m_identifier;
    std::unique_ptr<QFile> m_file;
    QByteArray m_buffer;
    qsizetype m_offset = 0;
    bool m_endOfFile = false;
    bool m_readError = false;
    qint32 m_lastOwner = -1;
    int m_count = 0;
    Sums m_sums;
    bool m_fullyRead = false;
    bool m_failed = false;
};

// Unpacks the folder file and file list of the disc at `position` from its archive
// (over any working copies) and reads both whole into `tree`. False when either
// cannot be read.
bool loadDiscTree(Catalogue &catalogue, int position, DiscTree &tree);

} // namespace vorn
