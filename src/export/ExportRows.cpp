#include "export/ExportRows.h"

#include "search/BookmarkList.h"
#include "search/SearchRun.h"

namespace vorn {

ListRow listRow(const SearchRow &row)
{
    return {row.folder, row.name, row.discName, row.location, row.extension};
}

ListRow listRow(const BookmarkRow &row)
{
    return {row.folder, row.name, row.discName, row.path, row.extension};
}

std::vector<ListRow> listRows(const std::vector<SearchRow> &rows)
{
    std::vector<ListRow> result;
    result.reserve(rows.size());
    for (const SearchRow &row : rows)
        result.push_back(listRow(row));
    return result;
}

std::vector<ListRow> listRows(const std::vector<BookmarkRow> &rows)
{
    std::vector<ListRow> result;
    result.reserve(rows.size());
    for (const BookmarkRow &row : rows)
        result.push_back(listRow(row));
    return result;
}

} // namespace vorn
