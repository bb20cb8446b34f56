#include "common/Numbers.h"

#include <cmath>
#include <limits>

namespace vorn {

qint64 clampToInteger(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 0x1p63)
        return std::numeric_limits<qint64>::max();
    if (value < -0x1p63)
        return std::numeric_limits<qint64>::min();
    return qint64(value);
}

QString groupDigits(qint64 value, QChar separator)
{
    const bool negative = value < 0;
    // Work on the unsigned magnitude so the most negative value does not overflow.
    quint64 magnitude = negative ? quint64(0) - quint64(value) : quint64(value);
    QString digits = QString::number(magnitude);
    QString result;
    result.reserve(digits.size() + digits.size() / 3 + 1);
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            result += separator;
        result += digits[i];
    }
    return negative ? u'-' + result : result;
}

qint64 roundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    return clampToInteger(std::nearbyint(value)); // the default rounding mode is to nearest, ties to even
}

qint64 kilobytesFromBytes(qint64 bytes)
{
    // Exact integer rounding: the quotient, raised when the remainder passes half,
    // or equals half and the quotient is odd.
    const bool negative = bytes < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(bytes) : quint64(bytes);
    quint64 quotient = magnitude / 1024;
    const quint64 remainder = magnitude % 1024;
    if (remainder > 512 || (remainder == 512 && (quotient & 1)))
        ++quotient;
    return negative ? -qint64(quotient) : qint64(quotient);
}

double numericValue(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    QByteArray number;
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        number += char(text[i++].unicode());
    bool digits = false;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        number += char(text[i++].unicode());
        digits = true;
    }
    if (i < n && text[i] == u'.') {
        number += '.';
        ++i;
        while (i < n && text[i].unicode() >= '0' && text[i].unicode() <= '9') {
            number += char(text[i++].unicode());
            digits = true;
        }
    }
    if (!digits)
        return 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        QByteArray exponent = "e";
        qsizetype j = i + 1;
        if (j < n && (text[j] == u'-' || text[j] == u'+'))
            exponent += char(text[j++].unicode());
        bool expDigits = false;
        while (j < n && text[j].unicode() >= '0' && text[j].unicode() <= '9') {
            exponent += char(text[j++].unicode());
            expDigits = true;
        }
        if (expDigits)
            number += exponent;
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

qint64 integerValue(QStringView text)
{
    // Plain digit strings convert exactly, beyond the 53 bits a double holds.
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    const qsizetype digitsStart = i;
    quint64 magnitude = 0;
    bool overflow = false;
    while (i < n && text[i].unicode() >= '0' && text[i].unicode() <= '9') {
        const unsigned digit = unsigned(text[i].unicode() - '0');
        if (magnitude > (std::numeric_limits<quint64>::max() - digit) / 10)
            overflow = true;
        else
            magnitude = magnitude * 10 + digit;
        ++i;
    }
    if (i == digitsStart || (i < n && (text[i] == u'.' || text[i] == u'e' || text[i] == u'E')))
        return clampToInteger(numericValue(text));
    constexpr quint64 limit = quint64(std::numeric_limits<qint64>::max());
    if (negative)
        return overflow || magnitude > limit + 1 ? std::numeric_limits<qint64>::min() : qint64(0 - magnitude);
    return overflow || magnitude > limit ? std::numeric_limits<qint64>::max() : qint64(magnitude);
}

} // namespace vorn
