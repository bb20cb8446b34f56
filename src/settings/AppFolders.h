#pragma once

#include <QString>

namespace vorn {

// The folder of the running executable.
QString programFolder();

// Where the program's own files are: the help documents, the stock icons ("Ico") and
// the string table. Installed, that is <prefix>/share/vorn beside <prefix>/bin; run
// from the build tree, the program's folder, where the build copies them.
QString resourceFolder();

// Program folder + "Data" when that folder exists and is writable (portable use),
// otherwise the per-user application data location + "/Data".
QString defaultDataFolder();

// A native path with exactly one trailing separator.
QString withTrailingSeparator(const QString &path);

} // namespace vorn
