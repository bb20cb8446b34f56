#include "ArchiveFixtures.h"

#include "capture/RarMembers.h"
#include "common/DayDate.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorn;
using namespace vorn::test;

namespace {

quint32 dosStamp(int year, int month, int day, int hour, int minute, int second)
{
    return (quint32(dosDate(year, month, day)) << 16) | dosTime(hour, minute, second);
}

Rar4Entry directory(const QString &name)
{
    Rar4Entry entry(name, {});
    entry.directory = true;
    return entry;
}

class RarTest : public ::testing::Test
{
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(writeFile(path, bytes));
        return path;
    }
    QTemporaryDir m_dir;
};

TEST_F(RarTest, ListsNamesFoldersSizesAndStoredDates)
{
    Rar4Entry secret("docs\\secret.txt", "xxxxxxxx", dosStamp(2004, 5, 6, 7, 8, 10));
    secret.encrypted = true;
    Rar4Entry unicode(QString::fromUtf8("docs\\Ελληνικά.txt"), "greek", dosStamp(2004, 5, 6, 7, 8, 12));
    unicode.unicode = true;
    const QString path = write("a.rar", makeRar4({
        {"readme.txt", "Hello", dosStamp(2003, 11, 22, 13, 14, 16)},
        directory("docs"),
        {"docs\\sub\\file.dat", QByteArray(300, 'd'), dosStamp(2004, 1, 2, 3, 4, 6)},
        secret,
        unicode,
    }));
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Rar, path);
    ASSERT_TRUE(listing.recognised);
    EXPECT_FALSE(listing.damaged);
    EXPECT_FALSE(listing.solid);
    ASSERT_EQ(listing.members.size(), 5u);
    struct Expected { QString name; const char *path; qint64 size; bool folder; bool encrypted; QDateTime date; };
    const Expected expected[] = {
        {"readme.txt", "", 5, false, false, QDateTime(QDate(2003, 11, 22), QTime(13, 14, 16))},
        {"docs", "", 0, true, false, QDateTime(QDate(1980, 1, 1), QTime(0, 0))},
        {"file.dat", "docs\\sub", 300, false, false, QDateTime(QDate(2004, 1, 2), QTime(3, 4, 6))},
        {"secret.txt", "docs", 8, false, true, QDateTime(QDate(2004, 5, 6), QTime(7, 8, 10))},
        {QString::fromUtf8("Ελληνικά.txt"), "docs", 5, false, false, QDateTime(QDate(2004, 5, 6), QTime(7, 8, 12))},
    };
    for (std::size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const ArchiveMember &m = listing.members[i];
        EXPECT_EQ(m.name, expected[i].name);
        EXPECT_EQ(m.path, QString::fromUtf8(expected[i].path));
        EXPECT_EQ(m.size, expected[i].size);
        EXPECT_EQ(m.folder, expected[i].folder);
        EXPECT_EQ(m.encrypted, expected[i].encrypted);
        if (i != 1) {
            EXPECT_DOUBLE_EQ(m.date, dayNumberFromDateTime(expected[i].date));
        }
    }
}

