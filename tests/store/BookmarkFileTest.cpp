#include "store/BookmarkFile.h"

#include "store/DiscArchive.h"
#include "StoreFixture.h"

using namespace vorn;

namespace {

// The six fields of each bookmark from position 1 on, one text per bookmark.
QStringList fieldsOf(const std::vector<BookmarkRecord> &list)
{
    QStringList texts;
    for (size_t i = 1; i < list.size(); ++i) {
        const BookmarkRecord &b = list[i];
        texts << QStringLiteral("%1|%2|%3|%4|%5|%6").arg(int(b.kind)).arg(b.name, b.path).arg(b.number).arg(b.description).arg(b.folder);
    }
    return texts;
}

struct BookmarkFileTest : test::StoreFixture {};

} // namespace

TEST(BookmarkFile, WritesSixFieldsPerLineAndReadsThemBack)
{
    std::vector<BookmarkRecord> list(1);
    list[0].name = "entry 0 is never written";
    list.push_back({1, "a, \"b\";c.txt", "P, \"Q\"\\", 12, "note", 3});
    list.push_back({2, "", "Docs\\", 4, "nameless", 0});   // no name: left out
    list.push_back({2, "Docs", "", 1, "", 0});
    list.push_back({1, "m.mp3", "Music\\", 0, "", ArchiveAtZero});
    const QByteArray bytes = BookmarkFile::serialize(list);
    EXPECT_EQ(bytes, "1,\"a, 'b';c.txt\",\"P, 'Q'\\\",12,\"note\",3\r\n2,\"Docs\",\"\",1,\"\",0\r\n"
                     "1,\"m.mp3\",\"Music\\\",0,\"\",-999999999\r\n");
    EXPECT_EQ(fieldsOf(BookmarkFile::parse(bytes)),
              QStringList({"1|a, 'b';c.txt|P, 'Q'\\|12|note|3", "2|Docs||1||0", "1|m.mp3|Music\\|0||-999999999"}));
    // Blank lines are skipped, an unreadable number is 0, the last line may lack its end.
    const auto read = BookmarkFile::parse("2,\"Docs\",\"\",1,\"\",0\r\n\r\n1,\"b.txt\",\"Docs\\\",x,\"d\"\r\n1,\"c\",\"\",7,\"\",1");
    ASSERT_EQ(read.size(), 4u);
    EXPECT_TRUE(read[0].name.isEmpty());
    EXPECT_EQ(fieldsOf(read), QStringList({"2|Docs||1||0", "1|b.txt|Docs\\|0|d|0", "1|c||7||1"}));
}

TEST_F(BookmarkFileTest, WorkingCopyRoundTripAndUnpacking)
{
    const QString id = "31337";
    EXPECT_EQ(BookmarkFile::read(catalogue, id).size(), 1u);   // nothing anywhere
    std::vector<BookmarkRecord> list(1);
    list.push_back({2, "Music", "", 3, "my music", 0});
    list.push_back({1, "song.mp3", "Music\\", 8, "", 3});
    ASSERT_TRUE(BookmarkFile::write(catalogue, id, list));
    ASSERT_TRUE(DiscArchive::pack(catalogue, id, Member::Sig, QString(), 4));
    ASSERT_TRUE(QFile::remove(catalogue.workingCopy(id, ".sig")));
    EXPECT_EQ(fieldsOf(BookmarkFile::read(catalogue, id)), fieldsOf(list));
    // Writing an empty list leaves an empty file, not the old bookmarks.
    ASSERT_TRUE(BookmarkFile::write(catalogue, id, std::vector<BookmarkRecord>(1)));
    EXPECT_EQ(test::readFile(catalogue.workingCopy(id, ".sig")), QByteArray());
    EXPECT_EQ(BookmarkFile::read(catalogue, id).size(), 1u);
}
