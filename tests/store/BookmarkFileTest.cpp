#include "store/BookmarkFile.h"

#include "store/Catalogue.h"
#include "store/DiscArchive.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::readFile;
using vorn::test::writeFile;

namespace {

const QString kId = QStringLiteral("31337");

BookmarkRecord bookmark(quint8 kind, const QString &name, const QString &path, qint32 number,
                        const QString &description, qint32 folder)
{
    return BookmarkRecord{kind, name, path, number, description, folder};
}

void expectSame(const BookmarkRecord &a, const BookmarkRecord &b)
{
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.path, b.path);
    EXPECT_EQ(a.number, b.number);
    EXPECT_EQ(a.description, b.description);
    EXPECT_EQ(a.folder, b.folder);
}

} // namespace

TEST(BookmarkFile, WritesSixFieldsPerLineAndDropsEmptyNames)
{
    std::vector<BookmarkRecord> list(1);
    list[0].name = "entry 0 is never written";
    list.push_back(bookmark(1, "a.txt", "Docs\\", 12, "note", 3));
    list.push_back(bookmark(2, "", "Docs\\", 4, "nameless", 0));
    list.push_back(bookmark(2, "Docs", "", 1, "", 0));
    list.push_back(bookmark(1, "m.mp3", "Music\\", 0, "", ArchiveAtZero));
    EXPECT_EQ(BookmarkFile::serialize(list),
              "1,\"a.txt\",\"Docs\\\",12,\"note\",3\r\n"
              "2,\"Docs\",\"\",1,\"\",0\r\n"
              "1,\"m.mp3\",\"Music\\\",0,\"\",-999999999\r\n");
}

TEST(BookmarkFile, NamesSurviveARoundTrip)
{
    struct Case { const char *label; QString written; QString readBack; };
    const Case cases[] = {
        {"commas", "a, b, c.txt", "a, b, c.txt"},
        {"quotes become apostrophes", "say \"hi\".txt", "say 'hi'.txt"},
        {"semicolon and backslash", "x;y\\z", "x;y\\z"},
    };
    std::vector<BookmarkRecord> list(1);
    for (const Case &c : cases)
        list.push_back(bookmark(1, c.written, "P, \"Q\"\\", 5, c.written + " desc", 2));

    const auto back = BookmarkFile::parse(BookmarkFile::serialize(list));
    ASSERT_EQ(back.size(), list.size());
    for (size_t i = 1; i < back.size(); ++i) {
        const Case &c = cases[i - 1];
        SCOPED_TRACE(c.label);
        EXPECT_EQ(back[i].name, c.readBack);
        EXPECT_EQ(back[i].path, "P, 'Q'\\");
        EXPECT_EQ(back[i].description, c.readBack + " desc");
        EXPECT_EQ(back[i].number, 5);
        EXPECT_EQ(back[i].folder, 2);
    }
}

TEST(BookmarkFile, ReadsIntoPositionsFromOne)
{
    const QByteArray data = "2,\"Docs\",\"\",1,\"\",0\r\n"
                            "\r\n"
                            "1,\"b.txt\",\"Docs\\\",x,\"d\"\r\n"
                            "1,\"c.txt\",\"Docs\\\",7,\"\",1";   // no line end at the end
    const auto list = BookmarkFile::parse(data);
    ASSERT_EQ(list.size(), 4u);
    expectSame(list[0], BookmarkRecord());
    expectSame(list[1], bookmark(2, "Docs", "", 1, "", 0));
    expectSame(list[2], bookmark(1, "b.txt", "Docs\\", 0, "d", 0));   // unreadable number: 0
    expectSame(list[3], bookmark(1, "c.txt", "Docs\\", 7, "", 1));
}

TEST(BookmarkFile, WorkingCopyRoundTripAndUnpacking)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    QDir(root.path()).mkpath("data");
    QDir(root.path()).mkpath("temp");
    Catalogue catalogue;
    catalogue.dataFolder = root.filePath("data") + '/';
    catalogue.tempFolder = root.filePath("temp") + '/';

    EXPECT_EQ(BookmarkFile::read(catalogue, kId).size(), 1u);   // nothing anywhere

    std::vector<BookmarkRecord> list(1);
    list.push_back(bookmark(2, "Music", "", 3, "my music", 0));
    list.push_back(bookmark(1, "song.mp3", "Music\\", 8, "", 3));
    ASSERT_TRUE(BookmarkFile::write(catalogue, kId, list));
    ASSERT_TRUE(DiscArchive::pack(catalogue, kId, Member::Sig, QString(), 4));
    ASSERT_TRUE(QFile::remove(catalogue.workingCopy(kId, ".sig")));

    const auto back = BookmarkFile::read(catalogue, kId);
    ASSERT_EQ(back.size(), 3u);
    expectSame(back[1], list[1]);
    expectSame(back[2], list[2]);

    // Writing an empty list leaves an empty file, not the old bookmarks.
    ASSERT_TRUE(BookmarkFile::write(catalogue, kId, std::vector<BookmarkRecord>(1)));
    EXPECT_EQ(readFile(catalogue.workingCopy(kId, ".sig")), QByteArray());
    EXPECT_EQ(BookmarkFile::read(catalogue, kId).size(), 1u);
}
