// The bookmark file of a disc archive.
#include "FuzzInput.h"
#include "store/BookmarkFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto bookmarks = vorn::BookmarkFile::parse(vorn::fuzz::bytes(data, size));
    (void)vorn::BookmarkFile::serialize(bookmarks);
    return 0;
}
