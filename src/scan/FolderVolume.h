#pragma once

#include "scan/DiscDescriptors.h"
#include "scan/Volume.h"

#include <QByteArrayView>
#include <QString>
#include <optional>
#include <vector>

namespace vorn {

// A host folder standing in for a disc (a virtual drive). Its label and serial come
// from a file ".vorn-volume" at its root, holding lines "label=..." and "serial=..."
// (a signed 32-bit decimal). What the file does not give is made up: the label is the
// folder's name, the serial a hash of the label and the root's listing, so the same
// content keeps one identifier and different contents get different ones.

inline constexpr char kVolumeFileName[] = ".vorn-volume";

struct VolumeFileValues
{
    std::optional<QString> label;
    std::optional<qint32> serial;
};

// Reads the lines of a ".vorn-volume" file. Keys ignore case and blanks around them;
// values are trimmed; a serial that is not a signed 32-bit decimal is left out; the
// first valid line of each key counts.
VolumeFileValues parseVolumeFile(QByteArrayView bytes);

// Stable hash of a label and the root entries of a folder: FNV-1a (32 bits) over the
// label and, in byte order of their UTF-8 names, each entry's name, kind, size (0 for
// folders, whose size depends on the host file system) and modification time in whole
// seconds (names with their real "\", so an identifier does not depend on how a name
// is shown). Entries whose names begin with "." are left out, as the walker never lists
// them; so are entries whose facts were not read.
quint32 listingHash(const QString &label, const std::vector<VolumeEntry> &entries);

// The volume of a folder; nullopt when the folder does not exist (an empty drive).
std::optional<DiscVolume> readFolderVolume(const QString &folder);

} // namespace vorn
