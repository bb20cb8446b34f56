#pragma once

#include "edit/EditResult.h"

#include <QString>
#include <vector>

namespace vorn {

struct Catalogue;

// The keyword manager's edits of the data folder's keyword list ("MC.txt"), each
// under the data folder's lock after re-reading the file.
namespace edit {

// Adds a keyword with the next free number. An empty name changes nothing; refused
// with 521 for ";" and 305 "Mot-clé déjà existant." for a name already in the list
// (ignoring case). `position`, when given, receives the keyword's list position.
EditResult addKeyword(Catalogue &catalogue, const QString &name, int *position = nullptr);

// Renames the keyword with this number (521, 305 as above; a change of letter case
// only is allowed). The records of the discs that carry it are written again when
// `rewriteDiscs` is set, so they name it by its new name; otherwise their positions
// are added to `changedDiscs` for the caller to write later (changeDiscInfo with the
// keyword set).
EditResult renameKeyword(Catalogue &catalogue, int number, const QString &newName, bool rewriteDiscs,
                         std::vector<int> *changedDiscs = nullptr);

// Deletes the keyword with this number from the list and from every disc in the
// array that carries it; with `rewriteDiscs` their records are written at once,
// otherwise their positions go to `changedDiscs`.
EditResult deleteKeyword(Catalogue &catalogue, int number, bool rewriteDiscs, std::vector<int> *changedDiscs = nullptr);

} // namespace edit
} // namespace vorn
