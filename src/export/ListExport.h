#pragma once

#include "export/ExportRows.h"
#include "export/HtmlExportOptions.h"

#include <QImage>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace vorn {

struct Catalogue;
class UserPrompt;

// The list a text export takes, named by the tag of the shared view menu.
enum class ListSource { Discs, FilePane, SearchResults, Bookmarks };

// "LVCD", "LV1", "Listresult0", "Listresult1"; nullopt for any other tag.
std::optional<ListSource> listSourceFromTag(const QString &tag);

// Text export bodies, one CRLF-ended line per entry.
// The disc list: every disc of the array with a non-zero identifier, its name quoted.
QString discListText(const Catalogue &catalogue);
// A result list: disc name, a tab, then location and name run together (the row's
// full path inside the disc).
QString resultListText(const std::vector<ListRow> &rows);
// The file pane: name, size column without its padding and date column, each a
// quoted field of the store's line syntax.
QString filePaneText(const std::vector<FilePaneLine> &rows);

// Writes an export's text as UTF-8, replacing the file; missing parent folders are
// created. A failure shows "Export impossible!" (421) with the path and the reason,
// and gives false.
bool writeTextExport(const QString &path, const QString &text, UserPrompt &prompt);

// The save dialogs of the two file exports; an empty text when cancelled. A name
// without extension gets the export's default one (".TXT", ".html").
QString chooseTextExportFile(UserPrompt &prompt);
QString chooseHtmlListFile(UserPrompt &prompt);

// The picture of a row in the HTML list export; a null image takes the default
// folder or file picture.
using RowPicture = std::function<QImage(const ListRow &row)>;

// The HTML export of a result list (search results or bookmarks): the companion
// folder <base>_files with the background pictures and CD.bmp, then the page with
// the index head titled 553 or 635, one row per list row in the given order, and the
// page foot. With icons on, each row shows its picture: FC.bmp for folders, J<n>.bmp
// for the n-th extension met (ignoring case). Every text from a disc or a user is
// escaped. A failure shows 421 with its description and gives false.
bool exportResultListHtml(const QString &path, ListSource list, const std::vector<ListRow> &rows,
                          const HtmlExportOptions &options, UserPrompt &prompt, const RowPicture &picture = {});

} // namespace vorn
