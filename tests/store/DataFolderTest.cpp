#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/DataFolder.h"
#include "store/DiscArchive.h"
#include "store/KeywordList.h"
#include "store/RecordText.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vorn;
using test::readFile;
using test::writeFile;

TEST(DataFolder, ArchiveNamesMustBeExactlyAnIdentifier)
{
    struct Case { const char *name; const char *identifier; };
    const Case cases[] = {
        {"12.VORN", "12"},      {"12.vorn", "12"},     {"-5.VORN", "-5"},
        {"0.VORN", "0"},        {"12 (2).VORN", ""},   {"12 copy.VORN", ""},
        {"012.VORN", ""},       {"abc.VORN", ""},      {"+12.VORN", ""},
        {"2147483647.VORN", "2147483647"},            {"-2147483648.VORN", "-2147483648"},
        {"99999999999.VORN", ""}, {" 12.VORN", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(identifierOfArchiveName(QString::fromLatin1(c.name)), QString::fromLatin1(c.identifier))
            << c.name;
}

namespace {

class DataFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setLanguageOffset(0);
        writer.dataFolder = data.path() + u'/';
        writer.tempFolder = temp.path() + u'/';
    }

    void makeDisc(const QString &id, const QString &name, const QByteArray &icon = {},
                  const QString &keywordCodes = {})
    {
        DiscRecord record;
        record.identifier = id;
        record.name = name;
        record.keywordCodes = keywordCodes;
        writeFile(writer.workingCopy(id, ".rep"), "/VORN_Rep/,200,0,\"\",\"\"\r\n");
        writer.memberFlags = 2;
        if (!icon.isEmpty()) {
            writeFile(writer.workingCopy(id, ".ico"), icon);
            writer.memberFlags |= 32;
        }
        ASSERT_TRUE(writeRecord(writer, record, 4));
        QFile::remove(writer.workingCopy(id, ".rep"));
        QFile::remove(writer.workingCopy(id, ".ico"));
    }

    Catalogue open(test::RecordingObserver &observer, OpenReport *report = nullptr)
    {
        Catalogue catalogue;
        catalogue.tempFolder = temp.path() + u'/';
        EXPECT_TRUE(openDataFolder(catalogue, data.path(), observer, report));
        return catalogue;
    }

    static QStringList names(const Catalogue &catalogue)
    {
        QStringList result;
        for (int i = 1; i <= catalogue.discCount(); ++i)
            result << catalogue.disc(i).name;
        return result;
    }

    QTemporaryDir data;
    QTemporaryDir temp;
    Catalogue writer;
};

} // namespace

TEST_F(DataFolderTest, ReadsEveryArchiveSortedWithDuplicateSuffixes)
{
    makeDisc("12", "Photos");
    makeDisc("-5", "archives");
    makeDisc("7", "photos");
    makeDisc("8", "Music");
    ASSERT_TRUE(QFile::copy(writer.archivePath("12"), data.filePath("12 (2).VORN")));

    test::RecordingObserver observer;
    OpenReport report;
    const Catalogue catalogue = open(observer, &report);
    EXPECT_EQ(report.discsRead, 4);
    EXPECT_TRUE(report.unreadable.isEmpty());
    EXPECT_TRUE(report.writable);
    EXPECT_TRUE(observer.scripted.notices.isEmpty());
    const QStringList shown = names(catalogue);
    ASSERT_EQ(shown.size(), 4);
    EXPECT_EQ(shown[0], "archives");
    EXPECT_EQ(shown[1], "Music");
    EXPECT_EQ(QStringList({shown[2], shown[3]}).filter("<.01.>").size(), 1);
    EXPECT_EQ(catalogue.dataFolder, data.path() + u'/');
    EXPECT_FALSE(QFile::exists(data.filePath("Test d'écriture VORN")));
}

TEST_F(DataFolderTest, UnreadableArchivesAreLeftOutUntouchedAndNamedOnce)
{
    makeDisc("1", "Good");
    ASSERT_TRUE(writeFile(data.filePath("2.VORN"), "this is not a zip archive"));
    const QByteArray whole = readFile(writer.archivePath("1"));
    ASSERT_TRUE(writeFile(data.filePath("3.VORN"), whole.left(whole.size() / 2)));
    makeDisc("4", "Bad date");
    {
        // A record whose GRV is not a date cannot be read.
        Catalogue c = writer;
        DiscArchive::pack(c, "4", 0, "NOM=Bad date\r\nGRV=31/02/2001 10:00:00\r\n", 4);
    }
    const QByteArray bad4 = readFile(data.filePath("4.VORN"));

    test::RecordingObserver observer;
    OpenReport report;
    const Catalogue catalogue = open(observer, &report);
    EXPECT_EQ(names(catalogue), QStringList({"Good"}));
    EXPECT_EQ(report.unreadable, QStringList({"2.VORN", "3.VORN", "4.VORN"}));
    ASSERT_EQ(observer.scripted.warnings.size(), 1);
    for (const char *name : {"2.VORN", "3.VORN", "4.VORN"})
        EXPECT_TRUE(observer.scripted.warnings[0].contains(QString::fromLatin1(name)));
    EXPECT_EQ(readFile(data.filePath("2.VORN")), "this is not a zip archive");
    EXPECT_EQ(readFile(data.filePath("3.VORN")), whole.left(whole.size() / 2));
    EXPECT_EQ(readFile(data.filePath("4.VORN")), bad4);
}

