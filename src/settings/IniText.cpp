#include "settings/IniText.h"

#include <QDataStream>
#include <QDateTime>
#include <QIODevice>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <algorithm>
#include <iterator>

namespace vorn::IniText {

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

int hexValue(char16_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int octalValue(char c)
{
    return c >= '0' && c <= '7' ? c - '0' : -1;
}

// Keys and section names: letters, digits, '_', '-' and '.' as they are, '/' as '\',
// every other character as %XX (up to U+00FF) or %UXXXX.
void appendKey(QStringView key, QByteArray &out)
{
    for (const QChar ch : key) {
        const char16_t c = ch.unicode();
        if (c == u'/') {
            out += '\\';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-'
                   || c == '.') {
            out += char(c);
        } else if (c <= 0xFF) {
            out += '%';
            out += kHexDigits[c >> 4];
            out += kHexDigits[c & 15];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kHexDigits[(c >> shift) & 15];
        }
    }
}

QString readKey(QByteArrayView bytes)
{
    const QString text = QString::fromUtf8(bytes);
    QString key;
    key.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c == u'\\') {
            key += u'/';
            ++i;
            continue;
        }
        if (c != u'%' || i + 1 == text.size()) {
            key += c;
            ++i;
            continue;
        }
        const qsizetype first = text.at(i + 1) == u'U' ? i + 2 : i + 1;
        const qsizetype digits = first == i + 2 ? 4 : 2;
        int code = 0;
        bool valid = first + digits <= text.size();
        for (qsizetype d = first; valid && d < first + digits; ++d) {
            const int digit = hexValue(text.at(d).unicode());
            valid = digit >= 0;
            code = code * 16 + digit;
        }
        if (!valid) { // a lone '%' stands for itself
            key += u'%';
            ++i;
            continue;
        }
        key += QChar(char16_t(code));
        i = first + digits;
    }
    return key;
}

// One value as text: characters that would end the line or be read as something else are
// escaped, the others written as UTF-8; quoted when it holds ',' ';' '=' (a list or a
// comment otherwise) or starts or ends with a space (trimmed otherwise).
void appendValue(const QString &value, QByteArray &out)
{
    // Binary forms are kept byte for byte: their characters above U+007E are escaped too.
    const bool binary = value.startsWith(u"@ByteArray(") || value.startsWith(u"@Variant(");
    const qsizetype start = out.size();
    bool quoted = false;
    bool hexDigitEscaped = false; // after a numeric escape a hex digit would join it
    QString plain;
    const auto writePlain = [&] {
        out += plain.toUtf8();
        plain.clear();
    };
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar ch = value.at(i);
        const char16_t c = ch.unicode();
        // Half of a surrogate pair without its other half has no UTF-8 form.
        const bool loneSurrogate = ch.isSurrogate()
            && !(ch.isHighSurrogate() && i + 1 < value.size() && value.at(i + 1).isLowSurrogate())
            && !(ch.isLowSurrogate() && i > 0 && value.at(i - 1).isHighSurrogate());
        if (c == ';' || c == ',' || c == '=')
            quoted = true;
        if (hexDigitEscaped && hexValue(c) >= 0) {
            writePlain();
            out += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        hexDigitEscaped = false;
        const char *escape = nullptr;
        switch (c) {
        case 0:
            escape = "\\0";
            hexDigitEscaped = true;
            break;
        case '\a':
            escape = "\\a";
            break;
        case '\b':
            escape = "\\b";
            break;
        case '\f':
            escape = "\\f";
            break;
        case '\n':
            escape = "\\n";
            break;
        case '\r':
            escape = "\\r";
            break;
        case '\t':
            escape = "\\t";
            break;
        case '\v':
            escape = "\\v";
            break;
        case '"':
            escape = "\\\"";
            break;
        case '\\':
            escape = "\\\\";
            break;
        default:
            break;
        }
        if (escape) {
            writePlain();
            out += escape;
        } else if (c <= 0x1F || c == 0xFEFF || loneSurrogate || (c >= 0x7F && binary)) {
            // A byte-order mark written as it is would be dropped by the reader when
            // it begins a run of text; a lone surrogate would become '?'.
            writePlain();
            out += "\\x" + QByteArray::number(c, 16);
            hexDigitEscaped = true;
        } else if (binary) {
            out += char(c);
        } else {
            plain += ch;
        }
    }
    writePlain();
    if (quoted || (out.size() > start && (out.at(start) == ' ' || out.back() == ' '))) {
        out.insert(start, '"');
        out += '"';
    }
}

