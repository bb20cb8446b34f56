#include "cli/SearchCommands.h"

#include "cli/CliSession.h"
#include "common/DayDate.h"
#include "search/BookmarkList.h"
#include "search/SearchCriteria.h"
#include "search/SearchRun.h"
#include "store/RecordText.h"

#include <QDate>
#include <QTime>
#include <optional>

namespace vorn::cli {

namespace {

// Answers the long-search warning with No without printing it: warnings never stop
// a search from the command line.
class SearchPrompt : public CliPrompt
{
public:
    explicit SearchPrompt(QTextStream &err) : CliPrompt(err, false) {}
    Answer askYesNo(const QString &, Icon) override { return Answer::No; }
};

class SearchObserver : public RunObserver
{
public:
    explicit SearchObserver(QTextStream &err) : m_prompt(err) {}
    UserPrompt &prompt() override { return m_prompt; }

private:
    SearchPrompt m_prompt;
};

// "dd/mm/yyyy [hh:mm:ss]" or "yyyy-mm-dd [hh:mm:ss]" as a day number.
std::optional<double> parseDateArgument(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (const std::optional<QDateTime> dateTime = parseDateText(trimmed))
        return dayNumberFromDateTime(*dateTime);
    const QString datePart = trimmed.section(u' ', 0, 0);
    const QString timePart = trimmed.section(u' ', 1).trimmed();
    const QDate date = QDate::fromString(datePart, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        return std::nullopt;
    QTime time(0, 0);
    if (!timePart.isEmpty()) {
        time = QTime::fromString(timePart, QStringLiteral("hh:mm:ss"));
        if (!time.isValid())
            return std::nullopt;
    }
    return dayNumberFromDateTime(QDateTime(date, time));
}

// The scope flags shared by both commands.
struct ScopeFlags
{
    QString disc;
    QStringList keywords;
};

// Turns --disc / --keyword into a disc scope; prints a message and gives nullopt for
// a disc or keyword the data folder does not know.
std::optional<DiscScope> scopeFor(Context &context, const Catalogue &catalogue,
                                  const ScopeFlags &flags, bool bookmarks)
{
    DiscScope scope;
    scope.bookmarks = bookmarks;
    if (!flags.disc.isEmpty()) {
        const int position = findDisc(catalogue, flags.disc.trimmed());
        if (position == 0) {
            context.err << "vorn-cli: no disc " << flags.disc << " in " << catalogue.dataFolder << '\n';
            return std::nullopt;
        }
        scope.limit = DiscScope::Limit::ByDisc;
        scope.chosenDiscKey = QStringLiteral("__") + catalogue.disc(position).identifier;
    } else if (!flags.keywords.isEmpty()) {
        scope.limit = DiscScope::Limit::ByKeywords;
        for (const QString &name : flags.keywords) {
            int number = 0;
            for (size_t k = 1; k < catalogue.keywords.size() && number == 0; ++k) {
                if (catalogue.keywords[k].name.compare(name, Qt::CaseInsensitive) == 0)
                    number = catalogue.keywords[k].number;
            }
            if (number == 0) {
                context.err << "vorn-cli: no keyword " << name << " in " << catalogue.dataFolder << '\n';
                return std::nullopt;
            }
            scope.keywordNumbers.push_back(number);
        }
    }
    return scope;
}

int usage(Context &context, const QString &message)
{
    context.err << "vorn-cli: " << message << '\n';
    return WrongUsage;
}

// Reads a scope flag at arguments[i]; true when it was one.
bool takeScopeFlag(const QStringList &arguments, qsizetype &i, ScopeFlags &flags, bool &missing)
{
    const QString &arg = arguments[i];
    if (arg != QLatin1String("--disc") && arg != QLatin1String("--keyword"))
        return false;
    if (i + 1 >= arguments.size()) {
        missing = true;
        return true;
    }
    const QString value = arguments[++i];
    if (arg == QLatin1String("--disc"))
        flags.disc = value;
    else
        flags.keywords << value;
    return true;
}

} // namespace

int searchCommand(Context &context, const QStringList &arguments)
{
    SearchCriteria criteria;
    criteria.files = false;
    criteria.folders = false;
    std::optional<QString> expression;
    SearchPosition position = SearchPosition::Contains;
    ScopeFlags scopeFlags;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        bool missing = false;
        if (takeScopeFlag(arguments, i, scopeFlags, missing)) {
            if (missing)
                return usage(context, arg + QStringLiteral(" needs a value"));
            continue;
        }
        if (arg == QLatin1String("--files")) {
            criteria.files = true;
        } else if (arg == QLatin1String("--folders")) {
            criteria.folders = true;
        } else if (arg == QLatin1String("--members")) {
            criteria.members = true;
        } else if (arg == QLatin1String("--latest")) {
            criteria.latestOnly = true;
        } else if (arg.startsWith(QLatin1String("--"))) {
            static const QStringList valued = {"--field", "--pos", "--min-kb", "--max-kb",
                                               "--after", "--before", "--part"};
            if (!valued.contains(arg))
                return usage(context, QStringLiteral("unknown search option ") + arg);
            if (i + 1 >= arguments.size())
                return usage(context, arg + QStringLiteral(" needs a value"));
            const QString value = arguments[++i];
            if (arg == QLatin1String("--field")) {
                static const QStringList fields = {"names", "desc", "both", "text", "mp3"};
                const qsizetype index = fields.indexOf(value);
                if (index < 0)
                    return usage(context, QStringLiteral("--field takes names, desc, both, text or mp3"));
                criteria.field = SearchField(int(index));
            } else if (arg == QLatin1String("--pos")) {
                static const QStringList positions = {"contains", "starts", "ends", "equals"};
                const qsizetype index = positions.indexOf(value);
                if (index < 0)
                    return usage(context, QStringLiteral("--pos takes contains, starts, ends or equals"));
                position = SearchPosition(int(index));
            } else if (arg == QLatin1String("--part")) {
                static const QStringList parts = {"user", "auto", "path"};
                const qsizetype index = parts.indexOf(value);
                if (index < 0)
                    return usage(context, QStringLiteral("--part takes user, auto or path"));
                criteria.descriptionPart = DescriptionPart(int(index));
            } else if (arg == QLatin1String("--min-kb")) {
                criteria.minimumSize = SearchCriteria::sizeBoundFromText(value);
            } else if (arg == QLatin1String("--max-kb")) {
                criteria.maximumSize = SearchCriteria::sizeBoundFromText(value);
            } else {
                const std::optional<double> day = parseDateArgument(value);
                if (!day)
                    return usage(context, QStringLiteral("cannot read the date \"%1\" of %2 "
                                                         "(use dd/mm/yyyy [hh:mm:ss] or yyyy-mm-dd [hh:mm:ss])")
                                              .arg(value, arg));
                (arg == QLatin1String("--after") ? criteria.after : criteria.before) = *day;
            }
        } else if (!expression) {
            expression = arg;
        } else {
            return usage(context, QStringLiteral("search takes one expression"));
        }
    }
    if (!expression)
        return usage(context, QStringLiteral("usage: search EXPR [flags]"));
    if (!scopeFlags.disc.isEmpty() && !scopeFlags.keywords.isEmpty())
        return usage(context, QStringLiteral("--disc and --keyword cannot be used together"));
    if (!criteria.files && !criteria.folders)
        criteria.files = criteria.folders = true;
    criteria.pattern = SearchCriteria::patternFor(*expression, position);

