#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace vorn {

// The text kept for a captured file: valid UTF-8 as it is, anything else read as
// Windows-1252, NUL characters dropped.
QString capturedTextFromBytes(QByteArrayView bytes);

// The whole file as captured text; empty when it cannot be read.
QString ReadTextFile(const QString &path);

// Every double quote becomes an apostrophe; every tab, CR and LF a space.
QString CleanLine(QStringView text);

// The automatic description a captured text gives its file, or nothing when the
// description stays unchanged. The first line is the text up to and including its
// first CR or LF (a text without either has none, so Windows and Linux line ends both
// count), without leading and trailing spaces; a line of at most one character gives
// nothing. A longer line is cut to 100 characters, cleaned when it holds a double
// quote, and loses its last character (the line end, or whatever the cut left last).
std::optional<QString> firstLineDescription(QStringView text);

} // namespace vorn
