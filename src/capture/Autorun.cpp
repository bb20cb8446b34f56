#include "capture/Autorun.h"

#include "capture/PeIcons.h"
#include "common/DurableFile.h"
#include "common/ProfileFile.h"
#include "common/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vorn {

namespace {

// Autorun files are a few lines; more than this is not one.
constexpr qint64 kMaxAutorunSize = 64 * 1024;

QString canonicalRoot(const QString &root)
{
    return QFileInfo(root).canonicalFilePath();
}

bool insideRoot(const QString &canonicalPath, const QString &canonicalRootPath)
{
    if (canonicalPath.isEmpty() || canonicalRootPath.isEmpty())
        return false;
    const QString prefix = canonicalRootPath.endsWith(u'/') ? canonicalRootPath : canonicalRootPath + u'/';
    return canonicalPath.startsWith(prefix);
}

// The entry of `folder` named `name`: that exact name, or else the first whose name
// equals it ignoring case.
QString entryIgnoringCase(const QString &folder, const QString &name)
{
    QDir dir(folder);
    if (QFileInfo::exists(dir.filePath(name)))
        return dir.filePath(name);
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return {};
}

QByteArray readSmallFile(const std::unique_ptr<QIODevice> &file, qint64 limit)
{
    if (!file || file->size() > limit)
        return {};
    return file->read(limit);
}

bool writeIcon(const QString &target, const QByteArray &bytes)
{
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return commitWhole(file);
}

bool isIconFile(const QByteArray &bytes)
{
    return bytes.size() >= 6 && bytes.startsWith(QByteArrayView("\0\0\1\0", 4));
}

// The platform's reading of a number: leading spaces, an optional sign, digits.
int leadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    qint64 value = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9' && value < 0x7FFFFFFF) {
        value = value * 10 + (text[i].unicode() - u'0');
        ++i;
    }
    value = std::min<qint64>(value, 0x7FFFFFFF);
    return int(negative ? -value : value);
}

QString unquote(QString text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        text = text.mid(1, text.size() - 2).trimmed();
    return text;
}

} // namespace

std::optional<AutorunIconValue> parseAutorunIconValue(const QString &value)
{
    const QString text = unquote(value);
    if (text.isEmpty())
        return std::nullopt;
    AutorunIconValue result;
    const qsizetype comma = text.indexOf(u',');
    if (text.endsWith(QStringLiteral(".ico"), Qt::CaseInsensitive) || comma < 0) {
        result.file = text;
    } else {
        result.file = unquote(text.left(comma));
        result.index = leadingNumber(QStringView(text).mid(comma + 1));
        result.indexGiven = true;
    }
    if (result.file.isEmpty())
        return std::nullopt;
    return result;
}

std::optional<QStringList> discPathParts(const QString &relativePath)
{
    // A leading separator means the root of the disc itself.
    const QStringList parts = QString(relativePath).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.first().contains(u':'))
        return std::nullopt;
    QStringList kept;
    for (const QString &part : parts) {
        if (part == u".")
            continue;
        if (part == u"..") {
            if (kept.isEmpty())
                return std::nullopt;
            kept.removeLast();
            continue;
        }
        kept << part;
    }
    if (kept.isEmpty())
        return std::nullopt;
    return kept;
}

std::unique_ptr<QIODevice> HostDiscFiles::open(const QString &relativePath) const
{
    const QString path = findBelowRoot(m_root, relativePath);
    if (path.isEmpty())
        return nullptr;
    return openRegularQFile(path);
}

QString findBelowRoot(const QString &root, const QString &relativePath)
{
    const QString rootPath = canonicalRoot(root);
    const std::optional<QStringList> kept = discPathParts(relativePath);
    if (rootPath.isEmpty() || !kept)
        return {};
    QString current = rootPath;
    for (const QString &part : *kept) {
        current = entryIgnoringCase(current, part);
        if (current.isEmpty())
            return {};
    }
    const QFileInfo info(current);
    if (!info.isFile() || !insideRoot(info.canonicalFilePath(), rootPath))
        return {};
    return info.canonicalFilePath();
}

QString ReadAutorunIcon(const QString &driveRoot, const QString &identifier, const QString &tempFolder)
{
    return ReadAutorunIcon(HostDiscFiles(driveRoot), identifier, tempFolder);
}

QString ReadAutorunIcon(const DiscFiles &disc, const QString &identifier, const QString &tempFolder)
{
    if (identifier.isEmpty() || identifier.contains(u'/') || identifier.contains(u'\\') || identifier == u"."
        || identifier == u"..")
        return {};
    ProfileFile profile;
    profile.parse(readSmallFile(disc.open(QStringLiteral("Autorun.inf")), kMaxAutorunSize));
    const std::optional<AutorunIconValue> value =
        parseAutorunIconValue(profile.value(QStringLiteral("autorun"), QStringLiteral("icon")));
    if (!value)
        return {};
    std::unique_ptr<QIODevice> file = disc.open(value->file);
    if (!file)
        return {};

    QByteArray icon;
    const QByteArray start = file->peek(6);
    if (value->file.endsWith(QStringLiteral(".ico"), Qt::CaseInsensitive) || isIconFile(start)) {
        // An icon file holds one icon: asking it for another gives none.
        if (value->index == 0)
            icon = readSmallFile(file, kMaxIconFileSize);
    } else if (const std::optional<QByteArray> fromProgram = readPeIcon(std::move(file), value->index)) {
        icon = *fromProgram;
    }
    if (icon.isEmpty())
        return {};
    const QString target = QDir(tempFolder).filePath(identifier + QStringLiteral(".ico"));
    if (QFileInfo(target).isSymLink() && !QFile::remove(target))
        return {};
    if (!writeIcon(target, icon))
        return {};
    return QDir::toNativeSeparators(target);
}

} // namespace vorn
