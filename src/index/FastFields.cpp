#include "index/FastFields.h"

#include "common/LineFields.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vorn {

namespace {

// The value of a run of decimal digits (at most 18); false when a byte is not a digit.
// Eight digits at a time where the host is little-endian: most of a build's numbers
// are dates of fifteen digits.
inline bool digitsValue(const char *p, qsizetype n, qint64 &value)
{
    // Summed in a local: the bytes read could alias `value`, which would otherwise be
    // stored and loaded again for every digit.
    qint64 sum = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; n >= 8; p += 8, n -= 8) {
            quint64 chunk;
            std::memcpy(&chunk, p, 8);
            chunk -= 0x3030303030303030ull;
            if (((chunk + 0x7676767676767676ull) | chunk) & 0x8080808080808080ull)
                return false;
            chunk = chunk * 10 + (chunk >> 8);
            chunk = ((chunk & 0x000000ff000000ffull) * (100 + (1000000ull << 32))
                     + ((chunk >> 16) & 0x000000ff000000ffull) * (1 + (10000ull << 32)))
                >> 32;
            sum = sum * 100000000 + qint64(chunk);
        }
    }
    for (; n > 0; ++p, --n) {
        const char c = *p;
        if (c < '0' || c > '9')
            return false;
        sum = sum * 10 + (c - '0');
    }
    value = sum;
    return true;
}

} // namespace

// The field readers' integer: plain digits (with a minus sign) are read here, the
// rest by the shared reader, which gives the same value for plain digits.
qint64 fastInteger(QByteArrayView raw)
{
    const qsizetype sign = !raw.isEmpty() && raw[0] == '-' ? 1 : 0;
    const qsizetype n = raw.size() - sign;
    qint64 value = 0;
    if (n < 1 || n > 18 || !digitsValue(raw.data() + sign, n, value))
        return parseFieldInteger(raw);
    return sign ? -value : value;
}

// The field readers' float: "digits[.digits]" of at most 15 digits is the integer of
// its digits divided by a power of ten, both exact in a double, so the division
// rounds exactly as the shared reader does; anything else goes to that reader.
double fastNumber(QByteArrayView raw)
{
    static constexpr double powers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    static constexpr qint64 scales[] = {1,
                                        10,
                                        100,
                                        1000,
                                        10000,
                                        100000,
                                        1000000,
                                        10000000,
                                        100000000,
                                        1000000000,
                                        10000000000,
                                        100000000000,
                                        1000000000000,
                                        10000000000000,
                                        100000000000000,
                                        1000000000000000};
    const qsizetype n = raw.size();
    if (n < 1 || n > 16)
        return parseFieldNumber(raw);
    const char *p = raw.data();
    qsizetype dot = 0;
    while (dot < n && p[dot] != '.')
        ++dot;
    const qsizetype decimals = dot < n ? n - dot - 1 : 0;
    qint64 whole = 0;
    qint64 fraction = 0;
    // The two parts are read apart, which also lets the processor work on both at once.
    if (dot == 0 || dot + decimals > 15 || (dot < n && decimals == 0) || !digitsValue(p, dot, whole)
        || !digitsValue(p + std::min(dot + 1, n), decimals, fraction))
        return parseFieldNumber(raw);
    const qint64 digits = whole * scales[decimals] + fraction;
    return decimals == 0 ? double(digits) : double(digits) / powers[decimals];
}

} // namespace vorn
