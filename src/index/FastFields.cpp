#include "index/FastFields.h"

#include "common/LineFields.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
        // Then four, as in sizes and the days of a date.
        if (n >= 4) {
            quint32 chunk;
            std::memcpy(&chunk, p, 4);
            chunk -= 0x30303030u;
            if (((chunk + 0x76767676u) | chunk) & 0x80808080u)
                return false;
            chunk = chunk * 10 + (chunk >> 8);
            chunk = ((chunk & 0x00ff00ffu) * (1 + (100u << 16))) >> 16;
            sum = sum * 10000 + qint64(chunk & 0xffff);
            p += 4;
            n -= 4;
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

inline bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The first comma in [p, end), or end. Number fields are short: one look at sixteen
// bytes finds their comma without a call.
inline const char *findComma(const char *p, const char *end)
{
#if defined(__SSE2__)
    if (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(',')));
        if (mask)
            return p + std::countr_zero(unsigned(mask));
    }
#endif
    const void *found = std::memchr(p, ',', size_t(end - p));
    return found ? static_cast<const char *>(found) : end;
}

// A quoted field at p followed by a comma: its text, and p moved past the comma.
inline bool takeQuoted(const char *&p, const char *end, QByteArrayView &field)
{
    if (p == end || *p != '"')
        return false;
    // Most descriptions are empty.
    const auto *close =
        end - p >= 2 && p[1] == '"' ? p + 1 : static_cast<const char *>(std::memchr(p + 1, '"', size_t(end - p - 1)));
    if (!close || close + 1 == end || close[1] != ',')
        return false;
    field = QByteArrayView(p + 1, close);
    p = close + 2;
    return true;
}

// An unquoted field at p up to `stop`: LineFields trims blanks around it and reads a
// leading quote as a quoted field, so such fields are left to it.
inline bool plainField(const char *p, const char *stop, QByteArrayView &field)
{
    if (p != stop && (isBlank(*p) || *p == '"' || isBlank(stop[-1])))
        return false;
    field = QByteArrayView(p, stop);
    return true;
}

} // namespace

bool splitPlainFileLine(QByteArrayView line, QByteArrayView (&fields)[6])
{
    const char *p = line.data();
    const char *end = p + line.size();
    if (!takeQuoted(p, end, fields[0]))
        return false;
    for (int k = 1; k <= 3; ++k) {
        const char *comma = findComma(p, end);
        if (comma == end || !plainField(p, comma, fields[k]))
            return false;
        p = comma + 1;
    }
    if (!takeQuoted(p, end, fields[4]))
        return false;
    // The last field runs to the line's end; a comma there would begin a seventh.
    return std::find(p, end, ',') == end && plainField(p, end, fields[5]);
}

// The field readers' integer: plain digits (with a minus sign) are read here, the
// rest by the shared reader, which gives the same value for plain digits.
bool plainInteger(QByteArrayView raw, qint64 &value)
{
    const qsizetype sign = !raw.isEmpty() && raw[0] == '-' ? 1 : 0;
    const qsizetype n = raw.size() - sign;
    if (n < 1 || n > 18 || !digitsValue(raw.data() + sign, n, value))
        return false;
    if (sign)
        value = -value;
    return true;
}

qint64 fastIntegerOf(QByteArrayView raw)
{
    qint64 value = 0;
    return plainInteger(raw, value) ? value : parseFieldInteger(raw);
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
    // Dates from 1973 to 2173 have five digits before the dot: nearly every call.
    qsizetype dot = n > 6 && p[5] == '.' ? 5 : 0;
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
