#include "search/BookmarkList.h"

#include "search/SearchCriteria.h"
#include "store/BookmarkFile.h"
#include "store/Catalogue.h"
#include "store/DiscArchive.h"

namespace vorn {

std::vector<BookmarkRow> listBookmarks(const Catalogue &catalogue, const std::vector<qint64> &selection)
{
    std::vector<BookmarkRow> rows;
    for (int i = 1; i < int(selection.size()) && i <= catalogue.discCount(); ++i) {
        if (selection[size_t(i)] == 0)
            continue;
        const DiscRecord &disc = catalogue.disc(i);
        const std::optional<QByteArray> bytes =
            DiscArchive::readMember(catalogue.archivePath(disc.identifier), disc.identifier + QStringLiteral(".sig"));
        if (!bytes || bytes->isEmpty())
            continue;
        const std::vector<BookmarkRecord> bookmarks = BookmarkFile::parse(*bytes);
        for (size_t k = 1; k < bookmarks.size(); ++k) {
            const BookmarkRecord &bookmark = bookmarks[k];
            BookmarkRow row;
            row.folder = bookmark.kind == 2;
            row.name = bookmark.name;
            row.discName = disc.name;
            row.path = bookmark.path;
            row.extension = upperExtension(bookmark.name);
            row.description = bookmark.description;
            row.discPosition = i;
            row.bookmark = bookmark;
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

} // namespace vorn
