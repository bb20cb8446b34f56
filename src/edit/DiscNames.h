#pragma once

#include <QString>
#include <QStringView>

namespace vorn {

struct Catalogue;

// The one rule for the names users give discs, used by every caller: cataloguing,
// naming the disc in a drive, renaming in place, the properties dialog, vorn-cli.
namespace DiscName {

enum class Problem {
    None,
    Empty,
    Backslash, // "\" would split a path of the disc (343)
    ControlCharacter, // CR, LF, TAB, NUL...: would break the record's lines (706)
    Taken, // another disc has this name
};

// True for C0 and C1 control characters, DEL and the Unicode line and paragraph separators.
bool isControlCharacter(QChar c);

// What a name box keeps of typed text: control characters dropped, '"' turned into
// "'", spaces trimmed at both ends.
QString cleaned(const QString &typed);
// The name as stored: '"' turned into "'", spaces trimmed. Control characters stay
// (check() refuses them).
QString normalised(const QString &name);

// True when a disc other than the one at `exceptPosition` (0: none) has this name,
// display suffixes stripped on both sides and letter case ignored.
bool taken(const Catalogue &catalogue, const QString &name, int exceptPosition);

// The first problem of a normalised name, in the order Empty, Backslash,
// ControlCharacter, Taken.
Problem check(const Catalogue &catalogue, const QString &name, int exceptPosition);

// The string identifier to show for a problem: `takenMessage` is 344 "Nom déjà dans la
// liste!" (cataloguing, naming the disc in a drive, vorn-cli) or 300 "Nom de CD déjà
// Utilisé" (renaming a catalogued disc). 0 for None and Empty.
int message(Problem problem, int takenMessage);

} // namespace DiscName

// A disc identifier as given by a user: a signed 32-bit decimal number other than 0
// (0 is "no disc"). Returns the identifier's canonical text, or an empty text.
QString validDiscIdentifier(const QString &text);

} // namespace vorn
