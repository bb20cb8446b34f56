#include "scan/StoredName.h"

namespace vorn {

QString storedName(const QString &name)
{
    QString stored = name;
    for (QChar &c : stored) {
        if (c == u'"')
            c = u'\'';
        else if (c == u'\r' || c == u'\n')
            c = u' ';
    }
    return stored;
}

} // namespace vorn
