#pragma once

#include <QString>

namespace vorn {

class Volume;

enum class PathKind : int { Missing = 0, Folder = 1, File = 2 };

// What a path names on a volume. A root ("D:", "D:\", "\") is a folder when the
// volume's root exists. Anything that is not a folder (a file, a link on a drive)
// counts as a file; an empty path, or one that cannot be looked up, is missing.
PathKind pathKind(const Volume &volume, const QString &path);

// What kind of thing a path names. Without a volume, paths are host paths.
class cPath
{
public:
    cPath();
    explicit cPath(const Volume &volume);

    const QString &Path() const { return m_path; }
    void setPath(const QString &path); // classifies it at once
    void Refresh();

    PathKind kind() const { return m_kind; }

private:
    const Volume *m_volume;
    QString m_path;
    PathKind m_kind = PathKind::Missing;
};

} // namespace vorn
