#include "settings/OptionsWord.h"
#include "settings/SettingsStore.h"
#include "support/TestSupport.h"

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
