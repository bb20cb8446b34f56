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

// A part opened for reading. Every call that reads a section returns false when the
// section is damaged; the disc is then searched from its archive.
class IndexedDisc
{
public:
    // Reads the part's header (with `headerOnly`, as few bytes as that takes); sections
    // are read when asked for. nullopt when the file is not a whole part of this
    // version with a sound header.
    static std::optional<IndexedDisc> open(const QString &path, bool headerOnly = false);
    IndexedDisc(IndexedDisc &&) = default;
    IndexedDisc &operator=(IndexedDisc &&) = default;
    ~IndexedDisc();

    const ArchiveKey &key() const { return m_key; }
    // The disc holds a text the index cannot represent: search it from its archive.
    bool streamed() const { return m_streamed; }
    quint32 fileCount() const { return m_fileCount; }
    quint32 folderCount() const { return m_folderCount; } // without the root

    // False when no text of the disc can hold the literal (lower-case printable
    // ASCII), so the disc has no candidate; `sound` is false when the part is damaged.
    bool mayHold(QByteArrayView literal, bool &sound) const;
    // Folder numbers (from 1) whose name (names) or note (notes) holds the literal,
    // ignoring case, or may match it through case folding.
    bool folderCandidates(QByteArrayView literal, bool names, bool notes, std::vector<quint32> &out);
    // File numbers the same way, by name and by one description part (-1 for none).
    bool fileCandidates(QByteArrayView literal, bool names, int descriptionPart, std::vector<quint32> &out);
    // The whole folder array, folder 0 being the root, with the name and note of the
    // folders `named` and of the folders above them; the other texts are left empty.
    bool folders(std::vector<FolderRecord> &out, const std::vector<qint32> &named);
    // The records of `numbers` (ascending) and of the archives (negative link) before
    // the last of them, in file-list order, with their file numbers.
    bool records(const std::vector<quint32> &numbers, std::vector<FileRecord> &out, std::vector<quint32> &outNumbers);

private:
    struct SectionEntry
    {
        qsizetype offset = 0;
        quint32 packed = 0;
        quint32 raw = 0;
    };
    // The bytes of a section after its checksum, read if need be and checked; null
    // when the section is damaged.
    const char *checkedSection(int index) const;
    bool section(int index, QByteArray &out) const;
    bool loadFolders();
    bool loadColumn(int index);

    IndexedDisc() = default;

    std::shared_ptr<QFile> m_file;
    mutable QByteArray m_head; // the file's first bytes, read with the header; all of it once a section needs more
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
    std::array<QByteArray, 4> m_columnBytes; // file names and the three parts
    std::array<TextColumn, 4> m_columns;
    std::array<bool, 4> m_columnLoaded{};
    // Where the file names found by the last search begin, for records().
    std::vector<TextColumn::TextStart> m_nameStarts;
};

} // namespace vorn
