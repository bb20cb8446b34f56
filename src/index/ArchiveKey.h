#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace vorn {

// What tells whether a disc archive changed since its index part was made: its size,
// modification time (nanoseconds) and inode. A re-catalogued disc gets a new file
// (written beside and renamed over the old one), so at least two of them change.
struct ArchiveKey
{
    qint64 size = 0;
    qint64 modified = 0;
    quint64 inode = 0;

    bool operator==(const ArchiveKey &other) const = default;
};

// nullopt when the archive is missing or is not a regular file.
std::optional<ArchiveKey> archiveKey(const QString &path);

} // namespace vorn
