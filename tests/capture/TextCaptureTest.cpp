#include "capture/TextCapture.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorn;

TEST(TextCaptureTest, FirstLineGivesTheAutomaticDescription)
{
    const QString line150(150, u'x');
    struct Case { QString text; std::optional<QString> expected; };
    const Case cases[] = {
        {"Hello\r\nWorld\r\n", "Hello"},
        {"Hello", std::nullopt},                    // no line end: no first line
        {"Hello\nWorld\n", "Hello"},                // Linux line ends
        {"\nHello\n", std::nullopt},
        {"", std::nullopt},
        {"\r\nHello\r\n", std::nullopt},
        {"   \r\n", std::nullopt},
        {"  A \r", "A "},
        {"A\r", "A"},
        {"Hello \r\n", "Hello "},                   // the space before the CR stays
        {"  Say \"hi\" now\r\n", "Say 'hi' now"},
        {"  Say \"hi\" now \r\n", "Say 'hi' now "},
        {"\tTab\tin\r\n", "\tTab\tin"},             // only spaces are trimmed, no quote: no cleaning
        {"a\t\"b\"\r", "a 'b'"},                    // cleaning turns tab and CR into spaces
        {"one\ntwo\rthree", "one"},                 // the line runs to the first CR or LF
        {"one\rtwo\nthree", "one"},
        {line150 + "\r\n", QString(99, u'x')},
        {QString(99, u'z') + "\r\n", QString(99, u'z')},
        {"\"" + line150 + "\r\n", "'" + QString(98, u'x')},
        {QString(98, u'w') + QStringLiteral("\U0001F600") + "\r", QString(98, u'w')},
    };
    for (const Case &c : cases)
        EXPECT_EQ(firstLineDescription(c.text), c.expected) << c.text.toStdString();
}

TEST(TextCaptureTest, CleanLineReplacesQuotesTabsAndLineBreaks)
{
    EXPECT_EQ(CleanLine(u"a\"b\"\tc\r\nd'e"), QStringLiteral("a'b' c  d'e"));
    EXPECT_EQ(CleanLine(u""), QString());
}

TEST(TextCaptureTest, FilesAreReadAsUtf8OrWindows1252WithoutNuls)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case { const char *name; QByteArray bytes; QString expected; };
    const Case cases[] = {
        {"utf8.txt", QByteArray("Caf\xC3\xA9 \xE2\x82\xAC\r\n"), QStringLiteral("Café €\r\n")},
        {"ansi.txt", QByteArray("Caf\xE9 \x80\r\n"), QStringLiteral("Café €\r\n")},
        {"nul.txt", QByteArray("a\0b\0\r\n", 6), QStringLiteral("ab\r\n")},
        {"empty.txt", QByteArray(), QString()},
    };
    for (const Case &c : cases) {
        const QString path = dir.filePath(QString::fromUtf8(c.name));
        ASSERT_TRUE(test::writeFile(path, c.bytes));
        EXPECT_EQ(ReadTextFile(path), c.expected) << c.name;
        EXPECT_EQ(capturedTextFromBytes(c.bytes), c.expected) << c.name;
    }
    EXPECT_EQ(ReadTextFile(dir.filePath("missing.txt")), QString());
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.txt"));
    EXPECT_EQ(ReadTextFile(dir.filePath("folder.txt")), QString());
}
