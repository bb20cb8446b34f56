#include "ExportFixtures.h"

#include "cli/HtmlExportCommand.h"
#include "export/HtmlExport.h"
#include "export/HtmlImages.h"
#include "settings/SettingsStore.h"

#include <QTextStream>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class HtmlExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        catalogue.keywords.insert(catalogue.keywords.end(), {{"Jazz", 1}, {"Rock & Roll", 2}});
        ASSERT_TRUE(KeywordList::write(catalogue));
    }
    // A disc with a folder Docs holding guide.pdf and a file readme.txt at its root.
    void addDisc(const QString &identifier, const QString &name, const QString &codes = "|")
    {
        fixture.addDisc({identifier, name, codes, {folderRecord("Docs", 0)}, {fileRecord("readme.txt", 0), fileRecord("guide.pdf", 1)}});
        catalogue.discs.back().description = "About " + name;
    }
    QString site(const QString &name = {}) const { return m_site.filePath(name); }
    QStringList siteEntries(const QString &folder = {}) const
    {
        return QDir(site(folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    }
    HtmlExportResult run(const std::vector<int> &positions, const HtmlExportOptions &options,
                         const QString &index = "catalogue.htm")
    {
        return exportHtml(catalogue, site(index), positions, options, observer);
    }
    static HtmlExportOptions withContents(bool all = false)
    {
        HtmlExportOptions options;
        options.contents = true;
        options.descriptions = options.keywords = options.borders = all;
        options.columns = all ? 2 : 6;
        return options;
    }

    FixtureFolder fixture;
    Catalogue &catalogue = fixture.catalogue;
    QTemporaryDir m_site;
    RecordingObserver observer;
};

const QStringList kBackgrounds{"bas.png", "haut.png", "ligne.png", "lignessb.png"};

TEST_F(HtmlExportTest, IndexNamesTheCompanionFolderAndContentsPagesLinkBack)
{
    addDisc("111", "First", "|2|");
    addDisc("-222", "Second");
    // The working copies of a disc being edited are not what is exported.
    ASSERT_TRUE(writeFile(catalogue.workingCopy("111", ".rep"), "edited"));
    const HtmlExportResult result = run({2, 1}, withContents(true));
    ASSERT_TRUE(result.written) << result.message.toStdString();
    EXPECT_EQ(result.discsExported, 2);
    EXPECT_TRUE(observer.scripted.notices.isEmpty());
    EXPECT_EQ(readFile(catalogue.workingCopy("111", ".rep")), "edited");
    EXPECT_EQ(siteEntries(), QStringList({"catalogue.htm", "catalogue_files"}));
    EXPECT_EQ(siteEntries("catalogue_files"), QStringList({"-222.htm", "111.htm", "CD.bmp"}) + kBackgrounds);
    for (const QString &picture : HtmlImages::backgroundNames()) {
        QFile resource(":/export/" + picture);
        ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
        EXPECT_EQ(readFile(site("catalogue_files/" + picture)), resource.readAll());
    }
    const QByteArray index = readFile(site("catalogue.htm"));
    EXPECT_TRUE(index.endsWith(QByteArray(LoadText(9026).toUtf8() + "\r\n")));
    // Rows in disc-array order, linked to the pages, with description and keywords.
    const qsizetype first = index.indexOf("<a href=\"catalogue_files/111.htm\">First</a>");
    EXPECT_GE(first, 0);
    EXPECT_GT(index.indexOf("<a href=\"catalogue_files/-222.htm\">Second</a>"), first);
    EXPECT_TRUE(index.contains("About First&nbsp;"));
    EXPECT_TRUE(index.contains("&nbsp;Rock &amp; Roll ; "));
    EXPECT_TRUE(index.contains("url('catalogue_files/ligne.png')"));
    EXPECT_TRUE(readXml(index).wellFormed) << readXml(index).error.toStdString();
    for (const char *page : {"111.htm", "-222.htm"}) {
        const QByteArray text = readFile(site(QString("catalogue_files/") + page));
        for (const char *part : {"<a href=\"../catalogue.htm\">Liste des CD</a>", "url('../catalogue_files/lignessb.png')",
                                 "<img src=\"../catalogue_files/CD.bmp\"", "border=\"1\" cellspacing=\"0\" cellpadding=\"6\""})
            EXPECT_TRUE(text.contains(part)) << part;
        EXPECT_TRUE(text.endsWith("</body></html>\r\n"));
        const XmlReading xml = readXml(text);
        EXPECT_TRUE(xml.wellFormed) << xml.error.toStdString();
        EXPECT_TRUE(xml.text.contains("guide.pdf"));
        EXPECT_TRUE(xml.text.contains("Docs"));
    }
}

TEST_F(HtmlExportTest, HostileNamesAreEscapedEverywhere)
{
    const QString name = "<script>alert('x')</script> & \"co\"";
    fixture.addDisc({"7", name, "|2|", {folderRecord("<iframe>", 0)}, {fileRecord("a&b<c>.txt", 1)}});
    catalogue.disc(1).description = "</td></tr></table><script>";
    const HtmlExportResult result = run({1}, withContents(true), "it's <mine>.htm");
    ASSERT_TRUE(result.written) << result.message.toStdString();
    const QByteArray index = readFile(site("it's <mine>.htm"));
    const QByteArray page = readFile(site("it's <mine>_files/7.htm"));
    for (const QByteArray &text : {index, page}) {
        EXPECT_FALSE(text.contains("<script")) << text.toStdString();
        EXPECT_FALSE(text.contains("<iframe"));
        const XmlReading xml = readXml(text);
        ASSERT_TRUE(xml.wellFormed) << xml.error.toStdString();
        EXPECT_TRUE(xml.text.contains(name));
    }
    const XmlReading xmlIndex = readXml(index);
    EXPECT_TRUE(xmlIndex.text.contains("</td></tr></table><script>"));
    EXPECT_TRUE(xmlIndex.text.contains("Rock & Roll"));
    EXPECT_TRUE(xmlIndex.attributeValues.contains("it%27s%20%3Cmine%3E_files/7.htm"));
    EXPECT_TRUE(readXml(page).text.contains("a&b<c>.txt"));
    EXPECT_TRUE(readXml(page).text.contains("\\<iframe>\\"));
    EXPECT_TRUE(readXml(page).attributeValues.contains("../it%27s%20%3Cmine%3E.htm"));
}

TEST_F(HtmlExportTest, IconsBecomeSixteenPixelBitmaps)
{
    const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0);
    for (const char *id : {"1", "2", "3", "4", "5"})
        addDisc(id, QString("Disc ") + id);
    catalogue.discIcons.insert("1", icoOf(32, red));
    catalogue.discIcons.insert("2", joinIcos({icoOf(48, qRgb(0, 0, 255)), icoOf(16, green), icoOf(32, red)}));
    catalogue.discIcons.insert("4", "not an icon");
    catalogue.discIcons.insert("5", icoOf(32, red));
    catalogue.disc(5).icon = "KMusic";   // a stock icon: the default picture
    HtmlExportOptions options = withContents();
    ASSERT_TRUE(run({1, 2, 3, 4, 5}, options).written);
    // Disc 2: its 16 x 16 image; 3 has no icon, 4 a broken one.
    const std::tuple<QString, QString, QRgb> cases[] = {
        {"1", "1.bmp", red}, {"2", "2.bmp", green}, {"3", "CD.bmp", 0}, {"4", "CD.bmp", 0}, {"5", "CD.bmp", 0},
    };
    const QStringList rows = QString::fromUtf8(readFile(site("catalogue.htm"))).split(u'\n');
    for (const auto &[id, picture, colour] : cases) {
        SCOPED_TRACE(id.toStdString());
        const QByteArray bytes = readFile(site("catalogue_files/" + picture));
        EXPECT_TRUE(bytes.startsWith("BM"));
        const QImage image = QImage::fromData(bytes, "BMP");
        EXPECT_EQ(image.size(), QSize(16, 16));
        if (colour != 0) {
            EXPECT_EQ(image.pixel(8, 8) & 0xFFFFFF, colour & 0xFFFFFF);
        }
        const QString row = rows.filter("catalogue_files/" + id + ".htm").value(0);
        EXPECT_TRUE(row.contains("<img src=\"catalogue_files/" + picture + '"')) << row.toStdString();
        EXPECT_TRUE(readFile(site("catalogue_files/" + id + ".htm")).contains(("<img src=\"../catalogue_files/" + picture + "\"").toUtf8()));
    }
    EXPECT_FALSE(QFileInfo::exists(site("catalogue_files/4.bmp")));
    EXPECT_FALSE(QFileInfo::exists(site("catalogue_files/5.bmp")));

    // Without icons no disc bitmap is written and rows have no picture.
    QDir(site("catalogue_files")).removeRecursively();
    options.icons = false;
    ASSERT_TRUE(run({1, 2}, options).written);
    EXPECT_FALSE(QFileInfo::exists(site("catalogue_files/1.bmp")));
    EXPECT_FALSE(readFile(site("catalogue.htm")).contains("<img"));
}

