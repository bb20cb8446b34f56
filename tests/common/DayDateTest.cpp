#include "common/DayDate.h"

#include <gtest/gtest.h>

#include <ctime>
#include <iomanip>
#include <random>
#include <vector>

namespace vorn {
namespace {

struct TimeZoneScope
{
    explicit TimeZoneScope(const char *zone) { qputenv("TZ", zone); tzset(); }
    ~TimeZoneScope() { hadOld ? qputenv("TZ", old) : qunsetenv("TZ"); tzset(); }
    bool hadOld = qEnvironmentVariableIsSet("TZ");
    QByteArray old = qgetenv("TZ");
};

class DayDate : public ::testing::Test
{
protected:
    TimeZoneScope m_zone{"Europe/Paris"};
};

// The fast conversion of a walk gives what the QDateTime one gives, across daylight-saving
// changes, before the epoch of the line files and before 1970, with milliseconds.
TEST_F(DayDate, EpochMillisecondsGiveTheDayNumberOfTheirLocalTime)
{
    for (const qint64 ms : {0LL, 1711846799999LL, 1711846800000LL, 1729990799000LL, 1729990800500LL,
                            -2209165200000LL, -2209161600001LL, -5000000000123LL, 253402300799000LL}) {
        EXPECT_EQ(dayNumberFromEpochMs(ms), dayNumberFromDateTime(QDateTime::fromMSecsSinceEpoch(ms))) << ms;
    }
}

TEST_F(DayDate, DayNumbersAndTexts)
{
    const struct { double day; const char *text; } cases[] = {
        {36892.5416666667, "01/01/2001 13:00:00"}, {1, "31/12/1899 00:00:00"}, {0.5, "30/12/1899 12:00:00"},
        {36892.541666, "01/01/2001 13:00:00"}, {36892.54166, "01/01/2001 12:59:59"},   // nearest second
        {-1.25, "29/12/1899 06:00:00"}, {-0.5, "30/12/1899 12:00:00"},
        {36891.99999999, "01/01/2001 00:00:00"},    // rounding carries into the next day
        {2958465.9999884, "31/12/9999 23:59:59"}, {-657434, "01/01/0100 00:00:00"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(dateTextFromDayNumber(c.day), QLatin1String(c.text)) << c.day;
    // 0 is "no date"; so are NaN and days outside years 100-9999.
    EXPECT_EQ(dateTextFromDayNumber(0), QString());
    EXPECT_EQ(dayNumberFromDateTime(QDateTime()), 0);
    EXPECT_EQ(dateText(QDateTime()), QString());
    for (double day : {0.0, std::numeric_limits<double>::quiet_NaN(), 2958466.0, -657435.0})
        EXPECT_FALSE(dateTimeFromDayNumber(day).isValid()) << day;
}

TEST_F(DayDate, DayNumberFromDateTimeUsesLocalWallClock)
{
    const double oneOClock = 36892 + 13.0 / 24;
    const QDateTime utc(QDate(2001, 1, 1), QTime(12, 0, 0), Qt::UTC);
    EXPECT_DOUBLE_EQ(dayNumberFromDateTime(utc), oneOClock);
    EXPECT_EQ(dateText(utc), QStringLiteral("01/01/2001 13:00:00"));
    // Fractions of a second are not kept.
    EXPECT_DOUBLE_EQ(dayNumberFromDateTime(QDateTime(QDate(2001, 1, 1), QTime(13, 0, 0, 900))), oneOClock);
    EXPECT_DOUBLE_EQ(dayNumberFromDateTime(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);
    TimeZoneScope newYork("America/New_York");   // the day number is wall-clock, not an instant
    EXPECT_EQ(dateTextFromDayNumber(36892.5416666667), QStringLiteral("01/01/2001 13:00:00"));
    EXPECT_DOUBLE_EQ(dayNumberFromDateTime(*parseDateText(u"01/01/2001 13:00:00")), oneOClock);
}

TEST_F(DayDate, ParsesDateTexts)
{
    const struct { const char16_t *text; QDate date; QTime time; } cases[] = {
        {u"29/02/2000 00:00:01", QDate(2000, 2, 29), QTime(0, 0, 1)}, {u"01/01/2001", QDate(2001, 1, 1), QTime(0, 0)},
        {u" 1/2/2003 4:05:06 ", QDate(2003, 2, 1), QTime(4, 5, 6)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseDateText(c.text), std::optional(QDateTime(c.date, c.time, Qt::LocalTime)));
    const char16_t *invalid[] = {
        u"", u"31/02/2001", u"29/02/2001", u"00/01/2001", u"01/13/2001", u"01/00/2001", u"01/01/0000",
        u"ab/01/2001", u"01/01/01", u"01/01/20011", u"01-01-2001", u"01/01/2001 24:00:00", u"01/01/2001 12:60:00",
        u"01/01/2001 12:00:60", u"01/01/2001 13:00", u"01/01/2001 13:00:00 x", u"01/01/2001x", u"1/1/2001 :00:00",
        u"001/01/2001",
    };
    for (const char16_t *text : invalid)
        EXPECT_FALSE(parseDateText(text).has_value()) << QString::fromUtf16(text).toStdString();
}

TEST_F(DayDate, RoundTripsEveryDayAndDaylightSavingChanges)
{
    for (QDate date(2023, 1, 1); date.year() == 2023; date = date.addDays(1)) {
        for (const QTime &time : {QTime(0, 0, 0), QTime(1, 59, 59), QTime(3, 0, 1), QTime(23, 59, 59)}) {
            const QDateTime dateTime(date, time, Qt::LocalTime);
            const double day = dayNumberFromDateTime(dateTime);
            EXPECT_EQ(dateTimeFromDayNumber(day), dateTime) << day;
            const QString text = dateText(dateTime);
            EXPECT_EQ(parseDateText(text), std::optional(dateTime)) << text.toStdString();
            EXPECT_EQ(dateTextFromDayNumber(day), text);
        }
    }
    // 26 March 2023 02:30 does not exist in Paris: the clock jumps from 02:00 to 03:00.
    const QDateTime gap = parseDateText(u"26/03/2023 02:30:00").value_or(QDateTime());
    EXPECT_EQ(dateText(gap), QStringLiteral("26/03/2023 03:30:00"));
    EXPECT_EQ(dateText(dateTimeFromDayNumber(45011 + 2.5 / 24)), QStringLiteral("26/03/2023 03:30:00"));
    // 29 October 2023 02:30 happens twice; either reading gives back the same text.
    const QDateTime twice = parseDateText(u"29/10/2023 02:30:00").value_or(QDateTime());
    EXPECT_EQ(dateText(twice), QStringLiteral("29/10/2023 02:30:00"));
    EXPECT_DOUBLE_EQ(dayNumberFromDateTime(twice), 45228 + 2.5 / 24);
}

// The fields of a day number made without QDateTime are those QDateTime gives: every
// day of the range's ends, the epoch, leap days, negative days, times that round up to
// the next midnight.
TEST(WallClockParts, SameFieldsAsTheDateTime)
{
    std::vector<double> days = {0.0, 1.0, -1.0, 0.5, -0.5, 59.0, 60.0, 61.0, 36585.999999999, -36585.999999999,
                                -657434.0, -657434.75, -657435.0, 2958465.0, 2958465.99, 2958466.0, 1e300};
    std::mt19937_64 random(23);
    for (int i = 0; i < 20000; ++i)
        days.push_back(-657434.0 + double(random() % 3615900) + double(random() % 1000000) / 1000000.0);
    for (const double day : days) {
        const QDateTime expected = wallClockFromDayNumber(day);
        const std::optional<WallClock> parts = wallClockParts(day);
        ASSERT_EQ(parts.has_value(), expected.isValid()) << day;
        if (!parts)
            continue;
        const QDate date = expected.date();
        const QTime time = expected.time();
        ASSERT_EQ(std::vector<int>({parts->year, parts->month, parts->day, parts->hour, parts->minute, parts->second}),
                  std::vector<int>({date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()}))
            << std::setprecision(17) << day;
    }
}

} // namespace
} // namespace vorn
