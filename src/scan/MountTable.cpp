#include "scan/MountTable.h"

#include <QFile>

namespace vorn {

namespace {

bool isOctal(char c)
{
    return c >= '0' && c <= '7';
}

QString unescapeField(QByteArrayView field)
{
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) && isOctal(field[i + 2])
            && isOctal(field[i + 3])) {
            bytes.append(char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0')));
            i += 3;
        } else {
            bytes.append(field[i]);
        }
    }
    return QFile::decodeName(bytes);
}

} // namespace

std::vector<MountEntry> parseMountTable(QByteArrayView text)
{
    std::vector<MountEntry> table;
    qsizetype lineStart = 0;
    while (lineStart < text.size()) {
        qsizetype lineEnd = text.indexOf('\n', lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        const QByteArrayView line = text.sliced(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        std::vector<QByteArrayView> fields;
        qsizetype start = -1;
        for (qsizetype i = 0; i <= line.size(); ++i) {
            const bool blank = i == line.size() || line[i] == ' ' || line[i] == '\t';
            if (blank && start >= 0) {
                fields.push_back(line.sliced(start, i - start));
                start = -1;
            } else if (!blank && start < 0) {
                start = i;
            }
        }
        if (fields.size() < 3)
            continue;
        table.push_back({unescapeField(fields[0]), unescapeField(fields[1]), unescapeField(fields[2])});
    }
    return table;
}

QString findMountPoint(const std::vector<MountEntry> &table, const QString &device,
                       const std::function<bool(const QString &, const QString &)> &sameDevice)
{
    for (auto it = table.rbegin(); it != table.rend(); ++it)
        if (sameDevice(it->source, device))
            return it->target;
    return {};
}

const MountEntry *mountHolding(const std::vector<MountEntry> &table, const QString &absolutePath)
{
    const MountEntry *best = nullptr;
    for (const MountEntry &entry : table) {
        const QString &target = entry.target;
        const bool holds = target == u"/"
            || (absolutePath.startsWith(target)
                && (absolutePath.size() == target.size() || absolutePath[target.size()] == u'/'));
        if (holds && (!best || target.size() >= best->target.size()))
            best = &entry;
    }
    return best;
}

} // namespace vorn