TEST_F(RarTest, ResultCodesOfTheListing)
{
    const QByteArray good = makeRar4({{"a.txt", "a"}, {"b.txt", "b"}});
    // Byte 7 starts the archive header, 20 the first file header, 20 + 32 + 5 + 1 the second.
    QByteArray badFirst = good;
    badFirst[20 + 2] = char(badFirst[20 + 2] ^ 0x01);
    QByteArray badSecond = good;
    badSecond[20 + 38 + 30] = char(badSecond[20 + 38 + 30] ^ 0x40);
    QByteArray badMain = good;
    badMain[9] = char(badMain[9] ^ 0x01);

    struct Case { const char *name; QByteArray bytes; int result; int members; };
    const Case cases[] = {
        {"good.rar", good, RarResult::Success, 2},
        {"noend.rar", makeRar4({{"a.txt", "a"}}, false, false), RarResult::Success, 1},
        {"bad-first.rar", badFirst, RarResult::BadData, 0},
        {"bad-second.rar", badSecond, RarResult::BadData, 1},
        {"bad-main.rar", badMain, RarResult::BadData, 0},
        {"cut.rar", good.left(20 + 38 + 10), RarResult::BadData, 1},
        {"not.rar", QByteArray("Rar! but not really"), RarResult::CannotOpen, 0},
        {"empty.rar", QByteArray(), RarResult::CannotOpen, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        MemberList members{ArchiveMember{}, ArchiveMember{}, ArchiveMember{}};
        EXPECT_EQ(ListRarMembers(write(c.name, c.bytes), members), c.result);
        EXPECT_EQ(int(members.size()), c.members);
    }
    MemberList none;
    EXPECT_EQ(ListRarMembers(m_dir.filePath("missing.rar"), none), RarResult::CannotOpen);
}

TEST_F(RarTest, Rar5ListingWithTimesFoldersAndEncryption)
{
    Rar5Entry withUnixTime("music/a.mp3", "abc");
    withUnixTime.unixTime = 1000000000;   // 9 September 2001 01:46:40 UTC
    Rar5Entry withFileTime("b.txt", "bee");
    withFileTime.fileTime = (1000000000ll + 11644473600ll) * 10000000ll;
    Rar5Entry folder("music", {});
    folder.directory = true;
    Rar5Entry secret("music/c.txt", "zzz");
    secret.encrypted = true;
    const QString path = write("five.rar", makeRar5({withUnixTime, withFileTime, folder, secret}, true));
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Rar, path);
    ASSERT_TRUE(listing.recognised);
    EXPECT_FALSE(listing.damaged);
    EXPECT_TRUE(listing.solid);
    ASSERT_EQ(listing.members.size(), 4u);
    const double expectedDate = dayNumberFromDateTime(QDateTime::fromSecsSinceEpoch(1000000000));
    EXPECT_EQ(listing.members[0].name, QStringLiteral("a.mp3"));
    EXPECT_EQ(listing.members[0].path, QStringLiteral("music"));
    EXPECT_DOUBLE_EQ(listing.members[0].date, expectedDate);
    EXPECT_DOUBLE_EQ(listing.members[1].date, expectedDate);
    EXPECT_TRUE(listing.members[2].folder);
    EXPECT_EQ(listing.members[2].name, QStringLiteral("music"));
    EXPECT_TRUE(listing.members[3].encrypted);
    EXPECT_FALSE(listing.members[0].encrypted);
}

TEST_F(RarTest, ReadsStoredMembersOfBothFormats)
{
    const QByteArray song = mp3Bytes(3000);
    Rar4Entry secret("secret.txt", "hidden");
    secret.encrypted = true;
    const QString four = write("four.rar", makeRar4({{"readme.txt", "Hello"}, secret, {"a\\song.mp3", song}}));
    const QString five = write("five.rar", makeRar5({{"readme.txt", "Hello"}, {"x.bin", "123"}, {"a/song.mp3", song}}));
    for (const QString &path : {four, five}) {
        SCOPED_TRACE(path.toStdString());
        const ArchiveListing listing = listArchiveMembers(ArchiveKind::Rar, path);
        ASSERT_EQ(listing.members.size(), 3u);
        const auto delivered = readAll(ArchiveKind::Rar, path, listing,
                                       {textRequest(0), textRequest(1), mp3Request(2)});
        ASSERT_EQ(delivered.size(), 3u);
        EXPECT_TRUE(delivered[0].content.complete);
        EXPECT_EQ(delivered[0].content.head, QByteArray("Hello"));
        EXPECT_EQ(delivered[1].content.complete, path == five);   // encrypted members are never read
        EXPECT_TRUE(delivered[2].content.complete);
        EXPECT_EQ(delivered[2].content.head, song.left(25));
        EXPECT_EQ(delivered[2].content.tail128, song.right(128));
    }
}

