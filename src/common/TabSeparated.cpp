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
        // ASCII is copied as it is read, until a character that is not; then the
        // field is encoded whole.
        const qsizetype at = out.size();
        out.resize(at + field.size());
        char *bytes = out.data() + at;
        const char16_t *chars = field.utf16();
        qsizetype i = 0;
        for (; i < field.size() && chars[i] < 0x80; ++i) {
            const char c = char(chars[i]);
            bytes[i] = (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
        }
        if (i == field.size())
            continue;
        out.resize(at);
        out += field.toUtf8();
        // No byte of a multi-byte UTF-8 sequence is a TAB, CR or LF.
        std::replace_if(
            out.data() + at, out.data() + out.size(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
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
