#pragma once

#include "edit/EditResult.h"
#include "store/Records.h"

#include <QString>
#include <optional>
#include <vector>

namespace vorn {

struct Catalogue;
struct DiscTree;

// Changes to the members of a disc archive that hold the disc's tree and its
// bookmarks. Each call takes the data folder's lock, unpacks the member afresh from
// the archive (over the working copy), changes only its own record, and packs the
// member back with the archive's comment as it stands. The working copy left in the
// temporary folder is the new one, so the window can show it at once.
namespace edit {

// A text as a tree or bookmark file keeps it between double quotes on one line:
// double quotes become apostrophes, tabs and line breaks spaces, and other control
// characters are dropped.
QString lineText(const QString &text);

// The description of folder `folder` (1 to n) or the user description of file number
// `file` (the first of its description triple), as lineText() keeps it.
EditResult setFolderDescription(Catalogue &catalogue, int position, int folder, const QString &text);
EditResult setFileDescription(Catalogue &catalogue, int position, int file, const QString &text);
// Gives folders `folders` (1 to n) the "left out of searches" state `excluded` (bit 0
// of their flags), the other bits kept. `written`, when given, receives the folder
// records as written.
EditResult setFoldersExcluded(Catalogue &catalogue, int position, const std::vector<int> &folders, bool excluded,
                              std::vector<FolderRecord> *written = nullptr);

// The bookmark record for a folder (1 to n) or a file of the tree: its name, the path
// of the folder holding it, its number and its parent or owner. nullopt when out of range.
std::optional<BookmarkRecord> folderBookmark(const DiscTree &tree, int folder);
std::optional<BookmarkRecord> fileBookmark(const DiscTree &tree, int file);
// The same for a path inside the disc ("\" separators, letter case ignored): a folder
// when the path ends with "\", else a file of a folder (not an archive member).
std::optional<BookmarkRecord> bookmarkAt(const DiscTree &tree, const QString &path);

enum class BookmarkChange {
    Toggle, // removed when a bookmark of the same name and path exists, else added
    Describe, // the description of the bookmark of the same kind and number is set;
    // an item without one is toggled (bookmarked without description)
    Set, // added when missing, its description set: repeating never removes it
    Add, // added when missing; an existing bookmark stays as it is
    Remove, // removed when there
};

// The rule on a bookmark list (entry 0 unused). Returns whether the item is
// bookmarked afterwards.
bool applyBookmarkChange(std::vector<BookmarkRecord> &bookmarks, const BookmarkRecord &item, BookmarkChange change,
                         const QString &description = {});

// Applies the change to the disc's bookmark file and packs it; the description is
// kept as lineText() gives it. `bookmarks`, when
// given, receives the disc's bookmark list as written; `bookmarked` whether the item
// is bookmarked afterwards.
EditResult changeBookmark(Catalogue &catalogue, int position, const BookmarkRecord &item, BookmarkChange change,
                          const QString &description = {}, std::vector<BookmarkRecord> *bookmarks = nullptr,
                          bool *bookmarked = nullptr);

} // namespace edit
} // namespace vorn
