#pragma once

#include "capture/ArchiveContent.h"
#include "capture/ArchiveMembers.h"

namespace vorn {

// Reads the requested members of a CAB or RAR archive in one pass through libarchive.
// Each entry the library gives is recognised in the listing by its stored path and
// size, looking a little ahead of the last one found, so entries the listing has and
// the library leaves out (or the other way round) do not shift the rest. In a solid
// archive the members before a wanted one are decompressed too (and dropped), since
// they carry the state the wanted one is decompressed from.
void readWithLibarchive(ArchiveKind kind, const QString &hostPath, const ArchiveListing &listing,
                        const std::vector<MemberRequest> &requests, const MemberConsumer &consumer);

// The form two stored paths are compared in: "\" separators, no trailing one, and
// every character outside ASCII as "?" (the library may give those in another form).
QString memberMatchKey(const QString &storedPath);

} // namespace vorn
