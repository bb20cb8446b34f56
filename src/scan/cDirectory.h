#pragma once

#include "scan/Volume.h"
#include "scan/cFile.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

namespace vorn {

class RunObserver;

// One folder: its sub-folders and the files matching a name pattern, optionally
// sorted. Setting FullPath reads the folder at once. Without a volume, paths are host
// paths; with one, paths inside it ("D:\a\b" or "\a\b" on a drive).
//
// Filter and the sort orders take effect at the next refresh: set them before FullPath.
// Files and Directories count from 0; FilesCount and DirectoriesCount are their sizes.
// Names beginning with "." are never listed. A symbolic link is never a folder: it is
// listed among the files (when it matches Filter) and never entered, so a link loop
// cannot make a walk endless.
// A folder that exists but cannot be read reports Exist false (ReadError tells why),
// so that a caller walking a disc can offer to read it again.
class cDirectory
{
public:
    cDirectory();
    explicit cDirectory(const Volume &volume, RunObserver *observer = nullptr);

    const QString &FullPath() const { return m_fullPath; }
    void setFullPath(const QString &path); // trims blanks; refreshes when not empty

    // Name pattern for files (wildcards, ignoring case); "*" when empty.
    const QString &Filter() const { return m_filter; }
    void setFilter(const QString &filter) { m_filter = filter; }

    const QString &DirectoryName() const { return m_directoryName; } // empty for a root
    bool Exist() const { return m_exist; }
    // The folder's modification date; invalid for a root or a missing folder (the day
    // number 0: dayNumberFromDateTime gives 0 for it).
    const QDateTime &DateCreation() const { return m_dateCreation; }

    const QStringList &Files() const { return m_files; }
    int FilesCount() const { return int(m_files.size()); }
    const QStringList &Directories() const { return m_directories; }
    int DirectoriesCount() const { return int(m_directories.size()); }

    // 0: platform order; -1: by name ascending, ignoring case; 1: descending.
    int SortFiles() const { return m_sortFiles; }
    void setSortFiles(int order) { m_sortFiles = order; }
    int SortDirectories() const { return m_sortDirectories; }
    void setSortDirectories(int order) { m_sortDirectories = order; }

    int Lists() const { return m_lists; } // kept for callers; refreshing ignores it
    void setLists(int lists) { m_lists = lists; }

    // When set (before FullPath), the listing also reads each entry's size and date,
    // through the folder's own handle, so File() needs no second look-up per file.
    bool ReadsFileFacts() const { return m_readFileFacts; }
    void setReadsFileFacts(bool read) { m_readFileFacts = read; }
    // The file Files()[index], with the facts the listing read (or read now).
    cFile File(int index) const;

    // Told to yield, and asked about cancelling, after every 100 files; nullptr for none.
    RunObserver *observer() const { return m_observer; }
    void setObserver(RunObserver *observer) { m_observer = observer; }

    const Volume &volume() const { return *m_volume; }
    int ReadError() const { return m_readError; } // errno of the last failed listing; 0 otherwise
    bool WasCancelled() const { return m_cancelled; } // the last refresh stopped on cancel

    void Refresh();
    // Removes the folder (it must be empty), refreshes; true when it no longer exists.
    bool DeleteDirectory();

private:
    const Volume *m_volume;
    RunObserver *m_observer = nullptr;
    QString m_fullPath;
    QString m_pathWithoutSeparator; // for the full names of its files
    QString m_filter;
    QString m_directoryName;
    bool m_exist = false;
    QDateTime m_dateCreation;
    QStringList m_files;
    std::vector<VolumeEntry> m_fileEntries; // Files(), in the same order
    QStringList m_directories;
    int m_sortFiles = 0;
    int m_sortDirectories = 0;
    int m_lists = 3;
    int m_readError = 0;
    bool m_cancelled = false;
    bool m_readFileFacts = false;
};

// Sorts names by QString::compare ignoring case, ties by exact compare: order -1
// ascending, 1 the exact reverse; any other order leaves them as they are.
void sortNames(QStringList &names, int order);

} // namespace vorn
