#include "export/ItemFacts.h"

#include "common/DayDate.h"
#include "common/Numbers.h"
#include "search/SearchRun.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/TreeFiles.h"

#include <QFileInfo>

namespace vorn::ItemFacts {

namespace {

QString grouped(qint64 value)
{
    const QString separator = LoadText(500);
    return groupDigits(value, separator.isEmpty() ? QChar(u' ') : separator.front());
}

QString line(const QString &text)
{
    return QStringLiteral("    ") + text + QStringLiteral("\r\n");
}

QString dateOf(double dayNumber)
{
    return wallClockFromDayNumber(dayNumber).toString(searchDateFormat());
}

// Size in kilobytes (rounded halves to even) and in bytes.
QString sizeLine(qint64 bytes)
{
    return line(LoadText(389) + grouped(kilobytesFromBytes(bytes)) + LoadText(843) + grouped(bytes) + LoadText(844));
}

QString discLines(const Catalogue &catalogue, int position)
{
    const DiscRecord &disc = catalogue.disc(position);
    return QStringLiteral("     ----------------CD---\r\n") + line(disc.name) + line(LoadText(392) + disc.identifier);
}

} // namespace

QString disc(const Catalogue &catalogue, int position, int folderCount)
{
    const DiscRecord &disc = catalogue.disc(position);
    const QString archive = catalogue.archivePath(disc.identifier);
    QString text = line(LoadText(393) + grouped(roundHalfEven(double(disc.totalSize) / 1048576.0)) + LoadText(840)
                        + grouped(disc.totalSize) + LoadText(841));
    text += line(LoadText(394) + grouped(disc.fileCount));
    text += line(LoadText(396) + grouped(folderCount));
    text += line(LoadText(845) + disc.volumeLabel);
    text += line(LoadText(392) + disc.identifier);
    text += line(LoadText(652) + dateOf(disc.burnDate));
    text += line(LoadText(651) + archive) + QStringLiteral("\r\n");
    text += line(LoadText(650) + grouped(QFileInfo(archive).size() / 1024) + LoadText(842));
    text += line(LoadText(597) + grouped(disc.archiveCount));
    text += line(LoadText(596) + grouped(disc.memberCount));
    text += line(LoadText(593) + grouped(disc.capturedCount));
    text += line(LoadText(648) + grouped(disc.capturedSize / 1024) + LoadText(842));
    return text;
}

QString file(const Catalogue &catalogue, int position, const DiscTree &tree, int file)
{
    if (file < 0 || file >= int(tree.files.size()))
        return {};
    const FileRecord &record = tree.files[size_t(file)];
    // A member's place is its archive's path and its own path inside the archive.
    QString path = record.owner >= 0 ? TreeFiles::folderPath(tree, record.owner) : TreeFiles::filePath(tree, file);
    if (record.owner < 0)
        path.truncate(path.lastIndexOf(u'\\') + 1);
    return sizeLine(record.size) + line(LoadText(390) + (path.isEmpty() ? LoadText(405) : path))
        + line(LoadText(391) + dateOf(record.date)) + discLines(catalogue, position);
}

QString folder(const Catalogue &catalogue, int position, const DiscTree &tree, int folder)
{
    if (folder < 0 || folder >= int(tree.folders.size()))
        return {};
    int folders = 0;
    for (size_t i = 1; i < tree.folders.size(); ++i)
        folders += tree.folders[i].parent == folder ? 1 : 0;
    qint64 bytes = 0;
    int files = 0;
    for (const FileRecord &each : tree.files) {
        if (each.owner == folder) {
            bytes += each.size;
            ++files;
        }
    }
    const QString path = folder == 0 ? LoadText(405) : TreeFiles::folderPath(tree, folder);
    return line(LoadText(390) + path) + line(LoadText(396) + grouped(folders)) + line(LoadText(394) + grouped(files))
        + sizeLine(bytes) + discLines(catalogue, position);
}

} // namespace vorn::ItemFacts
