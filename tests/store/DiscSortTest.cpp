#include "store/DiscSort.h"
#include "store/TreeFiles.h"
#include "StoreFixture.h"

using namespace vorn;

namespace {

struct DiscSortTest : test::StoreFixture
{
    void fill(std::initializer_list<std::tuple<const char *, const char *, double>> discs)
    {
        catalogue.discs.resize(1);
        for (const auto &[id, name, date] : discs) {
            addDiscs({{id, name}});
            catalogue.discs.back().burnDate = date;
        }
    }
};

} // namespace

TEST_F(DiscSortTest, OrdersByNameOrDateKeepingEqualKeysInPlace)
{
    // Names compare by folded code point, not by locale: "Zèbre" comes before "Été".
    const struct { int key; bool descending; const char *order; } cases[] = {
        {DiscSortKey::Name, false, "2,3,1,5,4,6,7"}, {DiscSortKey::Name, true, "7,6,4,1,5,2,3"},
        {DiscSortKey::BurnDate, false, "3,1,4,2,5,6,7"}, {DiscSortKey::BurnDate, true, "7,6,5,2,1,4,3"},
    };
    for (const auto &c : cases) {
        fill({{"1", "b", 20}, {"2", "A", 30}, {"3", "a", 10}, {"4", "C", 20}, {"5", "B", 40}, {"6", "Zèbre", 50},
              {"7", "Été", 60}});
        sortDiscArray(catalogue, c.key, c.descending);
        EXPECT_EQ(test::discIds(catalogue), c.order) << c.key << c.descending;
        EXPECT_EQ(catalogue.sortKey, 0);
        EXPECT_FALSE(catalogue.sortDescending);
    }
}

TEST_F(DiscSortTest, UsesTheCatalogueSortStateAndTheCurrentDiscFollows)
{
    fill({{"12", "c", 1}, {"13", "a", 3}, {"14", "b", 2}});
    catalogue.current = 1;
    catalogue.sortKey = DiscSortKey::BurnDate;
    catalogue.sortDescending = true;
    for (const char *name : {"12.fic", "12.rep", "12.x.y", "123.fic", "x12.fic", "13.fic", "12"})
        ASSERT_TRUE(test::writeFile(catalogue.tempFolder + name, "x"));
    sortDiscArray(catalogue);
    EXPECT_EQ(test::discIds(catalogue), "13,14,12");
    EXPECT_EQ(catalogue.current, 3);
    EXPECT_EQ(tempEntries(), QStringList({"12", "123.fic", "13.fic", "x12.fic"}));   // the current disc's copies go
}

TEST_F(DiscSortTest, SortingByDateComputesMissingBurnDatesFirst)
{
    fill({{"1", "late", 0}, {"2", "known", 500}, {"3", "early", 0}});
    const double dates[] = {900, 0, 100};
    for (int i = 1; i <= 3; ++i) {
        std::vector<FolderRecord> folders(1);
        folders.push_back({"f", 0, dates[i - 1], "", 0});
        writeDisc(catalogue.disc(i), {{".rep", TreeFiles::folderFileBytes(folders)}});
    }
    catalogue.memberFlags = Member::Sig;
    sortDiscArray(catalogue, DiscSortKey::BurnDate, false);
    EXPECT_EQ(test::discIds(catalogue), "3,2,1");
    EXPECT_EQ(catalogue.disc(1).burnDate, 100);
    EXPECT_EQ(catalogue.disc(3).burnDate, 900);
    EXPECT_EQ(catalogue.memberFlags, Member::Sig);
    EXPECT_EQ(readRecord(catalogue, "1")->record.burnDate, 900);
    EXPECT_EQ(tempEntries(), QStringList());
    // Sorting by name leaves unknown dates alone.
    catalogue.disc(2).burnDate = 0;
    sortDiscArray(catalogue, DiscSortKey::Name, false);
    EXPECT_EQ(test::discIds(catalogue), "3,2,1");
    EXPECT_EQ(catalogue.disc(2).burnDate, 0);
}
