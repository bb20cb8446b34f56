#include "cli/ExportCommands.h"

#include "cli/CliSession.h"
#include "cli/SearchFlags.h"
#include "export/DiscExport.h"
#include "export/ExportFile.h"
#include "export/HtmlExport.h"
#include "export/ListExport.h"
#include "export/Reports.h"
#include "search/BookmarkList.h"
#include "search/SearchCriteria.h"
#include "search/SearchRun.h"
#include "settings/StringTable.h"
#include "store/RecordText.h"

#include <QDir>
#include <algorithm>
#include <optional>

namespace vorn::cli {

namespace {

int usage(Context &context, const QString &command, const QString &message)
{
    context.err << "vorn-cli: " << command << ": " << message << '\n';
    return WrongUsage;
}

// The list flags after FILE and --source: the search expression and flags for
// results, --disc / --keyword for both result lists.
struct ListArguments
{
    QString file;
    QString source;
    bool html = false;
    std::optional<QString> expression;
    SearchFlags search;
};

std::optional<ListArguments> parseListArguments(const QStringList &arguments, QString &error)
{
    ListArguments parsed;
    parsed.search.criteria.files = false;
    parsed.search.criteria.folders = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        switch (parsed.search.take(arguments, i, error)) {
        case SearchFlags::Taken::Taken:
            continue;
        case SearchFlags::Taken::Error:
            return std::nullopt;
        case SearchFlags::Taken::NotMine:
            break;
        }
        if (arg == QLatin1String("--source")) {
            if (i + 1 >= arguments.size()) {
                error = arg + QStringLiteral(" needs a value");
                return std::nullopt;
            }
            parsed.source = arguments[++i];
        } else if (arg == QLatin1String("--html")) {
            parsed.html = true;
        } else if (arg.startsWith(QLatin1String("--"))) {
            error = QStringLiteral("unknown option ") + arg;
            return std::nullopt;
        } else if (parsed.file.isEmpty()) {
            parsed.file = arg;
        } else if (!parsed.expression) {
            parsed.expression = arg;
        } else {
            error = QStringLiteral("unexpected argument ") + arg;
            return std::nullopt;
        }
    }
    const SearchFlags &search = parsed.search;
    const bool scoped = !search.disc.isEmpty() || !search.keywords.isEmpty();
    if (parsed.file.isEmpty())
        error = QStringLiteral("give the file to write");
    else if (parsed.source.isEmpty())
        error = QStringLiteral("give --source discs, results or bookmarks");
    else if (!QStringList({QStringLiteral("discs"), QStringLiteral("results"), QStringLiteral("bookmarks")})
                  .contains(parsed.source))
        error = QStringLiteral("--source takes discs, results or bookmarks");
    else if (parsed.source == QLatin1String("discs")
             && (parsed.html || search.searchFlagGiven || parsed.expression || scoped))
        error = QStringLiteral("the disc list takes no other flag");
    else if (parsed.source == QLatin1String("bookmarks") && (search.searchFlagGiven || parsed.expression))
        error = QStringLiteral("bookmarks take only --disc and --keyword");
    if (!error.isEmpty() || !parsed.search.finish(parsed.expression, error))
        return std::nullopt;
    if (parsed.source == QLatin1String("results") && !parsed.search.criteria.hasCriteria()) {
        error = LoadText(315);
        return std::nullopt;
    }
    return parsed;
}

// The disc export's questions from the command line: the count is confirmed by the
// command itself, a folder already holding archives does not stop it (each archive
// still asks before being overwritten), the others follow --yes.
class DiscExportPrompt : public CliPrompt
{
public:
    DiscExportPrompt(QTextStream &err, bool yes) : CliPrompt(err, yes, true) {}
    Answer askYesNo(const QString &text, Icon icon) override
    {
        if (text.startsWith(LoadText(450) + u' ') && text.endsWith(QLatin1String(" CD?")))
            return Answer::Yes;
        if (text == LoadText(461))
            return Answer::No;
        return CliPrompt::askYesNo(text, icon);
    }
};

QString withLfLineEnds(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (!text.isEmpty() && !text.endsWith(u'\n'))
        text += u'\n';
    return text;
}

} // namespace

