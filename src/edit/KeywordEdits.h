#pragma once

#include "edit/EditResult.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace vorn {

struct Catalogue;

// The keyword manager's edits of the data folder's keyword list ("MC.txt"), each
// under the data folder's lock after re-reading the file.
namespace edit {

// Adds a keyword with the next free number. The name is cleaned first
// (DiscName::cleaned: control characters dropped, '"' made "'", spaces trimmed); an
// empty name changes nothing; refused
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

// The disc codes with keyword `number` carried or not (the manager's ticks).
QString codesWithKeyword(const QString &codes, int number, bool carried);

// Writes into the records of the discs with these identifiers the keywords their
// codes in memory name, under one commit: the manager's ticks and deletions, written
// when it closes. An identifier no longer in the array is skipped.
EditResult writeDiscKeywords(Catalogue &catalogue, const QStringList &identifiers);

} // namespace edit
} // namespace vorn
