#pragma once

#include <QString>

namespace vorn {

struct Catalogue;

// Moves the disc at `position` over to another identifier: every member of its archive
// is unpacked, renamed from <old id>.* to <new id>.*, packed into <new id>.VORN with
// the disc's record, and only then is the old archive deleted. The record in the array
// and the disc's own icon (catalogue.discIcons and the icon store) follow the disc.
// Refused, leaving everything as it was, when the new identifier is empty, is not a
// number, equals the old one or already names an archive of the data folder, or when
// the old archive cannot be unpacked or the new one cannot be written.
bool rekeyDisc(Catalogue &catalogue, int position, const QString &newIdentifier, QString *error = nullptr);

} // namespace vorn
