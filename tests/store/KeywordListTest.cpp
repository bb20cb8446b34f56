#include "store/KeywordCounts.h"
#include "store/KeywordList.h"
#include "StoreFixture.h"

using namespace vorn;

namespace {

struct KeywordListTest : test::StoreFixture {};

} // namespace

TEST_F(KeywordListTest, WritesNumberAndQuotedNamePerLineAndReadsThemBack)
{
    EXPECT_EQ(catalogue.keywordListPath(), data.filePath("MC.txt"));
    catalogue.keywords.push_back({"old", 1});
    EXPECT_TRUE(KeywordList::read(catalogue));   // no file: an empty list, not a failure
    EXPECT_EQ(catalogue.keywords.size(), 1u);
    catalogue.keywords.push_back({"Jazz", 3});
    catalogue.keywords.push_back({QStringLiteral("Été \"chaud\""), 1});
    ASSERT_TRUE(KeywordList::write(catalogue));
    EXPECT_EQ(test::readFile(catalogue.keywordListPath()), QByteArray("3,\"Jazz\"\r\n1,\"\xC3\x89t\xC3\xA9 'chaud'\"\r\n"));
    catalogue.keywords.push_back({"stale", 9});
    ASSERT_TRUE(KeywordList::read(catalogue));
    EXPECT_EQ(test::keywordsText(catalogue.keywords), QStringLiteral("3=Jazz;1=Été 'chaud'"));
}

TEST(KeywordList, ReadsOlderFilesAndToleratesDamage)
{
    const struct { QByteArray bytes; QString entries; } cases[] = {
        {"", ""}, {"1,\"A\"\r\n\r\n2,\"B\"", "1=A;2=B"}, {"5,\"\xE9t\xE9\"\n", QStringLiteral("5=été")},
        {"x,\"A\"\r\n7\r\n", "0=A;7="}, {"1,\"cut", "1=cut"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(test::keywordsText(KeywordList::parse(c.bytes), 0), c.entries) << c.bytes.constData();
}

TEST(KeywordList, FindSearchesFromTheLastEntryIgnoringCase)
{
    Catalogue catalogue;
    EXPECT_EQ(KeywordList::find(catalogue, u"jazz"), 0);
    EXPECT_EQ(KeywordList::add(catalogue, "Jazz"), 1);
    catalogue.keywords.push_back({"Rock", 12});
    catalogue.keywords.push_back({"JAZZ", 4});
    EXPECT_EQ(KeywordList::find(catalogue, u"jazz"), 3);
    EXPECT_EQ(KeywordList::find(catalogue, u"ROCK"), 2);
    EXPECT_EQ(KeywordList::find(catalogue, u"Roc"), 0);
    EXPECT_EQ(KeywordList::nextNumber(catalogue), 13);
    EXPECT_EQ(KeywordList::add(catalogue, "Pop"), 4);
    EXPECT_EQ(test::keywordsText(catalogue.keywords), "1=Jazz;12=Rock;4=JAZZ;13=Pop");
    EXPECT_EQ(KeywordList::findNumber(catalogue, 12), 2);
    EXPECT_EQ(KeywordList::findNumber(catalogue, 99), 0);
}

TEST(KeywordCounts, WholeNumbersBetweenBarsOnly)
{
    Catalogue catalogue;
    catalogue.discs.resize(1);
    for (const char *codes : {"|1|12|", "|2|", "|", "|21|1|"}) {
        catalogue.discs.emplace_back();
        catalogue.discs.back().keywordCodes = QString::fromLatin1(codes);
    }
    EXPECT_EQ(discsCarrying(catalogue, 1), 2);
    EXPECT_EQ(discsCarrying(catalogue, 2), 1);
    EXPECT_EQ(discsCarrying(catalogue, 12), 1);
    EXPECT_EQ(discsCarrying(catalogue, 3), 0);
}
