#pragma once

#include "index/ArchiveKey.h"
#include "index/TextColumn.h"
#include "store/Records.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <memory>
#include <optional>
#include <vector>

class QFile;

namespace vorn {

// One disc's part of the search index: what a name or description search needs of
// the disc's folder file and file list, in one file of the index folder.
//
// A fixed header (magic, format version, the archive's key, counts) is followed by a
// table of sections and a hash over the header; each section is an LZ4 block with
// the CRC-32 of its bytes, read and checked only when a search needs it:
//   folders: parents, flags, dates, then the name and note columns;
//   file names, then the user, automatic and archive-path description columns;
//   archive records (negative link) with their numbers and number fields;
//   the three-character pieces of every text (TrigramFilter);
//   the number fields of every file record, in blocks of RowBlock records.
namespace DiscPart {

inline constexpr quint32 FormatVersion = 5;
inline constexpr quint32 RowBlock = 64;
// Bytes a reader needs to decide whether a part is of this version and this archive.
inline constexpr qsizetype FixedHeaderSize = 56;

// The part for a disc archive, from its folder file and file list; nullopt when the
// archive cannot be read (a search then reads it, and reports it, itself).
std::optional<QByteArray> build(const QString &archivePath, const QString &identifier,
                                const ArchiveKey &key);

// The archive key of a part's first FixedHeaderSize bytes; nullopt when they are not
// the start of a part of this format version.
std::optional<ArchiveKey> keyOf(QByteArrayView head);

} // namespace DiscPart

// A part read into memory. Every call that reads a section returns false when the
// section is damaged; the disc is then searched from its archive.
class IndexedDisc
{
public:
    // Reads the part's header; sections are read when asked for. nullopt when the
    // file is not a whole part of this version with a sound header.
    static std::optional<IndexedDisc> open(const QString &path);
    IndexedDisc(IndexedDisc &&) = default;
    IndexedDisc &operator=(IndexedDisc &&) = default;
    ~IndexedDisc();

    const ArchiveKey &key() const { return m_key; }
    // The disc holds a text the index cannot represent: search it from its archive.
    bool streamed() const { return m_streamed; }
    quint32 fileCount() const { return m_fileCount; }
    quint32 folderCount() const { return m_folderCount; }   // without the root

    // False when no text of the disc can hold the literal (lower-case printable
    // ASCII), so the disc has no candidate; `sound` is false when the part is damaged.
    bool mayHold(QByteArrayView literal, bool &sound) const;
    // Folder numbers (from 1) whose name (names) or note (notes) holds the literal,
    // ignoring case, or may match it through case folding.
    bool folderCandidates(QByteArrayView literal, bool names, bool notes,
                          std::vector<quint32> &out);
    // File numbers the same way, by name and by one description part (-1 for none).
    bool fileCandidates(QByteArrayView literal, bool names, int descriptionPart,
                        std::vector<quint32> &out);
    // The whole folder array, folder 0 being the root.
    bool folders(std::vector<FolderRecord> &out);
    // The records of `numbers` (ascending) and of every archive (negative link), in
    // file-list order, with their file numbers.
    bool records(const std::vector<quint32> &numbers, std::vector<FileRecord> &out,
                 std::vector<quint32> &outNumbers);

private:
    enum Section { Folders, FileNames, UserPart, AutomaticPart, PathPart, Archives, Trigrams, FirstRows };
    struct SectionEntry
    {
        qsizetype offset = 0;
        quint32 packed = 0;
        quint32 raw = 0;
    };
    bool section(int index, QByteArray &out) const;
    bool loadFolders();
    bool loadColumn(int index);

    IndexedDisc() = default;

    std::shared_ptr<QFile> m_file;
    mutable const uchar *m_map = nullptr;   // the whole file, once it could be mapped
    mutable bool m_mapTried = false;
    ArchiveKey m_key;
    bool m_streamed = false;
    bool m_specials = false;
    quint32 m_fileCount = 0;
    quint32 m_folderCount = 0;
    std::vector<SectionEntry> m_sections;

    // Decompressed on first use.
    QByteArray m_folderBytes;
    bool m_foldersLoaded = false;
    TextColumn m_folderNames;
    TextColumn m_folderNotes;
    std::array<QByteArray, 4> m_columnBytes;   // file names and the three parts
    std::array<TextColumn, 4> m_columns;
    std::array<bool, 4> m_columnLoaded{};
};

} // namespace vorn
