#pragma once

#include "export/HtmlExportOptions.h"
#include "store/TreeFiles.h"

#include <QString>

namespace vorn {

struct Catalogue;
class RunObserver;

// The names of one exported site, from the chosen index file <dir>/<base>.<ext>.
struct HtmlSiteNames
{
    QString base; // "catalogue"
    QString extension; // "htm"; empty when the file has none

    QString indexFileName() const; // "catalogue.htm"
    QString companionFolderName() const; // "catalogue_files"
    // The index page's relative URL of its companion folder without "_files".
    QString folderReference() const;
};

// Entries per column of a folder's table: (entries + columns) / columns rounded to
// the nearest integer, halves to even. A new cell starts after each multiple of it.
int entriesPerColumn(int entries, int columns);

// The index page's head: the fixed fragments with the title, the font size, the
// companion folder reference F (as given by HtmlSiteNames::folderReference) and the
// banner text. Title and banner are escaped here.
QString htmlIndexHead(const QString &title, const QString &folderReference, int fontSize, const QString &banner);

// The closing banner row and the end of the index page.
QString htmlPageFoot(const QString &folderReference);

// One disc's row of the index page, with its line end. `iconFile` is the picture's
// name in the companion folder (used when icons are shown).
QString htmlIndexRow(const Catalogue &catalogue, const DiscRecord &disc, const QString &iconFile,
                     const QString &folderReference, const HtmlExportOptions &options);

// A disc's contents page: its head, one table per folder in folder-number order, and
// the end of the page (without the final line end). The observer, when given, gets a
// yield per folder.
QString htmlContentsPage(const DiscRecord &disc, const DiscTree &tree, const QString &iconFile,
                         const HtmlSiteNames &names, const HtmlExportOptions &options, RunObserver *observer = nullptr);

} // namespace vorn
