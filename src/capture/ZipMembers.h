#pragma once

#include "capture/ArchiveMembers.h"

#include <QString>

namespace vorn {

class UserPrompt;

// ZIP archives found on a disc, self-extracting programs with a ZIP archive inside
// included. The member list comes from the central directory at the end of the file,
// so a program that is not an archive is recognised from its last 64 KB alone.
ArchiveListing listZipArchive(const QString &hostPath);

void readZipMembers(const QString &hostPath, const ArchiveListing &listing, const std::vector<MemberRequest> &requests,
                    const std::function<void(const MemberRequest &, const MemberContent &)> &consumer,
                    UserPrompt *prompt);

// Fills `members` (cleared first) with the archive's members; false when the file is
// not a readable ZIP archive (it then lists nothing).
bool ListZipMembers(const QString &archivePath, MemberList &members);

// Writes one member into `targetFolder` under its file name, without its folder path,
// replacing a file of that name: the member named `memberName` in `memberFolder`
// ("\" separated, empty for the top), or else the first member of that name in any
// folder. Nothing is written for a member over `limit` bytes, a name that cannot be a
// plain file name, or an encrypted member whose password is not given. Names are
// compared ignoring case.
bool ExtractZipMember(const QString &archivePath, const QString &memberName, const QString &memberFolder,
                      const QString &targetFolder, qint64 limit, UserPrompt *prompt);

} // namespace vorn
