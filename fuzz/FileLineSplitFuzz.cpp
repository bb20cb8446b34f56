// The index build's own reading of file-list lines, against the shared field reader:
// every line it splits must give that reader's fields and numbers.
#include "FuzzInput.h"
#include "common/LineFields.h"
#include "index/FastFields.h"

#include <bit>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    vorn::forEachLine(vorn::fuzz::bytes(data, size), [](QByteArrayView line) {
        QByteArrayView fields[6];
        const bool split = vorn::splitPlainFileLine(line, fields);
        const vorn::LineFields shared(line);
        for (int k = 0; k < 6; ++k) {
            const QByteArrayView field = split ? fields[k] : shared.raw(k);
            if (split && field != shared.raw(k))
                std::abort();
            if (vorn::fastInteger(field) != vorn::parseFieldInteger(field)
                || std::bit_cast<quint64>(vorn::fastNumber(field))
                    != std::bit_cast<quint64>(vorn::parseFieldNumber(field)))
                std::abort();
        }
        return true;
    });
    return 0;
}
