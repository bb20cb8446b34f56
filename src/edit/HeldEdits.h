#pragma once

#include <QString>

namespace vorn {

// Edits the window holds until the user leaves the disc.

// True when the typed description differs from the stored one by more than letter
// case; line breaks compare alike whether CRLF (stored) or LF (typed).
bool descriptionEdited(const QString &stored, const QString &typed);

} // namespace vorn