TEST_F(HtmlExportTest, AnUnwritableTargetGivesTheMessageAndLeavesNoIndex)
{
    addDisc("111", "First");
    addDisc("222", "Second");
    const std::pair<QString, bool> cases[] = {   // a folder (or, when true, a file) in the way
        {"catalogue.htm", false}, {"catalogue_files", true}, {"catalogue_files/222.htm", false},
        {"catalogue_files/haut.png", false},
    };
    for (const auto &[blocked, asFile] : cases) {
        SCOPED_TRACE(blocked.toStdString());
        QDir(site()).removeRecursively();
        QDir().mkpath(site());
        ASSERT_TRUE(asFile ? writeFile(site(blocked), "x") : QDir().mkpath(site(blocked)));
        observer.scripted.failures.clear();
        const HtmlExportResult result = run({1, 2}, withContents());
        EXPECT_FALSE(result.written);
        ASSERT_EQ(observer.scripted.failures.size(), 1);
        EXPECT_TRUE(observer.scripted.failures[0].startsWith(LoadText(421) + u'\n'));
        EXPECT_EQ(result.message, observer.scripted.failures[0]);
        EXPECT_FALSE(QFileInfo(site("catalogue.htm")).isFile());
        // No temporary file is left beside the pages either.
        EXPECT_TRUE(siteEntries().filter("catalogue.htm.").isEmpty());
    }

    // A disk that fills up on the big page of the third disc: the message names that page, the pages
    // before it are whole, and nothing half-written is left under any name.
    QDir(site()).removeRecursively();
    QDir().mkpath(site());
    std::vector<FileRecord> many;
    for (int n = 0; n < 400; ++n)
        many.push_back(fileRecord(QStringLiteral("a_rather_long_file_name_%1.txt").arg(n), 0));
    fixture.addDisc({"333", "Third", "|", {}, many});
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit cap{8 << 10, 8 << 10};
        setrlimit(RLIMIT_FSIZE, &cap);
        const HtmlExportResult result = run({1, 2, 3}, withContents());
        _exit(!result.written && result.message.contains(site("catalogue_files/333.htm")) ? 3 : 4);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3);
    EXPECT_EQ(siteEntries("catalogue_files").filter(".htm"), QStringList({"111.htm", "222.htm"}));
    EXPECT_TRUE(readFile(site("catalogue_files/222.htm")).endsWith("</body></html>\r\n"));
    EXPECT_EQ(siteEntries(), QStringList{"catalogue_files"});

    // An index aimed at the data folder, under another name, is refused before anything is written.
    const QString alias = site("alias");
    ASSERT_TRUE(QFile::link(catalogue.dataFolder, alias));
    const QStringList before = QDir(catalogue.dataFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    EXPECT_FALSE(exportHtml(catalogue, alias + "/111.VORN", {1}, withContents(), observer).written);
    EXPECT_TRUE(observer.scripted.warnings.last().startsWith(LoadText(782)));
    EXPECT_EQ(QDir(catalogue.dataFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

TEST_F(HtmlExportTest, NoDiscChosenWritesNothingAndTheStopFlagEndsAfterTheDiscInHand)
{
    addDisc("111", "First");
    for (const std::vector<int> &positions : {std::vector<int>{}, std::vector<int>{0, 9}})
        EXPECT_FALSE(run(positions, withContents()).written);
    EXPECT_TRUE(siteEntries().isEmpty());
    EXPECT_EQ(observer.scripted.warnings, QStringList({LoadText(556), LoadText(556)}));

    addDisc("222", "Second");
    addDisc("333", "Third");
    observer.cancelAtYield = 1;   // the yield before the first disc
    const HtmlExportResult result = run({1, 2, 3}, withContents());
    ASSERT_TRUE(result.written);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.discsExported, 1);
    const QByteArray index = readFile(site("catalogue.htm"));
    EXPECT_TRUE(index.contains(">First</a>"));
    EXPECT_FALSE(index.contains("Second"));
    EXPECT_FALSE(QFileInfo::exists(site("catalogue_files/222.htm")));
}

TEST_F(HtmlExportTest, StoredOptionsAndKeywordChoice)
{
    HtmlExportOptions options = htmlExportOptionsFromSettings();
    EXPECT_EQ(std::tuple(options.columns, options.icons, options.fontSize), std::tuple(6, true, 8));
    Settings::writeNumber("Opt", "HTMNbCols", 3);
    Settings::writeNumber("Opt", "IcoHtml", 0);
    Settings::writeNumber("Opt", "FontSize", 11);
    options = htmlExportOptionsFromSettings();
    EXPECT_EQ(std::tuple(options.columns, options.icons, options.fontSize), std::tuple(3, false, 11));

    Catalogue keyed;
    for (const char *codes : {"|3|7|", "|13|", "|", "|7|", ""}) {
        keyed.discs.emplace_back();
        keyed.discs.back().keywordCodes = codes;
    }
    EXPECT_EQ(discsWithKeywords(keyed, {3}), std::vector<int>{1});
    EXPECT_EQ(discsWithKeywords(keyed, {7, 13}), (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(discsWithKeywords(keyed, {1}), std::vector<int>{});
    // The export window's chooser: "[Tous les CD]", chosen rows in array order, keywords (positions then ignored).
    EXPECT_EQ(chosenDiscs(keyed, {false, true, {2}, {}}), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(chosenDiscs(keyed, {false, false, {4, 2, 9}, {}}), (std::vector<int>{2, 4}));
    EXPECT_EQ(chosenDiscs(keyed, {true, false, {3}, {7}}), (std::vector<int>{1, 4}));
}

TEST_F(HtmlExportTest, CommandLineChoosesDiscsAndOptions)
{
    addDisc("111", "First", "|1|");
    addDisc("222", "Second", "|2|");
    struct Case { QStringList arguments; int code; QStringList rows; bool pages; };   // rows: disc names in order
    const Case cases[] = {
        {{"--contents"}, cli::Done, {"First", "Second"}, true},
        {{"--discs", "222"}, cli::Done, {"Second"}, false},
        {{"--keyword", "jazz"}, cli::Done, {"First"}, false},
        {{"--keyword", "Jazz", "--keyword", "rock & roll"}, cli::Done, {"First", "Second"}, false},
        {{"--discs", "999"}, cli::Failed, {}, false},
        {{"--keyword", "Blues"}, cli::Failed, {}, false},
        {{"--cols", "0"}, cli::WrongUsage, {}, false},
        {{"--discs", "111", "--keyword", "Jazz"}, cli::WrongUsage, {}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        QDir(site()).removeRecursively();
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        cli::Context context{catalogue.dataFolder, outStream, errStream};
        EXPECT_EQ(cli::exportHtmlCommand(context, QStringList{site("cat.htm")} + c.arguments), c.code) << err.toStdString();
        const QByteArray index = readFile(site("cat.htm"));
        EXPECT_EQ(index.isEmpty(), c.rows.isEmpty());
        qsizetype from = 0;
        for (const QString &row : c.rows) {
            from = index.indexOf(row.toUtf8(), from);
            EXPECT_GE(from, 0) << row.toStdString();
        }
        EXPECT_EQ(QFileInfo::exists(site("cat_files/111.htm")), c.pages);
    }
}

} // namespace
