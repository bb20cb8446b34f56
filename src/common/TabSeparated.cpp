#include "common/TabSeparated.h"

namespace vorn {

QString tabField(QString text)
{
    for (QChar &c : text) {
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    }
    return text;
}

QString tabRow(std::initializer_list<QString> fields)
{
    QString row;
    bool first = true;
    for (const QString &field : fields) {
        if (!first)
            row += u'\t';
        first = false;
        row += tabField(field);
    }
    return row;
}

} // namespace vorn
