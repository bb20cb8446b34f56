#include "scan/PathSyntax.h"

namespace vorn {

namespace {

bool isDrivePrefix(QStringView component)
{
    return component.size() == 2 && component[1] == u':'
        && ((component[0] >= u'A' && component[0] <= u'Z') || (component[0] >= u'a' && component[0] <= u'z'));
}

} // namespace

QString removeTrailingSeparators(const QString &path, QChar separator)
{
    qsizetype end = path.size();
    while (end > 0 && path[end - 1] == separator)
        --end;
    return path.left(end);
}

QStringList pathComponents(QStringView path, QChar separator)
{
    QStringList components;
    bool first = true;
    for (QStringView part : path.tokenize(separator)) {
        const bool wasFirst = first;
        first = false;
        if (part.isEmpty() || part == u".")
            continue;
        if (wasFirst && separator == u'\\' && isDrivePrefix(part))
            continue;
        components.append(part.toString());
    }
    return components;
}

QString lastPathComponent(QStringView path, QChar separator)
{
    // Only the tail matters: find the last non-empty component without splitting all.
    qsizetype end = path.size();
    while (end > 0 && path[end - 1] == separator)
        --end;
    qsizetype start = end;
    while (start > 0 && path[start - 1] != separator)
        --start;
    const QStringView last = path.sliced(start, end - start);
    if (last == u".")
        return lastPathComponent(path.first(start), separator);
    if (start == 0 && separator == u'\\' && isDrivePrefix(last))
        return {};
    return last.toString();
}

QString joinPath(const QString &folder, const QString &name, QChar separator)
{
    return removeTrailingSeparators(folder, separator) + separator + name;
}

} // namespace vorn