    CliSession session(context);
    if (!session.open())
        return Failed;
    const std::optional<DiscScope> scope = scopeFor(context, session.catalogue, scopeFlags, false);
    if (!scope)
        return Failed;
    SearchObserver observer(context.err);
    SearchResultList results;
    const SearchOutcome outcome = runSearch(session.catalogue, criteria,
                                            buildDiscSelection(session.catalogue, *scope),
                                            observer, results);
    if (outcome.status != SearchOutcome::Status::Completed)
        return Failed;
    for (const QString &identifier : outcome.unreadable)
        context.err << "vorn-cli: " << session.catalogue.archivePath(identifier)
                    << ": cannot be read; disc left out of the search\n";
    for (const SearchRow &row : results.rows) {
        context.out << row.name << '\t' << row.discName << '\t' << row.location << '\t'
                    << (row.folder ? QString() : row.extension) << '\t' << row.description << '\t'
                    << (row.folder ? QString() : row.sizeText.trimmed()) << '\t' << row.dateKey
                    << '\n';
    }
    context.err << outcome.summary << '\n';
    return Done;
}

int bookmarksCommand(Context &context, const QStringList &arguments)
{
    ScopeFlags scopeFlags;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        bool missing = false;
        if (!takeScopeFlag(arguments, i, scopeFlags, missing))
            return usage(context, QStringLiteral("usage: bookmarks [--disc ID] [--keyword NAME]..."));
        if (missing)
            return usage(context, arguments[i] + QStringLiteral(" needs a value"));
    }
    if (!scopeFlags.disc.isEmpty() && !scopeFlags.keywords.isEmpty())
        return usage(context, QStringLiteral("--disc and --keyword cannot be used together"));
    CliSession session(context);
    if (!session.open())
        return Failed;
    const std::optional<DiscScope> scope = scopeFor(context, session.catalogue, scopeFlags, true);
    if (!scope)
        return Failed;
    for (const BookmarkRow &row : listBookmarks(session.catalogue,
                                                buildDiscSelection(session.catalogue, *scope))) {
        context.out << row.name << '\t' << row.discName << '\t' << row.path << '\t'
                    << row.extension << '\t' << row.description << '\n';
    }
    return Done;
}

} // namespace vorn::cli
