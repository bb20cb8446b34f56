#include "cli/EditCommands.h"

#include "cli/CliSession.h"
#include "edit/DiscEdits.h"
#include "edit/DiscNames.h"
#include "edit/EditResult.h"
#include "edit/KeywordSync.h"
#include "edit/TreeEdits.h"
#include "settings/StringTable.h"
#include "store/FileListLoader.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"

#include <QFile>

#include <cstdio>

namespace vorn::cli {

namespace {

int wrongUsage(Context &context, const char *usage, const QString &why = {})
{
    if (!why.isEmpty())
        context.err << "vorn-cli: " << why << '\n';
    context.err << "usage: " << usage << '\n';
    return WrongUsage;
}

// The open data folder and the position of the disc the first argument names.
struct DiscSession
{
    explicit DiscSession(Context &context) : session(context) {}
    CliSession session;
    int position = 0;
};

// Opens the data folder and finds the disc; on failure prints why and sets `code`.
bool openDisc(DiscSession &disc, const QString &idText, const char *usage, int &code)
{
    Context &context = disc.session.context;
    const QString identifier = validDiscIdentifier(idText);
    if (identifier.isEmpty()) {
        code = wrongUsage(context, usage, LoadText(707) + QStringLiteral(" (") + idText + u')');
        return false;
    }
    if (!disc.session.open()) {
        code = Failed;
        return false;
    }
    disc.position = findDisc(disc.session.catalogue, identifier);
    if (disc.position == 0) {
        code = wrongUsage(context, usage, LoadText(708) + QStringLiteral(" (") + identifier + u')');
        return false;
    }
    return true;
}

QString readStandardInput()
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(in.readAll());
}

} // namespace

int reportEditFailure(Context &context, const EditResult &result, int refusedCode)
{
    const QString message = result.message > 0 ? LoadText(result.message) : QString();
    QString detail = QString(result.detail).replace(u'\r', QString()).replace(u'\n', u' ');
    if (!message.isEmpty() && !detail.isEmpty())
        detail = QStringLiteral(" (") + detail + u')';
    context.err << "vorn-cli: " << message << detail << '\n';
    return result.outcome == EditResult::Outcome::Refused ? refusedCode : int(Failed);
}

int renameCommand(Context &context, const QStringList &arguments)
{
    const char *usage = "rename ID NAME";
    if (arguments.size() != 2)
        return wrongUsage(context, usage);
    if (DiscName::normalised(arguments[1]).isEmpty())
        return wrongUsage(context, usage, LoadText(406));
    DiscSession disc(context);
    int code = Done;
    if (!openDisc(disc, arguments[0], usage, code))
        return code;
    const EditResult result = edit::renameDisc(disc.session.catalogue, disc.position, arguments[1], 344);
    return result.ok() ? int(Done) : reportEditFailure(context, result, WrongUsage);
}

int deleteCommand(Context &context, const QStringList &arguments)
{
    const char *usage = "delete ID [--yes]";
    const bool yes = arguments.contains(QStringLiteral("--yes"));
    if (arguments.size() != (yes ? 2 : 1) || arguments[0] == QLatin1String("--yes"))
        return wrongUsage(context, usage);
    DiscSession disc(context);
    int code = Done;
    if (!openDisc(disc, arguments[0], usage, code))
        return code;
    Catalogue &catalogue = disc.session.catalogue;
    if (!yes) {
        context.err << "vorn-cli: nothing deleted; --yes deletes disc " << catalogue.disc(disc.position).identifier
                    << " (" << catalogue.disc(disc.position).name << ")\n";
        return Failed;
    }
    const EditResult result = edit::deleteDisc(catalogue, disc.position);
    return result.ok() ? int(Done) : reportEditFailure(context, result, WrongUsage);
}

