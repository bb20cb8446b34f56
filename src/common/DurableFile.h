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
// QSaveFile::commit, only once every byte written is in the new file. Qt's commit
// writes out what it still buffers without looking at the result, so on a full disk
// it would put a cut-short file in place of the old one: the buffer is written and
// checked first, and a file that could not be written whole is dropped.
bool commitWhole(QSaveFile &file);
// commitWhole (the new file is flushed to the disk before it replaces the old one)
// followed by a flush of the folder.
bool commitDurably(QSaveFile &file);
// Forces every file written so far on the file system holding `path` to the disk, in
// one call (syncfs): cheaper than a flush per file when many small files were written.
bool syncFileSystemOf(const QString &path);
// Flushes `from`, renames it to `to` (replacing it) and flushes the folder.
bool replaceDurably(const QString &from, const QString &to);

} // namespace vorn
