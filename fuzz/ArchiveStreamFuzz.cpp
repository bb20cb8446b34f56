// CAB and RAR members read through libarchive with our callbacks. The first byte
// chooses the kind; the rest is the archive.
#include "FuzzInput.h"
#include "capture/ArchiveMembers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const vorn::ArchiveKind kind = data[0] & 1 ? vorn::ArchiveKind::Rar : vorn::ArchiveKind::Cab;
    const QString path = vorn::fuzz::inputFile(data + 1, size - 1, ".arc");
    const vorn::ArchiveListing listing = vorn::listArchiveMembers(kind, path);
    std::vector<vorn::MemberRequest> requests;
    for (int i = 0; i < int(std::min<std::size_t>(listing.members.size(), 8)); ++i)
        requests.push_back({i, i % 2 ? vorn::MemberRequest::Want::Mp3 : vorn::MemberRequest::Want::Text, 4096});
    vorn::readArchiveMembers(
        kind, path, listing, requests, [](const vorn::MemberRequest &, const vorn::MemberContent &) {}, nullptr);
    return 0;
}
