#include "index/TextColumn.h"

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
    putU32(out, quint32(m_used));
    out.append(builtTexts());
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
    quint32 number = 0; // the text that starts at `counted`
    qsizetype counted = 0;
    findAsciiIgnoringCase(m_view, literal, [&](qsizetype at) {
        number += quint32(scan::countByte(data + counted, at - counted, '\n'));
        out.push_back(number);
        if (starts) {
            qsizetype start = at;
            while (start > counted && data[start - 1] != '\n')
                --start;
            starts->push_back({number, quint32(start)});
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
    if (number > m_number) {
        m_offset = scan::skipPast(all.data(), m_offset, all.size(), qsizetype(number - m_number), '\n');
        m_number = number;
    }
    const void *end = std::memchr(all.data() + m_offset, '\n', size_t(all.size() - m_offset));
    const qsizetype stop = end ? static_cast<const char *>(end) - all.data() : all.size();
    return all.sliced(m_offset, stop - m_offset);
}

} // namespace vorn