int exportListCommand(Context &context, const QStringList &arguments)
{
    const QString command = QStringLiteral("export-list");
    QString error;
    const std::optional<ListArguments> args = parseListArguments(arguments, error);
    if (!args)
        return usage(context, command, error);
    CliSession session(context);
    if (!session.open())
        return Failed;
    const Catalogue &catalogue = session.catalogue;
    if (!exportTargetAllowed(catalogue.dataFolder, args->file, session.prompt))
        return Failed;

    if (args->source == QLatin1String("discs"))
        return writeTextExport(args->file, discListText(catalogue), session.prompt) ? Done : Failed;

    const bool bookmarks = args->source == QLatin1String("bookmarks");
    const std::optional<std::vector<qint64>> selection = discSelection(context, catalogue, args->search, bookmarks);
    if (!selection)
        return Failed;
    std::vector<ListRow> rows;
    if (bookmarks) {
        rows = listRows(listBookmarks(catalogue, *selection));
    } else {
        CliSearchObserver observer(context.err);
        SearchResultList results;
        const SearchOutcome outcome = runSearch(catalogue, args->search.criteria, *selection, observer, results);
        if (outcome.status != SearchOutcome::Status::Completed)
            return Failed;
        rows = listRows(results.rows);
    }
    if (args->html) {
        const ListSource list = bookmarks ? ListSource::Bookmarks : ListSource::SearchResults;
        return exportResultListHtml(args->file, list, rows, htmlExportOptionsFromSettings(), session.prompt) ? Done
                                                                                                             : Failed;
    }
    return writeTextExport(args->file, resultListText(rows), session.prompt) ? Done : Failed;
}

int exportDiscsCommand(Context &context, const QStringList &arguments)
{
    const QString command = QStringLiteral("export-discs");
    QString folder;
    QStringList identifiers;
    bool all = false;
    bool move = false;
    bool yes = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (arg == QLatin1String("--discs")) {
            if (i + 1 >= arguments.size())
                return usage(context, command, QStringLiteral("--discs needs a value"));
            for (const QString &id : arguments[++i].split(u',', Qt::SkipEmptyParts))
                identifiers << id.trimmed();
        } else if (arg == QLatin1String("--all")) {
            all = true;
        } else if (arg == QLatin1String("--move")) {
            move = true;
        } else if (arg == QLatin1String("--yes")) {
            yes = true;
        } else if (arg.startsWith(QLatin1String("--")) || !folder.isEmpty()) {
            return usage(context, command, QStringLiteral("unexpected argument ") + arg);
        } else {
            folder = arg;
        }
    }
    if (folder.isEmpty())
        return usage(context, command, QStringLiteral("give the target folder"));
    if (all == !identifiers.isEmpty())
        return usage(context, command, QStringLiteral("give either --discs ID,... or --all"));

    CliSession session(context);
    if (!session.open())
        return Failed;
    const Catalogue &catalogue = session.catalogue;
    DiscExportRequest request;
    request.folder = QDir::isAbsolutePath(folder) ? folder : QDir::current().absoluteFilePath(folder);
    request.move = move;
    if (all) {
        for (int i = 1; i <= catalogue.discCount(); ++i)
            request.positions.push_back(i);
    } else {
        for (const QString &id : identifiers) {
            const int position = findDisc(catalogue, id);
            if (position == 0) {
                context.err << "vorn-cli: no disc " << id << " in " << catalogue.dataFolder << '\n';
                return Failed;
            }
            request.positions.push_back(position);
        }
        std::sort(request.positions.begin(), request.positions.end());
        request.positions.erase(std::unique(request.positions.begin(), request.positions.end()),
                                request.positions.end());
    }
    DiscExportPrompt prompt(context.err, yes);
    const DiscExportResult result = exportDiscs(catalogue, request, prompt);
    if (result.showFolder())
        context.err << "vorn-cli: export stopped; see " << result.folder << '\n';
    if (move && result.moved < result.exported) {
        context.err << "vorn-cli: " << result.exported - result.moved
                    << " archive(s) copied but not removed from the data folder\n";
        return Failed;
    }
    return result.outcome == DiscExportResult::Outcome::Exported ? Done : Failed;
}

int reportCommand(Context &context, const QStringList &arguments)
{
    bool ok = false;
    const int index = arguments.size() == 1 ? arguments.first().toInt(&ok) : 0;
    if (!ok || index < Reports::DataFolderInfo || index > Reports::Totals)
        return usage(context, QStringLiteral("report"), QStringLiteral("give a report number from 3 to 7"));
    CliSession session(context);
    if (!session.open())
        return Failed;
    context.out << withLfLineEnds(Reports::build(index, session.catalogue));
    return Done;
}

} // namespace vorn::cli
