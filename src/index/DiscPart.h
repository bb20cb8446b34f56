#pragma once

#include "index/ArchiveKey.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace vorn {

// One disc's part of the search index: what a name or description search needs of
// the disc's folder file and file list, in one file of the index folder.
//
// A fixed header (magic, format version, the archive's key, counts) is followed by a
// table of sections and a hash over the header; each section is an LZ4 block with
// the CRC-32 of its bytes, read and checked only when a search needs it:
//   the three-character pieces of every text (TrigramFilter);
//   folders: parents, flags, dates, then the name and note columns;
//   file names, then the user, automatic and archive-path description columns;
//   archive records (negative link) with their numbers and number fields;
//   the number fields of every file record, in blocks of RowBlock records, stored
//   uncompressed so that a search decodes only the records it shows (RowBlock.h).
namespace DiscPart {

inline constexpr quint32 FormatVersion = 8;
inline constexpr quint32 RowBlock = 64;
// Bytes a reader needs to decide whether a part is of this version and this archive.
inline constexpr qsizetype FixedHeaderSize = 56;

// The part for a disc archive, from its folder file and file list; nullopt when the
// archive cannot be read (a search then reads it, and reports it, itself).
std::optional<QByteArray> build(const QString &archivePath, const QString &identifier, const ArchiveKey &key);

// The archive key of a part's first FixedHeaderSize bytes; nullopt when they are not
// the start of a part of this format version.
std::optional<ArchiveKey> keyOf(QByteArrayView head);

} // namespace DiscPart

} // namespace vorn
