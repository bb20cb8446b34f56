#include "settings/AppFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vorn {

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString resourceFolder()
{
    const QString installed = QDir(programFolder()).absoluteFilePath(QStringLiteral("../share/vorn"));
    if (QFileInfo(installed).isDir())
        return QDir::cleanPath(installed);
    return programFolder();
}

QString defaultDataFolder()
{
    const QFileInfo portable(QDir(programFolder()).filePath(QStringLiteral("Data")));
    if (portable.isDir() && portable.isWritable())
        return withTrailingSeparator(portable.absoluteFilePath());
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return withTrailingSeparator(QDir(base).filePath(QStringLiteral("Data")));
}

QString withTrailingSeparator(const QString &path)
{
    QString result = QDir::toNativeSeparators(path);
    while (result.size() > 1 && result.endsWith(QDir::separator()))
        result.chop(1);
    if (!result.endsWith(QDir::separator()))
        result += QDir::separator();
    return result;
}

} // namespace vorn
