#pragma once

#include <QString>
#include <QStringView>

namespace vorn {

// Digits grouped by threes from the right with `separator` ("1 234 567");
// a negative value keeps its sign in front.
QString groupDigits(qint64 value, QChar separator);

// Truncates toward zero; values beyond the 64-bit range give its ends; NaN gives 0.
qint64 clampToInteger(double value);

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
qint64 roundHalfEven(double value);

// Bytes shown as kilobytes: bytes / 1024 rounded halves to even.
qint64 kilobytesFromBytes(qint64 bytes);

// The numeric value at the start of a text: leading blanks skipped, an optional
// sign, digits with an optional "." fraction and exponent; no number gives 0.
double numericValue(QStringView text);
// Same, truncated toward zero and clamped to the 64-bit range.
qint64 integerValue(QStringView text);

} // namespace vorn
