#include "store/ArchiveTransfer.h"

#include "common/DurableFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace vorn {

namespace {

constexpr int kTargetIsDataFolder = 700;
constexpr int kTargetIsSource = 701;

// The ways a path may be read: as the kernel walks it (a ".." after a symlink goes up
// from the link's target) and as written with "." and ".." removed first.
std::array<QString, 2> readings(const QString &path)
{
    // QFileInfo would clean the path: the kernel's reading needs it untouched.
    const QString absolute = QDir::isAbsolutePath(path) ? path : QDir::currentPath() + u'/' + path;
    return {absolute, QDir::cleanPath(absolute)};
}

bool sameObject(const QString &a, const QString &b)
{
#ifdef Q_OS_UNIX
    struct stat first
    {
    };
    struct stat second
    {
    };
    if (::stat(QFile::encodeName(a).constData(), &first) != 0 || ::stat(QFile::encodeName(b).constData(), &second) != 0)
        return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
#else
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
#endif
}

} // namespace

bool namesSamePlace(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    for (const QString &first : readings(a)) {
        for (const QString &second : readings(b)) {
            if (sameObject(first, second))
                return true;
        }
    }
    return false;
}

int refuseTransferInto(const QString &dataFolder, const QString &targetFolder)
{
    return namesSamePlace(dataFolder, targetFolder) ? kTargetIsDataFolder : 0;
}

int refuseTransferOf(const QString &sourceArchive, const QString &targetArchive)
{
    return namesSamePlace(sourceArchive, targetArchive) ? kTargetIsSource : 0;
}

QString archivePathIn(const QString &folder, const QString &identifier)
{
    const QString wanted = identifier + QStringLiteral(".VORN");
    const QStringList names = QDir(folder).entryList({wanted}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return folder + name;
    }
    return folder + wanted;
}

bool copyAtomically(const QString &source, const QString &target)
{
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    if (!QFile::copy(source, partial)) {
        QFile::remove(partial);
        return false;
    }
    if (!replaceDurably(partial, target)) {
        QFile::remove(partial);
        return false;
    }
    return true;
}

bool moveAtomically(const QString &source, const QString &target)
{
    if (QFile::rename(source, target)) {
        syncFolderOf(target);
        syncFolderOf(source);
        return true;
    }
    return copyAtomically(source, target) && QFile::remove(source);
}

} // namespace vorn
