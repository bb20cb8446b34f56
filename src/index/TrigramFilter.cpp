#include "index/TrigramFilter.h"

#include <cstring>

namespace vorn {

namespace {

inline quint8 lower(char c)
{
    const auto u = static_cast<quint8>(c);
    return (u >= 'A' && u <= 'Z') ? quint8(u + 32) : u;
}

// The same hash addTexts computes on its rolling window (first byte highest).
inline quint32 slot(quint32 a, quint32 b, quint32 c)
{
    return ((a << 16 | b << 8 | c) * 2654435761u) >> 16;
}

} // namespace

void TrigramFilter::addTexts(QByteArrayView texts)
{
    // The last three bytes rolled into one word; `run` counts the bytes since the
    // last line feed.
    quint32 window = 0;
    int run = 0;
    quint64 *bits = m_bits.data();
    for (char ch : texts) {
        if (ch == '\n') {
            run = 0;
            continue;
        }
        window = ((window << 8) | lower(ch)) & 0xffffff;
        if (++run >= 3) {
            const quint32 s = (window * 2654435761u) >> 16;
            bits[s >> 6] |= quint64(1) << (s & 63);
        }
    }
}

QByteArray TrigramFilter::bytes() const
{
    return QByteArray(reinterpret_cast<const char *>(m_bits.data()), qsizetype(m_bits.size() * 8));
}

bool TrigramFilter::mayHold(QByteArrayView filter, QByteArrayView literal)
{
    if (literal.size() < 3 || filter.size() != qsizetype(Bits / 8))
        return true;
    for (qsizetype i = 0; i + 2 < literal.size(); ++i) {
        const quint32 s = slot(lower(literal[i]), lower(literal[i + 1]), lower(literal[i + 2]));
        quint64 word;
        std::memcpy(&word, filter.data() + (s >> 6) * 8, 8);
        if (!(word & (quint64(1) << (s & 63))))
            return false;
    }
    return true;
}

} // namespace vorn
