#include "edit/DiscNames.h"

#include "store/Catalogue.h"
#include "store/RecordText.h"

namespace vorn {

namespace DiscName {

bool isControlCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7f && u <= 0x9f) || u == 0x2028 || u == 0x2029;
}

QString cleaned(const QString &typed)
{
    QString kept;
    kept.reserve(typed.size());
    for (QChar c : typed) {
        if (!isControlCharacter(c))
            kept += c;
    }
    return normalised(kept);
}

QString normalised(const QString &name)
{
    return QString(name).replace(u'"', u'\'').trimmed();
}

bool taken(const Catalogue &catalogue, const QString &name, int exceptPosition)
{
    const QString bare = withoutDisplaySuffix(name);
    for (int position = 1; position <= catalogue.discCount(); ++position) {
        if (position != exceptPosition
            && withoutDisplaySuffix(catalogue.disc(position).name).compare(bare, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

Problem check(const Catalogue &catalogue, const QString &name, int exceptPosition)
{
    if (name.isEmpty())
        return Problem::Empty;
    if (name.contains(u'\\'))
        return Problem::Backslash;
    for (QChar c : name) {
        if (isControlCharacter(c))
            return Problem::ControlCharacter;
    }
    return taken(catalogue, name, exceptPosition) ? Problem::Taken : Problem::None;
}

int message(Problem problem, int takenMessage)
{
    switch (problem) {
    case Problem::Backslash:
        return 343;
    case Problem::ControlCharacter:
        return 706;
    case Problem::Taken:
        return takenMessage;
    case Problem::None:
    case Problem::Empty:
        break;
    }
    return 0;
}

} // namespace DiscName

QString validDiscIdentifier(const QString &text)
{
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok);
    return ok && value != 0 ? QString::number(value) : QString();
}

} // namespace vorn
