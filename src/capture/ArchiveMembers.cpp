#include "capture/ArchiveMembers.h"

#include "capture/ArchiveStream.h"
#include "capture/CabFile.h"
#include "capture/RarMembers.h"
#include "capture/ZipMembers.h"

namespace vorn {

ArchiveListing listArchiveMembers(ArchiveKind kind, const QString &hostPath)
{
    switch (kind) {
    case ArchiveKind::Zip:
        return listZipArchive(hostPath);
    case ArchiveKind::Cab:
        return listCabArchive(hostPath);
    case ArchiveKind::Rar:
        return listRarArchive(hostPath);
    }
    return {};
}

void readArchiveMembers(ArchiveKind kind, const QString &hostPath, const ArchiveListing &listing,
                        const std::vector<MemberRequest> &requests,
                        const std::function<void(const MemberRequest &, const MemberContent &)> &consumer,
                        UserPrompt *prompt)
{
    if (kind == ArchiveKind::Zip)
        readZipMembers(hostPath, listing, requests, consumer, prompt);
    else
        readWithLibarchive(kind, hostPath, listing, requests, consumer);
}

} // namespace vorn
