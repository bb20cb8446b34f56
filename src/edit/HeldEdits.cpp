#include "edit/HeldEdits.h"

namespace vorn {

bool descriptionEdited(const QString &stored, const QString &typed)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString lf = QStringLiteral("\n");
    return QString(stored).replace(crlf, lf).compare(QString(typed).replace(crlf, lf), Qt::CaseInsensitive) != 0;
}

} // namespace vorn
