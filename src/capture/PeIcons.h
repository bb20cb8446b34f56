#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <memory>
#include <optional>

namespace vorn {

// The largest icon file VORN writes or copies from a disc.
inline constexpr qint64 kMaxIconFileSize = 1024 * 1024;

// Icons of a Windows program or library (the PE format of 32- and 64-bit Windows),
// read from its resources without loading it: the icon groups (RT_GROUP_ICON) and the
// images they name (RT_ICON). Every offset in the file is checked, so a damaged or
// hostile file gives no icon rather than a wrong read; only the headers and the
// resources needed are read, whatever the file's size.

// The number of icon groups; 0 for a file that is not a program or has no icons.
int countPeIconGroups(const QString &path);

// One icon group as the bytes of an .ico file. An index of 0 or more counts the
// groups in resource order (the first is the program's own icon); a negative index
// names the group whose resource identifier is -index. Images that would take the
// file past kMaxIconFileSize are left out. nullopt when there is no such group or
// none of its images can be read.
std::optional<QByteArray> readPeIcon(const QString &path, int index);
// The same, from a device opened for reading that can seek.
std::optional<QByteArray> readPeIcon(std::unique_ptr<QIODevice> device, int index);

} // namespace vorn
