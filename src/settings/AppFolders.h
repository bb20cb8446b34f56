#pragma once

#include <QString>

namespace vorn {

// The folder of the running executable.
QString programFolder();

// Program folder + "Data" when that folder exists and is writable (portable use),
// otherwise the per-user application data location + "/Data".
QString defaultDataFolder();

// A native path with exactly one trailing separator.
QString withTrailingSeparator(const QString &path);

} // namespace vorn
