#include "export/HtmlExport.h"

#include "common/DurableFile.h"
#include "common/RunObserver.h"
#include "common/UserPrompt.h"
#include "export/ExportFile.h"
#include "export/HtmlImages.h"
#include "export/HtmlPages.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/DiscArchive.h"
#include "store/KeywordCodes.h"
#include "store/TreeFiles.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <limits>

namespace vorn {

namespace {

const QLatin1String Crlf("\r\n");
const QLatin1String DefaultPicture("CD.bmp");

// Writes a page through a temporary name: the page, then a line end.
bool writePage(const QString &path, const QString &text, QString *error, bool durable = false)
{
    return writeExportFile(path, (text + Crlf).toUtf8(), error, durable);
}

// A disc's folder file and file list, read from its archive in memory.
bool loadTree(const Catalogue &catalogue, const QString &identifier, DiscTree &tree, QString *error)
{
    const QString archive = catalogue.archivePath(identifier);
    if (!QFileInfo(archive).isFile()) {
        *error = QDir::toNativeSeparators(archive) + QStringLiteral(": ") + LoadText(437);
        return false;
    }
    const auto members =
        DiscArchive::readMembers(archive, QStringLiteral(".rep;.fic;"), std::numeric_limits<qint64>::max());
    for (const auto &[name, bytes] : members) {
        if (name.compare(identifier + QLatin1String(".rep"), Qt::CaseInsensitive) == 0)
            tree.folders = TreeFiles::parseFolderFile(bytes);
        else if (name.compare(identifier + QLatin1String(".fic"), Qt::CaseInsensitive) == 0)
            tree.files = TreeFiles::parseFileList(bytes);
    }
    return true;
}

class Export
{
public:
    Export(const Catalogue &catalogue, const QString &indexPath, const HtmlExportOptions &options,
           RunObserver &observer)
        : m_catalogue(catalogue), m_options(options), m_observer(observer)
    {
        const QFileInfo info(indexPath);
        m_indexPath = info.absoluteFilePath();
        m_names.base = info.completeBaseName();
        m_names.extension = info.suffix();
        m_folder = info.absolutePath() + u'/' + m_names.companionFolderName();
        m_result.indexPath = m_indexPath;
    }

    HtmlExportResult run(const std::vector<int> &positions)
    {
        if (QFileInfo(m_indexPath).isDir())
            return failed(QDir::toNativeSeparators(m_indexPath) + QStringLiteral(": ") + LoadText(420));
        if (!QDir().mkpath(m_folder))
            return failed(QDir::toNativeSeparators(m_folder) + QStringLiteral(": ") + LoadText(439));
        QString error;
        if (!HtmlImages::copyBackgrounds(m_folder, &error)
            || !HtmlImages::writeBitmap(HtmlImages::discPicture(), m_folder + u'/' + DefaultPicture, &error))
            return failed(error);

        const QString reference = m_names.folderReference();
        QString index = htmlIndexHead(QStringLiteral("Export"), reference, m_options.fontSize, m_names.base);
        const int total = int(positions.size());
        for (int i = 0; i < total; ++i) {
            const DiscRecord &disc = m_catalogue.disc(positions[size_t(i)]);
            m_observer.yield();
            m_observer.progress(QStringLiteral("%1 / %2  %3").arg(i + 1).arg(total).arg(disc.name));
            QString iconFile;
            if (!pictureOf(disc, iconFile, error))
                return failed(error);
            index += htmlIndexRow(m_catalogue, disc, iconFile, reference, m_options);
            if (m_options.contents) {
                DiscTree tree;
                if (!loadTree(m_catalogue, disc.identifier, tree, &error))
                    return failed(error);
                const QString page = htmlContentsPage(disc, tree, iconFile, m_names, m_options, &m_observer);
                if (!writePage(m_folder + u'/' + disc.identifier + QLatin1String(".htm"), page, &error))
                    return failed(error);
            }
            ++m_result.discsExported;
            if (m_observer.cancelled()) {
                m_result.cancelled = true;
                break;
            }
        }
        index += htmlPageFoot(reference);
        // The pages and pictures reach the disk before the index that links them.
        syncFileSystemOf(m_indexPath);
        if (!writePage(m_indexPath, index, &error, true))
            return failed(error);
        m_result.written = true;
        return m_result;
    }

private:
    // The picture of a disc in the companion folder: its own icon as <id>.bmp when
    // icons are shown and it has one that reads, else CD.bmp.
    bool pictureOf(const DiscRecord &disc, QString &file, QString &error)
    {
        file = DefaultPicture;
        if (!m_options.icons || !disc.icon.isEmpty())
            return true;
        const auto icon = m_catalogue.discIcons.constFind(disc.identifier);
        if (icon == m_catalogue.discIcons.constEnd())
            return true;
        const std::optional<QImage> bitmap = HtmlImages::iconBitmap(*icon);
        if (!bitmap)
            return true;
        const QString name = disc.identifier + QLatin1String(".bmp");
        if (!HtmlImages::writeBitmap(*bitmap, m_folder + u'/' + name, &error))
            return false;
        file = name;
        return true;
    }

