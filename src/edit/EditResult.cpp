#include "edit/EditResult.h"

#include "settings/StringTable.h"

namespace vorn {

QString EditResult::text() const
{
    const QString head = message > 0 ? LoadText(message) : QString();
    if (head.isEmpty() || detail.isEmpty())
        return head + detail;
    return head + u'\n' + detail;
}

} // namespace vorn
