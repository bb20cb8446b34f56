#include "common/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vorn {
namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();

TEST(Numbers, GroupingAndRounding)
{
    const struct { qint64 value; const char16_t *text; } groups[] = {
        {0, u"0"}, {999, u"999"}, {1000, u"1 000"}, {-1234567, u"-1 234 567"}, {-100, u"-100"},
        {5000000000, u"5 000 000 000"}, {kMin, u"-9 223 372 036 854 775 808"},
    };
    for (const auto &c : groups)
        EXPECT_EQ(groupDigits(c.value, u' '), QString::fromUtf16(c.text)) << c.value;
    EXPECT_EQ(groupDigits(1234567, u'.'), QStringLiteral("1.234.567"));
    const struct { double value; qint64 rounded; } cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {0.49, 0}, {2.51, 3}, {-0.51, -1},
        {1e300, kMax}, {-1e300, kMin}, {std::nan(""), 0}, {9.21e18, 9210000000000000000},
    };
    for (const auto &c : cases)
        EXPECT_EQ(roundHalfEven(c.value), c.rounded) << c.value;
    const struct { qint64 bytes; qint64 kilobytes; } kb[] = {
        {511, 0}, {512, 0}, {513, 1}, {1536, 2}, {2560, 2}, {2561, 3}, {3584, 4}, {-1536, -2}, {-2560, -2},
        {5000000001, 4882813}, {kMax, 9007199254740992},
    };
    for (const auto &c : kb)
        EXPECT_EQ(kilobytesFromBytes(c.bytes), c.kilobytes) << c.bytes;
}

TEST(Numbers, LeadingNumberOfAText)
{
    const struct { const char16_t *text; double value; } cases[] = {
        {u"12.5abc", 12.5}, {u"  -3", -3}, {u"\t+.5", 0.5}, {u"1e3", 1000}, {u"1e", 1}, {u"2.5E-1x", 0.25},
        {u"abc", 0}, {u"", 0}, {u".", 0}, {u"-", 0}, {u"1 2", 1}, {u"1e999", 0}, {u"\u0663", 0},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(numericValue(QString::fromUtf16(c.text)), c.value) << QString::fromUtf16(c.text).toStdString();
    const struct { const char16_t *text; qint64 value; } integers[] = {
        {u" 42 ", 42}, {u"-7x", -7}, {u"12.9", 12}, {u"-12.9", -12}, {u"1e3", 1000}, {u"1e30", kMax},
        {u"9223372036854775807", kMax}, {u"9200000000000000001", 9200000000000000001},
        {u"-9223372036854775808", kMin}, {u"99999999999999999999", kMax}, {u"-99999999999999999999", kMin},
        {u"x", 0}, {u"", 0}, {u"123456789012345678x", 123456789012345678},
    };
    for (const auto &c : integers)
        EXPECT_EQ(integerValue(QString::fromUtf16(c.text)), c.value) << QString::fromUtf16(c.text).toStdString();
}

} // namespace
} // namespace vorn
