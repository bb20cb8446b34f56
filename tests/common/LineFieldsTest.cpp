#include "common/LineFields.h"

#include <gtest/gtest.h>

#include <QList>

#include <cmath>
#include <limits>

namespace vorn {
namespace {

TEST(LineFields, FormatNumber)
{
    const struct { double value; const char *text; } cases[] = {
        {36892.5416666667, "36892.5416666667"},
        {36892 + 13.0 / 24, "36892.5416666667"},
        {0, "0"},
        {-0.0, "0"},
        {-2.5, "-2.5"},
        {1234567890123.0, "1234567890123"},
        {0.1, "0.1"},
        {1.0 / 3, "0.333333333333333"},
        {-2.0 / 3, "-0.666666666666667"},
        {0.000012345, "0.000012345"},
        {123456789012345.6, "123456789012346"},
        {999999999999999.9, "1E+15"},
        {1e15, "1E+15"},
        {0.0000099, "9.9E-06"},
        {-1e-300, "-1E-300"},
        {std::numeric_limits<double>::quiet_NaN(), "0"},
        {std::numeric_limits<double>::infinity(), "0"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatNumber(c.value), QByteArray(c.text)) << c.text;
}

TEST(LineFields, WriterBuildsLines)
{
    QByteArray out;
    LineWriter writer(out);
    writer.text(u"a\"b\r\nc").integer(-5).number(2.5).empty().text(u"").endLine();
    writer.text(u"été").integer(5000000000).endLine();
    writer.endLine();
    EXPECT_EQ(out, QByteArray("\"a'b  c\",-5,2.5,,\"\"\r\n\"\xC3\xA9t\xC3\xA9\",5000000000\r\n\r\n"));
}

struct SplitCase { QByteArray line; QList<QByteArray> fields; };

TEST(LineFields, SplitsFields)
{
    const SplitCase cases[] = {
        {"", {}},
        {"\"a\",\"b\"", {"a", "b"}},
        {"\"a,b\",3", {"a,b", "3"}},
        {"1,,3", {"1", "", "3"}},
        {"a,", {"a", ""}},
        {",", {"", ""}},
        {"\"\"", {""}},
        {"\"abc", {"abc"}},                 // a line cut inside a quoted field
        {"\"ab\",\"cd", {"ab", "cd"}},
        {"\"ab\"x,5", {"ab", "5"}},         // text after the closing quote is dropped
        {" 12 , \"q\" ", {"12", "q"}},
        {"a\"b,c", {"a\"b", "c"}},          // a quote inside an unquoted field is kept
    };
    for (const SplitCase &c : cases) {
        const LineFields fields(c.line);
        ASSERT_EQ(fields.count(), c.fields.size()) << c.line.constData();
        for (int i = 0; i < fields.count(); ++i)
            EXPECT_EQ(fields.raw(i).toByteArray(), c.fields[i]) << c.line.constData() << " #" << i;
    }
}

TEST(LineFields, FieldsBeyondTheLineAreEmpty)
{
    const LineFields fields("\"name\",7");
    EXPECT_TRUE(fields.raw(2).isEmpty());
    EXPECT_TRUE(fields.raw(-1).isEmpty());
    EXPECT_EQ(fields.text(5), QString());
    EXPECT_EQ(fields.integer(2), 0);
    EXPECT_EQ(fields.number(-3), 0);
}

TEST(LineFields, ReadsIntegers)
{
    const struct { const char *field; qint64 value; } cases[] = {
        {"42", 42}, {"-42", -42}, {"+42", 42}, {" 42 ", 42}, {"5000000000", 5000000000},
        {"9223372036854775807", std::numeric_limits<qint64>::max()},
        {"-9223372036854775808", std::numeric_limits<qint64>::min()},
        {"99999999999999999999", std::numeric_limits<qint64>::max()},
        {"-99999999999999999999", std::numeric_limits<qint64>::min()},
        {"", 0}, {"abc", 0}, {"-", 0}, {".", 0}, {"12abc", 12}, {"12.9", 12}, {"-12.9", -12},
        {"1e3", 1000}, {"1E+30", std::numeric_limits<qint64>::max()}, {"-999999999", -999999999},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(parseFieldInteger(c.field), c.value) << c.field;
        EXPECT_EQ(LineFields(QByteArray(QByteArray("x,") + c.field)).integer(1), c.value) << c.field;
    }
}

TEST(LineFields, ReadsNumbers)
{
    const struct { const char *field; double value; } cases[] = {
        {"36892.5416666667", 36892.5416666667}, {"0", 0}, {"-2.5", -2.5}, {"+2.5", 2.5},
        {" 2.5", 2.5}, {".5", 0.5}, {"1E+15", 1e15}, {"9.9E-06", 9.9e-6}, {"7", 7},
        {"", 0}, {"x", 0}, {"inf", 0}, {"-inf", 0}, {"nan", 0}, {"+-1", 0}, {"1e999", 0},
        {"2,5", 2},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(parseFieldNumber(c.field), c.value) << c.field;
}

TEST(LineFields, TextsDecodePerLine)
{
    // A line in the Windows ANSI code page with single-byte description markers.
    const LineFields ansi("\"caf\xE9.txt\",3,12,36892.5,\"\xA3MD\xA4my notes\xA3" "AD\xA4" "First line\",0");
    EXPECT_EQ(ansi.text(0), QStringLiteral("café.txt"));
    EXPECT_EQ(ansi.text(4), QStringLiteral("£MD¤my notes£AD¤First line"));
    const LineFields utf8("\"caf\xC3\xA9.txt\",\"\xC2\xA3MD\xC2\xA4notes\"");
    EXPECT_EQ(utf8.text(0), QStringLiteral("café.txt"));
    EXPECT_EQ(utf8.text(1), QStringLiteral("£MD¤notes"));
    // One field that is not UTF-8 makes the whole line Windows-1252.
    const LineFields mixed("\"\xC3\xA9\",\"\xE9\"");
    EXPECT_EQ(mixed.text(0), QStringLiteral("Ã©"));
    EXPECT_EQ(mixed.text(1), QStringLiteral("é"));
}

TEST(LineFields, ParseReusesTheObject)
{
    LineFields fields;
    fields.parse("\"a\",\"b\",\"c\"");
    EXPECT_EQ(fields.count(), 3);
    fields.parse("\"\xE9\"");
    EXPECT_EQ(fields.count(), 1);
    EXPECT_EQ(fields.text(0), QStringLiteral("é"));
    fields.parse("\"x\"");
    EXPECT_EQ(fields.text(0), QStringLiteral("x"));
    EXPECT_EQ(fields.text(1), QString());
}

TEST(LineFields, ForEachLine)
{
    const struct { QByteArray data; QList<QByteArray> lines; } cases[] = {
        {"", {}},
        {"a\r\nb\nc", {"a", "b", "c"}},
        {"a\r\n", {"a"}},
        {"\r\n\r\n", {"", ""}},
        {"a\r\r\nb", {"a\r", "b"}},
        {"\n", {""}},
        {"x\r", {"x"}},
    };
    for (const auto &c : cases) {
        QList<QByteArray> lines;
        forEachLine(c.data, [&](QByteArrayView line) {
            lines.append(line.toByteArray());
            return true;
        });
        EXPECT_EQ(lines, c.lines) << c.data.toHex().constData();
    }
    int calls = 0;
    forEachLine(QByteArrayView("1\r\n2\r\n3\r\n"), [&](QByteArrayView) { return ++calls < 2; });
    EXPECT_EQ(calls, 2);
}

TEST(LineFields, RecordsRoundTrip)
{
    struct Record { QString name; qint64 owner; qint64 size; double date; QString description; };
    const Record records[] = {
        {QStringLiteral("README.TXT"), 0, 1234, 36892.5416666667, QString()},
        {QStringLiteral("big \"movie\".mkv"), 3, 5000000000, 45000.75,
         QStringLiteral("£MD¤line one\r\nline two")},
        {QStringLiteral("日本語 😀.txt"), -999999999, 1, 0, QStringLiteral("£PD¤a\\b")},
        {QString(), 7, std::numeric_limits<qint64>::max(), -1.25, QStringLiteral(",,,")},
    };
    QByteArray data;
    LineWriter writer(data);
    for (const Record &r : records)
        writer.text(r.name).integer(r.owner).integer(r.size).number(r.date).text(r.description).endLine();

    int index = 0;
    LineFields fields;
    forEachLine(data, [&](QByteArrayView line) {
        fields.parse(line);
        const Record &r = records[index++];
        EXPECT_EQ(fields.count(), 5);
        QString expectedName = r.name;
        expectedName.replace(u'"', u'\'');
        QString expectedDescription = r.description;
        expectedDescription.replace(u'\r', u' ').replace(u'\n', u' ');
        EXPECT_EQ(fields.text(0), expectedName);
        EXPECT_EQ(fields.integer(1), r.owner);
        EXPECT_EQ(fields.integer(2), r.size);
        EXPECT_NEAR(fields.number(3), r.date, 1e-9);
        EXPECT_EQ(fields.text(4), expectedDescription);
        return true;
    });
    EXPECT_EQ(index, 4);
}

} // namespace
} // namespace vorn
