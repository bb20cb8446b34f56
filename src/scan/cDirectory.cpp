#include "scan/cDirectory.h"

#include "common/RunObserver.h"
#include "common/Wildcard.h"
#include "scan/PathSyntax.h"
#include "scan/Volume.h"
#include "scan/cPath.h"

#include <algorithm>
#include <cerrno>

namespace vorn {

namespace {

constexpr int FilesPerYield = 100;

bool nameLess(const QString &a, const QString &b)
{
    const int order = QString::compare(a, b, Qt::CaseInsensitive);
    if (order != 0)
        return order < 0;
    return QString::compare(a, b, Qt::CaseSensitive) < 0;
}

template<typename T, typename Name> void sortByName(std::vector<T> &items, int order, Name name)
{
    if (order == -1)
        std::stable_sort(items.begin(), items.end(),
                         [&](const T &a, const T &b) { return nameLess(name(a), name(b)); });
    else if (order == 1)
        std::stable_sort(items.begin(), items.end(),
                         [&](const T &a, const T &b) { return nameLess(name(b), name(a)); });
}

} // namespace

void sortNames(QStringList &names, int order)
{
    if (order == -1)
        std::stable_sort(names.begin(), names.end(), nameLess);
    else if (order == 1)
        std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) { return nameLess(b, a); });
}

cDirectory::cDirectory() : m_volume(&HostVolume::hostFileSystem())
{
}

cDirectory::cDirectory(const Volume &volume, RunObserver *observer) : m_volume(&volume), m_observer(observer)
{
}

void cDirectory::setFullPath(const QString &path)
{
    m_fullPath = path.trimmed();
    if (!m_fullPath.isEmpty())
        Refresh();
}

void cDirectory::Refresh()
{
    m_readError = 0;
    m_cancelled = false;
    m_files.clear();
    m_fileEntries.clear();
    m_directories.clear();

    const VolumeLookup folder = m_fullPath.isEmpty() ? VolumeLookup{ENOENT, {}} : m_volume->facts(m_fullPath);
    if (!folder.found() || !folder.entry.isFolder) {
        m_exist = false;
        m_dateCreation = QDateTime();
        return;
    }
    m_exist = true;
    const QChar separator = m_volume->separator();
    m_pathWithoutSeparator = removeTrailingSeparators(m_fullPath, separator);
    m_directoryName = lastPathComponent(m_fullPath, separator);
    if (m_filter.isEmpty())
        m_filter = QStringLiteral("*");

    FolderListing listing = m_volume->listFolder(m_fullPath, m_readFileFacts ? ListDetail::Facts : ListDetail::Kinds);
    if (!listing.ok()) {
        m_exist = false;
        m_readError = listing.error;
        m_dateCreation = QDateTime();
        return;
    }

    const bool everyFile = m_filter == u"*";
    const WildcardPattern pattern(everyFile ? QString() : m_filter);
    int filesSeen = 0;
    for (VolumeEntry &entry : listing.entries) {
        if (entry.name.startsWith(u'.'))
            continue;
        if (entry.isFolder) {
            m_directories.append(entry.name);
            continue;
        }
        if (everyFile || pattern.matches(entry.name))
            m_fileEntries.push_back(std::move(entry));
        if (++filesSeen % FilesPerYield == 0 && m_observer != nullptr) {
            m_observer->yield();
            if (m_observer->cancelled()) {
                m_cancelled = true;
                break;
            }
        }
    }

    sortByName(m_fileEntries, m_sortFiles, [](const VolumeEntry &entry) -> const QString & { return entry.name; });
    m_files.reserve(qsizetype(m_fileEntries.size()));
    for (const VolumeEntry &entry : m_fileEntries)
        m_files.append(entry.name);
    if (m_cancelled)
        return;
    sortNames(m_directories, m_sortDirectories);
    m_dateCreation = m_directoryName.isEmpty() ? QDateTime() : folder.entry.modified();
}

cFile cDirectory::File(int index) const
{
    const VolumeEntry &entry = m_fileEntries.at(size_t(index));
    if (entry.hasFacts)
        return cFile(*m_volume, m_pathWithoutSeparator, entry);
    cFile file(*m_volume);
    file.setFullName(m_pathWithoutSeparator + m_volume->separator() + entry.name);
    return file;
}

bool cDirectory::DeleteDirectory()
{
    m_volume->removeFolder(m_fullPath);
    Refresh();
    return pathKind(*m_volume, m_fullPath) != PathKind::Folder;
}

} // namespace vorn
