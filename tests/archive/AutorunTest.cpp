#include "ArchiveFixtures.h"

#include "capture/Autorun.h"
#include "capture/PeIcons.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorn;
using namespace vorn::test;

namespace {

const QByteArray kDiscIcon = makeIco({IconImage(32, 32, QByteArray(100, 'i'))});

class AutorunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_disc = m_base.filePath("disc");
        m_temp = m_base.filePath("temp");
        QDir().mkpath(m_disc);
        QDir().mkpath(m_temp);
    }
    void put(const QString &relative, const QByteArray &bytes)
    {
        ASSERT_TRUE(writeFile(m_disc + u'/' + relative, bytes));
    }
    QString read() { return ReadAutorunIcon(m_disc, QStringLiteral("-12345"), m_temp); }
    QString expectedPath() const { return QDir::toNativeSeparators(m_temp + QStringLiteral("/-12345.ico")); }
    QStringList tempFiles() const { return QDir(m_temp).entryList(QDir::Files); }

    QTemporaryDir m_base;
    QString m_disc;
    QString m_temp;
};

TEST(AutorunIconValue, FileAndIndex)
{
    struct Case { const char *value; const char *file; int index; bool given; };
    const Case cases[] = {
        {"disc.ico", "disc.ico", 0, false},
        {"setup.exe", "setup.exe", 0, false},
        {"setup.exe,1", "setup.exe", 1, true},
        {"setup.exe, 2", "setup.exe", 2, true},
        {"setup.exe,-101", "setup.exe", -101, true},
        {"setup.exe,x", "setup.exe", 0, true},
        {"\"my app.exe\",3", "my app.exe", 3, true},
        {"  \"disc.ico\"  ", "disc.ico", 0, false},
        {"a,b.ico", "a,b.ico", 0, false},   // ends with .ico: a file name as it stands
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        const auto value = parseAutorunIconValue(QString::fromUtf8(c.value));
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(value->file, QString::fromUtf8(c.file));
        EXPECT_EQ(value->index, c.index);
        EXPECT_EQ(value->indexGiven, c.given);
    }
    EXPECT_FALSE(parseAutorunIconValue("").has_value());
    EXPECT_FALSE(parseAutorunIconValue("  ,1").has_value());
}

