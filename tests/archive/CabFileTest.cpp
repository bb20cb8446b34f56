#include "ArchiveFixtures.h"

#include "capture/CabFile.h"
#include "common/DayDate.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorn;
using namespace vorn::test;

namespace {

class CabTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_path = m_dir.filePath("data.cab");
        ASSERT_TRUE(writeFile(m_path, makeCab({
            {"setup.inf", "[Setup]\r\n", dosDate(1998, 7, 14), dosTime(10, 20, 31)},
            {"docs\\readme.txt", "Read me", dosDate(2002, 1, 2), dosTime(3, 4, 6)},
            {"docs\\music\\song.mp3", mp3Bytes(40000), dosDate(2002, 1, 2), dosTime(3, 4, 8)},
            {"big.bin", QByteArray(70000, 'z'), dosDate(2002, 1, 2), dosTime(3, 4, 10)},
        })));
    }
    QTemporaryDir m_dir;
    QString m_path;
};

TEST_F(CabTest, ListsNamesFoldersSizesAndDatesToTheSecond)
{
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Cab, m_path);
    ASSERT_TRUE(listing.recognised);
    EXPECT_FALSE(listing.damaged);
    ASSERT_EQ(listing.members.size(), 4u);
    struct Expected { const char *name; const char *path; qint64 size; QDateTime date; };
    const Expected expected[] = {
        {"setup.inf", "", 9, QDateTime(QDate(1998, 7, 14), QTime(10, 20, 30))},
        {"readme.txt", "docs", 7, QDateTime(QDate(2002, 1, 2), QTime(3, 4, 6))},
        {"song.mp3", "docs\\music", mp3Bytes(40000).size(), QDateTime(QDate(2002, 1, 2), QTime(3, 4, 8))},
        {"big.bin", "", 70000, QDateTime(QDate(2002, 1, 2), QTime(3, 4, 10))},
    };
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const ArchiveMember &m = listing.members[i];
        EXPECT_EQ(m.name, QString::fromUtf8(expected[i].name));
        EXPECT_EQ(m.path, QString::fromUtf8(expected[i].path));
        EXPECT_EQ(m.size, expected[i].size);
        EXPECT_DOUBLE_EQ(m.date, dayNumberFromDateTime(expected[i].date));
    }
}

TEST_F(CabTest, GetInfoRaisesFileFoundWithTheFolderEndingInASeparator)
{
    CABFile cab;
    QStringList found;
    cab.FileFound = [&](const QString &name, double, qint64 size, const QString &folder) {
        found << folder + u'|' + name + u'|' + QString::number(size);
    };
    cab.setCabName(m_path);
    EXPECT_TRUE(cab.GetInfo());
    EXPECT_EQ(found, QStringList({"|setup.inf|9", "docs\\|readme.txt|7",
                                  "docs\\music\\|song.mp3|" + QString::number(mp3Bytes(40000).size()),
                                  "|big.bin|70000"}));
    EXPECT_EQ(cab.FileCount(), 4);
    EXPECT_FALSE(cab.lastError().has_value());
}

TEST_F(CabTest, OperationsWithoutCabNameRaiseTheCabNameError)
{
    CABFile cab;
    bool raised = false;
    cab.FileFound = [&](const QString &, double, qint64, const QString &) { raised = true; };
    EXPECT_FALSE(cab.GetInfo());
    EXPECT_FALSE(raised);
    ASSERT_TRUE(cab.lastError().has_value());
    EXPECT_EQ(cab.lastError()->number, -2147219548);
    EXPECT_EQ(cab.lastError()->source, QStringLiteral("CabFile"));
    EXPECT_EQ(cab.lastError()->description,
              QStringLiteral("You must set the CabName property before taking any action on the CabFile object."));
    EXPECT_EQ(cab.FileCount(), 0);
    EXPECT_FALSE(cab.Extract("setup.inf", m_dir.path(), 1000));
    EXPECT_EQ(cab.lastError()->number, kCabNameErrorNumber);
}

TEST(CabErrorText, TableAndUnknownCodes)
{
    EXPECT_EQ(cabErrorText(2), QStringLiteral("The system cannot find the file specified."));
    EXPECT_EQ(cabErrorText(1), QStringLiteral("Unknown error."));
}

