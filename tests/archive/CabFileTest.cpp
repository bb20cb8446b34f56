#include "ArchiveFixtures.h"

#include "capture/CabFile.h"

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
    CABFile cab;
    QStringList found;
    cab.FileFound = [&](const QString &name, double, qint64 size, const QString &folder) {
        found << folder + u'|' + name + u'|' + QString::number(size);
    };
    cab.setCabName(m_path);
    EXPECT_TRUE(cab.GetInfo());
    EXPECT_EQ(found, QStringList({"|setup.inf|9", "docs\\|readme.txt|7",
                                  "docs\\music\\|song.mp3|" + QString::number(m_song.size()), "|big.bin|70000"}));
    EXPECT_EQ(cab.FileCount(), 4);
    EXPECT_FALSE(cab.lastError().has_value());
}

TEST_F(CabTest, FailuresReportTheirError)
{
    QByteArray cut = makeCab({{"a.txt", "a"}, {"b.txt", "b"}, {"c.txt", "c"}});
    cut.truncate(36 + 8 + 22 + 10);   // inside the second file entry, after header, folder and first entry
    struct Case { QString cabName; qint64 number; int found; const char *description; };
    const Case cases[] = {
        {{}, kCabNameErrorNumber, 0,
         "You must set the CabName property before taking any action on the CabFile object."},
        {file("missing.cab"), 2, 0, "The system cannot find the file specified."},
        {write("not.cab", "just text"), 13, 0, "Invalid data."},
        {write("cut.cab", cut), 13, 1, "Invalid data."},   // raised for the members before the damage
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.cabName.toStdString());
        CABFile cab;
        int found = 0;
        cab.FileFound = [&](const QString &, double, qint64, const QString &) { ++found; };
        if (!c.cabName.isEmpty())
            cab.setCabName(c.cabName);
        EXPECT_FALSE(cab.GetInfo());
        EXPECT_EQ(found, c.found);
        ASSERT_TRUE(cab.lastError().has_value());
        EXPECT_EQ(cab.lastError()->number, c.number);
        EXPECT_EQ(cab.lastError()->source, QStringLiteral("CabFile"));
        EXPECT_EQ(cab.lastError()->description, QString::fromUtf8(c.description));
        EXPECT_FALSE(cab.Extract("a.txt", m_dir.path(), 1000));
    }
    EXPECT_EQ(kCabNameErrorNumber, -2147219548);
    EXPECT_EQ(CABFile().FileCount(), 0);
    EXPECT_EQ(cabErrorText(1), QStringLiteral("Unknown error."));
    const ArchiveListing listing = listArchiveMembers(ArchiveKind::Cab, file("cut.cab"));
    EXPECT_TRUE(listing.damaged);
    ASSERT_EQ(listing.members.size(), 1u);
    EXPECT_EQ(listing.members[0].name, QStringLiteral("a.txt"));
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
