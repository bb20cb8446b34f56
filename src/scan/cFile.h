#pragma once

#include "scan/Volume.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace vorn {

// One file: the parts of its name, its size and date; move, rename, delete.
// Setting FullName reads the file at once. Without a volume, names are host paths.
//
// Parts of "D:\dir\name.tar.gz" (split at the last separator, then at the last "."
// of the name):
//   Path "D:\dir" (no trailing separator), FileName and NameWithExtension
//   "name.tar.gz", NameWithoutExtension "name.tar", Extension "gz" (without the dot;
//   empty when the name has no dot).
class cFile
{
public:
    enum OptionBits : int { ReadDate = 1, ReadSize = 2 };

    cFile();
    explicit cFile(const Volume &volume);
    // A file whose facts a folder listing has just read: no second look-up. `folder`
    // has no trailing separator.
    cFile(const Volume &volume, const QString &folder, const VolumeEntry &facts);

    const QString &FullName() const;
    void setFullName(const QString &name);

    const QString &Path() const { return m_path; }
    const QString &FileName() const { return m_name; }
    QString Extension() const;
    const QString &NameWithExtension() const { return m_name; }
    QString NameWithoutExtension() const;

    bool exists() const { return m_exists; } // an existing file, not a folder
    qint64 FileSize() const { return m_fileSize; } // 0 for a missing file
    // Invalid (the "0" date) for a missing file.
    QDateTime DateLastModification() const;
    // The same as a day number of the line files (0 for none), quick for a whole walk.
    double DayNumberLastModification() const;

    // Bit 1: read the date; bit 2: read the size. Default 7.
    int Options() const { return m_options; }
    void setOptions(int options) { m_options = options; }

    void Refresh();

    // The file's content for reading, when it is a regular file (see Volume::openFile).
    std::unique_ptr<QIODevice> Open() const { return m_volume->openFile(FullName()); }
    // The file's path on the host, for readers that need a file name; empty when none.
    QString HostPath() const { return m_volume->hostPath(FullName()); }

    // Moves the file into another folder, keeping its name; the object then names
    // the file at its new place. Never replaces an existing file.
    VolumeResult Move(const QString &folder);
    // Renames the file within its folder; the object follows it.
    VolumeResult Rename(const QString &newName);
    // Deletes the file (whatever its permission bits), then refreshes.
    VolumeResult Delete();

private:
    void splitParts();
    void takeFacts(const VolumeEntry &facts);

    const Volume *m_volume;
    // Built on first use for a file made from a listing: most files of a walk never need it.
    mutable QString m_fullName;
    QString m_path;
    QString m_name;
    bool m_exists = false;
    qint64 m_fileSize = 0;
    std::optional<qint64> m_modifiedMs; // ms since 1970 (UTC), when read
    int m_options = 7;
};

} // namespace vorn
