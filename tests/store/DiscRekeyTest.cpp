#include "store/DiscRekey.h"

#include "store/Catalogue.h"
#include "store/DiscArchive.h"
#include "store/IconStore.h"
#include "store/RecordText.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vorn;
using test::readFile;
using test::writeFile;

namespace {

class DiscRekeyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        catalogue.dataFolder = data.path() + u'/';
        catalogue.tempFolder = temp.path() + u'/';
        catalogue.keywords.push_back({QStringLiteral("Jazz"), 1});
        DiscRecord record;
        record.identifier = QStringLiteral("111");
        record.name = QStringLiteral("Holidays");
        record.keywordCodes = QStringLiteral("|1|");
        record.volumeLabel = QStringLiteral("HOL");
        record.description = QStringLiteral("Summer");
        for (const char *extension : {".rep", ".fic", ".text", ".ico", ".sig", ".id3"})
            ASSERT_TRUE(writeFile(catalogue.workingCopy("111", extension), QByteArray("111") + extension));
        catalogue.memberFlags = Member::Rep | Member::Fic | Member::Text | Member::Ico | Member::Sig
            | Member::Id3;
        ASSERT_TRUE(writeRecord(catalogue, record, 4));
        ASSERT_TRUE(IconStore::add(catalogue, "111"));
        catalogue.discIcons.insert("111", "111.ico");
        QDir(temp.path()).removeRecursively();
        QDir().mkpath(temp.path());
        catalogue.discs.push_back(record);

        DiscRecord other = record;
        other.identifier = QStringLiteral("222");
        other.name = QStringLiteral("Other");
        ASSERT_TRUE(writeFile(catalogue.workingCopy("222", ".rep"), "222.rep"));
        catalogue.memberFlags = Member::Rep;
        ASSERT_TRUE(writeRecord(catalogue, other, 4));
        QFile::remove(catalogue.workingCopy("222", ".rep"));
        catalogue.discs.push_back(other);
    }

    QTemporaryDir data;
    QTemporaryDir temp;
    test::IsolatedSettings settings;
    Catalogue catalogue;
};

} // namespace

TEST_F(DiscRekeyTest, EveryMemberAndTheRecordMoveToTheNewIdentifier)
{
    const QByteArray oldComment = DiscArchive::readComment(catalogue.archivePath("111")).toUtf8();
    QString error;
    ASSERT_TRUE(rekeyDisc(catalogue, 1, "-5", &error)) << error.toStdString();

    EXPECT_FALSE(QFile::exists(catalogue.archivePath("111")));
    ASSERT_TRUE(QFile::exists(catalogue.archivePath("-5")));
    EXPECT_EQ(DiscArchive::readComment(catalogue.archivePath("-5")).toUtf8(), oldComment);
    for (const char *extension : {".rep", ".fic", ".text", ".ico", ".sig", ".id3"}) {
        const auto member = DiscArchive::readMember(catalogue.archivePath("-5"), QStringLiteral("-5") + extension);
        ASSERT_TRUE(member.has_value()) << extension;
        EXPECT_EQ(*member, QByteArray("111") + extension);
    }
    EXPECT_EQ(catalogue.disc(1).identifier, "-5");
    EXPECT_EQ(catalogue.disc(1).name, "Holidays");
    EXPECT_EQ(catalogue.disc(2).identifier, "222");

    // The icon follows the disc, in memory and in the icon store, and no working copy
    // is left behind.
    EXPECT_FALSE(catalogue.discIcons.contains("111"));
    EXPECT_EQ(catalogue.discIcons.value("-5"), QByteArray("111.ico"));
    Catalogue reopened;
    reopened.dataFolder = catalogue.dataFolder;
    reopened.tempFolder = catalogue.tempFolder;
    IconStore::load(reopened);
    EXPECT_EQ(reopened.discIcons.value("-5"), QByteArray("111.ico"));
    EXPECT_TRUE(QDir(temp.path()).entryList(QDir::Files).isEmpty());

    const auto reading = readRecord(catalogue, "-5");
    ASSERT_TRUE(reading.has_value());
    EXPECT_EQ(reading->record.volumeLabel, "HOL");
    EXPECT_EQ(reading->keywordNames, "Jazz;");
}

TEST_F(DiscRekeyTest, RefusalsLeaveTheOldArchiveAndTheArrayAsTheyWere)
{
    const QByteArray before = readFile(catalogue.archivePath("111"));
    struct Case
    {
        const char *name;
        int position;
        const char *identifier;
    };
    const Case cases[] = {
        {"identifier of another archive", 1, "222"},
        {"same identifier", 1, "111"},
        {"not a number", 1, "12a"},
        {"empty", 1, ""},
        {"no such position", 3, "5"},
    };
    for (const Case &c : cases) {
        QString error;
        EXPECT_FALSE(rekeyDisc(catalogue, c.position, QString::fromLatin1(c.identifier), &error)) << c.name;
        EXPECT_FALSE(error.isEmpty()) << c.name;
        EXPECT_EQ(readFile(catalogue.archivePath("111")), before) << c.name;
        EXPECT_EQ(catalogue.disc(1).identifier, "111") << c.name;
        EXPECT_EQ(readFile(catalogue.archivePath("222")).isEmpty(), false) << c.name;
    }
}

TEST_F(DiscRekeyTest, AnUnreadableArchiveIsKeptAndNothingIsWritten)
{
    ASSERT_TRUE(writeFile(catalogue.archivePath("111"), "not a zip archive"));
    QString error;
    EXPECT_FALSE(rekeyDisc(catalogue, 1, "77", &error));
    EXPECT_EQ(readFile(catalogue.archivePath("111")), QByteArray("not a zip archive"));
    EXPECT_FALSE(QFile::exists(catalogue.archivePath("77")));
    EXPECT_EQ(catalogue.disc(1).identifier, "111");
    EXPECT_TRUE(catalogue.discIcons.contains("111"));
    EXPECT_TRUE(QDir(temp.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(DiscRekeyTest, StaleWorkingCopiesOfTheNewIdentifierAreNotPacked)
{
    ASSERT_TRUE(writeFile(catalogue.workingCopy("77", ".img1"), "stale cover"));
    ASSERT_TRUE(rekeyDisc(catalogue, 1, "77"));
    EXPECT_FALSE(DiscArchive::readMember(catalogue.archivePath("77"), "77.img1").has_value());
}