// A value as its text, with the marks that tell other types (and text that starts with
// '@') apart from plain text.
QString valueText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return QStringLiteral("@Invalid()");
    case QMetaType::QByteArray:
        return u"@ByteArray(" + QLatin1StringView(value.toByteArray()) + u')';
    case QMetaType::QString:
    case QMetaType::QKeySequence:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Bool:
    case QMetaType::Float:
    case QMetaType::Double: {
        const QString text = value.toString();
        if (text.contains(QChar::Null))
            return u"@String(" + text + u')';
        return text.startsWith(u'@') ? u'@' + text : text;
    }
    case QMetaType::QRect: {
        const QRect r = value.toRect();
        return QStringLiteral("@Rect(%1 %2 %3 %4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }
    case QMetaType::QSize: {
        const QSize s = value.toSize();
        return QStringLiteral("@Size(%1 %2)").arg(s.width()).arg(s.height());
    }
    case QMetaType::QPoint: {
        const QPoint p = value.toPoint();
        return QStringLiteral("@Point(%1 %2)").arg(p.x()).arg(p.y());
    }
    default: {
        const bool dateTime = value.typeId() == QMetaType::QDateTime;
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream.setVersion(dateTime ? QDataStream::Qt_5_6 : QDataStream::Qt_4_0);
        stream << value;
        return (dateTime ? u"@DateTime(" : u"@Variant(") + QLatin1StringView(bytes) + u')';
    }
    }
}

void appendVariant(const QVariant &value, QByteArray &out)
{
    const bool list = value.typeId() == QMetaType::QStringList
        || (value.typeId() == QMetaType::QVariantList && value.toList().size() != 1);
    if (!list) {
        appendValue(valueText(value), out);
        return;
    }
    const QVariantList items = value.toList();
    if (items.isEmpty())
        out += "@Invalid()"; // an empty list reads back as no value, which gives an empty list
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += ", ";
        appendValue(valueText(items.at(i)), out);
    }
}

// The space-separated numbers between the parentheses of "@Rect(1 2 3 4)".
QStringList arguments(const QString &text)
{
    const qsizetype open = text.indexOf(u'(');
    return text.sliced(open + 1, text.size() - open - 2).split(u' ');
}

QVariant variantOf(const QString &text)
{
    if (!text.startsWith(u'@'))
        return text;
    if (text.endsWith(u')')) {
        if (text.startsWith(u"@ByteArray("))
            return QStringView(text).sliced(11).chopped(1).toLatin1();
        if (text.startsWith(u"@String("))
            return text.sliced(8).chopped(1);
        if (text.startsWith(u"@Variant(") || text.startsWith(u"@DateTime(")) {
            const bool dateTime = text.at(1) == u'D';
            QByteArray bytes = QStringView(text).sliced(dateTime ? 10 : 9).toLatin1();
            QDataStream stream(&bytes, QIODevice::ReadOnly);
            stream.setVersion(dateTime ? QDataStream::Qt_5_6 : QDataStream::Qt_4_0);
            QVariant value;
            stream >> value;
            return value;
        }
        const QStringList numbers =
            text.startsWith(u"@Rect(") || text.startsWith(u"@Size(") || text.startsWith(u"@Point(") ? arguments(text)
                                                                                                    : QStringList();
        if (text.startsWith(u"@Rect(") && numbers.size() == 4)
            return QRect(numbers[0].toInt(), numbers[1].toInt(), numbers[2].toInt(), numbers[3].toInt());
        if (text.startsWith(u"@Size(") && numbers.size() == 2)
            return QSize(numbers[0].toInt(), numbers[1].toInt());
        if (text.startsWith(u"@Point(") && numbers.size() == 2)
            return QPoint(numbers[0].toInt(), numbers[1].toInt());
        if (text == u"@Invalid()")
            return {};
    }
    return text.startsWith(u"@@") ? QVariant(text.sliced(1)) : QVariant(text);
}

