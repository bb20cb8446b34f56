#pragma once

#include "edit/EditResult.h"
#include "store/DataFolderLock.h"
#include "store/Records.h"

namespace vorn {

struct Catalogue;

namespace edit {

// One change being committed to the open data folder: holds the folder's lock and
// brings the keyword list in memory up to date with "MC.txt" first, so the change
// applies to what the folder holds now and not to an older copy.
class Commit
{
public:
    explicit Commit(Catalogue &catalogue);

    // Takes the lock and merges "MC.txt". Not ok: nothing may be written.
    EditResult begin();

    // Writes "MC.txt" when the merge or this change gave the list keywords the file
    // lacks. Call before the records that name them are written.
    EditResult writeKeywordsIfNeeded();
    // The change itself altered the list (new, renamed or deleted keyword).
    void keywordsChanged() { m_keywordsToWrite = true; }

private:
    Catalogue &m_catalogue;
    DataFolderLock m_lock;
    size_t m_keywordsAtStart = 0;
    bool m_keywordsToWrite = false;
};

// Puts a record just written back at `position` of the disc array: the statistics
// of the copy in memory stay, and so does its display suffix when the name is the same.
void keepInArray(Catalogue &catalogue, int position, DiscRecord written);

// Stores the temporary folder's <id>.ico, when there is one, in the icon store and
// among the catalogue's icons.
void storeOwnIcon(Catalogue &catalogue, const QString &identifier);

} // namespace edit
} // namespace vorn
