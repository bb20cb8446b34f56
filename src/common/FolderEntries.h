#pragma once

#include <QStringList>

namespace vorn {

// The names of a folder's entries other than sub-folders, as the system lists them:
// no sorting and no look at each file, for folders of thousands of archives or
// index parts. Empty when the folder cannot be read.
QStringList folderEntryNames(const QString &folder);

} // namespace vorn
