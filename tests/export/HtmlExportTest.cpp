#include "HtmlTestSupport.h"

#include "cli/HtmlExportCommand.h"
#include "export/HtmlExport.h"
#include "export/HtmlImages.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"
#include "store/DiscArchive.h"
#include "store/KeywordList.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace vorn;
using test::file;
using test::folder;
using test::readFile;

namespace {

class HtmlExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setLanguageOffset(0);
        ASSERT_TRUE(m_root.isValid());
        QDir root(m_root.path());
        root.mkpath(QStringLiteral("data"));
        root.mkpath(QStringLiteral("temp"));
        root.mkpath(QStringLiteral("site"));
        catalogue.dataFolder = m_root.filePath(QStringLiteral("data")) + u'/';
        catalogue.tempFolder = m_root.filePath(QStringLiteral("temp")) + u'/';
        catalogue.keywords.push_back({QStringLiteral("Jazz"), 1});
        catalogue.keywords.push_back({QStringLiteral("Rock & Roll"), 2});
    }

    // Writes a disc archive with its tree files and record and appends it to the array.
    void addDisc(const QString &identifier, const QString &name, const DiscTree &tree,
                 const QString &codes = QStringLiteral("|"))
    {
        DiscRecord disc;
        disc.identifier = identifier;
        disc.name = name;
        disc.keywordCodes = codes;
        disc.description = QStringLiteral("About ") + name;
        ASSERT_TRUE(test::writeFile(catalogue.workingCopy(identifier, QStringLiteral(".rep")),
                                    TreeFiles::folderFileBytes(tree.folders)));
        ASSERT_TRUE(test::writeFile(catalogue.workingCopy(identifier, QStringLiteral(".fic")),
                                    TreeFiles::fileListBytes(tree.files)));
        catalogue.memberFlags = Member::Rep | Member::Fic;
        QString error;
        ASSERT_TRUE(writeRecord(catalogue, disc, 0, &error)) << error.toStdString();
        QFile::remove(catalogue.workingCopy(identifier, QStringLiteral(".rep")));
        QFile::remove(catalogue.workingCopy(identifier, QStringLiteral(".fic")));
        catalogue.discs.push_back(disc);
    }

    static DiscTree smallTree()
    {
        DiscTree tree;
        tree.folders.push_back(folder(QStringLiteral("Docs"), 0));
        tree.files = {file(QStringLiteral("readme.txt"), 0), file(QStringLiteral("guide.pdf"), 1)};
        return tree;
    }

    QString site(const QString &name) const { return m_root.filePath(QStringLiteral("site/") + name); }

    QStringList siteEntries(const QString &folder = QString()) const
    {
        return QDir(site(folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    }

    HtmlExportResult run(const std::vector<int> &positions, const HtmlExportOptions &options,
                         const QString &index = QStringLiteral("catalogue.htm"))
    {
        return exportHtml(catalogue, site(index), positions, options, observer);
    }

    QTemporaryDir m_root;
    Catalogue catalogue;
    test::RecordingObserver observer;
};

HtmlExportOptions allTicked()
{
    HtmlExportOptions options;
    options.descriptions = options.keywords = options.contents = options.borders = true;
    options.columns = 2;
    return options;
}

} // namespace

