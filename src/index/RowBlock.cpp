#include "index/RowBlock.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace vorn::RowBlock {

namespace {

// Owner, link, size, date (seconds or bits), distance of the date from the seconds.
constexpr int FieldCount = 5;
// A flag byte, then per field its smallest value (8 bytes) and its width (1 byte).
constexpr qsizetype HeadSize = 1 + FieldCount * 9;
constexpr char ExactDates = 0;
constexpr char DateBits = 1;

int bitWidth(quint64 value)
{
    return value == 0 ? 0 : 64 - std::countl_zero(value);
}

qsizetype packedBytes(int n, int width)
{
    return (qsizetype(n) * width + 7) / 8;
}

// Appends the distances of `values` from their smallest, `width` bits each, the first
// value in the lowest bits.
void appendPacked(QByteArray &out, const quint64 *values, int n, quint64 base, int width)
{
    if (width == 0)
        return;
    const qsizetype start = out.size();
    out.resize(start + packedBytes(n, width));
    auto *bytes = reinterpret_cast<unsigned char *>(out.data() + start);
    // Bits not yet written, lowest first, written eight bytes at a time.
    quint64 pending = 0;
    int held = 0;
    for (int i = 0; i < n; ++i) {
        const quint64 distance = values[i] - base;
        pending |= distance << held;
        held += width;
        if (held >= 64) {
            if constexpr (std::endian::native == std::endian::little) {
                std::memcpy(bytes, &pending, 8);
            } else {
                for (int k = 0; k < 8; ++k)
                    bytes[k] = static_cast<unsigned char>(pending >> (8 * k));
            }
            bytes += 8;
            held -= 64;
            pending = held == 0 ? 0 : distance >> (width - held);
        }
    }
    for (int k = 0; k < held; k += 8)
        *bytes++ = static_cast<unsigned char>(pending >> k);
}

// Value `i` of `width` bits from a packed area of `size` bytes.
quint64 readPacked(const unsigned char *bytes, qsizetype size, int i, int width)
{
    const qint64 bit = qint64(i) * width;
    const qint64 first = bit >> 3;
    const int shift = int(bit & 7);
    if (width + shift <= 64 && first + 8 <= size) {
        quint64 word = 0;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&word, bytes + first, 8);
        } else {
            for (int k = 0; k < 8; ++k)
                word |= quint64(bytes[first + k]) << (8 * k);
        }
        word >>= shift;
        return width == 64 ? word : word & ((quint64(1) << width) - 1);
    }
    quint64 value = 0;
    for (int b = 0; b < width;) {
        const qint64 at = bit + b;
        const int bitShift = int(at & 7);
        const int take = std::min(8 - bitShift, width - b);
        value |= quint64((bytes[at >> 3] >> bitShift) & ((1u << take) - 1)) << b;
        b += take;
    }
    return value;
}

} // namespace

QByteArray encode(const qint32 *owners, const qint32 *links, const qint64 *sizes, const double *dates, int n)
{
    quint64 fields[FieldCount][64];
    n = std::clamp(n, 0, 64);
    bool exact = true;
    for (int i = 0; i < n; ++i) {
        fields[0][i] = quint64(qint64(owners[i]));
        fields[1][i] = quint64(qint64(links[i]));
        fields[2][i] = quint64(sizes[i]);
        const double date = dates[i];
        if (!exact)
            continue;
        if (!std::isfinite(date) || std::fabs(date) > 1e7) {
            exact = false;
            continue;
        }
        // Any whole number near the date would do (the distance below makes it exact);
        // rounding here costs less than a call to llround.
        const double scaled = date * 86400.0;
        const auto seconds = qint64(scaled + (scaled < 0 ? -0.5 : 0.5));
        const qint64 distance =
            qint64(std::bit_cast<quint64>(date) - std::bit_cast<quint64>(double(seconds) / 86400.0));
        exact = distance >= -127 && distance <= 127;
        fields[3][i] = quint64(seconds);
        fields[4][i] = quint64(distance);
    }
    for (int i = 0; i < n && !exact; ++i) {
        fields[3][i] = std::bit_cast<quint64>(dates[i]);
        fields[4][i] = 0;
    }
    QByteArray out;
    out.reserve(HeadSize + qsizetype(n) * 20);
    out.append(exact ? ExactDates : DateBits);
    quint64 bases[FieldCount];
    int widths[FieldCount];
    for (int f = 0; f < FieldCount; ++f) {
        // Smallest and largest as signed numbers, the distance between them unsigned:
        // it fits in 64 bits for any two values.
        qint64 low = 0;
        qint64 high = 0;
        for (int i = 0; i < n; ++i) {
            const auto value = qint64(fields[f][i]);
            low = i == 0 ? value : std::min(low, value);
            high = i == 0 ? value : std::max(high, value);
        }
        bases[f] = quint64(low);
        widths[f] = bitWidth(quint64(high) - quint64(low));
        out.append(reinterpret_cast<const char *>(&bases[f]), 8);
        out.append(char(widths[f]));
    }
    for (int f = 0; f < FieldCount; ++f)
        appendPacked(out, fields[f], n, bases[f], widths[f]);
    return out;
}

bool decode(QByteArrayView block, int n, int i, Fields &out)
{
    if (n < 1 || n > 64 || i < 0 || i >= n || block.size() < HeadSize)
        return false;
    const auto *bytes = reinterpret_cast<const unsigned char *>(block.data());
    const char flag = block[0];
    if (flag != ExactDates && flag != DateBits)
        return false;
    quint64 values[FieldCount];
    qsizetype at = HeadSize;
    for (int f = 0; f < FieldCount; ++f) {
        quint64 base;
        std::memcpy(&base, bytes + 1 + f * 9, 8);
        const int width = bytes[1 + f * 9 + 8];
        if (width > 64 || block.size() - at < packedBytes(n, width))
            return false;
        values[f] = base + readPacked(bytes + at, packedBytes(n, width), i, width);
        at += packedBytes(n, width);
    }
    if (at != block.size())
        return false;
    out.owner = qint32(qint64(values[0]));
    out.link = qint32(qint64(values[1]));
    out.size = qint64(values[2]);
    if (flag == ExactDates) {
        const double seconds = double(qint64(values[3])) / 86400.0;
        out.date = std::bit_cast<double>(std::bit_cast<quint64>(seconds) + values[4]);
    } else {
        out.date = std::bit_cast<double>(values[3]);
    }
    return true;
}

} // namespace vorn::RowBlock
