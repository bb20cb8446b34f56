// The captured-text store: its index, then every text it claims to hold.
#include "FuzzInput.h"
#include "store/CapturedTextStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray store = vorn::fuzz::bytes(data, size).toByteArray();
    const vorn::CapturedTextIndex index = vorn::parseCapturedTextIndex(store);
    vorn::CapturedTextScanner scanner;
    const int count = std::min(index.count(), 64);
    for (int k = 1; k <= count + 1; ++k)
        (void)scanner.occurs(QStringLiteral("fuzz"), store, k, u"a");
    (void)scanner.text(QStringLiteral("fuzz"), store, 1);
    return 0;
}
