#pragma once

// Writes that survive a crash or a power cut: a new file reaches the disk before it
// replaces the old one, and the folder entry of the replacement reaches it after.

#include <QString>

class QSaveFile;

namespace vorn {

// Forces the file's data to the disk.
bool syncFile(const QString &path);
// Forces the folder holding `path` (its names) to the disk.
bool syncFolderOf(const QString &path);
// QSaveFile::commit (which flushes the new file before renaming it) followed by a
// flush of the folder.
bool commitDurably(QSaveFile &file);
// Flushes `from`, renames it to `to` (replacing it) and flushes the folder.
bool replaceDurably(const QString &from, const QString &to);

} // namespace vorn
