#include "export/ExportFile.h"

#include "common/DurableFile.h"
#include "common/UserPrompt.h"
#include "settings/StringTable.h"
#include "store/ArchiveTransfer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace vorn {

bool exportTargetAllowed(const QString &dataFolder, const QString &path, UserPrompt &prompt)
{
    if (dataFolder.isEmpty() || !namesSamePlace(dataFolder, QFileInfo(path).absolutePath()))
        return true;
    prompt.warn(LoadText(782) + u'\n' + QDir::toNativeSeparators(path));
    return false;
}

bool writeExportFile(const QString &path, const QByteArray &bytes, QString *error, bool durable)
{
    auto failed = [&](const QString &reason) {
        if (error)
            *error = QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason;
        return false;
    };
    QTemporaryFile temp(path + QStringLiteral(".XXXXXX"));
    if (!temp.open() || temp.write(bytes) != bytes.size() || !temp.flush())
        return failed(temp.errorString());
    if (durable && ::fsync(temp.handle()) != 0)
        return failed(qt_error_string(errno));
    // A temporary file is private to its owner; an exported page is meant to be read.
    temp.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    temp.close();
    // rename(2) replaces the target in one step; QFile::rename would refuse an existing one.
    if (std::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return failed(qt_error_string(errno));
    temp.setAutoRemove(false);
    if (durable)
        syncFolderOf(path);
    return true;
}

} // namespace vorn
