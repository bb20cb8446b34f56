#include "export/ExportFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>

namespace vorn {

bool writeExportFile(const QString &path, const QByteArray &bytes, QString *error)
{
    auto failed = [&](const QString &reason) {
        if (error)
            *error = QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason;
        return false;
    };
    QTemporaryFile temp(path + QStringLiteral(".XXXXXX"));
    if (!temp.open() || temp.write(bytes) != bytes.size() || !temp.flush())
        return failed(temp.errorString());
    // A temporary file is private to its owner; an exported page is meant to be read.
    temp.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    temp.close();
    // rename(2) replaces the target in one step; QFile::rename would refuse an existing one.
    if (std::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return failed(qt_error_string(errno));
    temp.setAutoRemove(false);
    return true;
}

} // namespace vorn
