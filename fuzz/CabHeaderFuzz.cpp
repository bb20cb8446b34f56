// The CAB header reader.
#include "FuzzInput.h"
#include "capture/CabFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    (void)vorn::listCabArchive(vorn::fuzz::inputFile(data, size, ".cab"));
    return 0;
}
