#include "store/DiscRekey.h"

#include "store/DiscArchive.h"
#include "store/IconStore.h"
#include "StoreFixture.h"

using namespace vorn;
using test::readFile;
using test::writeFile;

namespace {

const char *const Extensions[] = {".rep", ".fic", ".text", ".ico", ".sig", ".id3"};

struct DiscRekeyTest : test::StoreFixture
{
    test::IsolatedSettings settings;

    DiscRekeyTest()
    {
        catalogue.keywords.push_back({QStringLiteral("Jazz"), 1});
        DiscRecord record;
        record.identifier = "111";
        record.name = "Holidays";
        record.keywordCodes = "|1|";
        record.volumeLabel = "HOL";
        std::vector<std::pair<const char *, QByteArray>> members;
        for (const char *extension : Extensions)
            members.push_back({extension, QByteArray("111") + extension});
        catalogue.discs.push_back(writeDisc(record, members));
        EXPECT_TRUE(writeFile(catalogue.workingCopy("111", ".ico"), "111.ico"));
        EXPECT_TRUE(IconStore::add(catalogue, "111"));
        QFile::remove(catalogue.workingCopy("111", ".ico"));
        catalogue.discIcons.insert("111", "111.ico");
        catalogue.discs.push_back(writeDisc("222", "Other"));
    }
};

} // namespace

TEST_F(DiscRekeyTest, EveryMemberAndTheRecordMoveToTheNewIdentifier)
{
    const QString oldComment = DiscArchive::readComment(catalogue.archivePath("111"));
    QString error;
    ASSERT_TRUE(rekeyDisc(catalogue, 1, "-5", &error)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(catalogue.archivePath("111")));
    EXPECT_EQ(DiscArchive::readComment(catalogue.archivePath("-5")), oldComment);
    for (const char *extension : Extensions)
        EXPECT_EQ(DiscArchive::readMember(catalogue.archivePath("-5"), QStringLiteral("-5") + extension),
                  QByteArray("111") + extension) << extension;
    EXPECT_EQ(test::discIds(catalogue), "-5,222");
    EXPECT_EQ(catalogue.disc(1).name, "Holidays");
    EXPECT_EQ(readRecord(catalogue, "-5").value().keywordNames, "Jazz;");
    // The icon follows the disc, in memory and in the icon store; no working copy is left.
    const QHash<QString, QByteArray> icons = {{"-5", "111.ico"}};
    EXPECT_EQ(catalogue.discIcons, icons);
    Catalogue reopened = catalogue;
    reopened.discIcons.clear();
    IconStore::load(reopened);
    EXPECT_EQ(reopened.discIcons, icons);   // the old identifier's icon is gone from the store
    EXPECT_EQ(tempEntries(), QStringList());
}

TEST_F(DiscRekeyTest, RefusalsLeaveTheOldArchiveAndTheArrayAsTheyWere)
{
    const QByteArray before = readFile(catalogue.archivePath("111"));
    const struct { const char *name; int position; const char *identifier; } cases[] = {
        {"identifier of another archive", 1, "222"}, {"same identifier", 1, "111"}, {"not a number", 1, "12a"},
        {"empty", 1, ""}, {"no such position", 3, "5"},
    };
    for (const auto &c : cases) {
        QString error;
        EXPECT_FALSE(rekeyDisc(catalogue, c.position, QString::fromLatin1(c.identifier), &error)) << c.name;
        EXPECT_FALSE(error.isEmpty()) << c.name;
        EXPECT_EQ(readFile(catalogue.archivePath("111")), before) << c.name;
        EXPECT_EQ(test::discIds(catalogue), "111,222") << c.name;
        EXPECT_TRUE(QFile::exists(catalogue.archivePath("222"))) << c.name;
    }
}

TEST_F(DiscRekeyTest, AnUnreadableArchiveIsKeptAndNothingIsWritten)
{
    ASSERT_TRUE(writeFile(catalogue.archivePath("111"), "not a zip archive"));
    EXPECT_FALSE(rekeyDisc(catalogue, 1, "77"));
    EXPECT_EQ(readFile(catalogue.archivePath("111")), QByteArray("not a zip archive"));
    EXPECT_FALSE(QFile::exists(catalogue.archivePath("77")));
    EXPECT_EQ(catalogue.disc(1).identifier, "111");
    EXPECT_TRUE(catalogue.discIcons.contains("111"));
    EXPECT_EQ(tempEntries(), QStringList());
}

TEST_F(DiscRekeyTest, StaleWorkingCopiesOfTheNewIdentifierAreNotPacked)
{
    ASSERT_TRUE(writeFile(catalogue.workingCopy("77", ".img1"), "stale cover"));
    ASSERT_TRUE(rekeyDisc(catalogue, 1, "77"));
    EXPECT_FALSE(DiscArchive::readMember(catalogue.archivePath("77"), "77.img1").has_value());
}
