#include "settings/OptionsWord.h"
#include "settings/IniText.h"
#include "settings/SettingsFileFormat.h"
#include "settings/SettingsStore.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vorn;

TEST(SettingsStore, AbsentKeysGiveTheDefaultAndWrittenValuesReadBackWhole)
{
    test::IsolatedSettings isolated;
    EXPECT_EQ(Settings::read("Opt", "FiltresZip", "*.ZIP;*.EXE;"), "*.ZIP;*.EXE;");
    EXPECT_FALSE(Settings::contains("Opt", "FiltresZip"));
    Settings::write("Opt", "FiltresZip", "*.ZIP;");
    EXPECT_EQ(Settings::read("Opt", "FiltresZip", "*.ZIP;*.EXE;"), "*.ZIP;");
    EXPECT_TRUE(Settings::contains("Opt", "FiltresZip"));
    const QString values[] = {"/home/é/Data, old/", "a=b;c", "\"quoted\"", "  spaced  ", "x\\y"};
    for (int i = 0; i < 5; ++i)
        Settings::write("Dirs", QString::number(i), values[i]);
    Settings::sync();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Settings::read("Dirs", QString::number(i)), values[i]);
}

// The settings file is read and written by our own INI code: a file Qt wrote must read
// back the same through it, and the file it writes must be the one Qt would write.
TEST(SettingsStore, SettingsFileTextIsTheTextOfQtsOwnIniFormat)
{
    const std::pair<QString, QString> entries[] = {
        {"Dirs/0", "/home/é/Data, old/"},
        {"Opt/Filtres", "*.ZIP;*.EXE;"},
        {"Opt/Quote", "say \"hi\""},
        {"Opt/Equals", "a=b"},
        {"Opt/Back", "C:\\Temp\\x\\"},
        {"Opt/At", "@home"},
        {"Opt/AtType", "@ByteArray(x)"},
        {"Opt/Spaces", "  spaced  "},
        {"Opt/Lines", "one\ntwo\r\tthree\x07" "a"},
        {"Opt/Nul", QString::fromUtf8("a\0" "1b", 4)},
        {"Opt/Empty", ""},
        {"Opt/a/b", "a key with a slash"},
        {"Key with spaces %/Clé Ключ", "日本語 ✓ 😀"},
        {"General/x", "a section named General"},
        {"Top", "top-level"},
    };
    QTemporaryDir folder;
    const QString byQt = folder.filePath("qt.conf");
    const QString byUs = folder.filePath("us.conf");
    {
        QSettings qt(byQt, QSettings::IniFormat);
        QSettings us(byUs, settingsFileFormat());
        for (const auto &[key, value] : entries) {
            qt.setValue(key, value);
            us.setValue(key, value);
        }
    }
    EXPECT_EQ(test::readFile(byUs), test::readFile(byQt));
    // QSettings keeps what it read of a file for as long as the process lives: each
    // reading opens a copy under a name no QSettings has seen yet.
    ASSERT_TRUE(QFile::copy(byQt, byQt + "-ours") && QFile::copy(byUs, byUs + "-qt"));
    const QSettings ourReading(byQt + "-ours", settingsFileFormat());
    const QSettings qtReading(byUs + "-qt", QSettings::IniFormat);
    for (const auto &[key, value] : entries) {
        EXPECT_EQ(ourReading.value(key), QVariant(value)) << key.toStdString();
        EXPECT_EQ(qtReading.value(key), QVariant(value)) << key.toStdString();
    }
    EXPECT_EQ(ourReading.allKeys().size(), qsizetype(std::size(entries)));
}

