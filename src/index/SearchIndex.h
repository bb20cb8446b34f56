#pragma once

#include "index/DiscPart.h"
#include "index/IndexedDisc.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace vorn {

class IndexObserver;
struct Catalogue;

// What a refresh of the index did.
struct IndexRefresh
{
    enum class Status {
        Done,
        Busy, // another copy of VORN holds the index's lock
        Unwritable, // the cache folder cannot be made or written
        Cancelled,
    } status = Status::Done;
    int built = 0; // parts written
    int unchanged = 0; // parts still matching their archive
    int removed = 0; // parts of discs that left the data folder
    int unreadable = 0; // archives that could not be read (searched from the archive)
};

// The search index of one data folder: derived data kept in the user's cache folder,
// one sub-folder per data folder (named after a hash of its canonical path), one part
// file per disc. The disc archives stay the only truth: a part is used only while its
// archive keeps the size, time and inode it was made from, and the whole folder can
// be deleted at any time. Writes go to a new file renamed over the old one, under the
// index's own lock file, so two copies of VORN sharing the cache never see half a part.
class SearchIndex
{
public:
    // `dataFolder` as the catalogue holds it (ending in a separator); `cacheRoot`
    // defaults to the cache location's "index" folder.
    explicit SearchIndex(const QString &dataFolder, const QString &cacheRoot = QString());

    static QString defaultCacheRoot();
    const QString &folder() const { return m_folder; }
    QString archivePath(const QString &identifier) const;
    QString partPath(const QString &identifier) const;

    // Brings the parts of `identifiers` up to date with their archives (all of them
    // with `rebuild`), building the missing and changed ones on worker threads, and
    // removes the parts of every other disc. Waits at most `lockWaitMs` for the lock.
    IndexRefresh refresh(const QStringList &identifiers, IndexObserver &observer, bool rebuild = false,
                         int lockWaitMs = 0) const;

    // The part of a disc when it matches the disc's archive as it is now; nullopt when
    // it is missing, stale, of another format version or damaged.
    std::optional<IndexedDisc> load(const QString &identifier) const;
    // Removes a part found damaged, so the next refresh builds it again.
    void discard(const QString &identifier) const;

    // Bytes of every file of the index folder.
    qint64 diskSize() const;

private:
    QString m_dataFolder;
    QString m_folder;
};

// The identifiers of the catalogue's discs, in disc-array order.
QStringList discIdentifiers(const Catalogue &catalogue);

} // namespace vorn
