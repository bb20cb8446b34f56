// The ZIP central-directory reader (self-extracting programs and ZIP64 included),
// then the members' contents through libzip.
#include "FuzzInput.h"
#include "capture/ZipMembers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = vorn::fuzz::inputFile(data, size, ".zip");
    const vorn::ArchiveListing listing = vorn::listZipArchive(path);
    std::vector<vorn::MemberRequest> requests;
    for (int i = 0; i < int(std::min<std::size_t>(listing.members.size(), 8)); ++i)
        requests.push_back({i, i % 2 ? vorn::MemberRequest::Want::Mp3 : vorn::MemberRequest::Want::Text, 4096});
    vorn::readZipMembers(
        path, listing, requests, [](const vorn::MemberRequest &, const vorn::MemberContent &) {}, nullptr);
    return 0;
}
