#include "common/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorn {

int openRegularFile(const QByteArray &hostPath, LinkRule links)
{
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (links == LinkRule::DoNotFollow ? O_NOFOLLOW : 0);
    const int fd = ::open(hostPath.constData(), flags);
    if (fd < 0)
        return -1;
    struct stat st;
    int error = 0;
    if (::fstat(fd, &st) != 0)
        error = errno;
    else if (!S_ISREG(st.st_mode))
        error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    else if (::fcntl(fd, F_SETFL, 0) != 0)
        error = errno;
    if (error == 0)
        return fd;
    ::close(fd);
    errno = error;
    return -1;
}

std::unique_ptr<QFile> openRegularQFile(const QString &hostPath, LinkRule links)
{
    return openRegularQFile(QFile::encodeName(hostPath), links);
}

std::unique_ptr<QFile> openRegularQFile(const QByteArray &hostPath, LinkRule links)
{
    const int fd = openRegularFile(hostPath, links);
    if (fd < 0)
        return nullptr;
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return nullptr;
    }
    return file;
}

} // namespace vorn
