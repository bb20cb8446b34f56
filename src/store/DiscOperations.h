#pragma once

#include <QString>

namespace vorn {

struct Catalogue;
class DataFolderList;
class FileListLoader;
class UserPrompt;

// Takes the disc at `position` out of the disc array; the current position follows
// its disc (0 when it was the one removed).
void removeDiscFromArray(Catalogue &catalogue, int position);

// Asks for confirmation (347 and the disc's name), then deletes the disc's archive and
// takes it out of the array. The file-list loader, when given, is closed first.
// True when the disc was deleted.
bool deleteDisc(Catalogue &catalogue, int position, UserPrompt &prompt, FileListLoader *loader = nullptr);

// Deletes the disc's archive (its attributes cleared first); a missing archive is
// not an error.
bool deleteDiscArchive(const Catalogue &catalogue, const QString &identifier, QString *error = nullptr);

// Copies or moves the archive of the disc at `position` into a folder the user
// chooses (451), asking before overwriting (420, 545), and says "1  CD Exporté(s)"
// (466). A moved disc leaves the array. The archive is first written under a
// temporary name, so an interrupted copy never leaves a broken archive at the target.
// True when the archive was copied or moved.
bool exportDiscArchive(Catalogue &catalogue, int position, bool move, UserPrompt &prompt);
// The same with the folder given (no folder question).
bool exportDiscArchiveTo(Catalogue &catalogue, int position, const QString &folder, bool move, UserPrompt &prompt);

// Before cataloguing: looks for the disc's archive in the other registered data
// folders and, at the first found, asks whether to copy it instead (603, 605, 604).
enum class ElsewhereAnswer { NotFound, Copied, CatalogueAnew, Cancelled };
ElsewhereAnswer lookInOtherDataFolders(Catalogue &catalogue, const DataFolderList &folders, const QString &identifier,
                                       UserPrompt &prompt);

} // namespace vorn
