#include "index/SearchIndex.h"

#include "common/FolderEntries.h"
#include "common/OrderedWorkers.h"
#include "index/IndexObserver.h"
#include "store/Catalogue.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QLoggingCategory>
#include <QSet>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <filesystem>

namespace vorn {

namespace {

Q_LOGGING_CATEGORY(indexLog, "vorn.index", QtWarningMsg)

const QLatin1String PartSuffix(".vpart");

// Writes a new file beside the old one and renames it over it, so a reader sees the
// old part or the new one, never half of one. Not flushed to the device: after a
// crash a part cut short fails its checks and is built again.
bool writeFile(const QString &path, const QByteArray &bytes)
{
    const QString temporary = path + QStringLiteral(".new-") + QString::number(QCoreApplication::applicationPid());
    QFile file(temporary);
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    file.close();
    written = written && file.error() == QFileDevice::NoError;
    std::error_code error;
    if (written)
        std::filesystem::rename(QFile::encodeName(temporary).toStdString(), QFile::encodeName(path).toStdString(),
                                error);
    if (!written || error) {
        QFile::remove(temporary);
        return false;
    }
    return true;
}

} // namespace

SearchIndex::SearchIndex(const QString &dataFolder, const QString &cacheRoot) : m_dataFolder(dataFolder)
{
    if (!m_dataFolder.isEmpty() && !m_dataFolder.endsWith(u'/') && !m_dataFolder.endsWith(QDir::separator()))
        m_dataFolder += QDir::separator();
    QString canonical = QFileInfo(dataFolder).canonicalFilePath();
    if (canonical.isEmpty())
        canonical = QFileInfo(dataFolder).absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex();
    const QString root = cacheRoot.isEmpty() ? defaultCacheRoot() : cacheRoot;
    m_folder = QDir(root).filePath(QString::fromLatin1(hash.left(20)));
}

QString SearchIndex::defaultCacheRoot()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/index");
}

QString SearchIndex::archivePath(const QString &identifier) const
{
    return m_dataFolder + identifier + QStringLiteral(".VORN");
}

QString SearchIndex::partPath(const QString &identifier) const
{
    return m_folder + u'/' + identifier + PartSuffix;
}

IndexRefresh SearchIndex::refresh(const QStringList &identifiers, IndexObserver &observer, bool rebuild,
                                  int lockWaitMs) const
{
    IndexRefresh result;
    if (!QDir().mkpath(m_folder)) {
        qCWarning(indexLog) << "cannot make the search index folder" << m_folder;
        result.status = IndexRefresh::Status::Unwritable;
        return result;
    }
    QLockFile lock(m_folder + QStringLiteral("/index.lock"));
    if (!lock.tryLock(lockWaitMs)) {
        const bool busy = lock.error() == QLockFile::LockFailedError;
        if (!busy)
            qCWarning(indexLog) << "cannot lock the search index folder" << m_folder;
        result.status = busy ? IndexRefresh::Status::Busy : IndexRefresh::Status::Unwritable;
        return result;
    }
    const QString origin = m_folder + QStringLiteral("/data-folder.txt");
    if (!QFileInfo::exists(origin))
        writeFile(origin, QFileInfo(m_dataFolder).absoluteFilePath().toUtf8() + '\n');

    struct Job
    {
        QString identifier;
        ArchiveKey key;
    };
    std::vector<Job> jobs;
    QSet<QString> listed;
    for (const QString &identifier : identifiers) {
        listed.insert(identifier + PartSuffix);
        const std::optional<ArchiveKey> key = archiveKey(archivePath(identifier));
        if (!key) {
            listed.remove(identifier + PartSuffix);
            continue;
        }
        if (!rebuild) {
            // The header's checks only: a part damaged inside a section is found, and
            // removed, by the search that reads it.
            const std::optional<IndexedDisc> part = IndexedDisc::open(partPath(identifier), true);
            if (part && part->key() == *key) {
                ++result.unchanged;
                continue;
            }
        }
        jobs.push_back({identifier, *key});
    }

    const int threads = std::max(2, QThread::idealThreadCount());
    {
        OrderedWorkers<std::optional<QByteArray>> workers(jobs.size(), threads, size_t(threads) * 2, [&](size_t i) {
            if (observer.cancelled())
                return std::optional<QByteArray>();
            return DiscPart::build(archivePath(jobs[i].identifier), jobs[i].identifier, jobs[i].key);
        });
        for (size_t i = 0; i < jobs.size(); ++i) {
            const std::optional<QByteArray> part = workers.take();
            if (observer.cancelled()) {
                result.status = IndexRefresh::Status::Cancelled;
                break;
            }
            const QString path = partPath(jobs[i].identifier);
            if (!part) {
                ++result.unreadable;
                QFile::remove(path);
            } else if (writeFile(path, *part)) {
                ++result.built;
            } else {
                qCWarning(indexLog) << "cannot write" << path;
                result.status = IndexRefresh::Status::Unwritable;
                break;
            }
            observer.discDone(int(i) + 1, int(jobs.size()));
        }
    }

    for (const QString &name : folderEntryNames(m_folder)) {
        if (name.endsWith(PartSuffix)) {
            if (!listed.contains(name) && QFile::remove(m_folder + u'/' + name))
                ++result.removed;
        } else if (name.contains(QLatin1String(".new-"))) {
            // Parts are written only under the lock held here: a new part left
            // half-written by a copy that ended while writing is nobody's.
            QFile::remove(m_folder + u'/' + name);
        }
    }
    return result;
}

std::optional<IndexedDisc> SearchIndex::load(const QString &identifier) const
{
    const std::optional<ArchiveKey> key = archiveKey(archivePath(identifier));
    if (!key)
        return std::nullopt;
    const QString path = partPath(identifier);
    std::optional<IndexedDisc> disc = IndexedDisc::open(path);
    if (!disc) {
        // A part not built yet is no news; one that cannot be read is.
        if (QFileInfo::exists(path))
            qCInfo(indexLog) << "search index part of disc" << identifier << "is damaged or of another version";
        return std::nullopt;
    }
    if (!(disc->key() == *key))
        return std::nullopt;
    return disc;
}

void SearchIndex::discard(const QString &identifier) const
{
    qCInfo(indexLog) << "search index part of disc" << identifier << "is damaged; it will be rebuilt";
    QFile::remove(partPath(identifier));
}

QStringList discIdentifiers(const Catalogue &catalogue)
{
    QStringList identifiers;
    identifiers.reserve(catalogue.discCount());
    for (int i = 1; i <= catalogue.discCount(); ++i)
        identifiers << catalogue.disc(i).identifier;
    return identifiers;
}

qint64 SearchIndex::diskSize() const
{
    qint64 total = 0;
    QDirIterator it(m_folder, QDir::Files);
    while (it.hasNext()) {
        it.next();
        total += it.fileInfo().size();
    }
    return total;
}

} // namespace vorn