TEST_F(DataFolderTest, ProgressInFivePercentStepsAndKeywordsTranslated)
{
    writer.keywords.push_back({"Jazz", 3});
    writer.keywords.push_back({"Live", 7});
    ASSERT_TRUE(KeywordList::write(writer));
    for (int i = 1; i <= 40; ++i)
        makeDisc(QString::number(i), QStringLiteral("Disc %1").arg(i, 2, 10, QLatin1Char('0')),
                 {}, i == 1 ? "|7|3|" : "");

    test::RecordingObserver observer;
    const Catalogue catalogue = open(observer);
    ASSERT_EQ(catalogue.discCount(), 40);
    EXPECT_EQ(catalogue.disc(1).keywordCodes, "|3|7|");   // keyword-list order
    const QStringList loading = observer.progressTexts.filter("Chargement en cours");
    EXPECT_EQ(loading.size(), 20);   // 5 %, 10 %, ... 100 %
    EXPECT_EQ(loading.last(), "Chargement en cours  100 %");
}

TEST_F(DataFolderTest, IconsMissingFromTheIconStoreAreAddedInOneWrite)
{
    makeDisc("21", "With icon", "ICONBYTES");
    makeDisc("22", "Without icon");
    test::RecordingObserver observer;
    Catalogue catalogue = open(observer);
    EXPECT_EQ(catalogue.discIcons.value("21"), "ICONBYTES");
    EXPECT_FALSE(catalogue.discIcons.contains("22"));
    EXPECT_EQ(DiscArchive::readMember(data.filePath("VORN.Icons"), "21.ico").value_or(""), "ICONBYTES");
}

TEST_F(DataFolderTest, AFolderThatCannotBeWrittenIsStillOpenedWithANotice)
{
    makeDisc("1", "One");
    // Tests run as root: a folder in the way of the test file stands in for a read-only folder.
    QDir(data.path()).mkdir("Test d'écriture VORN");
    test::RecordingObserver observer;
    OpenReport report;
    const Catalogue catalogue = open(observer, &report);
    EXPECT_EQ(catalogue.discCount(), 1);
    EXPECT_FALSE(report.writable);
    EXPECT_EQ(observer.scripted.notices, QStringList({LoadText(601)}));

    Catalogue missing;
    EXPECT_FALSE(openDataFolder(missing, data.filePath("nowhere"), observer));
}

TEST_F(DataFolderTest, OlderFoldersAreConvertedOnlyWhenTheUserAgrees)
{
    writer.keywords.push_back({"Jazz", 3});
    ASSERT_TRUE(KeywordList::write(writer));
    ASSERT_TRUE(writeFile(data.filePath("CDS_INF.txt"),
                          "\"100\",\"Old disc\",\"|3|\",0,\"Notes\"\r\n"
                          "\"-200\",\"Other\",\"\",1,\"\"\r\n"));
    ASSERT_TRUE(writeFile(data.filePath("100.rep"), "/VORN_Rep/,200,0,\"\",\"\"\r\n\"Docs\",0,36892.5,\"\",\"\"\r\n"));
    ASSERT_TRUE(writeFile(data.filePath("100.fic"), "/VORN_Rep/,200,0,0,\"\",\"\"\r\n"));
    ASSERT_TRUE(writeFile(data.filePath("-200.rep"), "/VORN_Rep/,200,0,\"\",\"\"\r\n"));

    {
        test::RecordingObserver observer;
        observer.scripted.answers = {UserPrompt::Answer::No};
        OpenReport report;
        open(observer, &report);
        EXPECT_TRUE(report.conversionDeclined);
        EXPECT_TRUE(QFile::exists(data.filePath("CDS_INF.txt")));
        EXPECT_TRUE(QFile::exists(data.filePath("100.rep")));
        EXPECT_FALSE(QFile::exists(data.filePath("100.VORN")));
    }
    test::RecordingObserver observer;
    observer.scripted.answers = {UserPrompt::Answer::Yes};
    const Catalogue catalogue = open(observer);
    EXPECT_EQ(names(catalogue), QStringList({"Old disc", "Other"}));
    EXPECT_EQ(catalogue.disc(1).keywordCodes, "|3|");
    EXPECT_EQ(catalogue.disc(1).description, "Notes");
    EXPECT_EQ(catalogue.disc(2).excluded, 1);
    EXPECT_FALSE(QFile::exists(data.filePath("CDS_INF.txt")));
    EXPECT_FALSE(QFile::exists(data.filePath("100.rep")));
    EXPECT_TRUE(DiscArchive::readMember(data.filePath("100.VORN"), "100.fic").has_value());
    EXPECT_TRUE(DiscArchive::readMember(data.filePath("-200.VORN"), "-200.rep").has_value());
    EXPECT_EQ(observer.progressTexts.filter(LoadText(590)).size(), 2);
}
