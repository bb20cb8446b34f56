#include "cli/CatalogCommand.h"

#include "capture/FilterTable.h"
#include "cli/CliSession.h"
#include "cli/EditCommands.h"
#include "cli/NumberArguments.h"
#include "common/Numbers.h"
#include "edit/DiscCataloguing.h"
#include "edit/DiscNames.h"
#include "scan/DriveLayer.h"
#include "scan/FolderVolume.h"
#include "scan/IsoVolume.h"
#include "scan/Volume.h"
#include "settings/OptionValues.h"
#include "settings/OptionsWord.h"
#include "settings/StringTable.h"
#include "store/RecordText.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace vorn::cli {

namespace {

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
        } else if (arg == QLatin1String("--drive") || arg == QLatin1String("--name") || arg == QLatin1String("--id")
                   || arg == QLatin1String("--label") || arg == QLatin1String("--options")
                   || arg == QLatin1String("--max-kb") || arg == QLatin1String("--keywords")) {
            const std::optional<QString> v = value();
            if (!v)
                return std::nullopt;
            bool ok = true;
            if (arg == QLatin1String("--drive")) {
                ok = v->size() == 1 && v->at(0).isLetter();
                parsed.drive = v->isEmpty() ? QChar() : v->at(0).toUpper();
            } else if (arg == QLatin1String("--name")) {
                parsed.name = *v;
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
                parsed.maxKb = wholeNumberArgument(arg, *v, 0, MaxTextKbLimit, error);
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
        error = QStringLiteral("give either a folder, an image or --drive X");
        return std::nullopt;
    }
    return parsed;
}

// The keyword names of a "a;b" flag value.
QStringList keywordNames(const QString &flag)
{
    return flag.split(u';', Qt::SkipEmptyParts);
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

    if (std::any_of(args->name.begin(), args->name.end(), DiscName::isControlCharacter)) {
        context.err << "vorn-cli: catalog: " << LoadText(706) << '\n';
        return WrongUsage;
    }
    if (args->identifier && *args->identifier == 0) {
        context.err << "vorn-cli: catalog: " << LoadText(707) << '\n';
        return WrongUsage;
    }

    // The options word and the text size limit (0 to 1024 KB; stored text that is no number counts as 0).
    const qint32 options = args->options.value_or(ReadOptionsWord());
    const BoundedNumber maxKb = args->maxKb ? BoundedNumber{*args->maxKb, 0, MaxTextKbLimit} : readMaxTextKb(10);
    if (!maxKb.inRange()) {
        context.err << "vorn-cli: " << LoadText(519) << " (TailleMax " << maxKb.value << ")\n";
        return Failed;
    }

    // The disc: an image file, a host folder standing in for a disc, or a drive.
    std::unique_ptr<Volume> volume;
    QString label;
    std::optional<qint32> serial;
    if (!args->root.isEmpty() && isDiscImagePath(args->root)) {
        IsoOpening image = IsoVolume::open(args->root);
        if (!image.volume) {
            context.err << "vorn-cli: " << image.message << '\n';
            return Failed;
        }
        volume = std::move(image.volume);
        label = image.disc.label;
        serial = image.disc.serial;
    } else if (!args->root.isEmpty()) {
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
        if (!opening.walked() || !found) {
            context.err << "vorn-cli: " << (opening.message.isEmpty() ? LoadText(301) : opening.message) << '\n';
            return Failed;
        }
        if (opening.volume)
            volume = std::move(opening.volume);
        else
            volume = std::move(opening.image);
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
    const int position = findDisc(catalogue, identifier);
    if (position == 0 && args->name.isEmpty()) {
        context.err << "vorn-cli: catalog: --name is needed for a new disc\n";
        return WrongUsage;
    }

    if (context.errIsTerminal)
        session.observer.showProgressOn(context.err);
    const FilterTable filters = BuildFilterTable();
    const edit::CaptureSettings capture{options, maxKb.value * 1024};
    EditResult result;
    if (position == 0) {
        edit::NewDisc disc;
        disc.identifier = identifier;
        disc.name = args->name;
        disc.volumeLabel = label;
        disc.excluded = args->exclude;
        disc.keywords = keywordNames(args->keywords.value_or(QString()));
        result = edit::catalogueDisc(catalogue, disc, capture, filters, *volume, session.observer);
    } else {
        edit::DiscInfoChanges changes;
        if (!args->name.isEmpty())
            changes.name = args->name;
        if (args->keywords)
            changes.keywords = keywordNames(*args->keywords);
        if (args->exclude)
            changes.excluded = true;
        result = edit::updateDisc(catalogue, position, capture, filters, *volume, session.observer, changes);
    }
    session.observer.endProgress();
    if (!result.ok())
        return reportEditFailure(context, result, Failed);
    context.out << identifier << '\n';
    return Done;
}

} // namespace vorn::cli
