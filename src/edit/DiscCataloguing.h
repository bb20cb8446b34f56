#pragma once

#include "edit/DiscEdits.h"
#include "edit/EditResult.h"

#include <QString>
#include <QStringList>

namespace vorn {

struct Catalogue;
class FilterTable;
class RunObserver;
class Volume;

namespace edit {

// A disc about to be catalogued, as the cataloguing dialog or vorn-cli names it.
struct NewDisc
{
    QString identifier; // the volume serial number as text; 0 is no disc
    QString name; // checked with the name rule (344 when taken)
    QString volumeLabel;
    QString icon; // stock icon key; empty for the disc's own icon
    bool excluded = false; // left out of searches
    QStringList keywords; // by name; a name the keyword list lacks joins it
};

// What the cataloguing run captures: the option bits of the request (1 text, 2 first
// line, 4 texts in archives, 8 ZIP, 256 CAB, 1024 RAR) and the largest text in bytes.
struct CaptureSettings
{
    qint32 options = 0;
    qint64 maxTextSize = 0;
};

// Catalogues a new disc, for the window and vorn-cli alike: appends its record to the
// disc array, runs the cataloguing run over `volume` (SauveArborescence, building the
// disc's files in the temporary folder without any lock), reads the disc's autorun
// icon, then under the data folder's lock writes "MC.txt" when the keywords are new,
// writes the record (packing the run's files into <id>.VORN) and puts the icon into
// the icon store at once. On a cancel or any failure the record leaves the array
// again, the working copies are deleted and nothing is left in the data folder.
// Afterwards the array is sorted again; the current disc is none.
// Refused: identifier not a number or 0 (707), already in the array (709), name
// empty (406), or the name rule (343, 706, 344); keyword names with ";" (521).
// Failed before the run when the data folder is read-only (705).
EditResult catalogueDisc(Catalogue &catalogue, const NewDisc &disc, const CaptureSettings &capture,
                         const FilterTable &filters, const Volume &volume, RunObserver &observer);

// "Mise à jour...": re-catalogues the disc at `position` from `volume`, keeping the
// descriptions the user typed (the caller asks 622/623 first), then under the lock
// re-reads the record, applies `changes` (a new name is checked with the name rule,
// 344), writes it with the new files and stores the disc's icon. The current disc is
// none afterwards.
EditResult updateDisc(Catalogue &catalogue, int position, const CaptureSettings &capture, const FilterTable &filters,
                      const Volume &volume, RunObserver &observer, const DiscInfoChanges &changes = {});

} // namespace edit
} // namespace vorn
