#include "cli/CliApp.h"

#include "cli/CatalogCommand.h"
#include "cli/CommandHelp.h"
#include "cli/EditCommands.h"
#include "cli/ExportCommands.h"
#include "cli/HtmlExportCommand.h"
#include "cli/IndexCommand.h"
#include "cli/ListCommands.h"
#include "cli/SearchCommands.h"

#include "settings/AppFolders.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"

namespace vorn::cli {

const std::vector<Command> &commands()
{
    static const std::vector<Command> table = {
        {"catalog",
         "catalog ROOT|--drive X --name NAME [--id N] [--label L] [--options N] [--max-kb K] "
         "[--keywords \"a;b\"] [--exclude]",
         "catalogue a folder, an ISO image or a drive", help::catalog, catalogCommand},
        {"list", "list", "one line per disc: identifier, name, burn date, keywords", help::list, listCommand},
        {"show", "show ID", "a disc's record, statistics and whole tree", help::show, showCommand},
        {"search",
         "search [EXPR] [--files] [--folders] [--field F] [--pos P] [--part P] [--min-kb N] "
         "[--max-kb N] [--after D] [--before D] [--members] [--latest] [--disc ID] [--keyword NAME]... "
         "[--no-index]",
         "find files and folders", help::search, searchCommand},
        {"index", "index [--rebuild]", "build or refresh the search index; print its size and time", help::index,
         indexCommand},
        {"bookmarks", "bookmarks [--disc ID] [--keyword NAME]...", "list bookmarks", help::bookmarks, bookmarksCommand},
        {"report", "report N", "catalogue report 3 to 7", help::report, reportCommand},
        {"export-html",
         "export-html FILE [--discs ID,...|--keyword NAME...] [--desc] [--keywords] [--contents] "
         "[--borders] [--cols N] [--no-icons]",
         "HTML export of discs", help::exportHtml, exportHtmlCommand},
        {"export-list", "export-list FILE --source discs|results|bookmarks [--html] [search flags]",
         "text or HTML export of the disc list, search results or bookmarks", help::exportList, exportListCommand},
        {"export-discs", "export-discs FOLDER (--discs ID,...|--all) [--move] [--yes]",
         "copy or move disc archives to another folder", help::exportDiscs, exportDiscsCommand},
        {"rename", "rename ID NAME", "give a disc another name", help::rename, renameCommand},
        {"delete", "delete ID [--yes]", "delete a disc's archive (only with --yes)", help::deleteDisc, deleteCommand},
        {"describe", "describe ID [TEXT|-]", "show or set a disc's description", help::describe, describeCommand},
        {"keywords", "keywords ID [--add NAME]... [--remove NAME]...", "show or change a disc's keywords",
         help::keywords, keywordsCommand},
        {"bookmark", "bookmark ID PATH [--description TEXT] [--remove]", "bookmark a file or folder", help::bookmark,
         bookmarkCommand},
    };
    return table;
}

namespace {

const Command *findCommand(const QString &name)
{
    for (const Command &command : commands()) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

void printHelp(QTextStream &out)
{
    out << "Usage: vorn-cli [--data DIR] [--lang fr|en] COMMAND [ARGUMENTS]\n\n"
           "Global options:\n"
           "  --data DIR     data folder to work on (default: "
        << defaultDataFolder()
        << ")\n"
           "  --lang fr|en   language of the system's texts (default: the stored language, else fr)\n"
           "  --help         show this help\n"
           "  --version      show the version\n\n"
           "Commands (vorn-cli help COMMAND, or COMMAND --help, tells more):\n";
    for (const Command &command : commands())
        out << "  " << QString::fromUtf8(command.name).leftJustified(14) << ' ' << command.summary << '\n';
    out.flush();
}

void printCommandHelp(QTextStream &out, const Command &command)
{
    out << "Usage: vorn-cli [--data DIR] [--lang fr|en] " << command.usage << "\n\n" << command.help;
    out.flush();
}

bool asksForHelp(const QStringList &arguments)
{
    return arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h"));
}

qint16 storedLanguageOffset()
{
    return Settings::read(QStringLiteral("Opt"), QStringLiteral("Langage")) == QLatin1String("1000") ? 1000 : 0;
}

} // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err, bool errIsTerminal)
{
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    QString dataFolder;
    qint16 language = storedLanguageOffset();
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (!rest.isEmpty()) {
            rest << arg;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            printHelp(out);
            return Done;
        } else if (arg == QLatin1String("--version")) {
            out << "vorn-cli " << VORN_VERSION_STRING << '\n';
            return Done;
        } else if (arg == QLatin1String("--data") || arg == QLatin1String("--lang")) {
            if (i + 1 >= arguments.size()) {
                err << "vorn-cli: " << arg << " needs a value\n";
                return WrongUsage;
            }
            const QString value = arguments[++i];
            if (arg == QLatin1String("--data")) {
                dataFolder = value;
            } else if (value == QLatin1String("fr") || value == QLatin1String("en")) {
                language = value == QLatin1String("en") ? 1000 : 0;
            } else {
                err << "vorn-cli: --lang takes fr or en\n";
                return WrongUsage;
            }
        } else if (arg.startsWith(QLatin1String("--"))) {
            err << "vorn-cli: unknown option " << arg << "\n";
            return WrongUsage;
        } else {
            rest << arg;
        }
    }
    if (rest.isEmpty()) {
        printHelp(err);
        return WrongUsage;
    }
    if (rest.first() == QLatin1String("help")) {
        if (rest.size() == 1) {
            printHelp(out);
            return Done;
        }
        if (const Command *command = findCommand(rest[1]); command && rest.size() == 2) {
            printCommandHelp(out, *command);
            return Done;
        }
        err << "vorn-cli: help takes one command name (see vorn-cli --help)\n";
        return WrongUsage;
    }
    const Command *command = findCommand(rest.first());
    if (!command) {
        err << "vorn-cli: unknown command " << rest.first() << " (see vorn-cli --help)\n";
        return WrongUsage;
    }
    if (asksForHelp(rest.mid(1))) {
        printCommandHelp(out, *command);
        return Done;
    }
    setLanguageOffset(language);
    Context context{dataFolder.isEmpty() ? defaultDataFolder() : dataFolder, out, err, errIsTerminal,
                    !dataFolder.isEmpty()};
    const int code = command->run(context, rest.mid(1));
    out.flush();
    err.flush();
    return code;
}

} // namespace vorn::cli
