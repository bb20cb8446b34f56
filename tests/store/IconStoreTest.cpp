#include "store/IconStore.h"

#include "store/DiscArchive.h"
#include "StoreFixture.h"

using namespace vorn;
using vorn::test::readFile;
using vorn::test::writeFile;

namespace {

// A stand-in icon file: an ICO header and a tag, so each one is different.
QByteArray iconBytes(const QString &tag)
{
    return QByteArray("\0\0\1\0\1\0", 6) + tag.toUtf8();
}

struct IconStoreTest : test::StoreFixture
{
    QTemporaryDir make;

    // Builds the icon store from files of the given names.
    void makeStore(const QStringList &names)
    {
        QStringList files;
        for (const QString &name : names) {
            ASSERT_TRUE(writeFile(make.filePath(name), iconBytes(name)));
            files.append(make.filePath(name));
        }
        ASSERT_TRUE(DiscArchive::packFiles(files, catalogue.iconStorePath(), QString(), 9));
    }
    QHash<QString, QByteArray> reloaded() const
    {
        Catalogue fresh = catalogue;
        fresh.discIcons.clear();
        IconStore::load(fresh);
        return fresh.discIcons;
    }
};

} // namespace

TEST_F(IconStoreTest, LoadKeysIconsByTheNumberAtTheStartOfTheirNames)
{
    EXPECT_EQ(catalogue.iconStorePath(), data.filePath("VORN.Icons"));
    EXPECT_EQ(IconStore::load(catalogue), 0);   // no store: nothing
    makeStore({"12.ico", "-5.ico", "0042.ICO", "7 copy.ico", "notes.ico", "readme.txt"});
    catalogue.discIcons.insert("12", "already loaded");
    // The working copy of the disc shown must not be touched by the load.
    ASSERT_TRUE(writeFile(catalogue.workingCopy("-5", ".ico"), "working copy"));
    EXPECT_EQ(IconStore::load(catalogue), 3);
    const QHash<QString, QByteArray> expected = {{"12", "already loaded"}, {"-5", iconBytes("-5.ico")},
                                                 {"42", iconBytes("0042.ICO")}, {"7", iconBytes("7 copy.ico")}};
    EXPECT_EQ(catalogue.discIcons, expected);
    EXPECT_EQ(tempEntries(), QStringList{"-5.ico"});
    EXPECT_EQ(readFile(catalogue.workingCopy("-5", ".ico")), "working copy");
}

TEST_F(IconStoreTest, AddPacksTheWorkingCopyAndKeepsTheOthers)
{
    makeStore({"1.ico"});
    EXPECT_FALSE(IconStore::add(catalogue, "33"));   // no working copy yet
    for (const char *icon : {"new", "newer"}) {   // adding again replaces the member
        ASSERT_TRUE(writeFile(catalogue.workingCopy("33", ".ico"), iconBytes(icon)));
        ASSERT_TRUE(IconStore::add(catalogue, "33"));
    }
    const QHash<QString, QByteArray> expected = {{"1", iconBytes("1.ico")}, {"33", iconBytes("newer")}};
    EXPECT_EQ(reloaded(), expected);
}

TEST_F(IconStoreTest, AddSeveralWritesEveryKnownIconOnce)
{
    makeStore({"9.ico"});
    catalogue.discIcons.insert("1", iconBytes("one"));
    catalogue.discIcons.insert("-2", iconBytes("minus two"));
    ASSERT_TRUE(IconStore::addSeveral(catalogue, {"1", "-2", "3", "1"}));
    EXPECT_EQ(tempEntries(), QStringList());
    const QHash<QString, QByteArray> expected = {{"1", iconBytes("one")}, {"-2", iconBytes("minus two")},
                                                 {"9", iconBytes("9.ico")}};
    EXPECT_EQ(reloaded(), expected);
    EXPECT_TRUE(IconStore::addSeveral(catalogue, {"unknown"}));   // nothing to add
}
