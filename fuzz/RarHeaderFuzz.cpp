// The RAR header reader (versions 4 and 5).
#include "FuzzInput.h"
#include "capture/RarMembers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    (void)vorn::listRarArchive(vorn::fuzz::inputFile(data, size, ".rar"));
    return 0;
}