int describeCommand(Context &context, const QStringList &arguments)
{
    const char *usage = "describe ID [TEXT | -]";
    if (arguments.isEmpty() || arguments.size() > 2)
        return wrongUsage(context, usage);
    DiscSession disc(context);
    int code = Done;
    if (!openDisc(disc, arguments[0], usage, code))
        return code;
    Catalogue &catalogue = disc.session.catalogue;
    if (arguments.size() == 1) {
        const QString &description = catalogue.disc(disc.position).description;
        context.out << QString(description).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) << '\n';
        return Done;
    }
    edit::DiscInfoChanges changes;
    changes.description = arguments[1] == QLatin1String("-") ? readStandardInput() : arguments[1];
    while (changes.description->endsWith(u'\n') || changes.description->endsWith(u'\r'))
        changes.description->chop(1);
    const EditResult result = edit::changeDiscInfo(catalogue, disc.position, changes);
    return result.ok() ? int(Done) : reportEditFailure(context, result, WrongUsage);
}

int keywordsCommand(Context &context, const QStringList &arguments)
{
    const char *usage = "keywords ID [--add NAME]... [--remove NAME]...";
    if (arguments.isEmpty())
        return wrongUsage(context, usage);
    edit::DiscInfoChanges changes;
    for (qsizetype i = 1; i < arguments.size(); i += 2) {
        const bool add = arguments[i] == QLatin1String("--add");
        if ((!add && arguments[i] != QLatin1String("--remove")) || i + 1 >= arguments.size())
            return wrongUsage(context, usage);
        const QString name = arguments[i + 1].trimmed();
        if (name.isEmpty() || name.contains(u';')
            || std::any_of(name.begin(), name.end(), DiscName::isControlCharacter))
            return wrongUsage(context, usage, LoadText(521) + QStringLiteral(" (") + arguments[i + 1] + u')');
        (add ? changes.addKeywords : changes.removeKeywords) << name;
    }
    DiscSession disc(context);
    int code = Done;
    if (!openDisc(disc, arguments[0], usage, code))
        return code;
    Catalogue &catalogue = disc.session.catalogue;
    const QString identifier = catalogue.disc(disc.position).identifier;
    const std::optional<RecordReading> record = readRecord(catalogue, identifier);
    const QStringList carried = record ? keywordNamesOf(record->keywordNames) : QStringList();
    for (const QString &name : changes.removeKeywords) {
        if (!carried.contains(name, Qt::CaseInsensitive))
            return wrongUsage(context, usage, LoadText(711) + QStringLiteral(" (") + name + u')');
    }
    if (!changes.addKeywords.isEmpty() || !changes.removeKeywords.isEmpty()) {
        const EditResult result = edit::changeDiscInfo(catalogue, disc.position, changes);
        if (!result.ok())
            return reportEditFailure(context, result, WrongUsage);
    }
    const std::optional<RecordReading> now = readRecord(catalogue, identifier);
    context.out << (now ? keywordNamesOf(now->keywordNames).join(u';') : QString()) << '\n';
    return Done;
}

int bookmarkCommand(Context &context, const QStringList &arguments)
{
    const char *usage = "bookmark ID PATH [--description TEXT] [--remove]";
    if (arguments.size() < 2)
        return wrongUsage(context, usage);
    std::optional<QString> description;
    bool remove = false;
    for (qsizetype i = 2; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--remove") && !remove)
            remove = true;
        else if (arguments[i] == QLatin1String("--description") && !description && i + 1 < arguments.size())
            description = arguments[++i];
        else
            return wrongUsage(context, usage);
    }
    if (remove && description)
        return wrongUsage(context, usage, QStringLiteral("--remove takes no --description"));
    DiscSession disc(context);
    int code = Done;
    if (!openDisc(disc, arguments[0], usage, code))
        return code;
    Catalogue &catalogue = disc.session.catalogue;
    DiscTree tree;
    if (!loadDiscTree(catalogue, disc.position, tree)) {
        context.err << "vorn-cli: " << LoadText(376) << '\n';
        return Failed;
    }
    const std::optional<BookmarkRecord> item = edit::bookmarkAt(tree, QString(arguments[1]).replace(u'/', u'\\'));
    if (!item)
        return wrongUsage(context, usage, LoadText(710) + QStringLiteral(" (") + arguments[1] + u')');
    const edit::BookmarkChange change = remove ? edit::BookmarkChange::Remove
        : description                          ? edit::BookmarkChange::Set
                                               : edit::BookmarkChange::Add;
    const EditResult result =
        edit::changeBookmark(catalogue, disc.position, *item, change, description.value_or(QString()));
    return result.ok() ? int(Done) : reportEditFailure(context, result, WrongUsage);
}

} // namespace vorn::cli