// Hand-edited files: comments, lists, escapes, continued lines read as Qt reads them.
TEST(SettingsStore, HandWrittenSettingsReadAsQtReadsThem)
{
    const char *lines[] = {
        "\xEF\xBB\xBF[General]",
        "plain = value with trailing spaces   ",
        "list = a, b ,\"c, d\"",
        "one, =x,",
        "comment=kept ; dropped",
        "; a whole comment line",
        "escapes=\\x41\\101\\q\\x\\\"\\?",
        "continued=first \\",
        " second",
        "quoted=\"a;b\"  tail  ",
        "typed=@Invalid()",
        "typedList=@@a, @Invalid()",
        "raw clé=é",
        "%U00E9%41%zz%=1",
        "  [ Sec\\Sub ]  ",
        "key\\deep=2",
        "no equals sign",
        "[%general]",
        "x=\"multi",
        "line\"",
        "[unclosed",
        "y=3",
        "[",
        "z=4",
        "bom=\x01\xEF\xBB\xBF" "b",
        "lone=\\xdc00x",
    };
    QTemporaryDir folder;
    QByteArray text;
    for (const char *line : lines)
        text += QByteArray(line) + "\r\n";
    ASSERT_TRUE(test::writeFile(folder.filePath("qt.conf"), text) && test::writeFile(folder.filePath("us.conf"), text));
    const QSettings qt(folder.filePath("qt.conf"), QSettings::IniFormat);
    const QSettings us(folder.filePath("us.conf"), settingsFileFormat());
    EXPECT_EQ(us.allKeys(), qt.allKeys());
    for (const QString &key : qt.allKeys())
        EXPECT_EQ(us.value(key), qt.value(key)) << key.toStdString();
    // Written out again by us, the same file reads the same through Qt.
    QSettings::SettingsMap read;
    IniText::read(text, read);
    ASSERT_TRUE(test::writeFile(folder.filePath("again.conf"), IniText::write(read)));
    const QSettings again(folder.filePath("again.conf"), QSettings::IniFormat);
    EXPECT_EQ(again.allKeys(), qt.allKeys());
    for (const QString &key : qt.allKeys())
        EXPECT_EQ(again.value(key), qt.value(key)) << key.toStdString();
}

TEST(SettingsStore, NumbersAbsentGiveDefaultAndTextGivesZero)
{
    test::IsolatedSettings isolated;
    struct Case { const char *stored; qint64 expected; };
    const Case cases[] = {
        {nullptr, 8}, {"12", 12}, {"-3", -3}, {"abc", 0}, {"", 0}, {"  7", 7}, {"9x", 9},
    };
    for (const Case &c : cases) {
        Settings::deleteSection("Opt");
        if (c.stored)
            Settings::write("Opt", "FontSize", QString::fromUtf8(c.stored));
        EXPECT_EQ(Settings::readNumber("Opt", "FontSize", 8), c.expected)
            << (c.stored ? c.stored : "(absent)");
    }
}

TEST(SettingsStore, WholeSectionListsNumericKeysInNumericOrderThenNames)
{
    test::IsolatedSettings isolated;
    for (const char *key : {"10", "Charge", "2", "1", "Alpha", "11", "3"})
        Settings::write("DataDirs", QString::fromUtf8(key), QStringLiteral("v") + QString::fromUtf8(key));
    const Settings::Entries entries = Settings::readSection("DataDirs");
    QStringList keys;
    for (const auto &[key, value] : entries) {
        keys << key;
        EXPECT_EQ(value, "v" + key);
    }
    EXPECT_EQ(keys, QStringList({"1", "2", "3", "10", "11", "Alpha", "Charge"}));
    EXPECT_TRUE(Settings::readSection("Absent").isEmpty());
    Settings::write("Pos", "Top", "10");
    Settings::deleteSection("DataDirs");   // the other sections stay
    EXPECT_TRUE(Settings::readSection("DataDirs").isEmpty());
    EXPECT_EQ(Settings::read("Pos", "Top"), "10");
}

TEST(OptionsWord, DefaultAndTestOption)
{
    test::IsolatedSettings isolated;
    EXPECT_EQ(ReadOptionsWord(), 9695);
    EXPECT_EQ(TestOption(9695, 1 | 2), 1);
    EXPECT_EQ(TestOption(9695, 16 | 32), 0);   // all bits must be set
    WriteOptionsWord(4096);
    EXPECT_EQ(ReadOptionsWord(), 4096);
}

TEST(OptionsWord, UpgradeStartsFromTheWordWithoutEject)
{
    EXPECT_EQ(programVersionKey(1, 5, 3), "1053");
    EXPECT_EQ(startupOptionsWord("1053", "1053", 9695), 9695);
    EXPECT_EQ(startupOptionsWord("1052", "1053", 9695), 9679);
    EXPECT_EQ(startupOptionsWord("", "1053", 1), 9679);
    EXPECT_EQ(TestOption(9679, Opt::EjectAfterCataloguing), 0);

    test::IsolatedSettings isolated;
    WriteOptionsWord(9695 | 4096);
    EXPECT_EQ(startupOptionsWord(), 9679);      // no "Version" stored yet
    Settings::write("Opt", "Version", programVersionKey());
    EXPECT_EQ(startupOptionsWord(), 9695 | 4096);
}
