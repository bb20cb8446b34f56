#include "scan/StoredName.h"

#include <algorithm>

namespace vorn {

QString storedName(const QString &name)
{
    const auto special = [](QChar c) { return c == u'"' || c == u'\r' || c == u'\n'; };
    if (std::none_of(name.cbegin(), name.cend(), special))
        return name;
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
