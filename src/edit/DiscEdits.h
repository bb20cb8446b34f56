#pragma once

#include "edit/EditResult.h"
#include "store/Records.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace vorn {

struct Catalogue;
class FileListLoader;

// Changes to a catalogued disc's information record, its identifier or its archive.
// Each call takes the data folder's lock, re-reads what it changes from the archive,
// applies only its own change, writes, and updates the disc array; on failure nothing
// is written and the array is as it was. Every call also brings the keyword list in
// memory up to date with "MC.txt" (a keyword another copy added appears, and a number
// may change), so callers showing keywords refill them afterwards. Where the window holds an edit until the user
// leaves the disc (the description, keyword ticks, field values), it calls these then;
// vorn-cli calls them at once.
namespace edit {

// What to change in a disc's information record; what is left unset stays as the
// archive holds it.
struct DiscInfoChanges
{
    std::optional<QString> name; // use renameDisc(), which applies the name rule
    std::optional<QString> description; // line breaks are stored as CRLF; other control
        // characters but the tab are dropped
    std::optional<QString> icon; // stock icon key; empty for the disc's own icon
    std::optional<bool> excluded; // left out of searches
    std::optional<QStringList> keywords; // the whole keyword set, by name
    QStringList addKeywords; // by name; a name the keyword list lacks joins it
    QStringList removeKeywords; // by name
    std::vector<FieldPair> fieldValues; // a value for each named field (ignoring case)
    std::vector<std::pair<QString, QString>> renamedFields; // (name, new name)
    QStringList removedFields;
};

// Applies the changes to the disc at `position`. Refused with 521 when a keyword
// name, field name or field value holds ";", and with 846 when the record would pass
// the 65,535 bytes an archive comment holds. Field names and values lose their
// control characters (DiscName::cleaned) and are cut to 100 characters.
EditResult changeDiscInfo(Catalogue &catalogue, int position, const DiscInfoChanges &changes);

// Renames a field for every disc of the data folder: each disc whose record has the
// field (re-read from its archive) is written again, and the field-name list follows.
// Refused with 521 for ";" and 537 "Nom déjà existant !" for the name of another
// field (ignoring case); the new name is cut to 100 characters.
EditResult renameField(Catalogue &catalogue, const QString &name, const QString &newName);
// Takes a field out of every disc's record and out of the field-name list.
EditResult deleteField(Catalogue &catalogue, const QString &name);

// Renames the disc at `position` ("Nom de CD déjà Utilisé", 300, when another disc has
// the name; 344 for callers that name the disc as when cataloguing). The name is
// normalised first (DiscName::normalised); an empty name changes nothing. Afterwards
// the array is sorted again and duplicate names get their suffixes.
EditResult renameDisc(Catalogue &catalogue, int position, const QString &name, int takenMessage = 300);

// Gives the disc at `position` another identifier (its archive, members and icon
// move with it). Refused with 707 for an identifier that is not a number or is 0.
EditResult rekeyDisc(Catalogue &catalogue, int position, const QString &newIdentifier);

// Deletes the disc's archive and takes it out of the array (the caller has asked
// 347). The file-list loader, when given, is closed first.
EditResult deleteDisc(Catalogue &catalogue, int position, FileListLoader *loader = nullptr);

// Inside a commit already begun: the disc's record re-read from its archive, changed
// and written with `memberFlags` (the run's files for an update, else 0).
class Commit;
EditResult applyDiscInfo(Catalogue &catalogue, Commit &commit, int position, const DiscInfoChanges &changes,
                         int memberFlags);
// The first problem of the changes' texts (521), or done().
EditResult checkDiscInfo(const DiscInfoChanges &changes);

} // namespace edit
} // namespace vorn
