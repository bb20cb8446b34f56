#include "ListFixtures.h"

#include "common/Numbers.h"
#include "export/Reports.h"
#include "support/TestSupport.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace vorn;
using test::FixtureDisc;
using test::FixtureFolder;

namespace {

const QString CRLF = QStringLiteral("\r\n");

QString totalsText(const QString &files, const QString &members, const QString &folders,
                   const QString &size, const QString &captured, const QString &capturedSize)
{
    return "Nombre de fichiers :  " + files + CRLF + "Nombre de fichiers dans les archives :  "
        + members + CRLF + "Nombre de répertoires :  " + folders + CRLF + "Taille totale :  " + size
        + " Mo" + CRLF + CRLF + "Fichiers texte enregistrés :  " + captured + CRLF
        + "Taille du texte Sauvegardé :  " + capturedSize + " Mo";
}

// Three discs: Alpha (keyword 1) and Beta (keyword 2) with tree files in their
// archives; Gamma has no archive at all.
class TotalsReportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FixtureDisc alpha{"11", "Alpha", "|1|", {}, {}, {}};
        alpha.folders = {{"Docs", 0, 0, "", 0}, {"Sub", 1, 0, "", 0}};
        alpha.files = {
            {"BIG.TXT", 0, 1048576, 0, {}, 1},           // captured, 1 MB
            {"HALF.BIN", 1, 524288, 0, {}, 0},
            {"IN.ZIP", -2, 7000000, 0, {}, 0},           // archive member: counted apart
        };
        FixtureDisc beta{"22", "Beta", "|2|", {}, {}, {}};
        beta.folders = {{"Only", 0, 0, "", 0}};
        beta.files = {{"TWO.TXT", 1, 2621440, 0, {}, 3}}; // 2.5 MB, captured
        folder.addDisc(alpha);
        folder.addDisc(beta);
        DiscRecord gamma;
        gamma.identifier = "33";
        gamma.name = "Gamma";
        folder.catalogue.discs.push_back(gamma);
    }

    FixtureFolder folder;
};

} // namespace

TEST(ReportsTest, DataFolderReportCountsEveryFileAndTheVornFiles)
{
    FixtureFolder folder;
    folder.addKeyword("Jazz", 1);                                  // MC.txt
    folder.addDisc({"11", "Alpha", "", {}, {}, {}});
    ASSERT_TRUE(test::writeFile(folder.dataPath() + "/notes.bin", QByteArray(1234567, 'x')));
    ASSERT_TRUE(test::writeFile(folder.dataPath() + "/old.vorn", QByteArray(10, 'x')));
    ASSERT_TRUE(QDir(folder.dataPath()).mkdir("sub.VORN"));          // a folder is no file
    const qint64 archive = QFileInfo(folder.catalogue.archivePath("11")).size();
    const qint64 keywords = QFileInfo(folder.catalogue.keywordListPath()).size();

    const QString text = Reports::dataFolderInfo(folder.catalogue);
    const QStringList lines = text.split(CRLF);
    ASSERT_EQ(lines.size(), 12) << text.toStdString();
    EXPECT_EQ(lines[0], "=> Dossier : " + folder.catalogue.dataFolder);
    EXPECT_EQ(lines[2], "=> Nombre de CD archivés : 1");
    EXPECT_EQ(lines[4], "=> Nombre total de fichiers dans le dossier : 4");
    EXPECT_EQ(lines[6], "=> Taille du dossier  :  "
                            + groupDigits(1234567 + 10 + archive + keywords, u' '));
    EXPECT_EQ(lines[8], "=> Nombre de fichiers VORN dans le dossier :  3");
    EXPECT_EQ(lines[10], "=> Taille totale des fichiers VORN : "
                             + groupDigits(10 + archive + keywords, u' '));
    for (int i : {1, 3, 5, 7, 9, 11})
        EXPECT_TRUE(lines[i].isEmpty()) << i;
}

