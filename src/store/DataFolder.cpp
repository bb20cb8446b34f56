#include "store/DataFolder.h"

#include "common/FolderEntries.h"
#include "common/Numbers.h"
#include "common/RunObserver.h"
#include "common/TextCodec.h"
#include "common/UserPrompt.h"
#include "settings/AppFolders.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/DataFolderConversion.h"
#include "store/DataFolderLock.h"
#include "store/DiscArchive.h"
#include "store/DiscSort.h"
#include "store/IconStore.h"
#include "store/KeywordList.h"
#include "store/RecordText.h"
#include "store/ZipTail.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

namespace vorn {

namespace {

// Names of the "*.VORN" files of a folder (ignoring case), in name order.
QStringList archiveNames(const QString &folder)
{
    QStringList names = folderEntryNames(folder);
    names.removeIf([](const QString &name) { return !name.endsWith(QLatin1String(".VORN"), Qt::CaseInsensitive); });
    names.sort();
    return names;
}

bool hasMember(const ZipTail &tail, const QString &memberName)
{
    if (!tail.namesKnown)
        return true;
    const QByteArray wanted = memberName.toUtf8();
    return std::any_of(tail.entries.begin(), tail.entries.end(),
                       [&](const ZipEntry &entry) { return entry.name.compare(wanted, Qt::CaseInsensitive) == 0; });
}

QString unreadableMessage(const QStringList &names)
{
    return LoadText(376) + QStringLiteral(" :\n") + names.join(u'\n');
}

QString leftOutMessage(const QStringList &names)
{
    return LoadText(725) + u'\n' + names.join(u'\n');
}

// Temporary files of a write cut short beside the archives and the icon store: the
// copy an archive change is made on ("<id>.VORN.XXXXXX"), libzip's own file beside it
// and the ".part" of an archive copy.
bool isStrayWrite(const QString &name)
{
    // Every such name holds "VORN." somewhere: the pattern is tried on those alone.
    if (!name.contains(QLatin1String("VORN."), Qt::CaseInsensitive))
        return false;
    static const QRegularExpression pattern(
        QStringLiteral("(\\.VORN|^VORN\\.Icons)(\\.part|\\.[A-Za-z0-9]{6}(\\.[A-Za-z0-9]{6})?)$"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern.match(name).hasMatch();
}

// Removes them, only while holding the data folder's lock: another copy of the
// program writing now holds it, and its files are left alone.
void removeStrayWrites(const QString &folder)
{
    DataFolderLock lock(folder);
    if (lock.lockIfFree() != DataFolderLock::State::Held)
        return;
    for (const QString &name : folderEntryNames(folder)) {
        if (isStrayWrite(name))
            QFile::remove(folder + name);
    }
}

} // namespace

QString identifierOfArchiveName(const QString &fileName)
{
    const qint64 number = integerValue(fileName);
    const QString identifier = QString::number(number);
    if (number < -2147483648LL || number > 2147483647LL)
        return {};
    return fileName.compare(identifier + QLatin1String(".VORN"), Qt::CaseInsensitive) == 0 ? identifier : QString();
}

bool writeTest(const QString &folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("Test d'écriture VORN"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(" ", 1) != 1) {
            file.close();
            QFile::remove(path);
            return false;
        }
    }
    const bool present = QFileInfo::exists(path);
    QFile::remove(path);
    return present;
}

bool openDataFolder(Catalogue &catalogue, const QString &folder, RunObserver &observer, OpenReport *report)
{
    OpenReport local;
    OpenReport &result = report ? *report : local;
    result = OpenReport();
    if (!QFileInfo(folder).isDir())
        return false;

    catalogue.dataFolder = withTrailingSeparator(QFileInfo(folder).absoluteFilePath());
    KeywordList::read(catalogue);
    catalogue.discs.assign(1, DiscRecord());
    catalogue.fieldNames = QStringList{QString()};
    catalogue.current = 0;
    catalogue.discIcons.clear();
    catalogue.archiveFileNames.clear();

    if (QFileInfo::exists(catalogue.dataFolder + QStringLiteral("CDS_INF.txt"))) {
        if (!convertOlderDataFolder(catalogue, observer))
            result.conversionDeclined = true;
        catalogue.discs.assign(1, DiscRecord());
        catalogue.fieldNames = QStringList{QString()};
    }

    removeStrayWrites(catalogue.dataFolder);
    observer.progress(LoadText(578));
    IconStore::load(catalogue);

    const QStringList names = archiveNames(catalogue.dataFolder);
    const qsizetype n = names.size();
    QHash<QString, int> positions; // identifier -> position
    positions.reserve(n);
    QHash<QString, QString> triedNames; // identifier -> the archive name used for it
    QStringList iconsToStore;
    int lastShown = -1;
    for (qsizetype k = 1; k <= n; ++k) {
        const QString &name = names[k - 1];
        const int percent = int(k * 100 / n);
        if (percent % 5 == 0 && percent != lastShown) {
            lastShown = percent;
            observer.progress(LoadText(359) + u' ' + QString::number(percent) + QStringLiteral(" %"));
            observer.yield();
        }
        const QString identifier = identifierOfArchiveName(name);
        if (identifier.isEmpty())
            continue;
        if (triedNames.contains(identifier)) {
            result.leftOut << name + QStringLiteral(" (") + triedNames.value(identifier) + u')';
            continue;
        }
        triedNames.insert(identifier, name);
        // One read of the archive's end gives both the record and the member names.
        QFile file(catalogue.dataFolder + name);
        std::optional<ZipTail> tail;
        if (file.open(QIODevice::ReadOnly))
            tail = readZipTail(file);
        file.close();
        std::optional<RecordReading> reading;
        if (tail)
            reading = parseRecordText(decodeText(tail->comment));
        if (!reading) {
            result.unreadable << name;
            continue;
        }
        reading->record.identifier = identifier;
        DiscRecord &record = reading->record;
        record.keywordCodes = keywordCodesFromNames(catalogue, reading->keywordNames);
        applyFieldTexts(catalogue, record, reading->fieldNames, reading->fieldValues);
        catalogue.discs.push_back(std::move(record));
        positions.insert(identifier, catalogue.discCount());
        if (name != identifier + QLatin1String(".VORN"))
            catalogue.archiveFileNames.insert(identifier, name);
        ++result.discsRead;

        // A disc's own icon missing from the icon store is taken from its archive.
        if (catalogue.disc(positions.value(identifier)).icon.isEmpty() && !catalogue.discIcons.contains(identifier)
            && hasMember(*tail, identifier + QStringLiteral(".ico"))) {
            const auto icon =
                DiscArchive::readMember(catalogue.archivePath(identifier), identifier + QStringLiteral(".ico"));
            if (icon && !icon->isEmpty()) {
                catalogue.discIcons.insert(identifier, *icon);
                iconsToStore << identifier;
            }
        }
    }
    if (!iconsToStore.isEmpty()) {
        DataFolderLock lock(catalogue.dataFolder);
        if (lock.lockIfFree() == DataFolderLock::State::Held)
            IconStore::addSeveral(catalogue, iconsToStore);
    }

    observer.yield();
    sortDiscArray(catalogue);
    if (hasDuplicateNames(catalogue))
        giveDuplicateSuffixes(catalogue);

    if (!result.unreadable.isEmpty())
        observer.prompt().warn(unreadableMessage(result.unreadable));
    if (!result.leftOut.isEmpty())
        observer.prompt().warn(leftOutMessage(result.leftOut));
    result.writable = writeTest(catalogue.dataFolder);
    if (!result.writable)
        observer.prompt().inform(LoadText(601));
    return true;
}

} // namespace vorn
