// The folder file of a disc archive.
#include "FuzzInput.h"
#include "store/TreeFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto folders = vorn::TreeFiles::parseFolderFile(vorn::fuzz::bytes(data, size));
    (void)vorn::TreeFiles::folderFileBytes(folders);
    return 0;
}
