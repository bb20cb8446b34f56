#pragma once

#include <QString>
#include <QStringList>

namespace vorn {

struct Catalogue;

// The icon store "VORN.Icons" of a data folder: a ZIP archive with one member
// <id>.ico per disc that has an icon.
namespace IconStore {

// Unpacks every "*.ICO" member into a private folder inside the temporary folder and
// adds each icon to catalogue.discIcons under the number at the start of its name,
// unless an icon is already there; the unpacked copies are deleted. A missing store
// adds nothing. Returns the number of icons added.
int load(Catalogue &catalogue);

// Packs the temporary folder's <id>.ico into the icon store (level 9). False when the
// working copy is missing or the write fails.
bool add(const Catalogue &catalogue, const QString &identifier);

// Packs the icons catalogue.discIcons holds for the given identifiers into the icon
// store in one write (identifiers without an icon are skipped). True when there was
// nothing to add.
bool addSeveral(const Catalogue &catalogue, const QStringList &identifiers);

// Takes a disc's icon out of the icon store (a disc given another identifier).
bool remove(const Catalogue &catalogue, const QString &identifier);

} // namespace IconStore
} // namespace vorn