    HtmlExportResult failed(const QString &description)
    {
        m_result.message = LoadText(421) + u'\n' + description;
        m_observer.prompt().fail(m_result.message);
        return m_result;
    }

    const Catalogue &m_catalogue;
    const HtmlExportOptions &m_options;
    RunObserver &m_observer;
    HtmlSiteNames m_names;
    QString m_indexPath;
    QString m_folder;
    HtmlExportResult m_result;
};

} // namespace

HtmlExportOptions htmlExportOptionsFromSettings()
{
    const QString section = QStringLiteral("Opt");
    HtmlExportOptions options;
    options.columns = int(Settings::readNumber(section, QStringLiteral("HTMNbCols"), 6));
    options.icons = Settings::readNumber(section, QStringLiteral("IcoHtml"), 1) != 0;
    options.fontSize = int(Settings::readNumber(section, QStringLiteral("FontSize"), 8));
    return options;
}

std::vector<int> discsWithKeywords(const Catalogue &catalogue, const std::vector<qint16> &numbers)
{
    std::vector<int> positions;
    for (int i = 1; i <= catalogue.discCount(); ++i) {
        const QString &codes = catalogue.disc(i).keywordCodes;
        if (std::any_of(numbers.begin(), numbers.end(), [&](qint16 k) { return carriesKeyword(codes, k); }))
            positions.push_back(i);
    }
    return positions;
}

std::vector<int> chosenDiscs(const Catalogue &catalogue, const DiscChoice &choice)
{
    if (choice.byKeyword)
        return discsWithKeywords(catalogue, choice.keywords);
    std::vector<int> positions;
    for (int i = 1; i <= catalogue.discCount(); ++i) {
        if (choice.everyDisc
            || std::find(choice.positions.begin(), choice.positions.end(), i) != choice.positions.end())
            positions.push_back(i);
    }
    return positions;
}

HtmlExportResult exportHtml(const Catalogue &catalogue, const QString &indexPath, std::vector<int> positions,
                            const HtmlExportOptions &options, RunObserver &observer)
{
    observer.clearCancel();
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    positions.erase(
        std::remove_if(positions.begin(), positions.end(), [&](int p) { return p < 1 || p > catalogue.discCount(); }),
        positions.end());
    if (positions.empty() || !exportTargetAllowed(catalogue.dataFolder, indexPath, observer.prompt())) {
        HtmlExportResult result;
        result.indexPath = indexPath;
        result.message = positions.empty() ? LoadText(556) : LoadText(782);
        if (positions.empty())
            observer.prompt().warn(result.message);
        return result;
    }
    return Export(catalogue, indexPath, options, observer).run(positions);
}

HtmlExportResult runHtmlExport(const Catalogue &catalogue, const std::vector<int> &positions,
                               const HtmlExportOptions &options, RunObserver &observer)
{
    QString path = observer.prompt().chooseFile(
        CaptionTitle(557), QStringLiteral("HTML (*.HTML *.html);;HTM (*.HTM *.htm);;*.* (*)"), true);
    if (path.isEmpty())
        return {};
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1String(".html");
    return exportHtml(catalogue, path, positions, options, observer);
}

} // namespace vorn
