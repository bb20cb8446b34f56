#include "scan/cFile.h"

#include "scan/PathSyntax.h"

#include <cerrno>

namespace vorn {

cFile::cFile()
    : m_volume(&HostVolume::hostFileSystem())
{
}

cFile::cFile(const Volume &volume)
    : m_volume(&volume)
{
}

cFile::cFile(const Volume &volume, const QString &fullName, const VolumeEntry &facts)
    : m_volume(&volume)
    , m_fullName(fullName)
{
    splitParts();
    m_exists = !facts.isFolder;
    takeFacts(facts);
}

void cFile::setFullName(const QString &name)
{
    m_fullName = name;
    Refresh();
}

void cFile::splitParts()
{
    const qsizetype slash = m_fullName.lastIndexOf(m_volume->separator());
    m_path = slash < 0 ? QString() : m_fullName.left(slash);
    m_name = m_fullName.mid(slash + 1);
    const qsizetype dot = m_name.lastIndexOf(u'.');
    m_extension = dot < 0 ? QString() : m_name.mid(dot + 1);
    m_nameWithoutExtension = dot < 0 ? m_name : m_name.left(dot);
}

void cFile::Refresh()
{
    splitParts();
    const VolumeLookup lookup = m_volume->facts(m_fullName);
    m_exists = lookup.found() && !lookup.entry.isFolder;
    if (!m_exists) {
        m_fileSize = 0;
        m_dateLastModification = QDateTime();
        return;
    }
    takeFacts(lookup.entry);
}

void cFile::takeFacts(const VolumeEntry &facts)
{
    if (m_options & ReadSize)
        m_fileSize = facts.size;
    if (m_options & ReadDate)
        m_dateLastModification = facts.modified();
}

VolumeResult cFile::Move(const QString &folder)
{
    const QString target = joinPath(folder, m_name, m_volume->separator());
    const VolumeResult result = m_volume->moveFile(m_fullName, target);
    if (result.ok())
        m_fullName = target;
    Refresh();
    return result;
}

VolumeResult cFile::Rename(const QString &newName)
{
    const QChar separator = m_volume->separator();
    if (newName.isEmpty() || newName.contains(separator))
        return {EINVAL};
    const QString target = m_fullName.contains(separator) ? joinPath(m_path, newName, separator) : newName;
    const VolumeResult result = m_volume->moveFile(m_fullName, target);
    if (result.ok())
        m_fullName = target;
    Refresh();
    return result;
}

VolumeResult cFile::Delete()
{
    const VolumeResult result = m_volume->removeFile(m_fullName);
    Refresh();
    return result;
}

} // namespace vorn