TEST_F(CabTest, FailuresReportThePlatformError)
{
    CABFile cab;
    cab.setCabName(m_dir.filePath("missing.cab"));
    EXPECT_FALSE(cab.GetInfo());
    EXPECT_EQ(cab.lastError()->number, 2);
    ASSERT_TRUE(writeFile(m_dir.filePath("not.cab"), "just text"));
    cab.setCabName(m_dir.filePath("not.cab"));
    EXPECT_FALSE(cab.GetInfo());
    EXPECT_EQ(cab.lastError()->number, 13);
    EXPECT_EQ(cab.lastError()->description, QStringLiteral("Invalid data."));
}

TEST_F(CabTest, ExtractWritesTheFileNameIntoTheFolder)
{
    QTemporaryDir target;
    CABFile cab;
    cab.setCabName(m_path);
    QStringList events;
    cab.BeforeExtract = [&](const QString &name, bool &cancel) {
        events << "before " + name;
        cancel = name == u"setup.inf";
    };
    cab.FileExtracted = [&](const QString &path) { events << "written " + QDir(target.path()).relativeFilePath(path); };

    EXPECT_TRUE(cab.Extract("DOCS\\README.TXT", target.path(), 100));
    EXPECT_EQ(readFile(target.filePath("readme.txt")), QByteArray("Read me"));
    EXPECT_FALSE(cab.Extract("readme.txt", target.path(), 100));   // the stored path includes the folder
    EXPECT_FALSE(cab.Extract("setup.inf", target.path(), 100));    // cancelled
    EXPECT_FALSE(cab.Extract("big.bin", target.path(), 69999));
    EXPECT_TRUE(cab.Extract("big.bin", target.path(), 70000));
    EXPECT_EQ(events, QStringList({"before readme.txt", "written readme.txt", "before setup.inf",
                                   "before big.bin", "before big.bin", "written big.bin"}));
    EXPECT_EQ(QDir(target.path()).entryList(QDir::Files), QStringList({"big.bin", "readme.txt"}));
}

TEST_F(CabTest, ReadsTextAndMp3Members)
{
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Cab, m_path);
    const QByteArray song = mp3Bytes(40000);
    const auto delivered = readAll(ArchiveKind::Cab, m_path, listing,
                                   {mp3Request(2), textRequest(0), textRequest(1, 6), textRequest(3, 70000)});
    ASSERT_EQ(delivered.size(), 4u);
    EXPECT_EQ(delivered[0].content.head, QByteArray("[Setup]\r\n"));
    EXPECT_TRUE(delivered[0].content.complete);
    EXPECT_FALSE(delivered[1].content.complete);
    EXPECT_EQ(delivered[2].index, 2);
    EXPECT_TRUE(delivered[2].content.complete);
    EXPECT_EQ(delivered[2].content.head, song.left(25));
    EXPECT_EQ(delivered[2].content.tail128, song.right(128));
    EXPECT_EQ(delivered[2].content.size, song.size());
    EXPECT_EQ(delivered[3].content.head, QByteArray(70000, 'z'));
}

TEST_F(CabTest, DamagedFileEntriesListWhatCameBefore)
{
    QByteArray bytes = makeCab({{"a.txt", "a"}, {"b.txt", "b"}, {"c.txt", "c"}});
    // Cut inside the second file entry: 36-byte header, 8-byte folder, 22-byte first entry.
    bytes.truncate(36 + 8 + 22 + 10);
    const QString path = m_dir.filePath("cut.cab");
    ASSERT_TRUE(writeFile(path, bytes));
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Cab, path);
    EXPECT_TRUE(listing.damaged);
    ASSERT_EQ(listing.members.size(), 1u);
    EXPECT_EQ(listing.members[0].name, QStringLiteral("a.txt"));

    CABFile cab;
    cab.setCabName(path);
    int found = 0;
    cab.FileFound = [&](const QString &, double, qint64, const QString &) { ++found; };
    EXPECT_FALSE(cab.GetInfo());
    EXPECT_EQ(found, 1);
    EXPECT_EQ(cab.lastError()->number, 13);
}

} // namespace
