#include "cli/SearchFlags.h"

#include "cli/NumberArguments.h"
#include "common/DayDate.h"
#include "common/Numbers.h"
#include "store/Catalogue.h"
#include "store/RecordText.h"

#include <QDate>
#include <QTime>
#include <algorithm>
#include <limits>

namespace vorn::cli {

using namespace Qt::StringLiterals;

std::optional<double> parseDateArgument(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (const std::optional<QDateTime> dateTime = parseDateText(trimmed))
        return dayNumberFromDateTime(*dateTime);
    const QDate date = QDate::fromString(trimmed.section(u' ', 0, 0), QStringLiteral("yyyy-MM-dd"));
    const QString timePart = trimmed.section(u' ', 1).trimmed();
    const QTime time = timePart.isEmpty() ? QTime(0, 0) : QTime::fromString(timePart, QStringLiteral("hh:mm:ss"));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return dayNumberFromDateTime(QDateTime(date, time));
}

SearchFlags::Taken SearchFlags::take(const QStringList &arguments, qsizetype &i, QString &error)
{
    const QString &arg = arguments[i];
    static const QStringList switches = {u"--files"_s, u"--folders"_s, u"--members"_s, u"--latest"_s};
    static const QStringList valued = {u"--disc"_s,   u"--keyword"_s, u"--field"_s, u"--pos"_s,   u"--part"_s,
                                       u"--min-kb"_s, u"--max-kb"_s,  u"--after"_s, u"--before"_s};
    if (const qsizetype s = switches.indexOf(arg); s >= 0) {
        bool *const flag[] = {&criteria.files, &criteria.folders, &criteria.members, &criteria.latestOnly};
        *flag[s] = true;
        searchFlagGiven = true;
        return Taken::Taken;
    }
    if (!valued.contains(arg))
        return Taken::NotMine;
    if (i + 1 >= arguments.size()) {
        error = arg + QStringLiteral(" needs a value");
        return Taken::Error;
    }
    const QString value = arguments[++i];
    if (arg == QLatin1String("--disc")) {
        disc = value;
        return Taken::Taken;
    }
    if (arg == QLatin1String("--keyword")) {
        keywords << value;
        return Taken::Taken;
    }
    searchFlagGiven = true;
    static const QStringList fields = {u"names"_s, u"desc"_s, u"both"_s, u"text"_s, u"mp3"_s};
    static const QStringList positions = {u"contains"_s, u"starts"_s, u"ends"_s, u"equals"_s};
    static const QStringList parts = {u"user"_s, u"auto"_s, u"path"_s};
    if (arg == QLatin1String("--field") || arg == QLatin1String("--pos") || arg == QLatin1String("--part")) {
        const QStringList &choices = arg == QLatin1String("--field") ? fields
            : arg == QLatin1String("--pos")                          ? positions
                                                                     : parts;
        const int index = int(choices.indexOf(value));
        if (index < 0) {
            error = arg + QStringLiteral(" takes ") + choices.join(QStringLiteral(", "));
            return Taken::Error;
        }
        if (arg == QLatin1String("--field"))
            criteria.field = SearchField(index);
        else if (arg == QLatin1String("--pos"))
            position = SearchPosition(index);
        else
            criteria.descriptionPart = DescriptionPart(index);
    } else if (arg == QLatin1String("--min-kb") || arg == QLatin1String("--max-kb")) {
        const std::optional<double> kilobytes = nonNegativeNumberArgument(arg, value, error);
        if (!kilobytes)
            return Taken::Error;
        // Past what 64 bits of bytes hold, the bound is the largest size there is.
        const qint64 bytes =
            *kilobytes * 1024.0 >= 9.0e18 ? std::numeric_limits<qint64>::max() : roundHalfEven(*kilobytes * 1024.0);
        (arg == QLatin1String("--min-kb") ? criteria.minimumSize : criteria.maximumSize) = bytes;
    } else {
        const std::optional<double> day = parseDateArgument(value);
        if (!day) {
            error = QStringLiteral("cannot read the date \"%1\" of %2 "
                                   "(use dd/mm/yyyy [hh:mm:ss] or yyyy-mm-dd [hh:mm:ss])")
                        .arg(value, arg);
            return Taken::Error;
        }
        (arg == QLatin1String("--after") ? criteria.after : criteria.before) = *day;
    }
    return Taken::Taken;
}

bool SearchFlags::finish(const std::optional<QString> &expression, QString &error)
{
    if (!disc.isEmpty() && !keywords.isEmpty()) {
        error = QStringLiteral("--disc and --keyword cannot be used together");
        return false;
    }
    if (!criteria.files && !criteria.folders)
        criteria.files = criteria.folders = true;
    if (expression)
        criteria.pattern = SearchCriteria::patternFor(*expression, position);
    return true;
}

std::optional<std::vector<qint64>> discSelection(Context &context, const Catalogue &catalogue, const SearchFlags &flags,
                                                 bool bookmarks)
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
            const auto found =
                std::find_if(catalogue.keywords.begin() + 1, catalogue.keywords.end(),
                             [&](const KeywordEntry &k) { return k.name.compare(name, Qt::CaseInsensitive) == 0; });
            if (found == catalogue.keywords.end()) {
                context.err << "vorn-cli: no keyword " << name << " in " << catalogue.dataFolder << '\n';
                return std::nullopt;
            }
            scope.keywordNumbers.push_back(found->number);
        }
    }
    return buildDiscSelection(catalogue, scope);
}

} // namespace vorn::cli
