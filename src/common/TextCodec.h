#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstring>

namespace vorn {

// True when no byte is above 127, looked at eight bytes at a time: the index build and
// the file test ask it of every name and description.
inline bool isAscii(QByteArrayView bytes)
{
    const char *p = bytes.data();
    qsizetype n = bytes.size();
    quint64 seen = 0;
    for (; n >= 8; p += 8, n -= 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        seen |= word;
    }
    for (; n > 0; ++p, --n)
        seen |= static_cast<unsigned char>(*p);
    return !(seen & 0x8080808080808080ull);
}

bool isValidUtf8(QByteArrayView bytes);
// UTF-8 when valid, else Windows-1252 (the ANSI code page older data was written in).
QString decodeText(QByteArrayView bytes);
QString decodeWindows1252(QByteArrayView bytes);
// Text captured from a disc: as decodeText, with NUL characters removed.
QString decodeCapturedText(QByteArrayView bytes);

// How decodeText reads a piece of bytes. Lets a caller decide once for a whole line
// and then decode its parts the same way.
enum class TextEncoding { Ascii, Utf8, Windows1252 };
TextEncoding detectTextEncoding(QByteArrayView bytes);
QString decodeText(QByteArrayView bytes, TextEncoding encoding);

} // namespace vorn
