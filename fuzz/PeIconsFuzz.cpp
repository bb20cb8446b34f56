// The icon reader of Windows programs.
#include "FuzzInput.h"
#include "capture/PeIcons.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = vorn::fuzz::inputFile(data, size, ".exe");
    const int groups = vorn::countPeIconGroups(path);
    for (int index = 0; index < std::min(groups, 4); ++index)
        (void)vorn::readPeIcon(path, index);
    (void)vorn::readPeIcon(path, 0);
    return 0;
}
