// The wildcard pattern compiler and matcher: the pattern, a NUL byte, then the subject.
#include "FuzzInput.h"
#include "common/Wildcard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input = vorn::fuzz::bytes(data, size);
    const qsizetype split = input.indexOf('\0');
    const QString pattern = QString::fromUtf8(split < 0 ? input : input.first(split));
    const QString subject = split < 0 ? QString() : QString::fromUtf8(input.sliced(split + 1));
    const vorn::WildcardPattern compiled(pattern);
    (void)compiled.matches(subject);
    (void)compiled.asciiLiteral();
    return 0;
}
