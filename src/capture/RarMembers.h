#pragma once

#include "capture/ArchiveMembers.h"

#include <QString>

namespace vorn {

// RAR archives found on a disc, in the format of RAR 1.5 to 4 and in that of RAR 5.
// The listing reads the block headers and checks their CRCs; it stops at the first
// damaged header, keeping the members before it. Members keep their stored date and
// time (to the second in the older format).
ArchiveListing listRarArchive(const QString &hostPath);

// Result codes of the RAR operations.
namespace RarResult {
inline constexpr int Success = 0;
inline constexpr int CannotOpen = 1; // not a RAR archive, or its headers are encrypted
inline constexpr int EndOfArchive = 10; // the member asked for is not in the archive
inline constexpr int BadData = 12; // damaged header or data
inline constexpr int CannotCreate = 16; // the member was not written (too large, unsafe name, write error)
inline constexpr int MissingPassword = 22; // the member is encrypted
} // namespace RarResult

// Fills `members` (cleared first) with the archive's members. Returns CannotOpen when
// the file is no readable RAR archive, BadData when reading stopped at a damaged
// header (the members before it are kept), else Success.
int ListRarMembers(const QString &archivePath, MemberList &members);

// Writes the member whose stored path ("\" separated) is `storedPath`, case counting,
// to `targetFolder` & its stored path, creating its folders there. A path reaching
// outside the folder (a ".." part) is not written; a leading drive or separator is
// dropped. Nothing is written for a member over `limit` bytes.
int ExtractRarMember(const QString &archivePath, const QString &storedPath, const QString &targetFolder, qint64 limit);

} // namespace vorn