TEST_F(RarTest, ReadsMembersWithNamesOutsideAscii)
{
    Rar4Entry unicode(QString::fromUtf8("Ελληνικά\\κείμενο.txt"), "greek");
    unicode.unicode = true;
    Rar4Entry oem(QString::fromUtf8("caf\u00e9.txt"), "oem");   // written as the single byte 0xE9
    const QString path = write("names.rar", makeRar4({unicode, oem, {"plain.txt", "plain"}}));
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Rar, path);
    ASSERT_EQ(listing.members.size(), 3u);
    EXPECT_EQ(listing.members[0].path, QString::fromUtf8("Ελληνικά"));
    EXPECT_EQ(listing.members[0].name, QString::fromUtf8("κείμενο.txt"));
    EXPECT_EQ(listing.members[1].name, QString::fromUtf8("caf\u00da.txt"));   // 0xE9 in code page 850
    const auto delivered = readAll(ArchiveKind::Rar, path, listing, {textRequest(0), textRequest(1), textRequest(2)});
    ASSERT_EQ(delivered.size(), 3u);
    EXPECT_EQ(delivered[0].content.head, QByteArray("greek"));
    EXPECT_EQ(delivered[1].content.head, QByteArray("oem"));
    EXPECT_EQ(delivered[2].content.head, QByteArray("plain"));
}

TEST_F(RarTest, SolidArchiveIsReadThroughToTheWantedMembers)
{
    for (const bool five : {false, true}) {
        SCOPED_TRACE(five);
        const QString path = five
            ? write("solid5.rar", makeRar5({{"a.bin", QByteArray(50000, 'a')}, {"b.txt", "bee"}, {"c.bin", "c"}, {"d.txt", "dee"}}, true))
            : write("solid4.rar", makeRar4({{"a.bin", QByteArray(50000, 'a')}, {"b.txt", "bee"}, {"c.bin", "c"}, {"d.txt", "dee"}}, true));
        const ArchiveListing listing = listArchiveMembers(ArchiveKind::Rar, path);
        EXPECT_TRUE(listing.solid);
        const auto delivered = readAll(ArchiveKind::Rar, path, listing, {textRequest(3), textRequest(1)});
        ASSERT_EQ(delivered.size(), 2u);
        EXPECT_EQ(delivered[0].content.head, QByteArray("bee"));
        EXPECT_EQ(delivered[1].content.head, QByteArray("dee"));
    }
}

TEST_F(RarTest, ExtractRarMemberKeepsTheStoredFolders)
{
    Rar4Entry secret("secret.txt", "hidden");
    secret.encrypted = true;
    const QString path = write("x.rar", makeRar4({
        {"docs\\sub\\readme.txt", "deep"},
        {"Top.txt", "top"},
        secret,
    }));
    QTemporaryDir target;
    EXPECT_EQ(ExtractRarMember(path, "docs\\sub\\readme.txt", target.path(), 100), RarResult::Success);
    EXPECT_EQ(readFile(target.filePath("docs/sub/readme.txt")), QByteArray("deep"));
    EXPECT_EQ(ExtractRarMember(path, "top.txt", target.path(), 100), RarResult::EndOfArchive);   // case counts
    EXPECT_EQ(ExtractRarMember(path, "Top.txt", target.path(), 2), RarResult::CannotCreate);
    EXPECT_EQ(ExtractRarMember(path, "secret.txt", target.path(), 100), RarResult::MissingPassword);
    EXPECT_EQ(ExtractRarMember(path, "Top.txt", target.path(), 3), RarResult::Success);
    EXPECT_EQ(readFile(target.filePath("Top.txt")), QByteArray("top"));
    EXPECT_FALSE(QFile::exists(target.filePath("secret.txt")));
}

} // namespace
