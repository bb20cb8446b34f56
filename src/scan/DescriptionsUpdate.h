#pragma once

#include <QString>

namespace vorn {

struct Catalogue;
class FilterTable;
class RunObserver;
class Volume;

struct DescriptionsUpdateOutcome
{
    bool completed = false; // the disc was re-catalogued (and, by updateDescriptions, written)
    int restored = 0; // descriptions put back
    QString error;
};

// The run of "Mise à jour...": re-catalogues the disc at `position` into the
// temporary folder and puts the user's descriptions back into the new tree files;
// nothing is written to the data folder. The member flag word is left at the run's
// value, so the caller's record write (edit::updateDisc) packs the new files.
DescriptionsUpdateOutcome recatalogueKeepingDescriptions(Catalogue &catalogue, int position, const Volume &volume,
                                                         const FilterTable &filters, qint32 options, qint64 maxTextSize,
                                                         RunObserver &observer, bool ask = true);

// "Mise à jour...": re-catalogues the disc at `position` from `volume` with the given
// options, keeping the descriptions the user typed: folder descriptions and files'
// user descriptions go back to the new folders and files with the same path (ignoring
// case). With `ask`, asks 622/623 first. Writes the new tree and the record.
DescriptionsUpdateOutcome updateDescriptions(Catalogue &catalogue, int position, const Volume &volume,
                                             const FilterTable &filters, qint32 options, qint64 maxTextSize,
                                             RunObserver &observer, bool ask = true);

} // namespace vorn
