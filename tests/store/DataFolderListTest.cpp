#include "store/DataFolderList.h"
#include "settings/SettingsStore.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace vorn;

TEST(DataFolderList, LoadsEntriesAfterTheDefaultWithoutDuplicates)
{
    test::IsolatedSettings isolated;
    Settings::write("DataDirs", "1", "/prog/Data");
    Settings::write("DataDirs", "2", "/PROG/data/");     // the default in other letter case
    Settings::write("DataDirs", "3", "/discs/old");
    Settings::write("DataDirs", "10", "/discs/new/");
    Settings::write("DataDirs", "4", "/discs/OLD/");     // same folder again
    Settings::write("DataDirs", "Charge", "3");

    DataFolderList list("/prog/Data");
    list.load();
    EXPECT_EQ(list.folders(), QStringList({"/prog/Data/", "/discs/old/", "/discs/new/"}));
    EXPECT_EQ(list.current(), 3);
    EXPECT_EQ(list.currentFolder(), "/discs/new/");
}

TEST(DataFolderList, ChargeOutOfRangeOrAbsentOpensTheFirst)
{
    test::IsolatedSettings isolated;
    for (const char *charge : std::initializer_list<const char *>{"0", "9", "x", nullptr}) {
        Settings::deleteSection("DataDirs");
        Settings::write("DataDirs", "2", "/other");
        if (charge)
            Settings::write("DataDirs", "Charge", QString::fromLatin1(charge));
        DataFolderList list("/prog/Data/");
        list.load();
        EXPECT_EQ(list.current(), 1) << (charge ? charge : "absent");
    }
}

TEST(DataFolderList, TheDefaultCannotBeRemovedAndSavingRenumbers)
{
    test::IsolatedSettings isolated;
    DataFolderList list("/prog/Data/");
    EXPECT_EQ(list.add("/a"), 2);
    EXPECT_EQ(list.add("/b/"), 3);
    EXPECT_EQ(list.add("/A/"), 2);      // already there
    EXPECT_EQ(list.current(), 2);
    EXPECT_FALSE(list.remove(1));
    EXPECT_TRUE(list.remove(2));        // the one in use: back to the default
    EXPECT_EQ(list.current(), 1);
    EXPECT_TRUE(list.select(2));
    list.save();

    const Settings::Entries saved = Settings::readSection("DataDirs");
    ASSERT_EQ(saved.size(), 3);
    EXPECT_EQ(saved[0], qMakePair(QString("1"), QString("/prog/Data/")));
    EXPECT_EQ(saved[1], qMakePair(QString("2"), QString("/b/")));
    EXPECT_EQ(saved[2], qMakePair(QString("Charge"), QString("2")));

    DataFolderList again("/prog/Data/");
    again.load();
    EXPECT_EQ(again.folders(), list.folders());
    EXPECT_EQ(again.current(), 2);
}