TEST_F(HtmlExportTest, IndexNamesTheCompanionFolderAndContentsPagesLinkBack)
{
    addDisc(QStringLiteral("111"), QStringLiteral("First"), smallTree(), QStringLiteral("|2|"));
    addDisc(QStringLiteral("-222"), QStringLiteral("Second"), smallTree());
    const HtmlExportResult result = run({2, 1}, allTicked());
    ASSERT_TRUE(result.written) << result.message.toStdString();
    EXPECT_EQ(result.discsExported, 2);
    EXPECT_TRUE(observer.scripted.notices.isEmpty());

    EXPECT_EQ(siteEntries(), (QStringList{QStringLiteral("catalogue.htm"), QStringLiteral("catalogue_files")}));
    EXPECT_EQ(siteEntries(QStringLiteral("catalogue_files")),
              (QStringList{QStringLiteral("-222.htm"), QStringLiteral("111.htm"), QStringLiteral("CD.bmp"),
                           QStringLiteral("bas.png"), QStringLiteral("haut.png"), QStringLiteral("ligne.png"),
                           QStringLiteral("lignessb.png")}));
    for (const QString &picture : HtmlImages::backgroundNames()) {
        QFile resource(QStringLiteral(":/export/") + picture);
        ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
        EXPECT_EQ(readFile(site(QStringLiteral("catalogue_files/") + picture)), resource.readAll());
    }

    const QByteArray index = readFile(site(QStringLiteral("catalogue.htm")));
    EXPECT_TRUE(index.endsWith(QByteArray(LoadText(9026).toUtf8() + "\r\n")));
    // Rows in disc-array order, linked to the pages, with description and keywords.
    const qsizetype first = index.indexOf("<a href=\"catalogue_files/111.htm\">First</a>");
    const qsizetype second = index.indexOf("<a href=\"catalogue_files/-222.htm\">Second</a>");
    EXPECT_GE(first, 0);
    EXPECT_GT(second, first);
    EXPECT_TRUE(index.contains("About First&nbsp;"));
    EXPECT_TRUE(index.contains("&nbsp;Rock &amp; Roll ; "));
    EXPECT_TRUE(index.contains("url('catalogue_files/ligne.png')"));
    const test::XmlReading xmlIndex = test::readXml(index);
    EXPECT_TRUE(xmlIndex.wellFormed) << xmlIndex.error.toStdString();

    for (const QString &page : {QStringLiteral("111.htm"), QStringLiteral("-222.htm")}) {
        const QByteArray text = readFile(site(QStringLiteral("catalogue_files/") + page));
        EXPECT_TRUE(text.contains("<a href=\"../catalogue.htm\">Liste des CD</a>"));
        EXPECT_TRUE(text.contains("url('../catalogue_files/lignessb.png')"));
        EXPECT_TRUE(text.contains("<img src=\"../catalogue_files/CD.bmp\""));
        EXPECT_TRUE(text.contains("border=\"1\" cellspacing=\"0\" cellpadding=\"6\""));
        EXPECT_TRUE(text.endsWith("</body></html>\r\n"));
        const test::XmlReading xml = test::readXml(text);
        EXPECT_TRUE(xml.wellFormed) << xml.error.toStdString();
        EXPECT_TRUE(xml.text.contains(QStringLiteral("guide.pdf")));
    }
}

TEST_F(HtmlExportTest, OnlyTheListWritesNoContentsPagesAndNoLinks)
{
    addDisc(QStringLiteral("111"), QStringLiteral("First"), smallTree());
    HtmlExportOptions options;
    options.icons = false;
    const HtmlExportResult result = run({1}, options, QStringLiteral("disques.html"));
    ASSERT_TRUE(result.written);
    EXPECT_EQ(siteEntries(QStringLiteral("disques_files")),
              (QStringList{QStringLiteral("CD.bmp"), QStringLiteral("bas.png"), QStringLiteral("haut.png"),
                           QStringLiteral("ligne.png"), QStringLiteral("lignessb.png")}));
    const QByteArray index = readFile(site(QStringLiteral("disques.html")));
    EXPECT_FALSE(index.contains("<a href=\"disques_files"));
    EXPECT_FALSE(index.contains("<img"));
    EXPECT_TRUE(index.contains((LoadText(9013) + QStringLiteral("First") + LoadText(9014)).toUtf8()));
}

TEST_F(HtmlExportTest, HostileNamesAreEscapedEverywhere)
{
    const QString name = QStringLiteral("<script>alert('x')</script> & \"co\"");
    DiscTree tree;
    tree.folders.push_back(folder(QStringLiteral("<iframe>"), 0));
    tree.files = {file(QStringLiteral("a&b<c>.txt"), 1)};
    addDisc(QStringLiteral("7"), name, tree, QStringLiteral("|2|"));
    catalogue.disc(1).description = QStringLiteral("</td></tr></table><script>");
    const HtmlExportResult result = run({1}, allTicked(), QStringLiteral("it's <mine>.htm"));
    ASSERT_TRUE(result.written) << result.message.toStdString();
    const QByteArray index = readFile(site(QStringLiteral("it's <mine>.htm")));
    const QByteArray page = readFile(site(QStringLiteral("it's <mine>_files/7.htm")));
    for (const QByteArray &text : {index, page}) {
        EXPECT_FALSE(text.contains("<script")) << text.toStdString();
        EXPECT_FALSE(text.contains("<iframe"));
        const test::XmlReading xml = test::readXml(text);
        ASSERT_TRUE(xml.wellFormed) << xml.error.toStdString();
        EXPECT_TRUE(xml.text.contains(name));
    }
    const test::XmlReading xmlIndex = test::readXml(index);
    EXPECT_TRUE(xmlIndex.text.contains(QStringLiteral("</td></tr></table><script>")));
    EXPECT_TRUE(xmlIndex.text.contains(QStringLiteral("Rock & Roll")));
    EXPECT_TRUE(xmlIndex.attributeValues.contains(QStringLiteral("it%27s%20%3Cmine%3E_files/7.htm")));
    const test::XmlReading xmlPage = test::readXml(page);
    EXPECT_TRUE(xmlPage.text.contains(QStringLiteral("a&b<c>.txt")));
    EXPECT_TRUE(xmlPage.text.contains(QStringLiteral("\\<iframe>\\")));
}