// A list stays a string list unless one of its items is a typed value.
QVariant listOf(const QStringList &items)
{
    QStringList texts = items;
    for (QString &text : texts) {
        if (!text.startsWith(u'@'))
            continue;
        if (!text.startsWith(u"@@")) {
            QVariantList values;
            values.reserve(items.size());
            for (const QString &item : items)
                values.append(variantOf(item));
            return values;
        }
        text.remove(0, 1);
    }
    return texts;
}

void chopSpaces(QString &text, qsizetype limit)
{
    qsizetype end = text.size();
    while (end > limit && (text.at(end - 1) == u' ' || text.at(end - 1) == u'\t'))
        --end;
    text.truncate(end);
}

// Decodes the text after '='. Unquoted commas make a list (true, in `list`); otherwise the
// text is in `text`. Spaces around unquoted items are dropped; escapes are C-like, with
// \x hex and octal numbers; a backslash before a line break continues the line.
bool readValue(QByteArrayView bytes, QString &text, QStringList &list)
{
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    bool isList = false;
    bool inQuotes = false;
    bool itemQuoted = false;
    bool trimEnd = true; // not when the text stops inside an escape
    const auto skipSpaces = [&] {
        while (i < n && (bytes[i] == ' ' || bytes[i] == '\t'))
            ++i;
    };
    skipSpaces();
    qsizetype keepUpTo = 0; // spaces before this point are part of the text
    while (i < n) {
        const char c = bytes[i];
        if (c == '\\') {
            if (++i >= n) {
                trimEnd = false;
                break;
            }
            const char escaped = bytes[i++];
            static const char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                               {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                               {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
            const auto *simple = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                              [&](const char(&e)[2]) { return e[0] == escaped; });
            const bool hex = escaped == 'x' && i < n && hexValue(uchar(bytes[i])) >= 0;
            if (simple != std::end(kEscapes)) {
                text += QLatin1Char(simple[0][1]);
            } else if (escaped == 'x' && i >= n) {
                trimEnd = false;
                break;
            } else if (hex || octalValue(escaped) >= 0) {
                char16_t code = hex ? 0 : char16_t(octalValue(escaped));
                const int base = hex ? 16 : 8;
                const auto digitAt = [&](qsizetype at) {
                    return hex ? hexValue(uchar(bytes[at])) : octalValue(bytes[at]);
                };
                for (; i < n && digitAt(i) >= 0; ++i)
                    code = char16_t(code * base + digitAt(i));
                text += QChar(code);
                if (i >= n) {
                    trimEnd = false;
                    break;
                }
            } else if (escaped == '\n' || escaped == '\r') {
                if (i < n && (bytes[i] == '\n' || bytes[i] == '\r') && bytes[i] != escaped)
                    ++i;
            }
            keepUpTo = text.size();
        } else if (c == '"') {
            ++i;
            itemQuoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipSpaces();
                keepUpTo = text.size();
            }
        } else if (c == ',' && !inQuotes) {
            if (!itemQuoted)
                chopSpaces(text, keepUpTo);
            if (!isList)
                list.clear();
            isList = true;
            list.append(text);
            text.clear();
            itemQuoted = false;
            ++i;
            skipSpaces();
            keepUpTo = 0;
        } else {
            qsizetype end = i + 1;
            while (end < n && bytes[end] != '\\' && bytes[end] != '"' && bytes[end] != ',')
                ++end;
            text += QString::fromUtf8(bytes.sliced(i, end - i));
            i = end;
        }
    }
    if (trimEnd && !itemQuoted)
        chopSpaces(text, keepUpTo);
    if (isList)
        list.append(text);
    return isList;
}

struct Line
{
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype equals = -1; // the first '=' outside quotes, or -1
};

