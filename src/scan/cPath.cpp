#include "scan/cPath.h"

#include "scan/Volume.h"

namespace vorn {

PathKind pathKind(const Volume &volume, const QString &path)
{
    if (path.isEmpty())
        return PathKind::Missing;
    const VolumeLookup lookup = volume.facts(path);
    if (!lookup.found())
        return PathKind::Missing;
    return lookup.entry.isFolder ? PathKind::Folder : PathKind::File;
}

cPath::cPath() : m_volume(&HostVolume::hostFileSystem())
{
}

cPath::cPath(const Volume &volume) : m_volume(&volume)
{
}

void cPath::setPath(const QString &path)
{
    m_path = path;
    Refresh();
}

void cPath::Refresh()
{
    m_kind = pathKind(*m_volume, m_path);
}

} // namespace vorn
