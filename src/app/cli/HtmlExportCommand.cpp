#include "cli/HtmlExportCommand.h"

#include "cli/CliSession.h"
#include "cli/NumberArguments.h"
#include "export/HtmlExport.h"
#include "store/RecordText.h"

#include <optional>

namespace vorn::cli {

namespace {

struct HtmlExportArguments
{
    QString file;
    QStringList discs;
    QStringList keywords;
    HtmlExportOptions options;
};

std::optional<HtmlExportArguments> parseArguments(const QStringList &arguments, QString &error)
{
    HtmlExportArguments parsed;
    parsed.options = htmlExportOptionsFromSettings();
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        const bool takesValue =
            arg == QLatin1String("--discs") || arg == QLatin1String("--keyword") || arg == QLatin1String("--cols");
        if (takesValue && i + 1 >= arguments.size()) {
            error = arg + QStringLiteral(" needs a value");
            return std::nullopt;
        }
        if (arg == QLatin1String("--discs")) {
            for (const QString &id : arguments[++i].split(u',', Qt::SkipEmptyParts))
                parsed.discs << id.trimmed();
        } else if (arg == QLatin1String("--keyword")) {
            parsed.keywords << arguments[++i];
        } else if (arg == QLatin1String("--cols")) {
            const auto columns = wholeNumberArgument(arg, arguments[++i], 1, 1000, error);
            if (!columns)
                return std::nullopt;
            parsed.options.columns = int(*columns);
        } else if (arg == QLatin1String("--desc")) {
            parsed.options.descriptions = true;
        } else if (arg == QLatin1String("--keywords")) {
            parsed.options.keywords = true;
        } else if (arg == QLatin1String("--contents")) {
            parsed.options.contents = true;
        } else if (arg == QLatin1String("--borders")) {
            parsed.options.borders = true;
        } else if (arg == QLatin1String("--no-icons")) {
            parsed.options.icons = false;
        } else if (arg.startsWith(QLatin1String("--")) || !parsed.file.isEmpty()) {
            error = QStringLiteral("unexpected argument ") + arg;
            return std::nullopt;
        } else {
            parsed.file = arg;
        }
    }
    if (parsed.file.isEmpty()) {
        error = QStringLiteral("give the index file");
        return std::nullopt;
    }
    if (!parsed.discs.isEmpty() && !parsed.keywords.isEmpty()) {
        error = QStringLiteral("give either --discs or --keyword");
        return std::nullopt;
    }
    return parsed;
}

} // namespace

int exportHtmlCommand(Context &context, const QStringList &arguments)
{
    QString usageError;
    const std::optional<HtmlExportArguments> args = parseArguments(arguments, usageError);
    if (!args) {
        context.err << "vorn-cli: export-html: " << usageError
                    << "\nusage: export-html FILE [--discs ID,...|--keyword NAME...] [--desc]"
                       " [--keywords] [--contents] [--borders] [--cols N] [--no-icons]\n";
        return WrongUsage;
    }
    CliSession session(context);
    if (!session.open())
        return Failed;
    const Catalogue &catalogue = session.catalogue;

    std::vector<int> positions;
    if (!args->discs.isEmpty()) {
        for (const QString &id : args->discs) {
            const int position = findDisc(catalogue, id);
            if (position == 0) {
                context.err << "vorn-cli: no disc " << id << " in " << catalogue.dataFolder << '\n';
                return Failed;
            }
            positions.push_back(position);
        }
    } else if (!args->keywords.isEmpty()) {
        std::vector<qint16> numbers;
        for (const QString &name : args->keywords) {
            const auto found =
                std::find_if(catalogue.keywords.begin() + 1, catalogue.keywords.end(),
                             [&](const KeywordEntry &k) { return k.name.compare(name, Qt::CaseInsensitive) == 0; });
            if (found == catalogue.keywords.end()) {
                context.err << "vorn-cli: no keyword " << name << '\n';
                return Failed;
            }
            numbers.push_back(found->number);
        }
        positions = discsWithKeywords(catalogue, numbers);
    } else {
        for (int i = 1; i <= catalogue.discCount(); ++i)
            positions.push_back(i);
    }

    const HtmlExportResult result = exportHtml(catalogue, args->file, positions, args->options, session.observer);
    if (!result.written)
        return Failed;
    context.out << result.indexPath << '\n';
    return Done;
}

} // namespace vorn::cli
