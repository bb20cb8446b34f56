#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

namespace vorn {

// Which three-character pieces (ASCII letters in lower case, other bytes as they are)
// occur anywhere in one disc's texts, as a 65,536-bit hash set. A literal one of
// whose pieces is missing occurs in none of the texts, so a search for it can pass
// the disc by without reading its texts: a rare name is looked for in a few
// kilobytes per disc instead of the whole name column.
class TrigramFilter
{
public:
    static constexpr quint32 Bits = 1u << 16;

    TrigramFilter() : m_bits(Bits / 64, 0) {}
    // Texts each ended by a line feed; pieces never span two texts.
    void addTexts(QByteArrayView texts);
    QByteArray bytes() const;

    // False only when some piece of `literal` (lower-case printable ASCII) is missing
    // from the set held in `filter` (bytes() of a filter). Literals of fewer than three
    // characters, and filters of another size, always may be held.
    static bool mayHold(QByteArrayView filter, QByteArrayView literal);

private:
    std::vector<quint64> m_bits;
};

} // namespace vorn
