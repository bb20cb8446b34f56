// The file list of a disc archive.
#include "FuzzInput.h"
#include "store/TreeFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto files = vorn::TreeFiles::parseFileList(vorn::fuzz::bytes(data, size));
    (void)vorn::TreeFiles::fileListBytes(files);
    return 0;
}
