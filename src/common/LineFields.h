#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

#include "common/TextCodec.h"

namespace vorn {

// Writer of one comma-separated line of the store's line files: texts in double
// quotes, integers in decimal, floats with "." and at most 15 significant digits,
// CRLF at the end. Text is written as UTF-8; a double quote inside a text becomes an
// apostrophe and CR/LF become spaces so a field can never break the line.
class LineWriter
{
public:
    explicit LineWriter(QByteArray &out) : m_out(out) {}

    LineWriter &text(QStringView value);
    LineWriter &integer(qint64 value);
    LineWriter &number(double value);
    LineWriter &empty(); // an empty unquoted field
    void endLine(); // writes CRLF and starts the next line

private:
    void separate();
    QByteArray &m_out;
    bool m_first = true;
};

// Float in the line-file form: "36892.5416666667", "0", "-2.5".
QByteArray formatNumber(double value);

// Fields of one line (without its line end). A quoted field runs to its closing
// quote; an unquoted one to the next comma. Views point into the given line.
class LineFields
{
public:
    LineFields() = default;
    explicit LineFields(QByteArrayView line) { parse(line); }
    void parse(QByteArrayView line);

    int count() const { return int(m_fields.size()); }
    QByteArrayView raw(int index) const; // empty view when index is out of range
    QString text(int index) const; // decoded (UTF-8, else Windows-1252)
    qint64 integer(int index) const; // empty or unreadable: 0
    double number(int index) const; // empty or unreadable: 0

private:
    std::vector<QByteArrayView> m_fields;
    QByteArrayView m_line;
    // Decided once for the whole line, when a text is first decoded: readers of the
    // plain fields alone never need it.
    mutable std::optional<TextEncoding> m_encoding;
};

// The field readers' number rules on their own: leading blanks skipped, an optional
// sign, then the number at the start of the bytes; nothing readable gives 0.
// Integers are exact over the whole 64-bit range and clamped beyond it; a float
// read as an integer is truncated toward zero.
qint64 parseFieldInteger(QByteArrayView bytes);
double parseFieldNumber(QByteArrayView bytes);

// Splits a buffer into lines at LF, dropping a CR before it. The last line may lack
// its line end. Calls f(QByteArrayView line) for each line; stops when f returns false.
template<typename F> void forEachLine(QByteArrayView data, F &&f)
{
    qsizetype start = 0;
    const qsizetype n = data.size();
    while (start < n) {
        qsizetype end = data.indexOf('\n', start);
        const bool last = end < 0;
        if (last)
            end = n;
        qsizetype stop = end;
        if (stop > start && data[stop - 1] == '\r')
            --stop;
        if (!f(data.sliced(start, stop - start)))
            return;
        start = end + 1;
    }
}

// The records of a line file: every line after the header line, empty ones left
// out. Calls f(QByteArrayView line) for each; stops when f returns false.
template<typename F> void forEachRecordLine(QByteArrayView data, F &&f)
{
    bool header = true;
    forEachLine(data, [&](QByteArrayView line) {
        if (header) {
            header = false;
            return true;
        }
        return line.isEmpty() || f(line);
    });
}

} // namespace vorn
