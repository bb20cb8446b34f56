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

} // namespace

void sortNames(QStringList &names, int order)
{
    if (order == -1)
        std::stable_sort(names.begin(), names.end(), nameLess);
    else if (order == 1)
        std::stable_sort(names.begin(), names.end(),
                         [](const QString &a, const QString &b) { return nameLess(b, a); });
}

cDirectory::cDirectory()
    : m_volume(&HostVolume::hostFileSystem())
{
}

cDirectory::cDirectory(const Volume &volume, RunObserver *observer)
    : m_volume(&volume)
    , m_observer(observer)
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
    m_directories.clear();

    const VolumeLookup folder = m_fullPath.isEmpty() ? VolumeLookup{ENOENT, {}} : m_volume->facts(m_fullPath);
    if (!folder.found() || !folder.entry.isFolder) {
        m_exist = false;
        m_dateCreation = QDateTime();
        return;
    }
    m_exist = true;
    const QChar separator = m_volume->separator();
    m_directoryName = lastPathComponent(m_fullPath, separator);
    if (m_filter.isEmpty())
        m_filter = QStringLiteral("*");

    const FolderListing listing = m_volume->listFolder(m_fullPath, ListDetail::Kinds);
    if (!listing.ok()) {
        m_exist = false;
        m_readError = listing.error;
        m_dateCreation = QDateTime();
        return;
    }

    const bool everyFile = m_filter == u"*";
    const WildcardPattern pattern(everyFile ? QString() : m_filter);
    int filesSeen = 0;
    for (const VolumeEntry &entry : listing.entries) {
        if (entry.name.startsWith(u'.'))
            continue;
        if (entry.isFolder) {
            m_directories.append(entry.name);
            continue;
        }
        if (everyFile || pattern.matches(entry.name))
            m_files.append(entry.name);
        if (++filesSeen % FilesPerYield == 0 && m_observer != nullptr) {
            m_observer->yield();
            if (m_observer->cancelled()) {
                m_cancelled = true;
                return;
            }
        }
    }

    sortNames(m_files, m_sortFiles);
    sortNames(m_directories, m_sortDirectories);
    m_dateCreation = m_directoryName.isEmpty() ? QDateTime() : folder.entry.modified();
}

bool cDirectory::DeleteDirectory()
{
    m_volume->removeFolder(m_fullPath);
    Refresh();
    return pathKind(*m_volume, m_fullPath) != PathKind::Folder;
}

} // namespace vorn