TEST_F(AutorunTest, IconFileIsCopiedAsItIsWhateverTheLetterCase)
{
    struct Case { const char *autorunName; const char *text; const char *iconPath; };
    const Case cases[] = {
        {"Autorun.inf", "[autorun]\r\nicon=disc.ico\r\n", "disc.ico"},
        {"AUTORUN.INF", "[AutoRun]\r\nICON=Disc.Ico\r\n", "Disc.Ico"},
        {"autorun.inf", "[AUTORUN]\r\nopen=setup.exe\r\nIcon=ICONS\\disc.ico\r\n", "icons/DISC.ICO"},
        {"Autorun.inf", "[autorun]\nicon=\\icons\\disc.ico\n", "icons/disc.ico"},
        {"Autorun.inf", "[autorun]\nicon=icons/sub/../disc.ico\n", "icons/disc.ico"},
        {"Autorun.inf", "[autorun]\nicon=\"disc.ico\"\n", "disc.ico"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        QDir(m_disc).removeRecursively();
        QDir().mkpath(m_disc);
        QDir().mkpath(m_disc + "/icons/sub");
        put(QString::fromUtf8(c.autorunName), c.text);
        put(QString::fromUtf8(c.iconPath), kDiscIcon);
        QFile::remove(expectedPath());
        EXPECT_EQ(read(), expectedPath());
        EXPECT_EQ(readFile(expectedPath()), kDiscIcon);
    }
}

TEST_F(AutorunTest, ProgramIconsByIndex)
{
    const IconGroupResource first(1, {IconImage(32, 32, QByteArray(80, 'a'))});
    const IconGroupResource second(2, {IconImage(16, 16, QByteArray(40, 'b')), IconImage(32, 32, QByteArray(90, 'c'))});
    put("Setup.EXE", makePe({first, second}));
    struct Case { const char *value; const std::vector<IconImage> *expected; };
    const Case cases[] = {
        {"setup.exe", &first.images},
        {"SETUP.exe,1", &second.images},
        {"setup.exe,-2", &second.images},
        {"setup.exe,2", nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        QFile::remove(expectedPath());
        put("autorun.inf", "[autorun]\r\nicon=" + QByteArray(c.value) + "\r\n");
        if (c.expected) {
            EXPECT_EQ(read(), expectedPath());
            EXPECT_EQ(readFile(expectedPath()), makeIco(*c.expected));
        } else {
            EXPECT_TRUE(read().isEmpty());
            EXPECT_TRUE(tempFiles().isEmpty());
        }
    }
}

TEST_F(AutorunTest, NothingDeclaredOrReadableGivesNoIcon)
{
    put("disc.ico", kDiscIcon);
    put("notes.txt", "not an icon");
    struct Case { const char *name; QByteArray text; };
    const Case cases[] = {
        {"no autorun file", {}},
        {"other section", "[setup]\r\nicon=disc.ico\r\n"},
        {"empty value", "[autorun]\r\nicon=\r\n"},
        {"missing icon", "[autorun]\r\nicon=gone.ico\r\n"},
        {"index on an icon file", "[autorun]\r\nicon=disc.ico,1\r\n"},
        {"not a program", "[autorun]\r\nicon=notes.txt\r\n"},
        {"a folder", "[autorun]\r\nicon=icons\r\n"},
    };
    QDir().mkpath(m_disc + "/icons");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(m_disc + "/autorun.inf");
        if (!c.text.isEmpty())
            put("autorun.inf", c.text);
        EXPECT_TRUE(read().isEmpty());
        EXPECT_TRUE(tempFiles().isEmpty());
    }
    put("autorun.inf", "[autorun]\r\nicon=disc.ico,0\r\n");
    EXPECT_EQ(read(), expectedPath());
}

TEST_F(AutorunTest, NeverReadsOutsideTheDisc)
{
    const QString outside = m_base.filePath("outside.ico");
    ASSERT_TRUE(writeFile(outside, kDiscIcon));
    ASSERT_TRUE(QFile::link(outside, m_disc + "/link.ico"));
    QDir().mkpath(m_disc + "/sub");
    ASSERT_TRUE(QFile::link(m_base.path(), m_disc + "/sub/up"));
    put("huge.ico", QByteArray(kMaxIconFileSize + 1, '\0'));

    const char *values[] = {
        "..\\outside.ico",
        "sub\\..\\..\\outside.ico",
        "link.ico",
        "sub\\up\\outside.ico",
        "C:\\outside.ico",
        "huge.ico",
    };
    for (const char *value : values) {
        SCOPED_TRACE(value);
        put("autorun.inf", "[autorun]\r\nicon=" + QByteArray(value) + "\r\n");
        EXPECT_TRUE(read().isEmpty());
        EXPECT_TRUE(tempFiles().isEmpty());
    }
    // An absolute host path is read from the disc's root, where there is no such file.
    put("autorun.inf", "[autorun]\r\nicon=" + QFile::encodeName(outside) + "\r\n");
    EXPECT_TRUE(read().isEmpty());
}

TEST_F(AutorunTest, AutorunFileLeadingOutsideIsNotRead)
{
    const QString outside = m_base.filePath("elsewhere.inf");
    ASSERT_TRUE(writeFile(outside, "[autorun]\r\nicon=disc.ico\r\n"));
    put("disc.ico", kDiscIcon);
    ASSERT_TRUE(QFile::link(outside, m_disc + "/autorun.inf"));
    EXPECT_TRUE(read().isEmpty());
}

TEST_F(AutorunTest, IdentifierCannotNameAnotherFolder)
{
    put("autorun.inf", "[autorun]\r\nicon=disc.ico\r\n");
    put("disc.ico", kDiscIcon);
    for (const char *identifier : {"", "..", "../x", "a\\b"}) {
        SCOPED_TRACE(identifier);
        EXPECT_TRUE(ReadAutorunIcon(m_disc, QString::fromUtf8(identifier), m_temp).isEmpty());
    }
    EXPECT_TRUE(tempFiles().isEmpty());
    EXPECT_FALSE(QFile::exists(m_base.filePath("x.ico")));
}

} // namespace
