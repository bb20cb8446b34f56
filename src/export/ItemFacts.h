#pragma once

#include <QString>

namespace vorn {

struct Catalogue;
struct DiscTree;

// The facts the properties dialog shows about a disc, a folder or a file. Every line
// begins with four spaces and ends with CRLF; numbers carry the digit grouping of
// string 500.
namespace ItemFacts {

// The disc at `position`: sizes and counts from its record's statistics (the caller
// has read its whole file list), `folderCount` folders, its volume label, identifier,
// burn date, archive file and captured texts.
QString disc(const Catalogue &catalogue, int position, int folderCount);
// File `file` of the disc's tree: size, folder path, date, then the disc's lines.
QString file(const Catalogue &catalogue, int position, const DiscTree &tree, int file);
// Folder `folder` (0 the root): path, sub-folders, files and their size directly in
// it, then the disc's lines. The tree holds the folder's files.
QString folder(const Catalogue &catalogue, int position, const DiscTree &tree, int folder);

} // namespace ItemFacts
} // namespace vorn
