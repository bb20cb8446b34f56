#pragma once

#include <QString>

namespace vorn {

struct Catalogue;
class FilterTable;
class RunObserver;
class Volume;

struct DescriptionsUpdateOutcome
{
    bool completed = false;   // the disc was re-catalogued and its record written
    int restored = 0;         // descriptions put back
    QString error;
};

// "Mise à jour...": re-catalogues the disc at `position` from `volume` with the given
// options, keeping the descriptions the user typed: folder descriptions and files'
// user descriptions go back to the new folders and files with the same path (ignoring
// case). With `ask`, asks 622/623 first. Writes the new tree and the record.
DescriptionsUpdateOutcome updateDescriptions(Catalogue &catalogue, int position,
                                             const Volume &volume, const FilterTable &filters,
                                             qint32 options, qint64 maxTextSize,
                                             RunObserver &observer, bool ask = true);

} // namespace vorn
