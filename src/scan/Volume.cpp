#include "scan/Volume.h"

#include "common/RegularFile.h"
#include "common/TextCodec.h"
#include "scan/PathSyntax.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorn {

namespace {

void fillFacts(const struct stat &st, VolumeEntry &entry)
{
    entry.isSymlink = S_ISLNK(st.st_mode);
    entry.isFolder = S_ISDIR(st.st_mode);
    entry.size = qint64(st.st_size);
    entry.modifiedMs = qint64(st.st_mtim.tv_sec) * 1000 + qint64(st.st_mtim.tv_nsec / 1000000);
    entry.hasFacts = true;
}

bool isAscii(QStringView text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

class FdGuard
{
public:
    explicit FdGuard(int fd) : m_fd(fd) {}
    ~FdGuard()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FdGuard(const FdGuard &) = delete;
    FdGuard &operator=(const FdGuard &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Copies a regular file to a new file, keeping its modification time. The target
// must not exist; it is removed again when the copy fails.
int copyFile(const QByteArray &from, const QByteArray &to)
{
    FdGuard in(::open(from.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (in.get() < 0)
        return errno;
    struct stat st;
    if (::fstat(in.get(), &st) != 0)
        return errno;
    if (!S_ISREG(st.st_mode))
        return EXDEV;
    int out = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
    if (out < 0)
        return errno;
    int error = 0;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(in.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            break;
        }
        if (got == 0)
            break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer + done, size_t(got - done));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                error = errno;
                break;
            }
            done += put;
        }
        if (error != 0)
            break;
    }
    if (error == 0) {
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(out, times);
    }
    if (::close(out) != 0 && error == 0)
        error = errno;
    if (error != 0)
        ::unlink(to.constData());
    return error;
}

} // namespace

QDateTime VolumeEntry::modified() const
{
    return hasFacts ? QDateTime::fromMSecsSinceEpoch(modifiedMs) : QDateTime();
}

QString VolumeResult::message() const
{
    return error == 0 ? QString() : qt_error_string(error);
}

VolumeResult Volume::removeFile(const QString &) const
{
    return {EROFS};
}
VolumeResult Volume::removeFolder(const QString &) const
{
    return {EROFS};
}
VolumeResult Volume::moveFile(const QString &, const QString &) const
{
    return {EROFS};
}

HostVolume::HostVolume(const QString &rootFolder) : m_root(rootFolder), m_drive(true)
{
    QString root = rootFolder;
    while (root.size() > 1 && root.endsWith(u'/'))
        root.chop(1);
    m_rootBytes = QFile::encodeName(root);
}

HostVolume::HostVolume(NativeTag) : m_root(QStringLiteral("/")), m_rootBytes("/"), m_drive(false)
{
}

const HostVolume &HostVolume::hostFileSystem()
{
    static const HostVolume volume{NativeTag{}};
    return volume;
}

bool HostVolume::isRoot(QStringView path) const
{
    if (m_drive)
        return pathComponents(path, u'\\').isEmpty();
    return path.startsWith(u'/') && pathComponents(path, u'/').isEmpty();
}

QByteArray HostVolume::rawNameKey(QByteArrayView folder, QStringView name)
{
    while (folder.endsWith('/'))
        folder.chop(1);
    return folder.toByteArray() + '\0' + name.toUtf8();
}

QByteArray HostVolume::encodeName(QByteArrayView folder, QStringView name) const
{
    if (isAscii(name))
        return name.toLatin1();
    {
        std::lock_guard lock(m_namesMutex);
        if (!m_rawNames.isEmpty()) {
            const auto found = m_rawNames.constFind(rawNameKey(folder, name));
            if (found != m_rawNames.constEnd())
                return *found;
        }
    }
    if (m_drive && name.contains(kStoredBackslash)) {
        // A name this object has not listed (a path kept from an earlier run): the
        // host name holds "\" when such an entry exists.
        const QByteArray real = name.toString().replace(kStoredBackslash, u'\\').toUtf8();
        QByteArray path = folder.toByteArray();
        if (!path.endsWith('/'))
            path += '/';
        struct stat st;
        path += real;
        if (::lstat(path.constData(), &st) == 0)
            return real;
    }
    return name.toUtf8();
}

QString HostVolume::decodeName(QByteArrayView folder, const char *bytes, size_t length) const
{
    const QByteArrayView view(bytes, qsizetype(length));
    bool ascii = true;
    bool backslash = false;
    for (char c : view) {
        if (static_cast<unsigned char>(c) >= 0x80)
            ascii = false;
        else if (c == '\\')
            backslash = true;
    }
    QString name;
    bool remember = false;
    if (ascii) {
        name = QString::fromLatin1(view);
    } else if (isValidUtf8(view)) {
        name = QString::fromUtf8(view);
    } else {
        name = decodeWindows1252(view);
        remember = true;
    }
    if (backslash && m_drive) {
        // "\" separates the components of a path inside a disc.
        name.replace(u'\\', kStoredBackslash);
        remember = true;
    }
    if (remember) {
        std::lock_guard lock(m_namesMutex);
        m_rawNames.insert(rawNameKey(folder, name), view.toByteArray());
    }
    return name;
}

bool HostVolume::resolve(QStringView path, QByteArray &host, bool &isRootPath, int &error) const
{
    if (path.contains(QChar(0)) || m_rootBytes.isEmpty()) {
        error = ENOENT;
        return false;
    }
    if (!m_drive) {
        if (path.isEmpty()) {
            error = ENOENT;
            return false;
        }
        isRootPath = isRoot(path);
        host.clear();
        bool first = true;
        for (QStringView part : path.tokenize(u'/')) {
            const qsizetype folderEnd = host.size();
            if (!first)
                host += '/';
            first = false;
            host += encodeName(QByteArrayView(host).first(folderEnd), part);
        }
        return true;
    }
    const QStringList components = pathComponents(path, u'\\');
    isRootPath = components.isEmpty();
    host = m_rootBytes;
    for (const QString &component : components) {
        if (component == u".." || component.contains(u'/')) {
            error = ENOENT;
            return false;
        }
        const qsizetype folderEnd = host.size();
        if (!host.endsWith('/'))
            host += '/';
        host += encodeName(QByteArrayView(host).first(folderEnd), component);
    }
    return true;
}

bool HostVolume::statPath(const QByteArray &host, bool isRootPath, VolumeEntry &entry, int &error) const
{
    struct stat st;
    const bool follow = !m_drive || isRootPath;
    if (::fstatat(AT_FDCWD, host.constData(), &st, follow ? 0 : AT_SYMLINK_NOFOLLOW) == 0) {
        fillFacts(st, entry);
        return true;
    }
    error = errno;
    if (follow && (error == ENOENT || error == ELOOP)
        && ::fstatat(AT_FDCWD, host.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        // A link whose target is missing or loops: report the link itself.
        fillFacts(st, entry);
        return true;
    }
    return false;
}

FolderListing HostVolume::listFolder(const QString &path, ListDetail detail) const
{
    FolderListing listing;
    QByteArray host;
    bool isRootPath = false;
    if (!resolve(path, host, isRootPath, listing.error))
        return listing;
    const bool follow = !m_drive || isRootPath;
    const int fd = ::open(host.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        listing.error = errno == ELOOP ? ENOTDIR : errno;
        return listing;
    }
    DIR *dir = ::fdopendir(fd);
    if (dir == nullptr) {
        listing.error = errno;
        ::close(fd);
        return listing;
    }
    const int statFlags = m_drive ? AT_SYMLINK_NOFOLLOW : 0;
    for (;;) {
        errno = 0;
        const dirent *item = ::readdir(dir);
        if (item == nullptr) {
            if (errno != 0)
                listing.error = errno;
            break;
        }
        const char *name = item->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        const size_t length = std::strlen(name);

        VolumeEntry entry;
        bool needStat = detail == ListDetail::Facts;
        switch (item->d_type) {
        case DT_DIR:
            entry.isFolder = true;
            break;
        case DT_LNK:
            entry.isSymlink = true;
            needStat = needStat || !m_drive;
            break;
        case DT_UNKNOWN:
            needStat = true;
            break;
        default:
            break;
        }
        if (m_listingHook) {
            QByteArray entryPath = host;
            if (!entryPath.endsWith('/'))
                entryPath += '/';
            m_listingHook(entryPath + QByteArrayView(name, qsizetype(length)));
        }
        if (needStat) {
            struct stat st;
            if (::fstatat(fd, name, &st, statFlags) == 0) {
                fillFacts(st, entry);
            } else {
                const int error = errno;
                if (statFlags == 0 && (error == ENOENT || error == ELOOP)
                    && ::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
                    fillFacts(st, entry); // dangling or looping link
                } else if (error == ENOENT) {
                    continue; // removed since it was listed
                } else {
                    listing.error = error;
                    continue;
                }
            }
        }
        entry.name = decodeName(host, name, length);
        listing.entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    return listing;
}

VolumeLookup HostVolume::facts(const QString &path) const
{
    VolumeLookup lookup;
    QByteArray host;
    bool isRootPath = false;
    if (!resolve(path, host, isRootPath, lookup.error))
        return lookup;
    if (!statPath(host, isRootPath, lookup.entry, lookup.error))
        return lookup;
    lookup.entry.name = m_drive ? lastPathComponent(path, u'\\') : lastPathComponent(path, u'/');
    return lookup;
}

std::unique_ptr<QIODevice> HostVolume::openFile(const QString &path) const
{
    QByteArray host;
    bool isRootPath = false;
    int error = 0;
    if (!resolve(path, host, isRootPath, error) || isRootPath)
        return nullptr;
    return openRegularQFile(host, m_drive ? LinkRule::DoNotFollow : LinkRule::Follow);
}

QString HostVolume::hostPath(const QString &path) const
{
    QByteArray host;
    bool isRootPath = false;
    int error = 0;
    if (!resolve(path, host, isRootPath, error))
        return {};
    QString text = QFile::decodeName(host);
    // A name whose bytes are not UTF-8 has no faithful text form on the host.
    if (QFile::encodeName(text) != host)
        return {};
    return text;
}

VolumeResult HostVolume::removeFile(const QString &path) const
{
    QByteArray host;
    bool isRootPath = false;
    VolumeResult result;
    if (!resolve(path, host, isRootPath, result.error))
        return result;
    if (isRootPath)
        return {EISDIR};
    if (::unlink(host.constData()) != 0)
        result.error = errno;
    return result;
}

VolumeResult HostVolume::removeFolder(const QString &path) const
{
    QByteArray host;
    bool isRootPath = false;
    VolumeResult result;
    if (!resolve(path, host, isRootPath, result.error))
        return result;
    if (isRootPath)
        return {EBUSY};
    if (::rmdir(host.constData()) != 0)
        result.error = errno;
    return result;
}

VolumeResult HostVolume::moveFile(const QString &from, const QString &to) const
{
    QByteArray source;
    QByteArray target;
    bool sourceIsRoot = false;
    bool targetIsRoot = false;
    VolumeResult result;
    if (!resolve(from, source, sourceIsRoot, result.error) || !resolve(to, target, targetIsRoot, result.error))
        return result;
    if (sourceIsRoot || targetIsRoot)
        return {EBUSY};
    struct stat st;
    if (::lstat(target.constData(), &st) == 0)
        return {EEXIST};
    if (::rename(source.constData(), target.constData()) == 0)
        return {};
    result.error = errno;
    if (result.error == EXDEV) {
        // Another file system: copy, then remove the original.
        result.error = copyFile(source, target);
        if (result.error == 0 && ::unlink(source.constData()) != 0) {
            result.error = errno;
            ::unlink(target.constData());
        }
    }
    return result;
}

} // namespace vorn
