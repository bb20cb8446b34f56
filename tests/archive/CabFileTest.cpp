#include "ArchiveFixtures.h"

namespace {

class CabTest : public ArchiveTest
{
protected:
    const QByteArray m_song = mp3Bytes(40000);
    const QString m_path = write("data.cab", makeCab({
        {"setup.inf", "[Setup]\r\n", dosDate(1998, 7, 14), dosTime(10, 20, 31)},
        {"docs\\readme.txt", "Read me", dosDate(2002, 1, 2), dosTime(3, 4, 6)},
        {"docs\\music\\song.mp3", m_song, dosDate(2002, 1, 2), dosTime(3, 4, 8)},
        {"big.bin", QByteArray(70000, 'z'), dosDate(2002, 1, 2), dosTime(3, 4, 10)},
    }));
};

TEST_F(CabTest, ListsNamesFoldersSizesAndDatesToTheSecond)
{
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Cab, m_path);
    EXPECT_TRUE(listing.recognised);
    EXPECT_FALSE(listing.damaged);
    const QDate day(2002, 1, 2);
    expectMembers(listing, {{"setup.inf", "", 9, false, false, QDateTime(QDate(1998, 7, 14), QTime(10, 20, 30))},
                            {"readme.txt", "docs", 7, false, false, QDateTime(day, QTime(3, 4, 6))},
                            {"song.mp3", "docs\\music", m_song.size(), false, false, QDateTime(day, QTime(3, 4, 8))},
                            {"big.bin", "", 70000, false, false, QDateTime(day, QTime(3, 4, 10))}});
}

TEST_F(CabTest, ReadsTextAndMp3Members)
{
    const auto delivered = readAll(ArchiveKind::Cab, m_path, listArchiveMembers(ArchiveKind::Cab, m_path),
                                   {mp3Request(2), textRequest(0), textRequest(1, 6), textRequest(3, 70000)});
    ASSERT_EQ(delivered.size(), 4u);
    EXPECT_TRUE(delivered[0].content.complete);
    EXPECT_EQ(delivered[0].content.head, QByteArray("[Setup]\r\n"));
    EXPECT_FALSE(delivered[1].content.complete);
    EXPECT_EQ(delivered[2].index, 2);
    EXPECT_TRUE(delivered[2].content.complete);
    EXPECT_EQ(delivered[2].content.head, m_song.left(25));
    EXPECT_EQ(delivered[2].content.tail128, m_song.right(128));
    EXPECT_EQ(delivered[2].content.size, m_song.size());
    EXPECT_EQ(delivered[3].content.head, QByteArray(70000, 'z'));
}

} // namespace
