#include "scan/cFile.h"

#include "common/DayDate.h"
#include "scan/PathSyntax.h"

#include <cerrno>

namespace vorn {

cFile::cFile() : m_volume(&HostVolume::hostFileSystem())
{
}

cFile::cFile(const Volume &volume) : m_volume(&volume)
{
}

cFile::cFile(const Volume &volume, const QString &folder, const VolumeEntry &facts)
    : m_volume(&volume), m_path(folder), m_name(facts.name)
{
    m_exists = !facts.isFolder;
    takeFacts(facts);
}

const QString &cFile::FullName() const
{
    if (m_fullName.isEmpty() && !m_name.isEmpty())
        m_fullName = m_path + m_volume->separator() + m_name;
    return m_fullName;
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
}

QString cFile::Extension() const
{
    const qsizetype dot = m_name.lastIndexOf(u'.');
    return dot < 0 ? QString() : m_name.mid(dot + 1);
}

QString cFile::NameWithoutExtension() const
{
    const qsizetype dot = m_name.lastIndexOf(u'.');
    return dot < 0 ? m_name : m_name.left(dot);
}

void cFile::Refresh()
{
    splitParts();
    const VolumeLookup lookup = m_volume->facts(FullName());
    m_exists = lookup.found() && !lookup.entry.isFolder;
    if (!m_exists) {
        m_fileSize = 0;
        m_modifiedMs.reset();
        return;
    }
    takeFacts(lookup.entry);
}

void cFile::takeFacts(const VolumeEntry &facts)
{
    if (m_options & ReadSize)
        m_fileSize = facts.size;
    if (m_options & ReadDate)
        m_modifiedMs = facts.hasFacts ? std::optional<qint64>(facts.modifiedMs) : std::nullopt;
}

QDateTime cFile::DateLastModification() const
{
    return m_modifiedMs ? QDateTime::fromMSecsSinceEpoch(*m_modifiedMs) : QDateTime();
}

double cFile::DayNumberLastModification() const
{
    return m_modifiedMs ? dayNumberFromEpochMs(*m_modifiedMs) : 0;
}

VolumeResult cFile::Move(const QString &folder)
{
    const QString target = joinPath(folder, m_name, m_volume->separator());
    const VolumeResult result = m_volume->moveFile(FullName(), target);
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
    const QString target = FullName().contains(separator) ? joinPath(m_path, newName, separator) : newName;
    const VolumeResult result = m_volume->moveFile(FullName(), target);
    if (result.ok())
        m_fullName = target;
    Refresh();
    return result;
}

VolumeResult cFile::Delete()
{
    const VolumeResult result = m_volume->removeFile(FullName());
    Refresh();
    return result;
}

} // namespace vorn
