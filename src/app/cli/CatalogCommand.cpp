#include "cli/CatalogCommand.h"

#include "capture/Autorun.h"
#include "capture/FilterTable.h"
#include "cli/CliSession.h"
#include "cli/NumberArguments.h"
#include "common/Numbers.h"
#include "scan/CataloguingRun.h"
#include "scan/DescriptionsUpdate.h"
#include "scan/DriveLayer.h"
#include "scan/FolderVolume.h"
#include "scan/Volume.h"
#include "settings/OptionsWord.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"
#include "store/DiscSort.h"
#include "store/KeywordList.h"
#include "store/RecordText.h"

#include <QDir>
#include <QFileInfo>

#include <limits>

namespace vorn::cli {

namespace {

constexpr qint64 kMaxTextKilobytes = 1024;

struct CatalogArguments
{
    QString root;
    QChar drive;
    QString name;
    std::optional<qint32> identifier;
    QString label;
    std::optional<qint32> options;
    std::optional<qint64> maxKb;
    std::optional<QString> keywords;
    bool exclude = false;
};

// Parses the command's flags; an empty optional with a message means wrong usage.
std::optional<CatalogArguments> parseArguments(const QStringList &arguments, QString &error)
{
    CatalogArguments parsed;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= arguments.size()) {
                error = arg + QStringLiteral(" needs a value");
                return std::nullopt;
            }
            return arguments[++i];
        };
        if (arg == QLatin1String("--exclude")) {
            parsed.exclude = true;
        } else if (arg == QLatin1String("--drive") || arg == QLatin1String("--name")
                   || arg == QLatin1String("--id") || arg == QLatin1String("--label")
                   || arg == QLatin1String("--options") || arg == QLatin1String("--max-kb")
                   || arg == QLatin1String("--keywords")) {
            const std::optional<QString> v = value();
            if (!v)
                return std::nullopt;
            bool ok = true;
            if (arg == QLatin1String("--drive")) {
                ok = v->size() == 1 && v->at(0).isLetter();
                parsed.drive = v->isEmpty() ? QChar() : v->at(0).toUpper();
            } else if (arg == QLatin1String("--name")) {
                parsed.name = v->trimmed();
            } else if (arg == QLatin1String("--id")) {
                const auto number = wholeNumberArgument(arg, *v, std::numeric_limits<qint32>::min(),
                                                        std::numeric_limits<qint32>::max(), error);
                if (!number)
                    return std::nullopt;
                parsed.identifier = qint32(*number);
            } else if (arg == QLatin1String("--label")) {
                parsed.label = *v;
            } else if (arg == QLatin1String("--options")) {
                const auto number = wholeNumberArgument(arg, *v, 0, std::numeric_limits<qint32>::max(), error);
                if (!number)
                    return std::nullopt;
                parsed.options = qint32(*number);
            } else if (arg == QLatin1String("--max-kb")) {
                parsed.maxKb = wholeNumberArgument(arg, *v, 0, kMaxTextKilobytes, error);
                if (!parsed.maxKb)
                    return std::nullopt;
            } else {
                parsed.keywords = *v;
            }
            if (!ok) {
                error = QStringLiteral("bad value for ") + arg + QStringLiteral(": ") + *v;
                return std::nullopt;
            }
        } else if (arg.startsWith(QLatin1String("--")) || !parsed.root.isEmpty()) {
            error = QStringLiteral("unexpected argument ") + arg;
            return std::nullopt;
        } else {
            parsed.root = arg;
        }
    }
    if (parsed.root.isEmpty() == parsed.drive.isNull()) {
        error = QStringLiteral("give either a folder or --drive X");
        return std::nullopt;
    }
    return parsed;
}

// Keyword codes for ";"-separated names, adding new names to the keyword list.
QString keywordCodes(Catalogue &catalogue, const QString &names, bool *added)
{
    const qsizetype before = qsizetype(catalogue.keywords.size());
    QString list = names;
    if (!list.isEmpty() && !list.endsWith(u';'))
        list += u';';
    const QString codes = keywordCodesFromNames(catalogue, list);
    *added = qsizetype(catalogue.keywords.size()) != before;
    return codes;
}

