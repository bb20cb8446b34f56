#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstring>
#include <vector>

namespace vorn {

// The texts of one kind (file names, one part of the descriptions, folder names...)
// of one disc as UTF-8, each followed by a line feed, so that one pass over a flat
// buffer finds every text holding a piece of plain ASCII, ignoring case. No stored
// text holds a line feed (the store's line files split at it), so a match never
// spans two texts.
//
// Texts holding a character outside ASCII whose case folding is ASCII (the Kelvin
// sign folds to "k") are listed apart as "specials": a wildcard may match them where
// the bytes do not show it, so they are always candidates.
//
// A column whose texts are mostly empty (descriptions, folder notes) is stored sparse:
// the numbers of its non-empty texts, and those texts alone, so that a search neither
// decompresses nor walks a line feed per empty text.
class TextColumn
{
public:
    // Adds the next text; false when it does not survive UTF-8 and back unchanged
    // (a lone surrogate), which the index cannot represent.
    bool append(const QString &text);
    // The same for a text known to be plain ASCII bytes.
    void appendAscii(QByteArrayView text)
    {
        char *out = room(text.size() + 1);
        if (!text.isEmpty())
            std::memcpy(out, text.data(), size_t(text.size()));
        out[text.size()] = '\n';
        m_empty += text.isEmpty() ? 1 : 0;
        ++m_count;
    }
    void reserve(qsizetype bytes);

    quint32 count() const { return m_count; }
    bool hasSpecials() const { return !m_specials.empty(); }
    // The texts appended so far, each ended by a line feed.
    QByteArrayView builtTexts() const { return QByteArrayView(m_bytes.constData(), m_used); }
    void serialize(QByteArray &out) const;
    // The column from serialize's bytes; false when they do not hold one.
    bool deserialize(QByteArrayView bytes);

    // Where a text begins in the column's bytes: its number, its place among the
    // stored texts (the same unless the column is sparse) and its offset.
    struct TextStart
    {
        quint32 number = 0;
        quint32 index = 0;
        quint32 offset = 0;
    };
    // Numbers of the texts holding `literal` (lower-case printable ASCII) ignoring
    // ASCII case, and of the specials, ascending, without repeats, appended to `out`.
    // With `starts`, where each text holding the literal begins is appended to it (the
    // specials left out), so a cursor need not count its way there again.
    void find(QByteArrayView literal, std::vector<quint32> &out, std::vector<TextStart> *starts = nullptr) const;

    // Reads the texts in ascending order without an offset table.
    class Cursor
    {
    public:
        explicit Cursor(const TextColumn &column) : m_column(column) {}
        // Text `number`, at or after the last one asked for; empty past the end.
        QByteArrayView text(quint32 number);
        // Moves to a text whose start find gave, at or after the last one asked for.
        void moveTo(TextStart start)
        {
            m_index = start.index;
            m_offset = start.offset;
        }

    private:
        const TextColumn &m_column;
        quint32 m_index = 0; // the stored text that starts at m_offset
        qsizetype m_offset = 0;
    };

private:
    QByteArrayView bytes() const { return m_view; }
    static bool hasAsciiFoldingCharacter(const QString &text);
    bool sparse() const { return m_present != m_count; }
    quint32 numberAt(quint32 index) const
    {
        quint32 number;
        std::memcpy(&number, m_numbers + size_t(index) * 4, 4);
        return number;
    }

    quint32 m_count = 0;
    quint32 m_empty = 0; // while building
    std::vector<quint32> m_specials;
    // As read: how many texts are stored, and for a sparse column their numbers.
    quint32 m_present = 0;
    const char *m_numbers = nullptr;
    // While building: room for the texts, of which the first m_used bytes are taken
    // (appending a name costs less than a resize of the array would).
    QByteArray m_bytes;
    qsizetype m_used = 0;
    char *room(qsizetype bytes)
    {
        if (m_used + bytes > m_bytes.size())
            grow(m_used + bytes);
        char *out = m_bytes.data() + m_used;
        m_used += bytes;
        return out;
    }
    void grow(qsizetype bytes);
    QByteArrayView m_view; // the texts, each ended by '\n'
};

// Positions in [0, text.size()) where `literal` (lower-case printable ASCII, not
// empty) starts, ignoring ASCII case. `text` must be readable for 31 bytes past its
// end (a part's sections carry 64). Calls hit(position) for each, in order; hit
// returns the position to go on from.
template<typename Hit> void findAsciiIgnoringCase(QByteArrayView text, QByteArrayView literal, Hit &&hit);

} // namespace vorn

#include "index/TextColumnScan.h"
