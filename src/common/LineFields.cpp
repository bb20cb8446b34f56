#include "common/LineFields.h"

#include "common/Numbers.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace vorn {

namespace {

constexpr int kSignificantDigits = 15;

inline bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Position of the first c in p[from, n), or n.
inline qsizetype findByte(const char *p, qsizetype from, qsizetype n, char c)
{
    if (from >= n)
        return n;
    const void *found = std::memchr(p + from, c, size_t(n - from));
    return found ? static_cast<const char *>(found) - p : n;
}

} // namespace

LineWriter &LineWriter::text(QStringView value)
{
    separate();
    m_out += '"';
    const qsizetype start = m_out.size();
    m_out += value.toUtf8();
    // Quotes, CR and LF are single bytes in UTF-8, so the bytes can be patched in place.
    char *data = m_out.data();
    for (qsizetype i = start, n = m_out.size(); i < n; ++i) {
        if (data[i] == '"')
            data[i] = '\'';
        else if (data[i] == '\r' || data[i] == '\n')
            data[i] = ' ';
    }
    m_out += '"';
    return *this;
}

LineWriter &LineWriter::integer(qint64 value)
{
    separate();
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    m_out.append(buffer, result.ptr - buffer);
    return *this;
}

LineWriter &LineWriter::number(double value)
{
    separate();
    m_out += formatNumber(value);
    return *this;
}

LineWriter &LineWriter::empty()
{
    separate();
    return *this;
}

void LineWriter::endLine()
{
    m_out += "\r\n";
    m_first = true;
}

void LineWriter::separate()
{
    if (!m_first)
        m_out += ',';
    m_first = false;
}

QByteArray formatNumber(double value)
{
    if (value == 0 || !std::isfinite(value))
        return QByteArrayLiteral("0");
    // Scientific form with 15 significant digits: [-]d.dddddddddddddde[+-]xx
    char buffer[48];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, kSignificantDigits - 1);
    const char *p = buffer;
    const char *end = result.ptr;
    QByteArray out;
    out.reserve(32);
    if (*p == '-') {
        out += '-';
        ++p;
    }
    char digits[kSignificantDigits];
    int count = 0;
    while (p < end && *p != 'e') {
        if (*p != '.' && count < kSignificantDigits)
            digits[count++] = *p;
        ++p;
    }
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), end, exponent);
    while (count > 1 && digits[count - 1] == '0')
        --count;

    if (exponent >= -5 && exponent < 15) {
        if (exponent < 0) {
            out += "0.";
            out.append(-exponent - 1, '0');
            out.append(digits, count);
        } else {
            const int whole = exponent + 1;
            if (count <= whole) {
                out.append(digits, count);
                out.append(whole - count, '0');
            } else {
                out.append(digits, whole);
                out += '.';
                out.append(digits + whole, count - whole);
            }
        }
        return out;
    }
    out += digits[0];
    if (count > 1) {
        out += '.';
        out.append(digits + 1, count - 1);
    }
    out += 'E';
    out += exponent < 0 ? '-' : '+';
    char exponentText[8];
    const auto exponentEnd =
        std::to_chars(exponentText, exponentText + sizeof exponentText, exponent < 0 ? -exponent : exponent);
    if (exponentEnd.ptr - exponentText < 2)
        out += '0';
    out.append(exponentText, exponentEnd.ptr - exponentText);
    return out;
}

void LineFields::parse(QByteArrayView line)
{
    m_fields.clear();
    m_line = line;
    m_encoding.reset();
    const char *p = line.data();
    const qsizetype n = line.size();
    if (n == 0)
        return;
    qsizetype i = 0;
    for (;;) {
        while (i < n && isBlank(p[i]))
            ++i;
        if (i < n && p[i] == '"') {
            const qsizetype start = i + 1;
            const qsizetype close = findByte(p, start, n, '"');
            m_fields.push_back(line.sliced(start, close - start));
            // Anything between the closing quote and the next comma is dropped.
            const qsizetype comma = findByte(p, close + 1, n, ',');
            if (comma >= n)
                return;
            i = comma + 1;
        } else {
            const qsizetype start = i;
            const qsizetype comma = findByte(p, i, n, ',');
            qsizetype last = comma;
            while (last > start && isBlank(p[last - 1]))
                --last;
            m_fields.push_back(line.sliced(start, last - start));
            if (comma >= n)
                return;
            i = comma + 1;
        }
    }
}

QByteArrayView LineFields::raw(int index) const
{
    if (index < 0 || index >= count())
        return {};
    return m_fields[size_t(index)];
}

QString LineFields::text(int index) const
{
    if (!m_encoding)
        m_encoding = detectTextEncoding(m_line);
    return decodeText(raw(index), *m_encoding);
}

qint64 LineFields::integer(int index) const
{
    return parseFieldInteger(raw(index));
}

double LineFields::number(int index) const
{
    return parseFieldNumber(raw(index));
}

qint64 parseFieldInteger(QByteArrayView bytes)
{
    const char *p = bytes.data();
    const char *end = p + bytes.size();
    while (p < end && isBlank(*p))
        ++p;
    const char *numberStart = p;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) {
        negative = *p == '-';
        ++p;
    }
    quint64 magnitude = 0;
    bool overflow = false;
    const char *digits = p;
    while (p < end && *p >= '0' && *p <= '9') {
        const unsigned digit = unsigned(*p - '0');
        if (magnitude > (std::numeric_limits<quint64>::max() - digit) / 10)
            overflow = true;
        else
            magnitude = magnitude * 10 + digit;
        ++p;
    }
    if (p < end && (*p == '.' || *p == 'e' || *p == 'E'))
        return clampToInteger(parseFieldNumber(QByteArrayView(numberStart, end)));
    if (p == digits)
        return 0;
    constexpr quint64 limit = quint64(std::numeric_limits<qint64>::max());
    if (negative) {
        if (overflow || magnitude > limit + 1)
            return std::numeric_limits<qint64>::min();
        return qint64(0 - magnitude);
    }
    if (overflow || magnitude > limit)
        return std::numeric_limits<qint64>::max();
    return qint64(magnitude);
}

double parseFieldNumber(QByteArrayView bytes)
{
    const char *p = bytes.data();
    const char *end = p + bytes.size();
    while (p < end && isBlank(*p))
        ++p;
    if (p < end && *p == '+') {
        ++p;
        if (p < end && *p == '-')
            return 0;
    }
    // from_chars also reads "inf" and "nan"; a number field never holds those.
    if (p < end && *p != '-' && *p != '.' && (*p < '0' || *p > '9'))
        return 0;
    double value = 0;
    const auto result = std::from_chars(p, end, value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0;
    return value;
}

} // namespace vorn
