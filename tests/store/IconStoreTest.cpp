#include "store/IconStore.h"

#include "store/Catalogue.h"
#include "store/DiscArchive.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::readFile;
using vorn::test::writeFile;

namespace {

// A stand-in icon file: an ICO header and the identifier, so each one is different.
QByteArray iconBytes(const QString &tag)
{
    return QByteArray("\0\0\1\0\1\0", 6) + tag.toUtf8();
}

class IconStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        QDir(m_root.path()).mkpath("data");
        QDir(m_root.path()).mkpath("temp");
        QDir(m_root.path()).mkpath("make");
        catalogue.dataFolder = m_root.filePath("data") + '/';
        catalogue.tempFolder = m_root.filePath("temp") + '/';
    }

    // Builds the icon store from files of the given names.
    void makeStore(const QStringList &names)
    {
        QStringList files;
        for (const QString &name : names) {
            const QString path = m_root.filePath("make/" + name);
            ASSERT_TRUE(writeFile(path, iconBytes(name)));
            files.append(path);
        }
        ASSERT_TRUE(DiscArchive::packFiles(files, catalogue.iconStorePath(), QString(), 9));
    }

    QStringList tempEntries() const
    {
        return QDir(catalogue.tempFolder)
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir m_root;
    Catalogue catalogue;
};

} // namespace

TEST_F(IconStoreTest, LoadKeysIconsByTheNumberAtTheStartOfTheirNames)
{
    makeStore({"12.ico", "-5.ico", "0042.ICO", "7 copy.ico", "notes.ico", "readme.txt"});
    catalogue.discIcons.insert("12", "already loaded");
    // The working copy of the disc shown must not be touched by the load.
    ASSERT_TRUE(writeFile(catalogue.workingCopy("-5", ".ico"), "working copy"));

    EXPECT_EQ(IconStore::load(catalogue), 3);

    const struct { const char *key; QByteArray bytes; } expected[] = {
        {"12", "already loaded"},
        {"-5", iconBytes("-5.ico")},
        {"42", iconBytes("0042.ICO")},
        {"7", iconBytes("7 copy.ico")},
    };
    EXPECT_EQ(catalogue.discIcons.size(), 4);
    for (const auto &e : expected)
        EXPECT_EQ(catalogue.discIcons.value(e.key), e.bytes) << e.key;

    EXPECT_EQ(tempEntries(), QStringList{"-5.ico"});
    EXPECT_EQ(readFile(catalogue.workingCopy("-5", ".ico")), "working copy");
}

TEST_F(IconStoreTest, LoadWithoutAStoreAddsNothing)
{
    EXPECT_EQ(IconStore::load(catalogue), 0);
    EXPECT_TRUE(catalogue.discIcons.isEmpty());
    EXPECT_EQ(tempEntries(), QStringList());
}

TEST_F(IconStoreTest, AddPacksTheWorkingCopyAndKeepsTheOthers)
{
    makeStore({"1.ico"});
    EXPECT_FALSE(IconStore::add(catalogue, "33"));   // no working copy yet
    ASSERT_TRUE(writeFile(catalogue.workingCopy("33", ".ico"), iconBytes("new")));
    ASSERT_TRUE(IconStore::add(catalogue, "33"));

    EXPECT_EQ(DiscArchive::readMember(catalogue.iconStorePath(), "33.ico"), iconBytes("new"));
    EXPECT_EQ(DiscArchive::readMember(catalogue.iconStorePath(), "1.ico"), iconBytes("1.ico"));

    // Adding again replaces the member.
    ASSERT_TRUE(writeFile(catalogue.workingCopy("33", ".ico"), iconBytes("newer")));
    ASSERT_TRUE(IconStore::add(catalogue, "33"));
    Catalogue fresh = catalogue;
    fresh.discIcons.clear();
    EXPECT_EQ(IconStore::load(fresh), 2);
    EXPECT_EQ(fresh.discIcons.value("33"), iconBytes("newer"));
}

TEST_F(IconStoreTest, AddSeveralWritesEveryKnownIconOnce)
{
    makeStore({"9.ico"});
    catalogue.discIcons.insert("1", iconBytes("one"));
    catalogue.discIcons.insert("-2", iconBytes("minus two"));
    ASSERT_TRUE(IconStore::addSeveral(catalogue, {"1", "-2", "3", "1"}));
    EXPECT_EQ(tempEntries(), QStringList());

    Catalogue fresh = catalogue;
    fresh.discIcons.clear();
    EXPECT_EQ(IconStore::load(fresh), 3);
    EXPECT_EQ(fresh.discIcons.value("1"), iconBytes("one"));
    EXPECT_EQ(fresh.discIcons.value("-2"), iconBytes("minus two"));
    EXPECT_EQ(fresh.discIcons.value("9"), iconBytes("9.ico"));
    EXPECT_FALSE(fresh.discIcons.contains("3"));

    EXPECT_TRUE(IconStore::addSeveral(catalogue, {"unknown"}));   // nothing to add
}
