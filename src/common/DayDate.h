#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace vorn {

// Dates as stored in the line files: days since 30 December 1899 00:00 local time,
// the fraction being the time of day. 0 stands for "no date".
double dayNumberFromDateTime(const QDateTime &dateTime);
// The same for a moment in milliseconds since 1970 (UTC). It gives what
// dayNumberFromDateTime(QDateTime::fromMSecsSinceEpoch(ms)) gives without having the
// platform look at its time-zone file again for every date (a walk converts one per
// file); a change of TZ is seen after tzset().
double dayNumberFromEpochMs(qint64 ms);
// The same date and time of day without placing them in the local time zone:
// quick to format (no time-zone lookup), for texts of many dates.
QDateTime wallClockFromDayNumber(double dayNumber);
// Its fields without making a QDateTime (years 100 to 9999): result lists make two
// texts of them per row.
struct WallClock
{
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
std::optional<WallClock> wallClockParts(double dayNumber);
QDateTime dateTimeFromDayNumber(double dayNumber);

// The record text form "dd/mm/yyyy hh:mm:ss" (local time).
QString dateText(const QDateTime &dateTime);
QString dateTextFromDayNumber(double dayNumber);
// Parses "dd/mm/yyyy hh:mm:ss" or "dd/mm/yyyy"; nullopt when the text is not a valid date.
std::optional<QDateTime> parseDateText(QStringView text);

} // namespace vorn