bool nameTaken(const Catalogue &catalogue, const QString &name, int except)
{
    for (int i = 1; i <= catalogue.discCount(); ++i) {
        if (i != except
            && withoutDisplaySuffix(catalogue.disc(i).name).compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

int catalogCommand(Context &context, const QStringList &arguments)
{
    QString usageError;
    const std::optional<CatalogArguments> args = parseArguments(arguments, usageError);
    if (!args) {
        context.err << "vorn-cli: catalog: " << usageError
                    << "\nusage: catalog ROOT|--drive X --name NAME [--id N] [--label L] [--options N]"
                       " [--max-kb K] [--keywords \"a;b\"] [--exclude]\n";
        return WrongUsage;
    }

    // The options word and the text size limit (a stored limit that is not a number counts as 0).
    const qint32 options = args->options.value_or(ReadOptionsWord());
    const QString storedMaxKb = Settings::read(QStringLiteral("Opt"), QStringLiteral("TailleMax"), QStringLiteral("10"));
    const qint64 maxKb = args->maxKb.value_or(integerValue(storedMaxKb));
    if (maxKb < 0 || maxKb > kMaxTextKilobytes) {
        context.err << "vorn-cli: " << LoadText(519) << " (TailleMax " << storedMaxKb << ")\n";
        return Failed;
    }

    // The disc: a host folder standing in for a disc, or a drive.
    std::unique_ptr<HostVolume> volume;
    QString label;
    std::optional<qint32> serial;
    if (!args->root.isEmpty()) {
        if (!QFileInfo(args->root).isDir()) {
            context.err << "vorn-cli: " << LoadText(437) << ": " << args->root << '\n';
            return Failed;
        }
        volume = std::make_unique<HostVolume>(QFileInfo(args->root).absoluteFilePath());
        if (const std::optional<DiscVolume> found = readFolderVolume(args->root)) {
            label = found->label;
            serial = found->serial;
        }
    } else {
        DriveLayer &drives = DriveLayer::host();
        drives.findDrives();
        DriveVolumeOpening opening = drives.openVolume(args->drive);
        const std::optional<DiscVolume> found = drives.volume(args->drive);
        if (!opening.volume || !found) {
            context.err << "vorn-cli: " << (opening.message.isEmpty() ? LoadText(301) : opening.message) << '\n';
            return Failed;
        }
        volume = std::move(opening.volume);
        label = found->label;
        serial = found->serial;
    }
    if (args->identifier)
        serial = args->identifier;
    if (!args->label.isEmpty())
        label = args->label;
    if (!serial) {
        context.err << "vorn-cli: " << LoadText(301) << '\n';
        return Failed;
    }
    const QString identifier = QString::number(*serial);

    if (!QFileInfo(context.dataFolder).isDir()) {
        if (!QDir().mkpath(context.dataFolder)) {
            context.err << "vorn-cli: " << LoadText(439) << ' ' << context.dataFolder << '\n';
            return Failed;
        }
        context.err << "vorn-cli: " << LoadText(729) << ' ' << context.dataFolder << '\n';
    }
    CliSession session(context);
    if (!session.open())
        return Failed;
    Catalogue &catalogue = session.catalogue;
    int position = findDisc(catalogue, identifier);
    if (!args->name.isEmpty() && nameTaken(catalogue, args->name, position)) {
        context.err << "vorn-cli: " << LoadText(344) << " (" << args->name << ")\n";
        return Failed;
    }
    if (position == 0 && args->name.isEmpty()) {
        context.err << "vorn-cli: catalog: --name is needed for a new disc\n";
        return WrongUsage;
    }

    bool newKeywords = false;
    const QString codes = args->keywords ? keywordCodes(catalogue, *args->keywords, &newKeywords) : QString();
    if (newKeywords && !KeywordList::write(catalogue)) {
        context.err << "vorn-cli: " << catalogue.keywordListPath() << ": cannot be written\n";
        return Failed;
    }

    if (context.errIsTerminal)
        session.observer.showProgressOn(context.err);
    const FilterTable filters = BuildFilterTable();
    const qint64 maxTextSize = maxKb * 1024;
    QString error;
    if (position == 0) {
        DiscRecord disc;
        disc.identifier = identifier;
        disc.name = args->name;
        disc.volumeLabel = label;
        disc.excluded = args->exclude ? 1 : 0;
        disc.keywordCodes = args->keywords ? codes : QStringLiteral("|");
        catalogue.discs.push_back(disc);
        position = catalogue.discCount();
        catalogue.current = position;
        CataloguingRun run(catalogue, *volume, filters, session.observer);
        CataloguingRequest request{identifier, options & ~32, maxTextSize, true};
        const bool completed = run.run(request);
        session.observer.endProgress();
        if (!completed) {
            context.err << "vorn-cli: " << (run.error().isEmpty() ? LoadText(356) : run.error()) << '\n';
            return Failed;
        }
        // The disc's own icon goes in with the other working copies (member bit 32).
        ReadAutorunIcon(volume->rootFolder(), identifier, catalogue.tempFolder);
        if (!writeRecord(catalogue, catalogue.disc(position), 4, &error)) {
            context.err << "vorn-cli: " << LoadText(441) << ": " << error << '\n';
            deleteWorkingCopies(catalogue, identifier);
            return Failed;
        }
    } else {
        DiscRecord &disc = catalogue.disc(position);
        if (!args->name.isEmpty())
            disc.name = args->name;
        if (args->keywords)
            disc.keywordCodes = codes;
        if (args->exclude)
            disc.excluded = 1;
        catalogue.current = position;
        ReadAutorunIcon(volume->rootFolder(), identifier, catalogue.tempFolder);
        const DescriptionsUpdateOutcome outcome = updateDescriptions(
            catalogue, position, *volume, filters, options & ~32, maxTextSize, session.observer, false);
        session.observer.endProgress();
        if (!outcome.completed) {
            context.err << "vorn-cli: " << LoadText(441) << ": " << outcome.error << '\n';
            deleteWorkingCopies(catalogue, identifier);
            return Failed;
        }
    }
    deleteWorkingCopies(catalogue, identifier);
    context.out << identifier << '\n';
    return Done;
}

} // namespace vorn::cli
