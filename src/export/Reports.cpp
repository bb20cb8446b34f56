#include "export/Reports.h"

#include "common/Numbers.h"
#include "common/RunObserver.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/DiscArchive.h"
#include "store/KeywordCodes.h"
#include "store/TreeFiles.h"

#include <QDir>
#include <QFileInfo>

namespace vorn::Reports {

namespace {

const QString crlf = QStringLiteral("\r\n");

QString grouped(qint64 value)
{
    const QString separator = LoadText(500);
    return groupDigits(value, separator.isEmpty() ? QChar(u' ') : separator.front());
}

QString megabytes(qint64 bytes)
{
    return grouped(roundHalfEven(double(bytes) / 1048576.0)) + u' ' + LoadText(731);
}

struct Counters
{
    qint64 files = 0;
    qint64 members = 0;
    qint64 folders = 0;
    qint64 totalSize = 0;
    qint64 captured = 0;
    qint64 capturedSize = 0;
};

// Adds one disc's folder file and file list; false (and nothing added) when either
// member cannot be read.
bool countDisc(const Catalogue &catalogue, const QString &identifier, Counters &counters)
{
    const QString archive = catalogue.archivePath(identifier);
    const auto rep = DiscArchive::readMember(archive, identifier + QStringLiteral(".rep"));
    const auto fic = DiscArchive::readMember(archive, identifier + QStringLiteral(".fic"));
    if (!rep || !fic)
        return false;
    counters.folders += qint64(TreeFiles::parseFolderFile(*rep).size()) - 1;
    for (const FileRecord &file : TreeFiles::parseFileList(*fic)) {
        if (file.owner >= 0) {
            ++counters.files;
            counters.totalSize += file.size;
        } else {
            ++counters.members;
        }
        if (file.link > 0) {
            ++counters.captured;
            counters.capturedSize += file.size;
        }
    }
    return true;
}

QString totalsText(const Counters &c)
{
    QString text;
    text += LoadText(340) + u' ' + grouped(c.files) + crlf;
    text += LoadText(596) + u' ' + grouped(c.members) + crlf;
    text += LoadText(341) + u' ' + grouped(c.folders) + crlf;
    text += LoadText(393) + u' ' + megabytes(c.totalSize) + crlf;
    text += crlf;
    text += LoadText(593) + u' ' + grouped(c.captured) + crlf;
    text += LoadText(648) + u' ' + megabytes(c.capturedSize);
    return text;
}

} // namespace

QString dataFolderInfo(const Catalogue &catalogue)
{
    qint64 fileCount = 0;
    qint64 folderSize = 0;
    qint64 vornCount = 0;
    qint64 vornSize = 0;
    const QDir folder(catalogue.dataFolder);
    const QFileInfoList entries = folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo &entry : entries) {
        ++fileCount;
        folderSize += entry.size();
        const QString name = entry.fileName();
        if (name.endsWith(QLatin1String(".VORN"), Qt::CaseInsensitive)
            || name.compare(QLatin1String("MC.txt"), Qt::CaseInsensitive) == 0) {
            ++vornCount;
            vornSize += entry.size();
        }
    }
    QString text;
    text += LoadText(433) + QDir::toNativeSeparators(catalogue.dataFolder) + crlf + crlf;
    text += LoadText(431) + grouped(catalogue.discCount()) + crlf + crlf;
    text += LoadText(432) + grouped(fileCount) + crlf + crlf;
    text += LoadText(434) + grouped(folderSize) + crlf + crlf;
    text += LoadText(435) + grouped(vornCount) + crlf + crlf;
    text += LoadText(436) + grouped(vornSize) + crlf;
    return text;
}

QString discList(const Catalogue &catalogue)
{
    QString text;
    for (int i = 1; i <= catalogue.discCount(); ++i)
        text += catalogue.disc(i).name + crlf;
    return text;
}

QString keywordsOfDiscs(const Catalogue &catalogue)
{
    QString text;
    for (int i = 1; i <= catalogue.discCount(); ++i) {
        const DiscRecord &disc = catalogue.disc(i);
        text += disc.name + crlf;
        for (size_t k = 1; k < catalogue.keywords.size(); ++k) {
            const KeywordEntry &keyword = catalogue.keywords[k];
            if (disc.keywordCodes.contains(keywordCode(keyword.number)))
                text += QStringLiteral(" - ") + keyword.name + crlf;
        }
        text += crlf;
    }
    return text;
}

QString discsOfKeywords(const Catalogue &catalogue)
{
    QString text;
    for (size_t k = 1; k < catalogue.keywords.size(); ++k) {
        const KeywordEntry &keyword = catalogue.keywords[k];
        const QString code = keywordCode(keyword.number);
        text += keyword.name + crlf;
        for (int i = 1; i <= catalogue.discCount(); ++i) {
            const DiscRecord &disc = catalogue.disc(i);
            if (disc.keywordCodes.contains(code))
                text += QStringLiteral(" - ") + disc.name + crlf;
        }
        text += crlf;
    }
    return text;
}

bool passesKeywordFilter(const QString &keywordCodes, int keywordFilter)
{
    if (keywordFilter == 0)
        return true;
    const bool carries = carriesKeyword(keywordCodes, qAbs(keywordFilter));
    return keywordFilter > 0 ? carries : !carries;
}

QString totals(const Catalogue &catalogue, int keywordFilter, RunObserver *observer)
{
    Counters counters;
    QString text;
    const int last = catalogue.discCount();
    for (int i = 1; i <= last; ++i) {
        const DiscRecord &disc = catalogue.disc(i);
        if (passesKeywordFilter(disc.keywordCodes, keywordFilter)) {
            Counters one;
            if (countDisc(catalogue, disc.identifier, one)) {
                counters.files += one.files;
                counters.members += one.members;
                counters.folders += one.folders;
                counters.totalSize += one.totalSize;
                counters.captured += one.captured;
                counters.capturedSize += one.capturedSize;
            }
        }
        text = i < last ? disc.name + crlf : QString();
        text += totalsText(counters);
        if (observer) {
            observer->progress(text);
            observer->yield();
        }
    }
    if (keywordFilter != 0)
        text += crlf + LoadText(503);
    return text;
}

QString build(int index, const Catalogue &catalogue, int keywordFilter, RunObserver *observer)
{
    switch (index) {
    case DataFolderInfo:
        return dataFolderInfo(catalogue);
    case DiscList:
        return discList(catalogue);
    case KeywordsOfDiscs:
        return keywordsOfDiscs(catalogue);
    case DiscsOfKeywords:
        return discsOfKeywords(catalogue);
    case Totals:
        return totals(catalogue, keywordFilter, observer);
    default:
        return QString();
    }
}

} // namespace vorn::Reports