TEST_F(HtmlExportTest, IconsBecomeSixteenPixelBitmaps)
{
    addDisc(QStringLiteral("1"), QStringLiteral("Big icon"), smallTree());
    addDisc(QStringLiteral("2"), QStringLiteral("Several sizes"), smallTree());
    addDisc(QStringLiteral("3"), QStringLiteral("No icon"), smallTree());
    addDisc(QStringLiteral("4"), QStringLiteral("Broken icon"), smallTree());
    addDisc(QStringLiteral("5"), QStringLiteral("Stock icon"), smallTree());
    catalogue.discIcons.insert(QStringLiteral("1"), test::icoOf(32, qRgb(255, 0, 0)));
    catalogue.discIcons.insert(QStringLiteral("2"), test::joinIcos({test::icoOf(48, qRgb(0, 0, 255)),
                                                                    test::icoOf(16, qRgb(0, 255, 0)),
                                                                    test::icoOf(32, qRgb(255, 0, 0))}));
    catalogue.discIcons.insert(QStringLiteral("4"), QByteArray("not an icon"));
    catalogue.discIcons.insert(QStringLiteral("5"), test::icoOf(32, qRgb(255, 0, 0)));
    catalogue.disc(5).icon = QStringLiteral("KMusic");
    HtmlExportOptions options;
    options.contents = true;
    ASSERT_TRUE(run({1, 2, 3, 4, 5}, options).written);

    struct Case
    {
        QString identifier;
        QString picture;
        QRgb colour;
    };
    const Case cases[] = {
        {QStringLiteral("1"), QStringLiteral("1.bmp"), qRgb(255, 0, 0)},
        {QStringLiteral("2"), QStringLiteral("2.bmp"), qRgb(0, 255, 0)},   // the 16 x 16 image
        {QStringLiteral("3"), QStringLiteral("CD.bmp"), 0},
        {QStringLiteral("4"), QStringLiteral("CD.bmp"), 0},
        {QStringLiteral("5"), QStringLiteral("CD.bmp"), 0},
    };
    const QByteArray index = readFile(site(QStringLiteral("catalogue.htm")));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.identifier.toStdString());
        const QString path = site(QStringLiteral("catalogue_files/") + c.picture);
        const QByteArray bytes = readFile(path);
        EXPECT_TRUE(bytes.startsWith("BM"));
        const QImage image = QImage::fromData(bytes, "BMP");
        EXPECT_EQ(image.size(), QSize(16, 16));
        if (c.colour != 0) {
            EXPECT_EQ(image.pixel(8, 8) & 0xFFFFFF, c.colour & 0xFFFFFF);
        }
        EXPECT_TRUE(index.contains((LoadText(9015) + QStringLiteral("catalogue_files/") + c.picture
                                    + LoadText(9016) + LoadText(9013) + QStringLiteral("<a href=\"catalogue_files/")
                                    + c.identifier + QStringLiteral(".htm\">")).toUtf8()));
        const QByteArray page = readFile(site(QStringLiteral("catalogue_files/") + c.identifier + QStringLiteral(".htm")));
        EXPECT_TRUE(page.contains(("<img src=\"../catalogue_files/" + c.picture + "\"").toUtf8()));
    }
    EXPECT_FALSE(QFileInfo::exists(site(QStringLiteral("catalogue_files/4.bmp"))));
    EXPECT_FALSE(QFileInfo::exists(site(QStringLiteral("catalogue_files/5.bmp"))));

    // Without icons no disc bitmap is written and rows have no picture.
    QDir(site(QStringLiteral("catalogue_files"))).removeRecursively();
    options.icons = false;
    ASSERT_TRUE(run({1, 2}, options).written);
    EXPECT_FALSE(QFileInfo::exists(site(QStringLiteral("catalogue_files/1.bmp"))));
    EXPECT_FALSE(readFile(site(QStringLiteral("catalogue.htm"))).contains("<img"));
}

