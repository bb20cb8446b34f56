#include "store/DataFolderList.h"
#include "settings/SettingsStore.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace vorn;

TEST(DataFolderList, LoadsEntriesAfterTheDefaultWithoutDuplicates)
{
    test::IsolatedSettings isolated;
    // Numeric order; the default and a folder already listed (other letter case) are not added twice.
    for (const auto &[key, folder] : {std::pair{"1", "/prog/Data"}, {"2", "/PROG/data/"}, {"3", "/discs/old"},
                                      {"10", "/discs/new/"}, {"4", "/discs/OLD/"}, {"Charge", "3"}})
        Settings::write("DataDirs", key, folder);
    DataFolderList list("/prog/Data");
    list.load();
    EXPECT_EQ(list.folders(), QStringList({"/prog/Data/", "/discs/old/", "/discs/new/"}));
    EXPECT_EQ(list.currentFolder(), "/discs/new/");
    // A "Charge" out of range, unreadable or absent opens the first.
    for (const char *charge : {"0", "9", "x", ""}) {
        Settings::deleteSection("DataDirs");
        Settings::write("DataDirs", "2", "/other");
        if (*charge)
            Settings::write("DataDirs", "Charge", charge);
        DataFolderList other("/prog/Data/");
        other.load();
        EXPECT_EQ(other.current(), 1) << charge;
    }
}

TEST(DataFolderList, TheDefaultCannotBeRemovedAndSavingRenumbers)
{
    test::IsolatedSettings isolated;
    DataFolderList list("/prog/Data/");
    EXPECT_EQ(QList<int>({list.add("/a"), list.add("/b/"), list.add("/A/"), list.current()}), QList<int>({2, 3, 2, 2}));
    EXPECT_FALSE(list.remove(1));
    EXPECT_TRUE(list.remove(2));        // the one in use: back to the default
    EXPECT_EQ(list.current(), 1);
    EXPECT_FALSE(list.select(3));
    EXPECT_TRUE(list.select(2));
    list.save();
    EXPECT_EQ(Settings::readSection("DataDirs"), Settings::Entries({{"1", "/prog/Data/"}, {"2", "/b/"}, {"Charge", "2"}}));
    DataFolderList again("/prog/Data/");
    again.load();
    EXPECT_EQ(again.folders(), list.folders());
    EXPECT_EQ(again.current(), 2);
}
