#include "search/SearchForm.h"

#include "common/DayDate.h"

#include <QDateTime>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace vorn {

std::optional<double> dateBoundFromText(const QString &text, const QLocale &locale)
{
    const QString trimmed = text.simplified();
    if (trimmed.isEmpty())
        return 0.0;
    // Two-digit years of the short format are read in the current century and the
    // one before, as a person typing "03/04/98" means 1998.
    const auto fixCentury = [](QDateTime dateTime) {
        if (dateTime.date().year() < 1930)
            dateTime = dateTime.addYears(100);
        return dateTime;
    };
    const QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    const QStringList withTime = {locale.dateTimeFormat(QLocale::ShortFormat), dateFormat + u" hh:mm:ss"_s,
                                  dateFormat + u" hh:mm"_s};
    for (const QString &format : withTime) {
        const QDateTime dateTime = locale.toDateTime(trimmed, format);
        if (dateTime.isValid())
            return dayNumberFromDateTime(format.count(u'y') == 2 ? fixCentury(dateTime) : dateTime);
    }
    const QDate date = locale.toDate(trimmed, dateFormat);
    if (date.isValid()) {
        const QDateTime dateTime(date, QTime(0, 0));
        return dayNumberFromDateTime(dateFormat.count(u'y') == 2 ? fixCentury(dateTime) : dateTime);
    }
    for (const QString &format :
         {u"yyyy-MM-dd"_s, u"yyyy-MM-dd hh:mm"_s, u"yyyy-MM-dd hh:mm:ss"_s, u"yyyy-MM-ddThh:mm:ss"_s}) {
        const QDateTime dateTime = QDateTime::fromString(trimmed, format);
        if (dateTime.isValid())
            return dayNumberFromDateTime(dateTime);
    }
    return std::nullopt;
}

std::optional<SearchCriteria> criteriaFromForm(const SearchFormValues &values, int *badDate, const QLocale &locale)
{
    SearchCriteria criteria;
    criteria.files = values.files;
    criteria.folders = values.folders;
    criteria.field = SearchField(std::clamp(values.field, 0, 4));
    criteria.pattern = SearchCriteria::patternFor(values.expression, SearchPosition(std::clamp(values.position, 0, 3)));
    criteria.minimumSize = SearchCriteria::sizeBoundFromText(values.minimumKilobytes);
    criteria.maximumSize = SearchCriteria::sizeBoundFromText(values.maximumKilobytes);
    criteria.members = values.members;
    criteria.latestOnly = values.latestOnly;
    criteria.descriptionPart = DescriptionPart::None;
    for (int part = 2; part >= 0; --part) {
        if (values.descriptionParts[part])
            criteria.descriptionPart = DescriptionPart(part);
    }
    const QString *boxes[2] = {&values.after, &values.before};
    double *bounds[2] = {&criteria.after, &criteria.before};
    for (int box = 0; box < 2; ++box) {
        const std::optional<double> day = dateBoundFromText(*boxes[box], locale);
        if (!day) {
            if (badDate)
                *badDate = box;
            return std::nullopt;
        }
        *bounds[box] = *day;
    }
    return criteria;
}

} // namespace vorn
