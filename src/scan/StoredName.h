#pragma once

#include <QString>

namespace vorn {

// A name read from a disc as the line files store it: each double quote becomes an
// apostrophe and each CR or LF a space, so a name can never break the line syntax.
QString storedName(const QString &name);

} // namespace vorn
