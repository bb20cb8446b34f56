#include "cli/CliApp.h"

#include "cli/CatalogCommand.h"
#include "cli/EditCommands.h"
#include "cli/ExportCommands.h"
#include "cli/HtmlExportCommand.h"
#include "cli/ListCommands.h"
#include "cli/SearchCommands.h"

#include "settings/AppFolders.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"

#include <functional>
#include <vector>

namespace vorn::cli {

namespace {

struct Command
{
    const char *name;
    const char *usage;
    const char *summary;
    std::function<int(Context &, const QStringList &)> run;
};

const std::vector<Command> &commands()
{
    static const std::vector<Command> table = {
        {"catalog", "catalog ROOT|--drive X --name NAME",
         "catalogue a folder or a drive (flags: --id --label --options --max-kb --keywords --exclude)",
         catalogCommand},
        {"list", "list", "one line per disc: identifier, name, burn date, keywords", listCommand},
        {"show", "show ID", "a disc's record, statistics and whole tree", showCommand},
        {"search", "search EXPR [flags]",
         "find files and folders (--files --folders --field --pos --min-kb --max-kb --after"
         " --before --members --latest --part --disc --keyword)",
         searchCommand},
        {"bookmarks", "bookmarks", "list bookmarks (--disc ID --keyword NAME)", bookmarksCommand},
        {"report", "report N", "catalogue report 3 to 7", reportCommand},
        {"export-html", "export-html FILE",
         "HTML export of discs (--discs --keyword --desc --keywords --contents --borders --cols"
         " --no-icons)",
         exportHtmlCommand},
        {"export-list", "export-list FILE --source S",
         "text or HTML export of the disc list, search results or bookmarks (--html)",
         exportListCommand},
        {"export-discs", "export-discs FOLDER",
         "copy or move disc archives (--discs ID,... | --all, --move, --yes)", exportDiscsCommand},
        {"rename", "rename ID NAME", "give a disc another name", renameCommand},
        {"delete", "delete ID [--yes]", "delete a disc's archive (only with --yes)", deleteCommand},
        {"describe", "describe ID [TEXT|-]", "show or set a disc's description (- reads stdin)", describeCommand},
        {"keywords", "keywords ID", "show or change a disc's keywords (--add NAME --remove NAME)", keywordsCommand},
        {"bookmark", "bookmark ID PATH", "bookmark a file or folder\\ (--description T, --remove)", bookmarkCommand},
    };
    return table;
}

void printHelp(QTextStream &out)
{
    out << "Usage: vorn-cli [--data DIR] [--lang fr|en] COMMAND [ARGUMENTS]\n\n"
           "Global options:\n"
           "  --data DIR     data folder to work on (default: "
        << defaultDataFolder()
        << ")\n"
           "  --lang fr|en   language of messages and texts (default: the stored language, else fr)\n"
           "  --help         show this help\n\n"
           "Commands:\n";
    for (const Command &command : commands())
        out << "  " << QString::fromUtf8(command.usage).leftJustified(30) << ' '
            << command.summary << '\n';
    out.flush();
}

qint16 storedLanguageOffset()
{
    return Settings::read(QStringLiteral("Opt"), QStringLiteral("Langage")) == QLatin1String("1000")
        ? 1000 : 0;
}

} // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
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
    setLanguageOffset(language);
    if (dataFolder.isEmpty())
        dataFolder = defaultDataFolder();
    Context context{dataFolder, out, err};
    for (const Command &command : commands()) {
        if (rest.first() == QLatin1String(command.name)) {
            const int code = command.run(context, rest.mid(1));
            out.flush();
            err.flush();
            return code;
        }
    }
    err << "vorn-cli: unknown command " << rest.first() << " (see vorn-cli --help)\n";
    return WrongUsage;
}

} // namespace vorn::cli