TEST_F(HtmlExportTest, AnUnwritableTargetGivesTheMessageAndLeavesNoIndex)
{
    addDisc(QStringLiteral("111"), QStringLiteral("First"), smallTree());
    addDisc(QStringLiteral("222"), QStringLiteral("Second"), smallTree());
    struct Case
    {
        const char *what;
        QString blocked;   // a folder (or, for the companion folder, a file) in the way
        bool asFile;
    };
    const Case cases[] = {
        {"index is a folder", QStringLiteral("catalogue.htm"), false},
        {"companion folder is a file", QStringLiteral("catalogue_files"), true},
        {"second contents page is a folder", QStringLiteral("catalogue_files/222.htm"), false},
        {"a picture is a folder", QStringLiteral("catalogue_files/haut.png"), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QDir(site(QString())).removeRecursively();
        QDir().mkpath(site(QString()));
        if (c.asFile)
            ASSERT_TRUE(test::writeFile(site(c.blocked), "x"));
        else
            ASSERT_TRUE(QDir().mkpath(site(c.blocked)));
        observer.scripted.failures.clear();
        HtmlExportOptions options;
        options.contents = true;
        const HtmlExportResult result = run({1, 2}, options);
        EXPECT_FALSE(result.written);
        ASSERT_EQ(observer.scripted.failures.size(), 1);
        EXPECT_TRUE(observer.scripted.failures[0].startsWith(LoadText(421) + u'\n'));
        EXPECT_EQ(result.message, observer.scripted.failures[0]);
        EXPECT_FALSE(QFileInfo(site(QStringLiteral("catalogue.htm"))).isFile());
        // No temporary file is left beside the pages either.
        EXPECT_TRUE(siteEntries().filter(QStringLiteral("catalogue.htm.")).isEmpty());
    }
}

TEST_F(HtmlExportTest, NoDiscChosenWritesNothing)
{
    addDisc(QStringLiteral("111"), QStringLiteral("First"), smallTree());
    for (const std::vector<int> &positions : {std::vector<int>{}, std::vector<int>{0, 9}}) {
        const HtmlExportResult result = run(positions, allTicked());
        EXPECT_FALSE(result.written);
        EXPECT_TRUE(siteEntries().isEmpty());
    }
    EXPECT_EQ(observer.scripted.warnings, (QStringList{LoadText(556), LoadText(556)}));
}

TEST_F(HtmlExportTest, StopFlagEndsAfterTheDiscInHandAndWritesTheIndex)
{
    addDisc(QStringLiteral("111"), QStringLiteral("First"), smallTree());
    addDisc(QStringLiteral("222"), QStringLiteral("Second"), smallTree());
    addDisc(QStringLiteral("333"), QStringLiteral("Third"), smallTree());
    observer.cancelAtYield = 1;   // the yield before the first disc
    HtmlExportOptions options;
    options.contents = true;
    const HtmlExportResult result = run({1, 2, 3}, options);
    ASSERT_TRUE(result.written);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.discsExported, 1);
    const QByteArray index = readFile(site(QStringLiteral("catalogue.htm")));
    EXPECT_TRUE(index.contains(">First</a>"));
    EXPECT_FALSE(index.contains("Second"));
    EXPECT_FALSE(QFileInfo::exists(site(QStringLiteral("catalogue_files/222.htm"))));
}

TEST_F(HtmlExportTest, WorkingCopiesOfTheDiscShownAreLeftAlone)
{
    addDisc(QStringLiteral("111"), QStringLiteral("First"), smallTree());
    ASSERT_TRUE(test::writeFile(catalogue.workingCopy(QStringLiteral("111"), QStringLiteral(".rep")), "edited"));
    HtmlExportOptions options;
    options.contents = true;
    ASSERT_TRUE(run({1}, options).written);
    EXPECT_EQ(readFile(catalogue.workingCopy(QStringLiteral("111"), QStringLiteral(".rep"))), "edited");
    EXPECT_TRUE(readFile(site(QStringLiteral("catalogue_files/111.htm"))).contains("Docs"));
}

TEST(HtmlExportChoice, StoredOptionsGiveColumnsIconsAndFontSize)
{
    test::IsolatedSettings settings;
    const HtmlExportOptions defaults = htmlExportOptionsFromSettings();
    EXPECT_EQ(defaults.columns, 6);
    EXPECT_TRUE(defaults.icons);
    EXPECT_EQ(defaults.fontSize, 8);
    Settings::writeNumber(QStringLiteral("Opt"), QStringLiteral("HTMNbCols"), 3);
    Settings::writeNumber(QStringLiteral("Opt"), QStringLiteral("IcoHtml"), 0);
    Settings::writeNumber(QStringLiteral("Opt"), QStringLiteral("FontSize"), 11);
    const HtmlExportOptions stored = htmlExportOptionsFromSettings();
    EXPECT_EQ(stored.columns, 3);
    EXPECT_FALSE(stored.icons);
    EXPECT_EQ(stored.fontSize, 11);
}

