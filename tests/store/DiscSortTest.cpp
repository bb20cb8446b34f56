#include "store/Catalogue.h"
#include "store/DiscSort.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorn;

namespace {

struct Disc { const char *id; const char *name; double date; };

void fill(Catalogue &catalogue, std::initializer_list<Disc> discs)
{
    for (const Disc &d : discs) {
        DiscRecord record;
        record.identifier = d.id;
        record.name = QString::fromUtf8(d.name);
        record.burnDate = d.date;
        catalogue.discs.push_back(record);
    }
}

QString ids(const Catalogue &catalogue)
{
    QStringList list;
    for (int i = 1; i <= catalogue.discCount(); ++i)
        list << catalogue.disc(i).identifier;
    return list.join(u',');
}

} // namespace

TEST(DiscSort, OrdersByNameOrDateKeepingEqualKeysInPlace)
{
    const struct { int key; bool descending; const char *order; } cases[] = {
        // Names compare by folded code point, not by locale: "Zèbre" comes before "Été".
        {DiscSortKey::Name, false, "2,3,1,5,4,6,7"},
        {DiscSortKey::Name, true, "7,6,4,1,5,2,3"},
        {DiscSortKey::BurnDate, false, "3,1,4,2,5,6,7"},
        {DiscSortKey::BurnDate, true, "7,6,5,2,1,4,3"},
    };
    for (const auto &c : cases) {
        QTemporaryDir temp;
        Catalogue catalogue;
        catalogue.tempFolder = temp.path() + u'/';
        fill(catalogue, {{"1", "b", 20}, {"2", "A", 30}, {"3", "a", 10}, {"4", "C", 20},
                         {"5", "B", 40}, {"6", "Zèbre", 50}, {"7", "Été", 60}});
        sortDiscArray(catalogue, c.key, c.descending);
        EXPECT_EQ(ids(catalogue), QString::fromUtf8(c.order)) << c.key << c.descending;
        EXPECT_EQ(catalogue.sortKey, 0);
        EXPECT_FALSE(catalogue.sortDescending);
    }
}

TEST(DiscSort, UsesTheCatalogueSortStateAndTheCurrentDiscFollows)
{
    QTemporaryDir temp;
    Catalogue catalogue;
    catalogue.tempFolder = temp.path() + u'/';
    fill(catalogue, {{"12", "c", 1}, {"13", "a", 3}, {"14", "b", 2}});
    catalogue.current = 1;
    catalogue.sortKey = DiscSortKey::BurnDate;
    catalogue.sortDescending = true;
    for (const char *name : {"12.fic", "12.rep", "12.x.y", "123.fic", "x12.fic", "13.fic", "12"})
        ASSERT_TRUE(test::writeFile(catalogue.tempFolder + name, "x"));

    sortDiscArray(catalogue);
    EXPECT_EQ(ids(catalogue), QStringLiteral("13,14,12"));
    EXPECT_EQ(catalogue.current, 3);
    QStringList left = QDir(temp.path()).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, QStringList({"12", "123.fic", "13.fic", "x12.fic"}));
}

TEST(DiscSort, SortingByDateComputesMissingBurnDatesFirst)
{
    QTemporaryDir data;
    QTemporaryDir temp;
    Catalogue catalogue;
    catalogue.dataFolder = data.path() + u'/';
    catalogue.tempFolder = temp.path() + u'/';
    fill(catalogue, {{"1", "late", 0}, {"2", "known", 500}, {"3", "early", 0}});
    const double dates[] = {900, 0, 100};
    for (int i = 1; i <= 3; ++i) {
        std::vector<FolderRecord> folders(1);
        folders.push_back({"f", 0, dates[i - 1], "", 0});
        const QString id = catalogue.disc(i).identifier;
        ASSERT_TRUE(test::writeFile(catalogue.workingCopy(id, ".rep"),
                                    TreeFiles::folderFileBytes(folders)));
        catalogue.memberFlags = Member::Rep;
        ASSERT_TRUE(writeRecord(catalogue, catalogue.disc(i), 4));
        QFile::remove(catalogue.workingCopy(id, ".rep"));
    }

    catalogue.memberFlags = Member::Sig;
    sortDiscArray(catalogue, DiscSortKey::BurnDate, false);
    EXPECT_EQ(ids(catalogue), QStringLiteral("3,2,1"));
    EXPECT_EQ(catalogue.disc(1).burnDate, 100);
    EXPECT_EQ(catalogue.disc(3).burnDate, 900);
    EXPECT_EQ(catalogue.memberFlags, Member::Sig);
    EXPECT_EQ(readRecord(catalogue, "1")->record.burnDate, 900);
    EXPECT_TRUE(QDir(temp.path()).entryList(QDir::Files).isEmpty());

    // Sorting by name leaves unknown dates alone.
    catalogue.disc(2).burnDate = 0;
    sortDiscArray(catalogue, DiscSortKey::Name, false);
    EXPECT_EQ(ids(catalogue), QStringLiteral("3,2,1"));
    EXPECT_EQ(catalogue.disc(2).burnDate, 0);
}
