// The information record text kept as a disc archive's comment.
#include "FuzzInput.h"
#include "common/TextCodec.h"
#include "store/RecordText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::optional<vorn::RecordReading> reading =
        vorn::parseRecordText(vorn::decodeText(vorn::fuzz::bytes(data, size)));
    if (reading)
        (void)vorn::recordText(reading->record, {});
    return 0;
}
