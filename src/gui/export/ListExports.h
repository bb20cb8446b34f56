#pragma once

#include "export/ExportRows.h"
#include "export/ListExport.h"

#include <QString>
#include <functional>
#include <vector>

namespace vorn {

struct Catalogue;
class AppIcons;
class BookmarkListModel;
class FilePaneModel;
class SearchResultModel;
class UserPrompt;

// Where the window's list exports take their rows from, in the lists' current order.
struct ListExportSources
{
    const Catalogue *catalogue = nullptr; // the disc list
    std::function<std::vector<FilePaneLine>()> filePane;
    // The search results and the bookmarks; unset while the window has no such list.
    std::function<std::vector<ListRow>()> searchResults;
    std::function<std::vector<ListRow>()> bookmarks;

    // The pictures of the rows in the HTML export: the lists' own icons.
    RowPicture picture;

    // The rows of a result list, or of none (an empty function) for any other source.
    const std::function<std::vector<ListRow>()> &resultRows(ListSource list) const;
};

// The file pane's rows as the text export writes them: name, size and date columns.
std::vector<FilePaneLine> filePaneLines(const FilePaneModel &model);

// The search result list's and the bookmark list's rows in their current order.
std::vector<ListRow> resultListRows(const SearchResultModel &model);
std::vector<ListRow> resultListRows(const BookmarkListModel &model);

// A row's icon in the window's lists, on white, as the HTML export draws it.
QImage rowPicture(AppIcons &icons, const ListRow &row);

// The text export of the list named by the view menu's tag ("LVCD", "LV1",
// "Listresult0", "Listresult1"): asks for the file, writes it, reports a failure.
// False when nothing was written.
bool exportListAsText(const QString &tag, const ListExportSources &sources, UserPrompt &prompt);

// The HTML export of a result list (search results or bookmarks).
bool exportListAsHtml(ListSource list, const ListExportSources &sources, UserPrompt &prompt);

} // namespace vorn
