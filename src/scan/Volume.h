#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QIODevice>
#include <QString>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace vorn {

// Stands for a "\" inside a name read from a drive.
inline constexpr QChar kStoredBackslash = QChar(0xFF3C);

// One entry of a folder, or the facts of one path.
struct VolumeEntry
{
    QString name;
    bool isFolder = false;
    bool isSymlink = false; // the entry itself is a symbolic link
    qint64 size = 0; // bytes; known only when facts were read
    qint64 modifiedMs = 0; // modification time, ms since the epoch (UTC); likewise
    bool hasFacts = false; // size and modifiedMs were read

    QDateTime modified() const; // local time; invalid when the facts were not read
};

// Outcome of an operation that changes the file system: 0 or the platform's errno.
struct VolumeResult
{
    int error = 0;
    bool ok() const { return error == 0; }
    QString message() const; // the platform's text for the error; empty when ok
};

struct FolderListing
{
    int error = 0; // 0 when the folder was read to its end, else errno
    std::vector<VolumeEntry> entries; // platform order
    bool ok() const { return error == 0; }
};

struct VolumeLookup
{
    int error = 0; // 0 when found; ENOENT when missing; else errno
    VolumeEntry entry; // with facts, when found
    bool found() const { return error == 0; }
};

// How much a listing reads: names and kinds only (cheap: most file systems give the
// kind with the name), or also the size and date of every entry (one stat each).
enum class ListDetail { Kinds, Facts };

// A tree of folders and files the walker reads: a drive, or the host's own folders.
// Paths are texts in the volume's own syntax (separator()); see HostVolume.
// Every method reports failure as a value. Methods are const: they change the files,
// not the handle.
class Volume
{
public:
    virtual ~Volume() = default;

    virtual QChar separator() const = 0;
    // True when the path has no component below the root ("", "\", "D:", "D:\" on a drive).
    virtual bool isRoot(QStringView path) const = 0;

    virtual FolderListing listFolder(const QString &path, ListDetail detail) const = 0;
    virtual VolumeLookup facts(const QString &path) const = 0;
    // nullptr when the file cannot be opened for reading.
    virtual std::unique_ptr<QIODevice> openFile(const QString &path) const = 0;
    // The host path of a path of this volume, for readers that need a file name;
    // empty when the volume is not a host folder or the path cannot be mapped.
    virtual QString hostPath(const QString &path) const = 0;

    // Changes. A volume that cannot be written answers EROFS.
    virtual VolumeResult removeFile(const QString &path) const;
    virtual VolumeResult removeFolder(const QString &path) const; // empty folders only
    // Moves a file to a new path (another folder or another name); never replaces an
    // existing file (EEXIST).
    virtual VolumeResult moveFile(const QString &from, const QString &to) const;
};

// A volume backed by host folders, read with POSIX calls.
//
// A drive volume (HostVolume(root)) names its paths the way paths inside a disc are
// written: "\" separators, relative to the root, an optional drive prefix ignored
// ("D:\a\b", "\a\b" and "a\b" all name root/a/b). A component ".." or one holding "/"
// names nothing, so a path never leaves the root. Symbolic links on a drive are
// reported as such and never followed: a link is neither listed as a folder nor
// opened. (The kernel still resolves links met in the middle of a path; the walker
// never builds such a path, since it never lists a link as a folder.)
//
// The host volume (HostVolume::hostFileSystem()) names host paths natively ("/"
// separators, absolute or relative to the current folder) and follows links, as the
// store expects for its data and temporary folders.
//
// On a drive, a "\" inside a host name (legal on Linux) is given as U+FF3C FULLWIDTH
// REVERSE SOLIDUS, so the name stays one component of a path inside the disc; paths
// built from such names reach the real entry again (kStoredBackslash).
//
// Names are bytes on the host: they are read as UTF-8, or as Windows-1252 when they
// are not valid UTF-8. Such names are remembered with their folder, so that a path
// built from them finds the same bytes again. (Should one folder hold both the
// Windows-1252 bytes and the UTF-8 bytes of one name, the path reaches the former.)
class HostVolume final : public Volume
{
public:
    explicit HostVolume(const QString &rootFolder);
    static const HostVolume &hostFileSystem();

    const QString &rootFolder() const { return m_root; }

    QChar separator() const override { return m_drive ? QChar(u'\\') : QChar(u'/'); }
    bool isRoot(QStringView path) const override;

    FolderListing listFolder(const QString &path, ListDetail detail) const override;
    VolumeLookup facts(const QString &path) const override;
    std::unique_ptr<QIODevice> openFile(const QString &path) const override;
    QString hostPath(const QString &path) const override;

    VolumeResult removeFile(const QString &path) const override;
    VolumeResult removeFolder(const QString &path) const override;
    VolumeResult moveFile(const QString &from, const QString &to) const override;

    // Test seam: called with the host path of every entry a listing reads, before its
    // facts are read, so a test can remove the entry in between.
    void setListingHook(std::function<void(const QByteArray &hostPath)> hook) { m_listingHook = std::move(hook); }

private:
    struct NativeTag
    {
    };
    explicit HostVolume(NativeTag);

    // Host bytes of a path; false (with *error set) when the path names nothing.
    bool resolve(QStringView path, QByteArray &host, bool &isRootPath, int &error) const;
    static QByteArray rawNameKey(QByteArrayView folder, QStringView name);
    QByteArray encodeName(QByteArrayView folder, QStringView name) const;
    QString decodeName(QByteArrayView folder, const char *bytes, size_t length) const;
    bool statPath(const QByteArray &host, bool isRootPath, VolumeEntry &entry, int &error) const;

    QString m_root;
    QByteArray m_rootBytes;
    bool m_drive = true;
    std::function<void(const QByteArray &)> m_listingHook;

    // Names read as Windows-1252, by host folder and name, with their bytes on the host.
    mutable std::mutex m_namesMutex;
    mutable QHash<QByteArray, QByteArray> m_rawNames;
};

} // namespace vorn
