#include "index/ArchiveKey.h"

#include <QFile>
#include <QFileInfo>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

namespace vorn {

std::optional<ArchiveKey> archiveKey(const QString &path)
{
#if defined(Q_OS_UNIX)
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    ArchiveKey key;
    key.size = qint64(st.st_size);
    key.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + qint64(st.st_mtim.tv_nsec);
    key.inode = quint64(st.st_ino);
    return key;
#else
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    ArchiveKey key;
    key.size = info.size();
    key.modified = info.lastModified().toMSecsSinceEpoch() * 1000000;
    return key;
#endif
}

} // namespace vorn
