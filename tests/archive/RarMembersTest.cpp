#include "ArchiveFixtures.h"

namespace {

quint32 dosStamp(int year, int month, int day, int hour, int minute, int second)
{
    return (quint32(dosDate(year, month, day)) << 16) | dosTime(hour, minute, second);
}

using RarTest = ArchiveTest;

TEST_F(RarTest, ListsNamesFoldersSizesAndStoredDates)
{
    const QString greek = QString::fromUtf8("Ελληνικά.txt");
    const QString path = write("a.rar", makeRar4({
        {"readme.txt", "Hello", dosStamp(2003, 11, 22, 13, 14, 16)},
        {"docs", {}, 0, true},
        {"docs\\sub\\file.dat", QByteArray(300, 'd'), dosStamp(2004, 1, 2, 3, 4, 6)},
        {"docs\\secret.txt", "xxxxxxxx", dosStamp(2004, 5, 6, 7, 8, 10), false, true},
        {"docs\\" + greek, "greek", dosStamp(2004, 5, 6, 7, 8, 12), false, false, true},
    }));
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Rar, path);
    EXPECT_TRUE(listing.recognised);
    EXPECT_FALSE(listing.damaged);
    EXPECT_FALSE(listing.solid);
    expectMembers(listing, {{"readme.txt", "", 5, false, false, QDateTime(QDate(2003, 11, 22), QTime(13, 14, 16))},
                            {"docs", "", 0, true, false, {}},
                            {"file.dat", "docs\\sub", 300, false, false, QDateTime(QDate(2004, 1, 2), QTime(3, 4, 6))},
                            {"secret.txt", "docs", 8, false, true, QDateTime(QDate(2004, 5, 6), QTime(7, 8, 10))},
                            {greek, "docs", 5, false, false, QDateTime(QDate(2004, 5, 6), QTime(7, 8, 12))}});
}

TEST_F(RarTest, Rar5ListingWithTimesFoldersAndEncryption)
{
    const QString path = write("five.rar", makeRar5({
        {"music/a.mp3", "abc", 1000000000},   // 9 September 2001 01:46:40 UTC
        {"b.txt", "bee", -1, (1000000000ll + 11644473600ll) * 10000000ll},
        {"music", {}, -1, -1, true},
        {"music/c.txt", "zzz", -1, -1, false, true},
    }, true));
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Rar, path);
    EXPECT_TRUE(listing.recognised);
    EXPECT_FALSE(listing.damaged);
    EXPECT_TRUE(listing.solid);
    const QDateTime time = QDateTime::fromSecsSinceEpoch(1000000000);
    expectMembers(listing, {{"a.mp3", "music", 3, false, false, time}, {"b.txt", "", 3, false, false, time},
                            {"music", "", 0, true, false, {}}, {"c.txt", "music", 3, false, true, {}}});
}

TEST_F(RarTest, ReadsStoredMembersOfBothFormatsWithNamesOutsideAscii)
{
    const QByteArray song = mp3Bytes(3000);
    const QString greek = QString::fromUtf8("Ελληνικά\\κείμενο.txt");
    const QString four = write("four.rar", makeRar4({{"readme.txt", "Hello"}, {"secret.txt", "hidden", 0, false, true},
                                                     {"a\\song.mp3", song}, {greek, "greek", 0, false, false, true},
                                                     {QString::fromUtf8("caf\u00e9.txt"), "oem"}}));   // 0xE9 as stored
    const QString five = write("five.rar", makeRar5({{"readme.txt", "Hello"}, {"x.bin", "123"}, {"a/song.mp3", song},
                                                     {QString(greek).replace(u'\\', u'/'), "greek"}, {"plain.txt", "oem"}}));
    for (const QString &path : {four, five}) {
        SCOPED_TRACE(path.toStdString());
        const ArchiveListing listing = listArchiveMembers(ArchiveKind::Rar, path);
        ASSERT_EQ(listing.members.size(), 5u);
        EXPECT_EQ(listing.members[3].path, QString::fromUtf8("Ελληνικά"));
        EXPECT_EQ(listing.members[3].name, QString::fromUtf8("κείμενο.txt"));
        const auto delivered = readAll(ArchiveKind::Rar, path, listing,
                                       {textRequest(0), textRequest(1), mp3Request(2), textRequest(3), textRequest(4)});
        // Encrypted members are never read.
        EXPECT_EQ(heads(delivered), QList<QByteArray>({"Hello", path == five ? "123" : "", song.left(25), "greek", "oem"}));
        EXPECT_TRUE(delivered[0].content.complete);
        EXPECT_EQ(delivered[1].content.complete, path == five);
        EXPECT_TRUE(delivered[2].content.complete);
        EXPECT_EQ(delivered[2].content.tail128, song.right(128));
    }
    EXPECT_EQ(listArchiveMembers(ArchiveKind::Rar, four).members[4].name, QString::fromUtf8("caf\u00da.txt"));   // code page 850
}

TEST_F(RarTest, SolidArchiveIsReadThroughToTheWantedMembers)
{
    const QByteArray bin(50000, 'a');
    for (const QString &path : {write("solid4.rar", makeRar4({{"a.bin", bin}, {"b.txt", "bee"}, {"c.bin", "c"}, {"d.txt", "dee"}}, true)),
                                write("solid5.rar", makeRar5({{"a.bin", bin}, {"b.txt", "bee"}, {"c.bin", "c"}, {"d.txt", "dee"}}, true))}) {
        SCOPED_TRACE(path.toStdString());
        const ArchiveListing listing = listArchiveMembers(ArchiveKind::Rar, path);
        EXPECT_TRUE(listing.solid);
        EXPECT_EQ(heads(readAll(ArchiveKind::Rar, path, listing, {textRequest(3), textRequest(1)})), QList<QByteArray>({"bee", "dee"}));
    }
}

} // namespace