TEST(HtmlExportChoice, DiscsWithAnyOfTheKeywords)
{
    Catalogue catalogue;
    for (const char *codes : {"|3|7|", "|13|", "|", "|7|", ""}) {
        DiscRecord disc;
        disc.keywordCodes = QString::fromLatin1(codes);
        catalogue.discs.push_back(disc);
    }
    EXPECT_EQ(discsWithKeywords(catalogue, {3}), (std::vector<int>{1}));
    EXPECT_EQ(discsWithKeywords(catalogue, {7, 13}), (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(discsWithKeywords(catalogue, {1}), (std::vector<int>{}));
}

TEST_F(HtmlExportTest, SaveDialogCancelledWritesNothingSilently)
{
    addDisc(QStringLiteral("111"), QStringLiteral("First"), smallTree());
    EXPECT_FALSE(runHtmlExport(catalogue, {1}, allTicked(), observer).written);
    EXPECT_TRUE(observer.scripted.notices.isEmpty());
    observer.scripted.inputs.push_back(site(QStringLiteral("chosen")));
    const HtmlExportResult result = runHtmlExport(catalogue, {1}, allTicked(), observer);
    EXPECT_TRUE(result.written);
    EXPECT_TRUE(QFileInfo(site(QStringLiteral("chosen.html"))).isFile());
    EXPECT_TRUE(QFileInfo(site(QStringLiteral("chosen_files/111.htm"))).isFile());
}

TEST_F(HtmlExportTest, CommandLineChoosesDiscsAndOptions)
{
    test::IsolatedSettings settings;
    addDisc(QStringLiteral("111"), QStringLiteral("First"), smallTree(), QStringLiteral("|1|"));
    addDisc(QStringLiteral("222"), QStringLiteral("Second"), smallTree(), QStringLiteral("|2|"));
    ASSERT_TRUE(KeywordList::write(catalogue));
    struct Case
    {
        QStringList arguments;
        int code;
        QStringList rows;        // disc names found in the index, in order
        bool pages;
    };
    const Case cases[] = {
        {{QStringLiteral("--contents")}, cli::Done, {QStringLiteral("First"), QStringLiteral("Second")}, true},
        {{QStringLiteral("--discs"), QStringLiteral("222")}, cli::Done, {QStringLiteral("Second")}, false},
        {{QStringLiteral("--keyword"), QStringLiteral("jazz")}, cli::Done, {QStringLiteral("First")}, false},
        {{QStringLiteral("--keyword"), QStringLiteral("Jazz"), QStringLiteral("--keyword"), QStringLiteral("rock & roll")},
         cli::Done, {QStringLiteral("First"), QStringLiteral("Second")}, false},
        {{QStringLiteral("--discs"), QStringLiteral("999")}, cli::Failed, {}, false},
        {{QStringLiteral("--keyword"), QStringLiteral("Blues")}, cli::Failed, {}, false},
        {{QStringLiteral("--cols"), QStringLiteral("0")}, cli::WrongUsage, {}, false},
        {{QStringLiteral("--discs"), QStringLiteral("111"), QStringLiteral("--keyword"), QStringLiteral("Jazz")},
         cli::WrongUsage, {}, false},
        {{QStringLiteral("--bogus")}, cli::WrongUsage, {}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        QDir(site(QString())).removeRecursively();
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        cli::Context context{catalogue.dataFolder, outStream, errStream};
        const int code = cli::exportHtmlCommand(context, QStringList{site(QStringLiteral("cat.htm"))} + c.arguments);
        outStream.flush();
        errStream.flush();
        EXPECT_EQ(code, c.code) << err.toStdString();
        const QByteArray index = readFile(site(QStringLiteral("cat.htm")));
        EXPECT_EQ(index.isEmpty(), c.rows.isEmpty());
        qsizetype from = 0;
        for (const QString &row : c.rows) {
            from = index.indexOf(row.toUtf8(), from);
            EXPECT_GE(from, 0) << row.toStdString();
        }
        EXPECT_EQ(QFileInfo::exists(site(QStringLiteral("cat_files/111.htm"))), c.pages);
    }
}