TEST(ReportsTest, DataFolderReportOfAnEmptyCatalogueGroupsDigits)
{
    FixtureFolder folder;
    ASSERT_TRUE(test::writeFile(folder.dataPath() + "/notes.bin", QByteArray(1234567, 'x')));
    setLanguageOffset(1000);
    const QString text = Reports::dataFolderInfo(folder.catalogue);
    setLanguageOffset(0);
    EXPECT_TRUE(text.contains("=> Number of catalogued discs: 0\r\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("=> Folder size: 1,234,567\r\n")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("=> Total size of the VORN files: 0\r\n")) << text.toStdString();
}

TEST(ReportsTest, ListReportsFollowArrayAndKeywordOrder)
{
    Catalogue c;
    c.keywords.push_back({"Rock", 7});
    c.keywords.push_back({"Jazz", 1});
    c.keywords.push_back({"Unused", 4});
    c.keywords.push_back({"Jazz1", 11});        // "|1|" must not match "|11|"
    DiscRecord zeta;
    zeta.name = "Zeta";
    zeta.keywordCodes = "|1|7|";
    DiscRecord alpha;
    alpha.name = "Alpha";
    alpha.keywordCodes = "|11|";
    DiscRecord none;
    none.name = "None";
    c.discs.push_back(zeta);
    c.discs.push_back(alpha);
    c.discs.push_back(none);

    struct Case { int index; QString expected; };
    const Case cases[] = {
        {4, "Zeta\r\nAlpha\r\nNone\r\n"},
        {5, "Zeta\r\n - Rock\r\n - Jazz\r\n\r\nAlpha\r\n - Jazz1\r\n\r\nNone\r\n\r\n"},
        {6, "Rock\r\n - Zeta\r\n\r\nJazz\r\n - Zeta\r\n\r\nUnused\r\n\r\nJazz1\r\n - Alpha\r\n\r\n"},
        {2, ""},
        {8, ""},
    };
    for (const Case &k : cases)
        EXPECT_EQ(Reports::build(k.index, c), k.expected) << k.index;
    EXPECT_EQ(Reports::build(5, Catalogue()), QString());
}

TEST(ReportsTest, KeywordFilterPassesCarriersOrTheOthers)
{
    struct Case { const char *codes; int filter; bool passes; };
    const Case cases[] = {
        {"", 0, true},      {"|3|", 3, true},    {"|13|", 3, false}, {"|3|", -3, false},
        {"|31|", -3, true}, {"", -3, true},      {"|", 3, false},
    };
    for (const Case &k : cases)
        EXPECT_EQ(Reports::passesKeywordFilter(QString::fromLatin1(k.codes), k.filter), k.passes)
            << k.codes << ' ' << k.filter;
}

TEST_F(TotalsReportTest, TotalsOverTheDiscsTheFilterLetThrough)
{
    struct Case { int filter; QString expected; };
    const Case cases[] = {
        {0, totalsText("3", "1", "3", "4", "2", "4")},                  // 3.5 MB rounds to 4
        {1, totalsText("2", "1", "2", "2", "1", "1") + "\r\n(Filtre Actif!)"},   // 1.5 -> 2
        {-1, totalsText("1", "0", "1", "2", "1", "2") + "\r\n(Filtre Actif!)"},  // 2.5 -> 2
        {9, totalsText("0", "0", "0", "0", "0", "0") + "\r\n(Filtre Actif!)"},
    };
    for (const Case &k : cases)
        EXPECT_EQ(Reports::totals(folder.catalogue, k.filter), k.expected) << k.filter;
}

TEST_F(TotalsReportTest, RunningTextNamesEachDiscButTheLast)
{
    test::RecordingObserver observer;
    Reports::totals(folder.catalogue, 0, &observer);
    ASSERT_EQ(observer.progressTexts.size(), 3);
    EXPECT_EQ(observer.progressTexts[0], "Alpha\r\n" + totalsText("2", "1", "2", "2", "1", "1"));
    EXPECT_EQ(observer.progressTexts[1], "Beta\r\n" + totalsText("3", "1", "3", "4", "2", "4"));
    EXPECT_EQ(observer.progressTexts[2], totalsText("3", "1", "3", "4", "2", "4"));
    EXPECT_EQ(observer.yields, 3);
}

TEST_F(TotalsReportTest, OneDiscHasNoNameLineAndWorkingCopiesStay)
{
    folder.catalogue.discs.resize(2);
    folder.catalogue.current = 1;
    const QString workingCopy = folder.catalogue.workingCopy("11", ".rep");
    ASSERT_TRUE(test::writeFile(workingCopy, "edited"));
    EXPECT_EQ(Reports::build(7, folder.catalogue), totalsText("2", "1", "2", "2", "1", "1"));
    EXPECT_EQ(test::readFile(workingCopy), QByteArray("edited"));
}
