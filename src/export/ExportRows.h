#pragma once

#include <QString>
#include <vector>

namespace vorn {

struct BookmarkRow;
struct SearchRow;

// One row of a result list (search results or bookmarks) as the list exports read it.
struct ListRow
{
    bool folder = false; // shown with the closed-folder picture
    QString name; // the row's text
    QString discName; // sub-item 1
    QString location; // sub-item 2: the location inside the disc
    QString extension; // sub-item 3
};

// One row of the file pane: its name, size column and date column as shown.
struct FilePaneLine
{
    QString name;
    QString sizeText; // right-aligned kilobytes; empty for a sub-folder row
    QString dateText;
};

ListRow listRow(const SearchRow &row);
ListRow listRow(const BookmarkRow &row);
std::vector<ListRow> listRows(const std::vector<SearchRow> &rows);
std::vector<ListRow> listRows(const std::vector<BookmarkRow> &rows);

} // namespace vorn
