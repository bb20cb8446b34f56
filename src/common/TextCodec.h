#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace vorn {

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
