#include "common/DurableFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace vorn {

namespace {

bool syncPath(const QString &path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace

bool syncFile(const QString &path)
{
    return syncPath(path, O_RDONLY);
}

bool syncFolderOf(const QString &path)
{
    return syncPath(QFileInfo(path).absolutePath(), O_RDONLY | O_DIRECTORY);
}

bool syncFileSystemOf(const QString &path)
{
    const int fd =
        ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::syncfs(fd) == 0;
    ::close(fd);
    return synced;
}

bool commitWhole(QSaveFile &file)
{
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        file.commit(); // removes the new file
        return false;
    }
    return file.commit();
}

bool commitDurably(QSaveFile &file)
{
    if (!commitWhole(file))
        return false;
    syncFolderOf(file.fileName()); // the file is in place: the flush is all that can fail
    return true;
}

bool replaceDurably(const QString &from, const QString &to)
{
    // rename(2) replaces the target in one step; QFile::rename would not.
    if (!syncFile(from) || ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return false;
    syncFolderOf(to); // the file is in place: the flush is all that can fail
    return true;
}

} // namespace vorn
