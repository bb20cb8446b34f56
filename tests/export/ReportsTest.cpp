#include "ExportFixtures.h"

#include "common/Numbers.h"
#include "export/Reports.h"

namespace {

QString totalsText(const char *files, const char *members, const char *folders, const char *size, const char *captured,
                   const char *capturedSize)
{
    return QString("Nombre de fichiers :  %1\r\nNombre de fichiers dans les archives :  %2\r\nNombre de répertoires :  %3\r\n"
                   "Taille totale :  %4 Mo\r\n\r\nFichiers texte enregistrés :  %5\r\nTaille du texte Sauvegardé :  %6 Mo")
        .arg(files, members, folders, size, captured, capturedSize);
}

TEST(ReportsTest, DataFolderReportCountsEveryFileAndTheVornFiles)
{
    FixtureFolder folder;
    folder.addKeyword("Jazz", 1);                                  // MC.txt
    folder.addDisc({"11", "Alpha"});
    ASSERT_TRUE(writeFile(folder.dataPath() + "/notes.bin", QByteArray(1234567, 'x')));
    ASSERT_TRUE(writeFile(folder.dataPath() + "/old.vorn", QByteArray(10, 'x')));
    ASSERT_TRUE(QDir(folder.dataPath()).mkdir("sub.VORN"));          // a folder is no file
    const qint64 vorn = 10 + QFileInfo(folder.catalogue.archivePath("11")).size()
        + QFileInfo(folder.catalogue.keywordListPath()).size();
    const QString text = Reports::dataFolderInfo(folder.catalogue);
    EXPECT_EQ(text, "=> Dossier : " + folder.catalogue.dataFolder + "\r\n\r\n=> Nombre de CD archivés : 1\r\n\r\n"
                    "=> Nombre total de fichiers dans le dossier : 4\r\n\r\n=> Taille du dossier  :  "
                    + groupDigits(1234567 + vorn, u' ') + "\r\n\r\n=> Nombre de fichiers VORN dans le dossier :  3\r\n\r\n"
                    "=> Taille totale des fichiers VORN : " + groupDigits(vorn, u' ') + "\r\n");

    // An empty catalogue, in English: digits grouped with commas.
    FixtureFolder empty;
    ASSERT_TRUE(writeFile(empty.dataPath() + "/notes.bin", QByteArray(1234567, 'x')));
    setLanguageOffset(1000);
    const QString english = Reports::dataFolderInfo(empty.catalogue);
    setLanguageOffset(0);
    EXPECT_TRUE(english.contains("=> Number of catalogued discs: 0\r\n")) << english.toStdString();
    EXPECT_TRUE(english.contains("=> Folder size: 1,234,567\r\n")) << english.toStdString();
    EXPECT_TRUE(english.endsWith("=> Total size of the VORN files: 0\r\n")) << english.toStdString();
}

TEST(ReportsTest, ListReportsFollowArrayAndKeywordOrder)
{
    Catalogue c;
    c.keywords.insert(c.keywords.end(), {{"Rock", 7}, {"Jazz", 1}, {"Unused", 4}, {"Jazz1", 11}});   // "|1|" must not match "|11|"
    for (const auto &[name, codes] : {std::pair("Zeta", "|1|7|"), std::pair("Alpha", "|11|"), std::pair("None", "")}) {
        c.discs.emplace_back();
        c.discs.back().name = name;
        c.discs.back().keywordCodes = codes;
    }
    const std::pair<int, QString> cases[] = {
        {4, "Zeta\r\nAlpha\r\nNone\r\n"},
        {5, "Zeta\r\n - Rock\r\n - Jazz\r\n\r\nAlpha\r\n - Jazz1\r\n\r\nNone\r\n\r\n"},
        {6, "Rock\r\n - Zeta\r\n\r\nJazz\r\n - Zeta\r\n\r\nUnused\r\n\r\nJazz1\r\n - Alpha\r\n\r\n"},
        {2, ""},
        {8, ""},
    };
    for (const auto &[index, expected] : cases)
        EXPECT_EQ(Reports::build(index, c), expected) << index;
    EXPECT_EQ(Reports::build(5, Catalogue()), QString());

    const std::tuple<const char *, int, bool> filters[] = {   // codes, filter, passes
        {"", 0, true}, {"|3|", 3, true}, {"|13|", 3, false}, {"|3|", -3, false}, {"|31|", -3, true}, {"", -3, true}, {"|", 3, false},
    };
    for (const auto &[codes, filter, passes] : filters)
        EXPECT_EQ(Reports::passesKeywordFilter(codes, filter), passes) << codes << ' ' << filter;
}

// Three discs: Alpha (keyword 1) and Beta (keyword 2) with tree files in their
// archives; Gamma has no archive at all.
class TotalsReportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // BIG.TXT: 1 MB captured; IN.ZIP: an archive member, counted apart; TWO.TXT: 2.5 MB captured.
        folder.addDisc({"11", "Alpha", "|1|", {folderRecord("Docs", 0), folderRecord("Sub", 1)},
                        {fileRecord("BIG.TXT", 0, 1048576, 1), fileRecord("HALF.BIN", 1, 524288), fileRecord("IN.ZIP", -2, 7000000)}});
        folder.addDisc({"22", "Beta", "|2|", {folderRecord("Only", 0)}, {fileRecord("TWO.TXT", 1, 2621440, 3)}});
        folder.catalogue.discs.emplace_back();
        folder.catalogue.discs.back().identifier = "33";
        folder.catalogue.discs.back().name = "Gamma";
    }
    FixtureFolder folder;
};

TEST_F(TotalsReportTest, TotalsOverTheDiscsTheFilterLetThrough)
{
    const std::pair<int, QString> cases[] = {
        {0, totalsText("3", "1", "3", "4", "2", "4")},                             // 3.5 MB rounds to 4
        {1, totalsText("2", "1", "2", "2", "1", "1") + "\r\n(Filtre Actif!)"},     // 1.5 -> 2
        {-1, totalsText("1", "0", "1", "2", "1", "2") + "\r\n(Filtre Actif!)"},    // 2.5 -> 2
        {9, totalsText("0", "0", "0", "0", "0", "0") + "\r\n(Filtre Actif!)"},
    };
    for (const auto &[filter, expected] : cases)
        EXPECT_EQ(Reports::totals(folder.catalogue, filter), expected) << filter;

    RecordingObserver observer;   // the running text names each disc but the last
    Reports::totals(folder.catalogue, 0, &observer);
    EXPECT_EQ(observer.progressTexts, QStringList({"Alpha\r\n" + totalsText("2", "1", "2", "2", "1", "1"),
                                                   "Beta\r\n" + totalsText("3", "1", "3", "4", "2", "4"),
                                                   totalsText("3", "1", "3", "4", "2", "4")}));
    EXPECT_EQ(observer.yields, 3);
}

TEST_F(TotalsReportTest, OneDiscHasNoNameLineAndWorkingCopiesStay)
{
    folder.catalogue.discs.resize(2);
    folder.catalogue.current = 1;
    const QString workingCopy = folder.catalogue.workingCopy("11", ".rep");
    ASSERT_TRUE(writeFile(workingCopy, "edited"));
    EXPECT_EQ(Reports::build(7, folder.catalogue), totalsText("2", "1", "2", "2", "1", "1"));
    EXPECT_EQ(readFile(workingCopy), QByteArray("edited"));
}

} // namespace
