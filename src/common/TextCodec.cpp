#include "common/TextCodec.h"

#include <cstring>

namespace vorn {

namespace {

// Windows-1252 characters of the bytes 0x80 to 0x9F. The five bytes the code page
// leaves undefined keep their C1 control code.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Length of the leading run of ASCII bytes.
qsizetype asciiPrefix(const unsigned char *p, qsizetype n)
{
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 word;
        std::memcpy(&word, p + i, 8);
        if (word & 0x8080808080808080ULL)
            break;
    }
    while (i < n && p[i] < 0x80)
        ++i;
    return i;
}

// Checks the bytes from `start` on (RFC 3629: no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool validUtf8From(const unsigned char *p, qsizetype n, qsizetype i)
{
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            i += asciiPrefix(p + i, n - i);
            continue;
        }
        int length;
        unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0)
                low = 0xA0; // overlong below U+0800
            else if (b == 0xED)
                high = 0x9F; // U+D800..U+DFFF are surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0)
                low = 0x90; // overlong below U+10000
            else if (b == 0xF4)
                high = 0x8F; // above U+10FFFF
        } else {
            return false; // continuation byte, C0/C1 overlong lead, F5..FF
        }
        if (n - i < length)
            return false;
        if (p[i + 1] < low || p[i + 1] > high)
            return false;
        for (int k = 2; k < length; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

} // namespace

bool isValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    return validUtf8From(p, n, asciiPrefix(p, n));
}

TextEncoding detectTextEncoding(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    const qsizetype ascii = asciiPrefix(p, n);
    if (ascii == n)
        return TextEncoding::Ascii;
    return validUtf8From(p, n, ascii) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

QString decodeText(QByteArrayView bytes, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Ascii:
        return QString::fromLatin1(bytes);
    case TextEncoding::Utf8:
        return QString::fromUtf8(bytes);
    case TextEncoding::Windows1252:
        break;
    }
    return decodeWindows1252(bytes);
}

QString decodeText(QByteArrayView bytes)
{
    return decodeText(bytes, detectTextEncoding(bytes));
}

QString decodeWindows1252(QByteArrayView bytes)
{
    const qsizetype n = bytes.size();
    QString result(n, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(result.data());
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char b = p[i];
        out[i] = (b >= 0x80 && b <= 0x9F) ? kWindows1252High[b - 0x80] : char16_t(b);
    }
    return result;
}

QString decodeCapturedText(QByteArrayView bytes)
{
    QString text = decodeText(bytes);
    if (text.contains(QChar(0)))
        text.remove(QChar(0));
    return text;
}

} // namespace vorn
