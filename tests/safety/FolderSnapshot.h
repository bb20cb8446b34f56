#pragma once

#include "support/TestSupport.h"

#include <QDirIterator>
#include <map>

namespace vorn::test {

// Every file below `folder` with its bytes, to compare a folder before and after.
inline std::map<QString, QByteArray> snapshot(const QString &folder)
{
    std::map<QString, QByteArray> files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        files[path] = readFile(path);
    }
    return files;
}

} // namespace vorn::test
