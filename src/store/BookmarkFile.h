#pragma once

#include "store/Records.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

namespace vorn {

struct Catalogue;

// The bookmark file <id>.sig: one line per bookmark, six fields (kind, name, path,
// number, description, folder), no header. Bookmark lists count from 1 like the
// other lists: entry 0 is an unused empty record.
namespace BookmarkFile {

// Bookmarks of a file's bytes at positions 1, 2, ...; blank lines are skipped.
std::vector<BookmarkRecord> parse(QByteArrayView data);
// The file's bytes for the list from position 1 on; records with an empty name are left out.
QByteArray serialize(const std::vector<BookmarkRecord> &bookmarks);

// Reads a bookmark file; a missing or unreadable file gives an empty list (entry 0 only).
std::vector<BookmarkRecord> read(const QString &path);
// Reads the disc's working copy, unpacking it from the disc archive when missing.
std::vector<BookmarkRecord> read(const Catalogue &catalogue, const QString &identifier);

// Writes the list to a new file that replaces the old one only once complete.
bool write(const QString &path, const std::vector<BookmarkRecord> &bookmarks);
// Writes the disc's working copy; the caller then packs it with the bookmark bit.
bool write(const Catalogue &catalogue, const QString &identifier, const std::vector<BookmarkRecord> &bookmarks);

} // namespace BookmarkFile
} // namespace vorn
