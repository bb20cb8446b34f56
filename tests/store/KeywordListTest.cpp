#include "store/Catalogue.h"
#include "store/KeywordList.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorn;

namespace {

Catalogue inFolder(const QTemporaryDir &dir)
{
    Catalogue catalogue;
    catalogue.dataFolder = dir.path() + u'/';
    return catalogue;
}

} // namespace

TEST(KeywordList, WritesNumberAndQuotedNamePerLine)
{
    QTemporaryDir dir;
    Catalogue catalogue = inFolder(dir);
    catalogue.keywords.push_back({"Jazz", 3});
    catalogue.keywords.push_back({QStringLiteral("Été \"chaud\""), 1});
    ASSERT_TRUE(KeywordList::write(catalogue));
    EXPECT_EQ(test::readFile(catalogue.keywordListPath()),
              QByteArray("3,\"Jazz\"\r\n1,\"\xC3\x89t\xC3\xA9 'chaud'\"\r\n"));

    Catalogue reread = inFolder(dir);
    reread.keywords.push_back({"stale", 9});
    ASSERT_TRUE(KeywordList::read(reread));
    ASSERT_EQ(reread.keywords.size(), 3u);
    EXPECT_EQ(reread.keywords[1].name, QStringLiteral("Jazz"));
    EXPECT_EQ(reread.keywords[1].number, 3);
    EXPECT_EQ(reread.keywords[2].name, QStringLiteral("Été 'chaud'"));
    EXPECT_EQ(reread.keywords[2].number, 1);
}

TEST(KeywordList, ReadsOlderFilesAndToleratesDamage)
{
    const struct { QByteArray bytes; std::vector<KeywordEntry> entries; } cases[] = {
        {"", {}},
        {"1,\"A\"\r\n\r\n2,\"B\"", {{"A", 1}, {"B", 2}}},
        {"5,\"\xE9t\xE9\"\n", {{QStringLiteral("été"), 5}}},
        {"x,\"A\"\r\n7\r\n", {{"A", 0}, {"", 7}}},
        {"1,\"cut", {{"cut", 1}}},
    };
    for (const auto &c : cases) {
        const std::vector<KeywordEntry> entries = KeywordList::parse(c.bytes);
        ASSERT_EQ(entries.size(), c.entries.size()) << c.bytes.constData();
        for (size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(entries[i].name, c.entries[i].name) << c.bytes.constData();
            EXPECT_EQ(entries[i].number, c.entries[i].number) << c.bytes.constData();
        }
    }
}

TEST(KeywordList, MissingFileGivesAnEmptyList)
{
    QTemporaryDir dir;
    Catalogue catalogue = inFolder(dir);
    catalogue.keywords.push_back({"old", 1});
    EXPECT_TRUE(KeywordList::read(catalogue));
    EXPECT_EQ(catalogue.keywords.size(), 1u);
}

TEST(KeywordList, FindSearchesFromTheLastEntryIgnoringCase)
{
    Catalogue catalogue;
    EXPECT_EQ(KeywordList::find(catalogue, u"jazz"), 0);
    EXPECT_EQ(KeywordList::nextNumber(catalogue), 1);
    EXPECT_EQ(KeywordList::add(catalogue, "Jazz"), 1);
    EXPECT_EQ(catalogue.keywords[1].number, 1);
    catalogue.keywords.push_back({"Rock", 12});
    catalogue.keywords.push_back({"JAZZ", 4});
    EXPECT_EQ(KeywordList::find(catalogue, u"jazz"), 3);
    EXPECT_EQ(KeywordList::find(catalogue, u"ROCK"), 2);
    EXPECT_EQ(KeywordList::find(catalogue, u"Roc"), 0);
    EXPECT_EQ(KeywordList::nextNumber(catalogue), 13);
    EXPECT_EQ(KeywordList::add(catalogue, "Pop"), 4);
    EXPECT_EQ(catalogue.keywords[4].number, 13);
    EXPECT_EQ(KeywordList::findNumber(catalogue, 12), 2);
    EXPECT_EQ(KeywordList::findNumber(catalogue, 99), 0);
}
