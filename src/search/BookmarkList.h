#pragma once

#include "store/Records.h"

#include <QString>
#include <vector>

namespace vorn {

struct Catalogue;

// One row of the bookmark list.
struct BookmarkRow
{
    bool folder = false; // a folder bookmark (kind 2)
    QString name;
    QString discName;
    QString path; // the bookmark's path inside the disc
    QString extension; // upper case, empty without a dot
    QString description;
    int discPosition = 0; // the row's tag
    BookmarkRecord bookmark; // the record the row stands for
};

// The bookmarks of every selected disc (disc selection for the bookmarks tab), in
// disc-array order and file order within a disc. Each disc's bookmark file is read
// from its archive in memory; a disc without one, or with an empty one, adds nothing.
std::vector<BookmarkRow> listBookmarks(const Catalogue &catalogue, const std::vector<qint64> &selection);

} // namespace vorn
