#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>
#include <vector>

namespace vorn {

// One line of the kernel's mount table (/proc/self/mounts).
struct MountEntry
{
    QString source; // "/dev/sr0", or a name such as "tmpfs"
    QString target; // the mount point
    QString fileSystem; // "iso9660", "udf", ...
};

// Reads the table's lines: blank-separated fields, with blanks, tabs, newlines and
// backslashes inside a field written as octal escapes ("\040").
std::vector<MountEntry> parseMountTable(QByteArrayView text);

// Mount point of a device: the last mount (a later mount hides earlier ones) whose
// source is the device by `sameDevice`; empty when the device is not mounted.
QString findMountPoint(const std::vector<MountEntry> &table, const QString &device,
                       const std::function<bool(const QString &source, const QString &device)> &sameDevice);

// The mount that holds an absolute path: the last entry whose target is the longest
// prefix of the path at a component boundary; nullptr when none does.
const MountEntry *mountHolding(const std::vector<MountEntry> &table, const QString &absolutePath);

} // namespace vorn
