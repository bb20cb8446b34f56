// The MP3 tag store of a disc archive.
#include "FuzzInput.h"
#include "store/Mp3TagStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    vorn::Mp3TagStore store;
    store.parse(vorn::fuzz::bytes(data, size));
    for (qint64 n = 0; n < 4; ++n)
        (void)store.tags(n);
    (void)store.serialize();
    return 0;
}
