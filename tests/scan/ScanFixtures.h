#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QString>
#include <QTemporaryDir>
#include <optional>

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorn::test {

// A temporary folder filled with POSIX calls, so names can hold any bytes (quotes,
// CR, LF, invalid UTF-8); removed with POSIX calls too, as Qt cannot remove names
// that are not UTF-8.
class HostTree
{
public:
    HostTree() = default;
    ~HostTree()
    {
        ::nftw(QFile::encodeName(m_dir.path()).constData(),
               [](const char *path, const struct stat *, int, struct FTW *) { return ::remove(path); }, 64,
               FTW_DEPTH | FTW_PHYS);
    }
    HostTree(const HostTree &) = delete;
    HostTree &operator=(const HostTree &) = delete;

    QString root() const { return m_dir.path(); }
    QByteArray bytes(const QByteArray &relative) const { return QFile::encodeName(m_dir.path()) + '/' + relative; }

    // A file of `content`, or of `size` bytes without content (sparse) when size >= 0.
    bool file(const QByteArray &relative, const QByteArray &content = {}, qint64 size = -1) const
    {
        const int fd = ::open(bytes(relative).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            return false;
        const bool written = size >= 0 ? ::ftruncate(fd, off_t(size)) == 0
                                       : ::write(fd, content.constData(), size_t(content.size())) == content.size();
        return ::close(fd) == 0 && written;
    }
    bool folder(const QByteArray &relative) const { return ::mkdir(bytes(relative).constData(), 0755) == 0; }
    bool link(const QByteArray &target, const QByteArray &relative) const
    {
        return ::symlink(target.constData(), bytes(relative).constData()) == 0;
    }
    // Sets the modification time to `seconds` after the epoch.
    bool touch(const QByteArray &relative, qint64 seconds) const
    {
        const struct timespec times[2] = {{time_t(seconds), 0}, {time_t(seconds), 0}};
        return ::utimensat(AT_FDCWD, bytes(relative).constData(), times, AT_SYMLINK_NOFOLLOW) == 0;
    }
    bool exists(const QByteArray &relative) const
    {
        struct stat st;
        return ::lstat(bytes(relative).constData(), &st) == 0;
    }

private:
    QTemporaryDir m_dir;
};

// Sets or clears VORN_DRIVES for the life of the object.
class DrivesVariable
{
public:
    explicit DrivesVariable(const std::optional<QByteArray> &value)
        : m_had(qEnvironmentVariableIsSet("VORN_DRIVES")), m_old(qgetenv("VORN_DRIVES"))
    {
        value ? void(qputenv("VORN_DRIVES", *value)) : void(qunsetenv("VORN_DRIVES"));
    }
    ~DrivesVariable() { m_had ? void(qputenv("VORN_DRIVES", m_old)) : void(qunsetenv("VORN_DRIVES")); }

private:
    bool m_had;
    QByteArray m_old;
};

// Makes an ISO image of a folder with genisoimage (names read as UTF-8); false when
// the tool is not installed or fails.
inline bool makeIsoImage(const QString &folder, const QString &image, const QStringList &options)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("genisoimage"));
    if (tool.isEmpty())
        return false;
    QProcess process;
    process.start(tool, QStringList{QStringLiteral("-quiet"), QStringLiteral("-input-charset"), QStringLiteral("utf-8"),
                                    QStringLiteral("-o"), image}
                            + options + QStringList{folder});
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

inline bool hasGenisoimage()
{
    return !QStandardPaths::findExecutable(QStringLiteral("genisoimage")).isEmpty();
}

} // namespace vorn::test
