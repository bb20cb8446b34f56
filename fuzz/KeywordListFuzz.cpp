// The keyword list of a data folder.
#include "FuzzInput.h"
#include "store/KeywordList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto keywords = vorn::KeywordList::parse(vorn::fuzz::bytes(data, size));
    (void)vorn::KeywordList::format(keywords);
    return 0;
}
