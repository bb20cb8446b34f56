#include "export/HtmlText.h"

#include <QUrl>

namespace vorn {

QString htmlEscaped(QStringView text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'&':
            out += QLatin1String("&amp;");
            break;
        case u'<':
            out += QLatin1String("&lt;");
            break;
        case u'>':
            out += QLatin1String("&gt;");
            break;
        case u'"':
            out += QLatin1String("&quot;");
            break;
        case u'\'':
            out += QLatin1String("&#39;");
            break;
        default:
            if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                out += c;
                out += text[++i];
            } else if (c.isSurrogate() || (c.unicode() < 0x20 && c != u'\t' && c != u'\r' && c != u'\n')
                       || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF) {
                out += QChar(QChar::ReplacementCharacter);
            } else {
                out += c;
            }
        }
    }
    return out;
}

QString urlSegment(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

} // namespace vorn
