#include "common/FolderEntries.h"

#include <QFile>

#include <dirent.h>

namespace vorn {

QStringList folderEntryNames(const QString &folder)
{
    QStringList names;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir)) {
#ifdef DT_DIR
        if (entry->d_type == DT_DIR)
            continue;
#endif
        names << QFile::decodeName(entry->d_name);
    }
    ::closedir(dir);
    return names;
}

} // namespace vorn
