#pragma once

#include "export/HtmlExportOptions.h"

#include <QString>
#include <vector>

namespace vorn {

struct Catalogue;
class RunObserver;

// What an HTML export did.
struct HtmlExportResult
{
    bool written = false; // the index page was written
    bool cancelled = false; // the stop flag ended the disc loop early (the index is still written)
    int discsExported = 0;
    QString indexPath;
    QString message; // the text shown when the export stopped on an error
};

// Positions of the discs whose keyword codes hold "|k|" for at least one of the
// keyword numbers, in disc-array order.
std::vector<int> discsWithKeywords(const Catalogue &catalogue, const std::vector<qint16> &numbers);

// What the export window's disc chooser holds: on the discs tab the selected
// positions, or every disc when "[Tous les CD]" is selected; on the keywords tab the
// selected keyword numbers.
struct DiscChoice
{
    bool byKeyword = false;
    bool everyDisc = false;
    std::vector<int> positions;
    std::vector<qint16> keywords;
};

// The positions the choice names, in disc-array order.
std::vector<int> chosenDiscs(const Catalogue &catalogue, const DiscChoice &choice);

// Writes the site for the discs at `positions` (taken in disc-array order, each once):
// the companion folder <base>_files beside the index file with the background
// pictures, CD.bmp, the discs' icons as 16 x 16 bitmaps when icons are shown and one
// contents page per disc when asked, then the index page. Every page goes through a
// temporary name, so a page that exists is whole. The discs' archives are read in
// memory; the working copies of the temporary folder are left alone. No disc: message
// 556, nothing written. A write that fails: message 421 with its description, the
// export stops and the index page is not written. After a cancel the index lists the
// discs done so far.
HtmlExportResult exportHtml(const Catalogue &catalogue, const QString &indexPath, std::vector<int> positions,
                            const HtmlExportOptions &options, RunObserver &observer);

// The export as the window runs it: asks for the index file with the save dialog
// (cancelled: nothing written, no message; a name without extension gets ".html"),
// then exportHtml.
HtmlExportResult runHtmlExport(const Catalogue &catalogue, const std::vector<int> &positions,
                               const HtmlExportOptions &options, RunObserver &observer);

} // namespace vorn
