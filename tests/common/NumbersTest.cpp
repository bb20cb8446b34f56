#include "common/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vorn {
namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();

TEST(Numbers, GroupDigits)
{
    const struct { qint64 value; QString text; } cases[] = {
        {0, QStringLiteral("0")},
        {999, QStringLiteral("999")},
        {1000, QStringLiteral("1 000")},
        {1234567, QStringLiteral("1 234 567")},
        {-1234567, QStringLiteral("-1 234 567")},
        {-100, QStringLiteral("-100")},
        {5000000000, QStringLiteral("5 000 000 000")},
        {kMin, QStringLiteral("-9 223 372 036 854 775 808")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(groupDigits(c.value, u' '), c.text) << c.value;
    EXPECT_EQ(groupDigits(1234567, u'.'), QStringLiteral("1.234.567"));
}

TEST(Numbers, RoundHalfEven)
{
    const struct { double value; qint64 rounded; } cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {1.5, 2},
        {0.49, 0}, {2.51, 3}, {-0.51, -1}, {1e300, kMax}, {-1e300, kMin},
        {std::nan(""), 0}, {9.21e18, 9210000000000000000},
    };
    for (const auto &c : cases)
        EXPECT_EQ(roundHalfEven(c.value), c.rounded) << c.value;
}

TEST(Numbers, KilobytesRoundHalvesToEven)
{
    const struct { qint64 bytes; qint64 kilobytes; } cases[] = {
        {0, 0}, {511, 0}, {512, 0}, {513, 1}, {1024, 1}, {1536, 2}, {2560, 2},
        {2561, 3}, {3584, 4}, {-1536, -2}, {-2560, -2}, {5000000000, 4882812}, {5000000001, 4882813},
        {kMax, 9007199254740992},
    };
    for (const auto &c : cases)
        EXPECT_EQ(kilobytesFromBytes(c.bytes), c.kilobytes) << c.bytes;
}

TEST(Numbers, NumericValueReadsTheLeadingNumber)
{
    const struct { QString text; double value; } cases[] = {
        {QStringLiteral("12.5abc"), 12.5}, {QStringLiteral("  -3"), -3},
        {QStringLiteral("\t+.5"), 0.5}, {QStringLiteral("1e3"), 1000},
        {QStringLiteral("1e"), 1}, {QStringLiteral("2.5E-1x"), 0.25},
        {QStringLiteral("abc"), 0}, {QString(), 0}, {QStringLiteral("."), 0},
        {QStringLiteral("-"), 0}, {QStringLiteral("1 2"), 1}, {QStringLiteral("1e999"), 0},
        {QStringLiteral("\u0663"), 0},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(numericValue(c.text), c.value) << c.text.toStdString();
}

TEST(Numbers, IntegerValueIsExactAndClamped)
{
    const struct { QString text; qint64 value; } cases[] = {
        {QStringLiteral("42"), 42}, {QStringLiteral(" 42 "), 42},
        {QStringLiteral("-7x"), -7}, {QStringLiteral("12.9"), 12},
        {QStringLiteral("-12.9"), -12}, {QStringLiteral("1e3"), 1000},
        {QStringLiteral("9223372036854775807"), kMax},
        {QStringLiteral("9200000000000000001"), 9200000000000000001},
        {QStringLiteral("-9223372036854775808"), kMin},
        {QStringLiteral("99999999999999999999"), kMax},
        {QStringLiteral("-99999999999999999999"), kMin},
        {QStringLiteral("1e30"), kMax}, {QStringLiteral("x"), 0}, {QString(), 0},
        {QStringLiteral("123456789012345678x"), 123456789012345678},
    };
    for (const auto &c : cases)
        EXPECT_EQ(integerValue(c.text), c.value) << c.text.toStdString();
}

} // namespace
} // namespace vorn
