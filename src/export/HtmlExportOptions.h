#pragma once

namespace vorn {

// What one HTML export writes: the ticks of the export window's options tree and the
// stored font size.
struct HtmlExportOptions
{
    bool descriptions = false; // "kDesc": each disc's description in its index row
    bool keywords = false; // "kMC": each disc's keyword names in its index row
    bool contents = false; // "KCD": one contents page per disc, linked from the index
    bool borders = false; // "KBordCD": cell borders in the contents tables
    int columns = 6; // "KColsCD": columns of each folder's table
    bool icons = true; // "KIcones": the discs' icons
    int fontSize = 8; // points of the ".cb" style
};

// The stored defaults: "HTMNbCols", "IcoHtml" and "FontSize" of section "Opt".
HtmlExportOptions htmlExportOptionsFromSettings();

} // namespace vorn
