#pragma once

#include <QByteArrayView>

namespace vorn {

// The number fields of a file-list line read as parseFieldInteger and parseFieldNumber
// read them, faster for the plain forms nearly every line holds (the index build reads
// millions of them); any other form is handed to those readers.
qint64 fastIntegerOf(QByteArrayView raw);
// A plain integer, digits with a minus sign or none (at most 18): its value, which
// every reader of integers agrees on; false for any other form.
bool plainInteger(QByteArrayView raw, qint64 &value);
double fastNumber(QByteArrayView raw);

// Links and most owners are one or two digits: read here without a call.
inline qint64 fastInteger(QByteArrayView raw)
{
    const auto digit = [](char c) { return unsigned(c - '0'); };
    if (raw.size() == 1 && digit(raw[0]) <= 9)
        return digit(raw[0]);
    if (raw.size() == 2 && digit(raw[0]) <= 9 && digit(raw[1]) <= 9)
        return digit(raw[0]) * 10 + digit(raw[1]);
    return fastIntegerOf(raw);
}

// The six fields of a file-list line of the plain shape nearly every line has,
// "name",owner,size,date,"description",link with nothing around the quotes, exactly as
// LineFields would give them; false for any other shape, which is left to LineFields.
bool splitPlainFileLine(QByteArrayView line, QByteArrayView (&fields)[6]);

} // namespace vorn