// The next line of `text` from `pos`: leading blanks and comment lines (';' first) skipped;
// a line break inside quotes or after a backslash does not end it, an unquoted ';' does.
bool nextLine(QByteArrayView text, qsizetype &pos, Line &line)
{
    const qsizetype n = text.size();
    qsizetype start = pos;
    while (start < n && (text[start] == ' ' || text[start] == '\t' || text[start] == '\n' || text[start] == '\r'))
        ++start;
    qsizetype equals = -1;
    bool inQuotes = false;
    qsizetype i = start;
    while (i < n) {
        const char c = text[i++];
        if (c == '=') {
            if (!inQuotes && equals < 0)
                equals = i - 1;
        } else if (c == '\n' || c == '\r') {
            if (i == start + 1) {
                ++start;
            } else if (!inQuotes) {
                --i;
                break;
            }
        } else if (c == '\\') {
            if (i < n) {
                const char escaped = text[i++];
                if (i < n && ((escaped == '\n' && text[i] == '\r') || (escaped == '\r' && text[i] == '\n')))
                    ++i;
            }
        } else if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == ';') {
            if (i == start + 1) {
                while (i < n && text[i] != '\n' && text[i] != '\r')
                    ++i;
                start = i;
            } else if (!inQuotes) {
                --i;
                break;
            }
        }
    }
    pos = i;
    line = {start, i - start, equals};
    return line.length > 0;
}

} // namespace

QByteArray write(const QSettings::SettingsMap &map)
{
    // Top-level keys first, under "[General]", then each section by name. A section
    // with an empty name (read from a "[]" line) is written as "[]" again.
    QSettings::SettingsMap topLevel;
    QMap<QString, QSettings::SettingsMap> sections;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const qsizetype slash = it.key().indexOf(u'/');
        if (slash < 0)
            topLevel.insert(it.key(), it.value());
        else
            sections[it.key().left(slash)].insert(it.key().sliced(slash + 1), it.value());
    }
    QByteArray text;
    const auto appendSection = [&text](const QByteArray &name, const QSettings::SettingsMap &keys) {
        if (!text.isEmpty())
            text += '\n';
        text += '[' + name + "]\n";
        for (auto entry = keys.cbegin(); entry != keys.cend(); ++entry) {
            appendKey(entry.key(), text);
            text += '=';
            appendVariant(entry.value(), text);
            text += '\n';
        }
    };
    if (!topLevel.isEmpty())
        appendSection("General", topLevel);
    for (auto section = sections.cbegin(); section != sections.cend(); ++section) {
        QByteArray name;
        appendKey(section.key(), name);
        // "[General]" is the top level: a section of that name is marked, its case kept.
        if (name.compare("general", Qt::CaseInsensitive) == 0)
            name.prepend('%');
        appendSection(name, section.value());
    }
    return text;
}

void read(QByteArrayView text, QSettings::SettingsMap &map)
{
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    QString section; // "name/", or empty at the top level
    qsizetype pos = 0;
    Line line;
    while (nextLine(text, pos, line)) {
        const QByteArrayView bytes = text.sliced(line.start, line.length);
        if (bytes.startsWith('[')) {
            qsizetype close = bytes.indexOf(']');
            if (close < 0)
                close = bytes.size();
            const QByteArray name = bytes.sliced(1, close - 1).toByteArray().trimmed();
            if (name.compare("general", Qt::CaseInsensitive) == 0) {
                section.clear();
            } else {
                section = name.compare("%general", Qt::CaseInsensitive) == 0 ? QString::fromLatin1(name.sliced(1))
                                                                             : readKey(name);
                section += u'/';
            }
            continue;
        }
        if (line.equals < 0)
            continue;
        const qsizetype equals = line.equals - line.start;
        const QString key = section + readKey(bytes.first(equals).toByteArray().trimmed());
        QString value;
        QStringList list;
        map.insert(key, readValue(bytes.sliced(equals + 1), value, list) ? listOf(list) : variantOf(value));
    }
}

} // namespace vorn::IniText
