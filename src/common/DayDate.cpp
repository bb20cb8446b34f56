#include "common/DayDate.h"

#include <algorithm>
#include <cmath>
#include <ctime>

namespace vorn {

namespace {

const QDate kEpoch(1899, 12, 30);
// Day numbers of 1 January 100 and 31 December 9999, the dates the text form holds.
constexpr qint64 kFirstDay = -657434;
constexpr qint64 kLastDay = 2958465;
constexpr qint64 kSecondsPerDay = 86400;

// Local date and time; a wall-clock time that a daylight-saving change skips is
// read with the offset in force before the change, so it lands just after the gap.
QDateTime localDateTime(QDate date, QTime time)
{
    QDateTime result(date, time, Qt::LocalTime);
    if (result.isValid())
        return result;
    const QDateTime dayBefore(date.addDays(-1), time, Qt::LocalTime);
    if (!dayBefore.isValid())
        return result;
    const qint64 utcMsecs = QDateTime(date, time, Qt::UTC).toMSecsSinceEpoch();
    return QDateTime::fromMSecsSinceEpoch(utcMsecs - qint64(dayBefore.offsetFromUtc()) * 1000, Qt::LocalTime);
}

// Reads minDigits to maxDigits decimal digits at pos.
bool readNumber(QStringView text, qsizetype &pos, int minDigits, int maxDigits, int &value)
{
    int digits = 0;
    value = 0;
    while (pos < text.size() && digits < maxDigits && text[pos] >= u'0' && text[pos] <= u'9') {
        value = value * 10 + (text[pos].unicode() - u'0');
        ++pos;
        ++digits;
    }
    return digits >= minDigits;
}

bool expect(QStringView text, qsizetype &pos, char16_t c)
{
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

void appendTwoDigits(QString &out, int value)
{
    out += QChar(u'0' + value / 10);
    out += QChar(u'0' + value % 10);
}

} // namespace

double dayNumberFromDateTime(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return 0;
    const QDateTime local = dateTime.toLocalTime();
    const qint64 days = kEpoch.daysTo(local.date());
    // Whole seconds: the stored form keeps no fraction of a second.
    const double fraction = double(local.time().msecsSinceStartOfDay() / 1000) / kSecondsPerDay;
    // Before the epoch the fraction counts away from zero (-1.25 is 29/12/1899 06:00).
    return days < 0 ? double(days) - fraction : double(days) + fraction;
}

double dayNumberFromEpochMs(qint64 ms)
{
    const qint64 seconds = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
    const time_t moment = time_t(seconds);
    struct tm local
    {
    };
    if (qint64(moment) != seconds || ::localtime_r(&moment, &local) == nullptr)
        return dayNumberFromDateTime(QDateTime::fromMSecsSinceEpoch(ms));
    const qint64 days = kEpoch.daysTo(QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday));
    const int secondOfDay = local.tm_hour * 3600 + local.tm_min * 60 + std::min(local.tm_sec, 59);
    const double fraction = double(secondOfDay) / kSecondsPerDay;
    return days < 0 ? double(days) - fraction : double(days) + fraction;
}

namespace {

// The day (from the epoch) and second of the day a day number stands for; false for
// "no date" and days out of range.
bool dayAndSecond(double dayNumber, qint64 &days, qint64 &seconds)
{
    if (dayNumber == 0 || !std::isfinite(dayNumber))
        return false;
    const double whole = std::trunc(dayNumber);
    if (whole < double(kFirstDay) || whole > double(kLastDay))
        return false;
    days = qint64(whole);
    seconds = std::llround(std::fabs(dayNumber - whole) * kSecondsPerDay);
    if (seconds >= kSecondsPerDay) {
        // Rounded up to the next midnight, which lies later in time on either side
        // of the epoch.
        seconds = 0;
        ++days;
    }
    return true;
}

} // namespace

QDateTime wallClockFromDayNumber(double dayNumber)
{
    qint64 days = 0;
    qint64 seconds = 0;
    if (!dayAndSecond(dayNumber, days, seconds))
        return QDateTime();
    return QDateTime(kEpoch.addDays(days), QTime::fromMSecsSinceStartOfDay(int(seconds * 1000)), Qt::UTC);
}

std::optional<WallClock> wallClockParts(double dayNumber)
{
    qint64 days = 0;
    qint64 seconds = 0;
    if (!dayAndSecond(dayNumber, days, seconds))
        return std::nullopt;
    // The civil date of a count of days (Gregorian calendar, eras of 400 years),
    // counted from 1 March of year 0; the epoch, 30 December 1899, is day 693,899.
    const qint64 z = days + 693899;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 dayOfEra = z - era * 146097;
    const qint64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 shiftedMonth = (5 * dayOfYear + 2) / 153;
    WallClock clock;
    clock.day = int(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    clock.month = int(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    clock.year = int(yearOfEra + era * 400 + (clock.month <= 2 ? 1 : 0));
    clock.hour = int(seconds / 3600);
    clock.minute = int(seconds / 60 % 60);
    clock.second = int(seconds % 60);
    return clock;
}

QDateTime dateTimeFromDayNumber(double dayNumber)
{
    const QDateTime wallClock = wallClockFromDayNumber(dayNumber);
    return wallClock.isValid() ? localDateTime(wallClock.date(), wallClock.time()) : QDateTime();
}

QString dateText(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return QString();
    const QDateTime local = dateTime.toLocalTime();
    const QDate date = local.date();
    const QTime time = local.time();
    if (date.year() < 1 || date.year() > 9999)
        return QString();
    QString text;
    text.reserve(19);
    appendTwoDigits(text, date.day());
    text += u'/';
    appendTwoDigits(text, date.month());
    text += u'/';
    appendTwoDigits(text, date.year() / 100);
    appendTwoDigits(text, date.year() % 100);
    text += u' ';
    appendTwoDigits(text, time.hour());
    text += u':';
    appendTwoDigits(text, time.minute());
    text += u':';
    appendTwoDigits(text, time.second());
    return text;
}

QString dateTextFromDayNumber(double dayNumber)
{
    return dateText(dateTimeFromDayNumber(dayNumber));
}

std::optional<QDateTime> parseDateText(QStringView text)
{
    text = text.trimmed();
    qsizetype pos = 0;
    int day = 0, month = 0, year = 0;
    if (!readNumber(text, pos, 1, 2, day) || !expect(text, pos, u'/') || !readNumber(text, pos, 1, 2, month)
        || !expect(text, pos, u'/') || !readNumber(text, pos, 4, 4, year))
        return std::nullopt;
    int hour = 0, minute = 0, second = 0;
    if (pos < text.size()) {
        if (!expect(text, pos, u' '))
            return std::nullopt;
        while (expect(text, pos, u' ')) {}
        if (!readNumber(text, pos, 1, 2, hour) || !expect(text, pos, u':') || !readNumber(text, pos, 1, 2, minute)
            || !expect(text, pos, u':') || !readNumber(text, pos, 1, 2, second) || pos != text.size())
            return std::nullopt;
    }
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (year < 1 || !date.isValid() || !time.isValid())
        return std::nullopt;
    const QDateTime result = localDateTime(date, time);
    if (!result.isValid())
        return std::nullopt;
    return result;
}

} // namespace vorn
