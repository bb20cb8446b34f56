#include "common/LineFields.h"
#include "common/TabSeparated.h"

#include <gtest/gtest.h>

#include <QList>

#include <limits>

namespace vorn {
namespace {

TEST(LineFields, FormatNumber)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const struct { double value; const char *text; } cases[] = {
        {36892.5416666667, "36892.5416666667"}, {36892 + 13.0 / 24, "36892.5416666667"}, {0, "0"}, {-0.0, "0"},
        {-2.5, "-2.5"}, {1234567890123.0, "1234567890123"}, {0.1, "0.1"}, {1.0 / 3, "0.333333333333333"},
        {-2.0 / 3, "-0.666666666666667"}, {0.000012345, "0.000012345"}, {123456789012345.6, "123456789012346"},
        {999999999999999.9, "1E+15"}, {1e15, "1E+15"}, {0.0000099, "9.9E-06"}, {-1e-300, "-1E-300"},
        {nan, "0"}, {inf, "0"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatNumber(c.value), QByteArray(c.text)) << c.text;
}

TEST(LineFields, SplitsFields)
{
    // A line may end inside a quoted field; text after a closing quote is dropped; a quote
    // inside an unquoted field is kept.
    const struct { QByteArray line; QList<QByteArray> fields; } cases[] = {
        {"", {}}, {"\"a\",\"b\"", {"a", "b"}}, {"\"a,b\",3", {"a,b", "3"}}, {"1,,3", {"1", "", "3"}},
        {"a,", {"a", ""}}, {",", {"", ""}}, {"\"\"", {""}}, {"\"ab\",\"cd", {"ab", "cd"}},
        {"\"ab\"x,5", {"ab", "5"}}, {" 12 , \"q\" ", {"12", "q"}}, {"a\"b,c", {"a\"b", "c"}},
    };
    for (const auto &c : cases) {
        const LineFields fields(c.line);
        QList<QByteArray> got;
        for (int i = 0; i < fields.count(); ++i)
            got.append(fields.raw(i).toByteArray());
        EXPECT_EQ(got, c.fields) << c.line.constData();
    }
    const LineFields fields("\"name\",7");   // fields beyond the line read as empty
    EXPECT_TRUE(fields.raw(2).isEmpty() && fields.raw(-1).isEmpty() && fields.text(5).isNull());
    EXPECT_EQ(fields.integer(2), 0);
    EXPECT_EQ(fields.number(-3), 0);
}

TEST(LineFields, ReadsNumbers)
{
    constexpr qint64 kMax = std::numeric_limits<qint64>::max(), kMin = std::numeric_limits<qint64>::min();
    const struct { const char *field; qint64 value; } cases[] = {
        {"-42", -42}, {"+42", 42}, {" 42 ", 42}, {"5000000000", 5000000000}, {"9223372036854775807", kMax},
        {"-9223372036854775808", kMin}, {"99999999999999999999", kMax}, {"-99999999999999999999", kMin},
        {"", 0}, {"abc", 0}, {"-", 0}, {".", 0}, {"12abc", 12}, {"12.9", 12}, {"-12.9", -12}, {"1e3", 1000},
        {"1E+30", kMax},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(parseFieldInteger(c.field), c.value) << c.field;
        EXPECT_EQ(LineFields(QByteArray(QByteArray("x,") + c.field)).integer(1), c.value) << c.field;
    }
    const struct { const char *field; double value; } numbers[] = {
        {"36892.5416666667", 36892.5416666667}, {"-2.5", -2.5}, {"+2.5", 2.5}, {" 2.5", 2.5}, {".5", 0.5},
        {"1E+15", 1e15}, {"9.9E-06", 9.9e-6}, {"", 0}, {"x", 0}, {"inf", 0}, {"-inf", 0}, {"nan", 0},
        {"+-1", 0}, {"1e999", 0}, {"2,5", 2},
    };
    for (const auto &c : numbers)
        EXPECT_DOUBLE_EQ(parseFieldNumber(c.field), c.value) << c.field;
}

TEST(LineFields, TextsDecodePerLine)
{
    const LineFields ansi("\"caf\xE9.txt\",3,\"\xA3MD\xA4my notes\"");   // Windows ANSI code page
    EXPECT_EQ(ansi.text(0), QStringLiteral("café.txt"));
    EXPECT_EQ(ansi.text(2), QStringLiteral("£MD¤my notes"));
    EXPECT_EQ(LineFields("\"x\",\"\xC2\xA3MD\xC2\xA4notes\"").text(1), QStringLiteral("£MD¤notes"));
    // One field that is not UTF-8 makes the whole line Windows-1252.
    LineFields mixed("\"\xC3\xA9\",\"\xE9\"");
    EXPECT_EQ(mixed.text(0), QStringLiteral("Ã©"));
    EXPECT_EQ(mixed.text(1), QStringLiteral("é"));
    // Parsing again decides the encoding afresh and forgets the old fields.
    mixed.parse("\"\xC3\xA9\"");
    EXPECT_EQ(mixed.count(), 1);
    EXPECT_EQ(mixed.text(0), QStringLiteral("é"));
}

TEST(LineFields, SplitsLinesAndWritesThem)
{
    const struct { QByteArray data; QList<QByteArray> lines; } cases[] = {
        {"", {}}, {"a\r\nb\nc", {"a", "b", "c"}}, {"a\r\n", {"a"}}, {"\r\n\r\n", {"", ""}},
        {"a\r\r\nb", {"a\r", "b"}}, {"\n", {""}}, {"x\r", {"x"}},
    };
    for (const auto &c : cases) {
        QList<QByteArray> lines;
        forEachLine(c.data, [&](QByteArrayView line) { lines.append(line.toByteArray()); return true; });
        EXPECT_EQ(lines, c.lines) << c.data.toHex().constData();
    }
    int calls = 0;
    forEachLine(QByteArrayView("1\r\n2\r\n3\r\n"), [&](QByteArrayView) { return ++calls < 2; });
    EXPECT_EQ(calls, 2);
    QByteArray out;
    LineWriter writer(out);
    writer.text(u"a\"b\r\nc").integer(-5).number(2.5).empty().text(u"").endLine();
    writer.text(u"été").integer(5000000000).endLine();
    writer.endLine();
    EXPECT_EQ(out, QByteArray("\"a'b  c\",-5,2.5,,\"\"\r\n\"\xC3\xA9t\xC3\xA9\",5000000000\r\n\r\n"));
}


// TAB, CR and LF become spaces in the output, never in the texts handed in (which a
// row may share before the change).
TEST(TabSeparated, BreaksBecomeSpacesAndTheTextsHandedInStay)
{
    const QString name = QStringLiteral("a\tb");
    const QString note = QStringLiteral("line1\r\nline2");
    EXPECT_EQ(tabRow({name, QString(), note, QStringLiteral("plain")}), QStringLiteral("a b\t\tline1  line2\tplain"));
    EXPECT_EQ(tabRow({name}), QStringLiteral("a b"));
    EXPECT_EQ(tabField(name), QStringLiteral("a b"));
    EXPECT_EQ(name, QStringLiteral("a\tb"));
    EXPECT_EQ(note, QStringLiteral("line1\r\nline2"));

    // The UTF-8 rows a listing writes are the same rows, ASCII or not.
    const QString accented = QStringLiteral("été\tn°\r\n\U0001D11E");
    QByteArray bytes;
    appendTabRowUtf8(bytes, {name, QString(), note, accented});
    appendTabRowUtf8(bytes, {accented});
    EXPECT_EQ(bytes, tabRow({name, QString(), note, accented}).toUtf8() + '\n' + tabRow({accented}).toUtf8() + '\n');
}

} // namespace
} // namespace vorn
