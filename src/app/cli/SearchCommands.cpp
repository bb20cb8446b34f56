#include "cli/SearchCommands.h"

#include "cli/CliSession.h"
#include "cli/SearchFlags.h"
#include "common/TabSeparated.h"
#include "index/IndexObserver.h"
#include "index/SearchIndex.h"
#include "search/BookmarkList.h"
#include "search/SearchCriteria.h"
#include "search/SearchRun.h"
#include "settings/StringTable.h"

#include <QIODevice>

#include <optional>

namespace vorn::cli {

namespace {

// Rows in UTF-8, gathered and written in large pieces: straight to the stream's
// device when it has one (standard output), else through the stream.
class RowWriter
{
public:
    explicit RowWriter(QTextStream &out) : m_out(out) {}
    ~RowWriter() { flush(); }
    void add(std::initializer_list<QStringView> fields)
    {
        appendTabRowUtf8(m_bytes, fields);
        if (m_bytes.size() >= (1 << 16))
            flush();
    }
    void flush()
    {
        if (m_bytes.isEmpty())
            return;
        if (QIODevice *device = m_out.device()) {
            m_out.flush();
            device->write(m_bytes);
        } else {
            m_out << QString::fromUtf8(m_bytes);
        }
        m_bytes.clear();
    }

private:
    QTextStream &m_out;
    QByteArray m_bytes;
};

// The rows of a search, printed as they come while the search goes on; when the
// duplicates rule may take a row out again, kept and printed once the run has ended.
class PrintedRows : public SearchRowSink
{
public:
    PrintedRows(QTextStream &out, bool kept) : m_writer(out), m_kept(kept) {}
    void rowAdded(SearchRow &&row) override
    {
        if (m_kept)
            m_list.rowAdded(std::move(row));
        else
            print(row);
    }
    void rowRemoved(quint64 id) override { m_list.rowRemoved(id); }
    void runEnded() override
    {
        m_list.runEnded();
        for (const SearchRow &row : m_list.rows)
            print(row);
        m_list.rows.clear();
        m_writer.flush();
    }

private:
    void print(const SearchRow &row)
    {
        m_writer.add({row.name, row.discName, row.location, row.folder ? QStringView() : row.extension, row.description,
                      row.folder ? QString() : searchRowSizeText(row).trimmed(), searchDateKey(row.date)});
    }

    RowWriter m_writer;
    const bool m_kept;
    SearchResultList m_list;
};

int usage(Context &context, const QString &message)
{
    context.err << "vorn-cli: " << message << '\n';
    return WrongUsage;
}

} // namespace

int searchCommand(Context &context, const QStringList &arguments)
{
    SearchFlags flags;
    flags.criteria.files = false;
    flags.criteria.folders = false;
    std::optional<QString> expression;
    QString error;
    bool useIndex = true;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (arg == QLatin1String("--no-index")) {
            useIndex = false;
            continue;
        }
        switch (flags.take(arguments, i, error)) {
        case SearchFlags::Taken::Taken:
            continue;
        case SearchFlags::Taken::Error:
            return usage(context, error);
        case SearchFlags::Taken::NotMine:
            break;
        }
        if (arg.startsWith(QLatin1String("--")))
            return usage(context, QStringLiteral("unknown search option ") + arg);
        if (expression)
            return usage(context, QStringLiteral("search takes one expression"));
        expression = arg;
    }
    if (!flags.finish(expression, error))
        return usage(context, error);
    if (!flags.criteria.hasCriteria())
        return usage(context, LoadText(315));
    const SearchCriteria &criteria = flags.criteria;

    CliSession session(context);
    if (!session.open())
        return Failed;
    const auto selection = discSelection(context, session.catalogue, flags, false);
    if (!selection)
        return Failed;
    // The index is brought up to date disc by disc first; when another copy holds its
    // lock or the cache cannot be written, the discs it lacks are read from their archives.
    std::optional<SearchIndex> index;
    // Captured texts and MP3 tags are always read from the archives.
    if (useIndex && criteria.field != SearchField::CapturedText && criteria.field != SearchField::Mp3Tags) {
        index.emplace(session.catalogue.dataFolder);
        IndexObserver quiet;
        index->refresh(discIdentifiers(session.catalogue), quiet);
    }
    SearchOptions options;
    options.index = index ? &*index : nullptr;
    CliSearchObserver observer(context.err);
    PrintedRows rows(context.out, criteria.latestOnly);
    const SearchOutcome outcome = runSearch(session.catalogue, criteria, *selection, observer, rows, options);
    if (outcome.status != SearchOutcome::Status::Completed)
        return Failed;
    for (const QString &identifier : outcome.unreadable)
        context.err << "vorn-cli: " << session.catalogue.archivePath(identifier)
                    << ": cannot be read; disc left out of the search\n";
    context.err << outcome.summary << '\n';
    return Done;
}

int bookmarksCommand(Context &context, const QStringList &arguments)
{
    SearchFlags flags;
    QString error;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const bool scope = arguments[i] == QLatin1String("--disc") || arguments[i] == QLatin1String("--keyword");
        if (!scope)
            return usage(context, QStringLiteral("usage: bookmarks [--disc ID] [--keyword NAME]..."));
        if (flags.take(arguments, i, error) == SearchFlags::Taken::Error)
            return usage(context, error);
    }
    if (!flags.finish(std::nullopt, error))
        return usage(context, error);
    CliSession session(context);
    if (!session.open())
        return Failed;
    const auto selection = discSelection(context, session.catalogue, flags, true);
    if (!selection)
        return Failed;
    RowWriter writer(context.out);
    for (const BookmarkRow &row : listBookmarks(session.catalogue, *selection))
        writer.add({row.name, row.discName, row.path, row.extension, row.description});
    return Done;
}

} // namespace vorn::cli
