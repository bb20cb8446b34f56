#include "capture/TextCapture.h"

#include "common/TextCodec.h"

#include <QFile>

namespace vorn {

namespace {

constexpr qsizetype kMaxDescriptionLine = 100;

// Removes leading and trailing spaces only: a CR or tab at either end stays.
QStringView trimSpaces(QStringView text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.sliced(first, last - first);
}

} // namespace

QString capturedTextFromBytes(QByteArrayView bytes)
{
    return decodeCapturedText(bytes);
}

QString ReadTextFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    return capturedTextFromBytes(bytes);
}

QString CleanLine(QStringView text)
{
    QString out = text.toString();
    for (QChar &c : out) {
        if (c == u'"')
            c = u'\'';
        else if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    }
    return out;
}

std::optional<QString> firstLineDescription(QStringView text)
{
    qsizetype end = 0;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
        ++end;
    if (end == text.size())
        return std::nullopt;
    QStringView line = trimSpaces(text.left(end + 1));
    if (line.size() <= 1)
        return std::nullopt;
    if (line.size() > kMaxDescriptionLine)
        line = line.left(kMaxDescriptionLine);
    QString description = line.contains(u'"') ? CleanLine(line) : line.toString();
    description.chop(1);
    // Never leave half of a surrogate pair at the end.
    if (!description.isEmpty() && description.back().isHighSurrogate())
        description.chop(1);
    return description;
}

} // namespace vorn
