#include "common/TabSeparated.h"

#include <algorithm>

namespace vorn {

namespace {

bool breaksRow(QChar c)
{
    return c == u'\t' || c == u'\r' || c == u'\n';
}

// Spaces in place of TAB, CR and LF in text[from, end). Asked first, so that a text
// with none (nearly every one) is never detached from the string it shares.
void blankBreaks(QString &text, qsizetype from)
{
    const QChar *begin = text.constData();
    if (std::none_of(begin + from, begin + text.size(), breaksRow))
        return;
    QChar *chars = text.data();
    std::replace_if(chars + from, chars + text.size(), breaksRow, QChar(u' '));
}

} // namespace

QString tabField(QString text)
{
    blankBreaks(text, 0);
    return text;
}

void appendTabRowUtf8(QByteArray &out, std::initializer_list<QStringView> fields)
{
    bool first = true;
    for (const QStringView field : fields) {
        if (!first)
            out += '\t';
        first = false;
        const qsizetype at = out.size();
        const char16_t *chars = field.utf16();
        const qsizetype n = field.size();
        if (std::all_of(chars, chars + n, [](char16_t c) { return c < 0x80; })) {
            out.resize(at + n);
            char *bytes = out.data() + at;
            for (qsizetype i = 0; i < n; ++i)
                bytes[i] = char(chars[i]);
        } else {
            out += field.toUtf8();
        }
        // No byte of a multi-byte UTF-8 sequence is a TAB, CR or LF.
        char *bytes = out.data();
        std::replace_if(
            bytes + at, bytes + out.size(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    }
    out += '\n';
}

QString tabRow(std::initializer_list<QString> fields)
{
    qsizetype length = qsizetype(fields.size());
    for (const QString &field : fields)
        length += field.size();
    QString row;
    row.reserve(length);
    bool first = true;
    for (const QString &field : fields) {
        if (!first)
            row += u'\t';
        first = false;
        const qsizetype at = row.size();
        row += field;
        blankBreaks(row, at);
    }
    return row;
}

} // namespace vorn
