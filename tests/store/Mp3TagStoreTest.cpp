#include "store/Mp3TagStore.h"

#include "settings/StringTable.h"
#include "store/DiscArchive.h"
#include "store/Mp3Summary.h"
#include "StoreFixture.h"

#include <QFileInfo>

using namespace vorn;
using vorn::test::readFile;
using vorn::test::writeFile;

namespace {

const QString kId = QStringLiteral("77");

struct Mp3TagStoreTest : test::StoreFixture
{
    QString storePath() const { return catalogue.workingCopy(kId, ".id3"); }
};

} // namespace

TEST_F(Mp3TagStoreTest, SectionsAreDecimalFileNumbersWithTheSixKeys)
{
    Mp3TagStore store;
    store.set(0, {"Morning Light", "Dawn", "The Band", "", 1999, "1"});
    store.set(1234567, {QStringLiteral("Été"), "", "", "live, 2 takes", 0, "03/12"});
    ASSERT_TRUE(store.save(storePath()));
    EXPECT_EQ(readFile(storePath()), "[0]\r\nTIT=Morning Light\r\nALB=Dawn\r\nART=The Band\r\nCOM=\r\nYEA=1999\r\nPIS=1\r\n"
                                     "[1234567]\r\nTIT=\xC3\x89t\xC3\xA9\r\nALB=\r\nART=\r\nCOM=live, 2 takes\r\nYEA=0\r\nPIS=03/12\r\n");
    Mp3TagReader reader;
    EXPECT_EQ(reader.read(catalogue, kId, 1234567), store.tags(1234567));
    EXPECT_EQ(reader.read(catalogue, kId, 0).title, "Morning Light");
    EXPECT_EQ(reader.read(catalogue, kId, 5), Mp3Tags());
    EXPECT_FALSE(store.contains(5));

    // A line break in a value cannot add keys.
    store.set(3, {"t", "a", "r", "first\r\nYEA=1066\nsecond", 2001, "2"});
    Mp3TagStore reread;
    reread.parse(store.serialize());
    EXPECT_EQ(reread.tags(3).year, 2001);
    EXPECT_EQ(reread.tags(3).comment, "first  YEA=1066 second");
    EXPECT_EQ(reread.count(), 3);
}

TEST_F(Mp3TagStoreTest, MissingWorkingCopyIsUnpackedAndAnEmptyStoreIsAnEmptyFile)
{
    Mp3TagStore store;
    store.set(0, {"Song", "Album", "Artist", "", 2010, "7"});
    ASSERT_TRUE(store.save(storePath()));
    ASSERT_TRUE(DiscArchive::pack(catalogue, kId, Member::Id3, QString(), 6));
    ASSERT_TRUE(QFile::remove(storePath()));
    Mp3TagReader reader;
    EXPECT_EQ(reader.read(catalogue, kId, 0).artist, "Artist");
    EXPECT_TRUE(QFileInfo::exists(storePath()));
    EXPECT_EQ(reader.read(catalogue, "404", 0), Mp3Tags());
    // A store without MP3 files is an empty file, replacing older tags.
    ASSERT_TRUE(Mp3TagStore().save(storePath()));
    EXPECT_EQ(QFileInfo(storePath()).size(), 0);
    EXPECT_EQ(reader.read(catalogue, kId, 0), Mp3Tags());
}

TEST(Mp3Summary, FullSummaryLabelsFollowTheLanguageAndSkipEmptyTags)
{
    const Mp3Tags tags{"Title", "", "Artist", "Note", 0, "7"};
    setLanguageOffset(0);
    EXPECT_EQ(mp3FullSummary(tags), QStringLiteral("Artiste : Artist\r\nTitre : Title\r\nPiste : 7\r\nCommentaires : Note\r\n"));
    setLanguageOffset(1000);
    EXPECT_EQ(mp3FullSummary({"", "Album", "", "", 1999, ""}), "Album: Album\r\nYear: 1999\r\n");
    setLanguageOffset(0);
}
