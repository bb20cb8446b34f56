#include "index/TextColumn.h"

#include "common/TextCodec.h"

#include <algorithm>
#include <cstring>

namespace vorn {

namespace {

void putU32(QByteArray &out, quint32 value)
{
    out.append(reinterpret_cast<const char *>(&value), sizeof value);
}

bool takeU32(QByteArrayView &in, quint32 &value)
{
    if (in.size() < qsizetype(sizeof value))
        return false;
    std::memcpy(&value, in.data(), sizeof value);
    in = in.sliced(sizeof value);
    return true;
}

} // namespace

bool TextColumn::hasAsciiFoldingCharacter(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (c < 0x80)
            continue;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        }
        if (QChar::toCaseFolded(c) < 0x80)
            return true;
    }
    return false;
}

bool TextColumn::append(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    if (isAscii(utf8)) {
        appendAscii(utf8);
        return true;
    }
    if (QString::fromUtf8(utf8) != text)
        return false;
    if (hasAsciiFoldingCharacter(text))
        m_specials.push_back(m_count);
    char *out = room(utf8.size() + 1);
    std::memcpy(out, utf8.constData(), size_t(utf8.size()));
    out[utf8.size()] = '\n';
    ++m_count;
    return true;
}

void TextColumn::reserve(qsizetype bytes)
{
    if (bytes > m_bytes.size())
        m_bytes.resize(bytes);
}

void TextColumn::grow(qsizetype bytes)
{
    m_bytes.resize(std::max(bytes, m_bytes.size() * 2));
}

void TextColumn::serialize(QByteArray &out) const
{
    putU32(out, m_count);
    putU32(out, quint32(m_specials.size()));
    for (quint32 special : m_specials)
        putU32(out, special);
    const quint32 present = m_count - m_empty;
    // Sparse when the numbers of the non-empty texts take less room than the line
    // feeds of the empty ones.
    if (qint64(present) * 4 >= qint64(m_empty)) {
        putU32(out, m_count);
        putU32(out, quint32(m_used));
        out.append(builtTexts());
        return;
    }
    putU32(out, present);
    // The numbers, then the size and the texts, written in place: one pass over the
    // texts, where an empty one is a lone line feed.
    const qsizetype textBytes = m_used - m_empty;
    const qsizetype numbersAt = out.size();
    out.resize(numbersAt + qsizetype(present) * 4 + 4 + textBytes);
    char *numbers = out.data() + numbersAt;
    char *texts = numbers + qsizetype(present) * 4 + 4;
    const quint32 size = quint32(textBytes);
    std::memcpy(numbers + qsizetype(present) * 4, &size, 4);
    const char *p = m_bytes.constData();
    const char *end = p + m_used;
    for (quint32 number = 0; p < end; ++number) {
        if (*p == '\n') {
            ++p;
            continue;
        }
        const auto *stop = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        const qsizetype length = stop - p + 1;
        std::memcpy(numbers, &number, 4);
        numbers += 4;
        std::memcpy(texts, p, size_t(length));
        texts += length;
        p = stop + 1;
    }
}

bool TextColumn::deserialize(QByteArrayView bytes)
{
    quint32 specials = 0;
    quint32 size = 0;
    if (!takeU32(bytes, m_count) || !takeU32(bytes, specials)
        || bytes.size() / qsizetype(sizeof(quint32)) < qsizetype(specials))
        return false;
    m_specials.resize(specials);
    for (quint32 &special : m_specials)
        takeU32(bytes, special);
    if (!takeU32(bytes, m_present) || m_present > m_count)
        return false;
    m_numbers = nullptr;
    if (sparse()) {
        if (bytes.size() / 4 < qsizetype(m_present))
            return false;
        m_numbers = bytes.data();
        // Ascending and below the count, so that a cursor's search stays inside.
        for (quint32 k = 0; k < m_present; ++k) {
            if (numberAt(k) >= m_count || (k > 0 && numberAt(k) <= numberAt(k - 1)))
                return false;
        }
        bytes = bytes.sliced(qsizetype(m_present) * 4);
    }
    if (!takeU32(bytes, size) || bytes.size() != qsizetype(size))
        return false;
    m_view = bytes;
    return true;
}

void TextColumn::find(QByteArrayView literal, std::vector<quint32> &out, std::vector<TextStart> *starts) const
{
    const size_t before = out.size();
    const char *data = m_view.data();
    const qsizetype size = m_view.size();
    quint32 number = 0; // the stored text that starts at `counted`
    qsizetype counted = 0;
    findAsciiIgnoringCase(m_view, literal, [&](qsizetype at) {
        number += quint32(scan::countByte(data + counted, at - counted, '\n'));
        if (number >= m_present)
            return size;
        const quint32 record = sparse() ? numberAt(number) : number;
        out.push_back(record);
        if (starts) {
            qsizetype start = at;
            while (start > counted && data[start - 1] != '\n')
                --start;
            starts->push_back({record, number, quint32(start)});
        }
        const void *end = std::memchr(data + at, '\n', size_t(size - at));
        counted = end ? static_cast<const char *>(end) - data + 1 : size;
        ++number;
        return counted;
    });
    if (m_specials.empty())
        return;
    out.insert(out.end(), m_specials.begin(), m_specials.end());
    std::inplace_merge(out.begin() + qsizetype(before), out.end() - qsizetype(m_specials.size()), out.end());
    out.erase(std::unique(out.begin() + qsizetype(before), out.end()), out.end());
}

QByteArrayView TextColumn::Cursor::text(quint32 number)
{
    const QByteArrayView all = m_column.bytes();
    if (number >= m_column.count())
        return {};
    quint32 index = number;
    if (m_column.sparse()) {
        // The first stored text at or after the cursor's numbered `number` or later.
        quint32 low = m_index;
        quint32 high = m_column.m_present;
        while (low < high) {
            const quint32 middle = low + (high - low) / 2;
            if (m_column.numberAt(middle) < number)
                low = middle + 1;
            else
                high = middle;
        }
        if (low == m_column.m_present || m_column.numberAt(low) != number)
            return {};
        index = low;
    }
    if (index > m_index) {
        m_offset = scan::skipPast(all.data(), m_offset, all.size(), qsizetype(index - m_index), '\n');
        m_index = index;
    }
    const void *end = std::memchr(all.data() + m_offset, '\n', size_t(all.size() - m_offset));
    const qsizetype stop = end ? static_cast<const char *>(end) - all.data() : all.size();
    return all.sliced(m_offset, stop - m_offset);
}

} // namespace vorn
