#include "capture/ArchiveOutput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vorn {

namespace {

bool isDriveLetter(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

} // namespace

std::optional<QStringList> confinedPathParts(const QString &storedPath)
{
    QStringList parts;
    const QStringList raw = QString(storedPath).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < raw.size(); ++i) {
        QString part = raw[i];
        if (i == 0 && part.size() >= 2 && part[1] == u':' && isDriveLetter(part[0])) {
            part = part.mid(2);
            if (part.isEmpty())
                continue;
        }
        if (part == u".")
            continue;
        if (part == u".." || part.contains(QChar(0)) || part.toUtf8().size() > 255)
            return std::nullopt;
        parts << part;
    }
    if (parts.isEmpty())
        return std::nullopt;
    return parts;
}

QString writeConfined(const QString &folder, const QStringList &parts, const QByteArray &bytes)
{
    if (parts.isEmpty() || folder.isEmpty())
        return {};
    const QString base = QDir(folder).absolutePath();
    const QFileInfo baseInfo(base);
    if (!baseInfo.isDir())
        return {};
    QString current = base;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        current += u'/' + parts[i];
        const QFileInfo info(current);
        if (info.isSymLink())
            return {};
        if (info.exists()) {
            if (!info.isDir())
                return {};
        } else if (!QDir().mkdir(current)) {
            return {};
        }
    }
    const QString target = current + u'/' + parts.last();
    const QFileInfo targetInfo(target);
    if (targetInfo.isSymLink() || targetInfo.isDir())
        return {};
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    if (file.write(bytes) != bytes.size()) {
        file.close();
        file.remove();
        return {};
    }
    file.close();
    return QDir::toNativeSeparators(target);
}

std::optional<QByteArray> readWholeMember(ArchiveKind kind, const QString &archivePath, const ArchiveListing &listing,
                                          int index, qint64 limit, UserPrompt *prompt)
{
    std::optional<QByteArray> result;
    MemberRequest request;
    request.index = index;
    request.want = MemberRequest::Want::Text;
    request.limit = limit;
    readArchiveMembers(
        kind, archivePath, listing, {request},
        [&](const MemberRequest &, const MemberContent &content) {
            if (content.complete)
                result = content.head;
        },
        prompt);
    return result;
}

} // namespace vorn
