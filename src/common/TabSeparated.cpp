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
