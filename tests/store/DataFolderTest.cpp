#include "settings/StringTable.h"
#include "store/DataFolder.h"
#include "store/DataFolderLock.h"
#include "store/DiscArchive.h"
#include "store/KeywordList.h"
#include "StoreFixture.h"

using namespace vorn;
using test::readFile;
using test::writeFile;

TEST(DataFolder, ArchiveNamesMustBeExactlyAnIdentifier)
{
    const struct { const char *name, *identifier; } cases[] = {
        {"12.VORN", "12"}, {"12.vorn", "12"}, {"-5.VORN", "-5"}, {"0.VORN", "0"}, {"12 (2).VORN", ""},
        {"12 copy.VORN", ""}, {"012.VORN", ""}, {"abc.VORN", ""}, {"+12.VORN", ""}, {"99999999999.VORN", ""},
        {"2147483647.VORN", "2147483647"}, {"-2147483648.VORN", "-2147483648"}, {" 12.VORN", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(identifierOfArchiveName(c.name), QString::fromLatin1(c.identifier)) << c.name;
}

namespace {

struct DataFolderTest : test::StoreFixture
{
    test::RecordingObserver observer;
    OpenReport report;

    DataFolderTest() { setLanguageOffset(0); }
    Catalogue open()
    {
        Catalogue opened;
        opened.tempFolder = catalogue.tempFolder;
        EXPECT_TRUE(openDataFolder(opened, data.path(), observer, &report));
        return opened;
    }
};

} // namespace

TEST_F(DataFolderTest, ReadsEveryArchiveSortedWithDuplicateSuffixes)
{
    for (const auto &[id, name] : {std::pair{"12", "Photos"}, {"-5", "archives"}, {"7", "photos"}, {"8", "Music"}})
        writeDisc(id, name);
    ASSERT_TRUE(QFile::copy(catalogue.archivePath("12"), data.filePath("12 (2).VORN")));   // not a disc
    const Catalogue opened = open();
    EXPECT_EQ(report.discsRead, 4);
    EXPECT_TRUE(report.unreadable.isEmpty() && report.writable && observer.scripted.notices.isEmpty());
    QStringList shown = test::discNames(opened);
    EXPECT_EQ(shown.filter("<.01.>").size(), 1);
    EXPECT_EQ(shown.replaceInStrings(" <.01.>", "").join(',').toLower(), "archives,music,photos,photos");
    EXPECT_EQ(opened.dataFolder, data.path() + u'/');
    EXPECT_FALSE(QFile::exists(data.filePath("Test d'écriture VORN")));
}

// A write killed half-way leaves its temporary files; they go at the next opening,
// but never while another copy holds the lock (its write may be in progress).
TEST_F(DataFolderTest, StrayWritesAreRemovedOnlyUnderTheLock)
{
    writeDisc("12", "Photos");
    const QStringList strays = {"12.VORN.a1B2c3", "12.VORN.a1B2c3.Zz9yY8", "12.vorn.part", "VORN.Icons.q1w2e3"};
    const QStringList kept = {"12.VORN.txt", "notes.VORN.bak1", "12.VORN"};
    for (const QString &name : strays + QStringList{"12.VORN.txt", "notes.VORN.bak1"})
        ASSERT_TRUE(writeFile(data.filePath(name), "x"));
    {
        DataFolderLock other(data.path() + u'/');
        ASSERT_EQ(other.lock(), DataFolderLock::State::Held);
        open();
        for (const QString &name : strays)
            EXPECT_TRUE(QFile::exists(data.filePath(name))) << qPrintable(name);
    }
    EXPECT_EQ(open().discCount(), 1);
    for (const QString &name : strays)
        EXPECT_FALSE(QFile::exists(data.filePath(name))) << qPrintable(name);
    for (const QString &name : kept)
        EXPECT_TRUE(QFile::exists(data.filePath(name))) << qPrintable(name);
}

TEST_F(DataFolderTest, UnreadableArchivesAreLeftOutUntouchedAndNamedOnce)
{
    writeDisc("1", "Good");
    const QByteArray whole = readFile(catalogue.archivePath("1"));
    ASSERT_TRUE(writeFile(data.filePath("2.VORN"), "this is not a zip archive"));
    ASSERT_TRUE(writeFile(data.filePath("3.VORN"), whole.left(whole.size() / 2)));
    writeDisc("4", "Bad date");   // then a record whose GRV is not a date
    DiscArchive::pack(catalogue, "4", 0, "NOM=Bad date\r\nGRV=31/02/2001 10:00:00\r\n", 4);
    const QByteArray bad4 = readFile(data.filePath("4.VORN"));

    EXPECT_EQ(test::discNames(open()), QStringList({"Good"}));
    EXPECT_EQ(report.unreadable, QStringList({"2.VORN", "3.VORN", "4.VORN"}));
    ASSERT_EQ(observer.scripted.warnings.size(), 1);
    EXPECT_TRUE(observer.scripted.warnings[0].contains("2.VORN") && observer.scripted.warnings[0].contains("3.VORN")
                && observer.scripted.warnings[0].contains("4.VORN"));
    EXPECT_EQ(readFile(data.filePath("2.VORN")), "this is not a zip archive");
    EXPECT_EQ(readFile(data.filePath("3.VORN")), whole.left(whole.size() / 2));
    EXPECT_EQ(readFile(data.filePath("4.VORN")), bad4);
}

TEST_F(DataFolderTest, ProgressInFivePercentStepsKeywordsTranslatedAndIconsStored)
{
    catalogue.keywords.push_back({"Jazz", 3});
    catalogue.keywords.push_back({"Live", 7});
    ASSERT_TRUE(KeywordList::write(catalogue));
    for (int i = 1; i <= 40; ++i) {
        DiscRecord record;
        record.identifier = QString::number(i);
        record.name = QStringLiteral("Disc %1").arg(i, 2, 10, QLatin1Char('0'));
        record.keywordCodes = i == 1 ? "|7|3|" : "";
        std::vector<std::pair<const char *, QByteArray>> members = {{".rep", test::FolderHeader}};
        if (i == 2)
            members.push_back({".ico", "ICONBYTES"});
        writeDisc(record, members);
    }
    const Catalogue opened = open();
    ASSERT_EQ(opened.discCount(), 40);
    EXPECT_EQ(opened.disc(1).keywordCodes, "|3|7|");   // keyword-list order
    const QStringList loading = observer.progressTexts.filter("Chargement en cours");
    EXPECT_EQ(loading.size(), 20);   // 5 %, 10 %, ... 100 %
    EXPECT_EQ(loading.last(), "Chargement en cours  100 %");
    // Icons missing from the icon store are added to it.
    EXPECT_EQ(opened.discIcons.keys(), QStringList({"2"}));
    EXPECT_EQ(opened.discIcons.value("2"), "ICONBYTES");
    EXPECT_EQ(DiscArchive::readMember(data.filePath("VORN.Icons"), "2.ico").value_or(""), "ICONBYTES");
}

TEST_F(DataFolderTest, AFolderThatCannotBeWrittenIsStillOpenedWithANotice)
{
    writeDisc("1", "One");
    // Tests run as root: a folder in the way of the test file stands in for a read-only folder.
    QDir(data.path()).mkdir("Test d'écriture VORN");
    EXPECT_EQ(open().discCount(), 1);
    EXPECT_FALSE(report.writable);
    EXPECT_EQ(observer.scripted.notices, QStringList({LoadText(601)}));
    Catalogue missing;
    EXPECT_FALSE(openDataFolder(missing, data.filePath("nowhere"), observer));
}

TEST_F(DataFolderTest, OlderFoldersAreConvertedOnlyWhenTheUserAgrees)
{
    catalogue.keywords.push_back({"Jazz", 3});
    ASSERT_TRUE(KeywordList::write(catalogue));
    ASSERT_TRUE(writeFile(data.filePath("CDS_INF.txt"),
                          "\"100\",\"Old disc\",\"|3|\",0,\"Notes\"\r\n\"-200\",\"Other\",\"\",1,\"\"\r\n"));
    ASSERT_TRUE(writeFile(data.filePath("100.rep"), test::FolderHeader + "\"Docs\",0,36892.5,\"\",\"\"\r\n"));
    ASSERT_TRUE(writeFile(data.filePath("100.fic"), "/VORN_Rep/,200,0,0,\"\",\"\"\r\n"));
    ASSERT_TRUE(writeFile(data.filePath("-200.rep"), test::FolderHeader));

    observer.scripted.answers = {UserPrompt::Answer::No};
    open();
    EXPECT_TRUE(report.conversionDeclined);
    EXPECT_TRUE(QFile::exists(data.filePath("CDS_INF.txt")) && QFile::exists(data.filePath("100.rep")));
    EXPECT_FALSE(QFile::exists(data.filePath("100.VORN")));

    observer.scripted.answers = {UserPrompt::Answer::Yes};
    observer.progressTexts.clear();
    const Catalogue opened = open();
    EXPECT_EQ(test::discNames(opened), QStringList({"Old disc", "Other"}));
    EXPECT_EQ(opened.disc(1).keywordCodes + opened.disc(1).description + QString::number(opened.disc(2).excluded), "|3|Notes1");
    EXPECT_FALSE(QFile::exists(data.filePath("CDS_INF.txt")) || QFile::exists(data.filePath("100.rep")));
    EXPECT_TRUE(DiscArchive::readMember(data.filePath("100.VORN"), "100.fic") && DiscArchive::readMember(data.filePath("-200.VORN"), "-200.rep"));
    EXPECT_EQ(observer.progressTexts.filter(LoadText(590)).size(), 2);
}

TEST_F(DataFolderTest, ArchivesNamedInAnyCaseAreReadAndRewrittenUnderTheirOwnName)
{
    writeDisc("888", "Lower");
    ASSERT_TRUE(QFile::rename(catalogue.archivePath("888"), data.filePath("888.vorn")));
    writeDisc("9", "Left out");
    ASSERT_TRUE(QFile::rename(catalogue.archivePath("9"), data.filePath("9.vorn")));
    writeDisc("9", "Used");

    Catalogue opened = open();
    EXPECT_EQ(test::discNames(opened), QStringList({"Lower", "Used"}));
    EXPECT_EQ(report.leftOut, QStringList({"9.vorn (9.VORN)"}));
    ASSERT_EQ(observer.scripted.warnings.size(), 1);
    EXPECT_TRUE(observer.scripted.warnings[0].startsWith(LoadText(725)) && observer.scripted.warnings[0].contains("9.vorn"));

    DiscRecord &lower = opened.disc(findDisc(opened, u"888"));
    lower.name = "Renamed";
    opened.memberFlags = 0;
    ASSERT_TRUE(writeRecord(opened, lower, 4));
    EXPECT_EQ(QDir(data.path()).entryList({"888.*"}, QDir::Files), QStringList({"888.vorn"}));
    EXPECT_TRUE(DiscArchive::readComment(data.filePath("888.vorn")).startsWith("NOM=Renamed"));
}
