#include "HtmlTestSupport.h"

#include "export/HtmlPages.h"
#include "export/HtmlText.h"
#include "settings/StringTable.h"
#include "support/TestSupport.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace vorn;
using test::file;
using test::folder;

namespace {

// The entries of each cell of the n-th folder table of a contents page.
std::vector<QStringList> cellsOfFolder(const QString &page, int n)
{
    const QStringList tables = page.split(QStringLiteral("<tr><td valign=\"top\">"));
    const QString table = tables.value(n + 1).section(QStringLiteral("</td></tr></table>"), 0, 0);
    std::vector<QStringList> cells;
    for (const QString &cell : table.split(QStringLiteral("</td><td valign=\"top\">")))
        cells.push_back(cell.split(QStringLiteral("<br />"), Qt::SkipEmptyParts));
    return cells;
}

DiscTree rootWith(int subFolders, int files)
{
    DiscTree tree;
    for (int i = 1; i <= subFolders; ++i)
        tree.folders.push_back(folder(QStringLiteral("d%1").arg(i), 0));
    for (int i = 0; i < files; ++i)
        tree.files.push_back(file(QStringLiteral("f%1").arg(i), 0));
    return tree;
}

DiscRecord discNamed(const QString &name)
{
    DiscRecord disc;
    disc.identifier = QStringLiteral("42");
    disc.name = name;
    return disc;
}

} // namespace

TEST(HtmlColumns, EntriesPerColumnAndCells)
{
    setLanguageOffset(0);
    struct Case
    {
        int folders, files, columns, perColumn;
        std::vector<int> cellSizes;
    };
    const Case cases[] = {
        {3, 4, 3, 3, {3, 3, 1}},    // 10 / 3 = 3.33
        {2, 3, 2, 4, {4, 1}},       // 7 / 2 = 3.5 rounds to even 4
        {0, 0, 6, 1, {0}},          // an empty folder keeps one empty cell
        {0, 9, 2, 6, {6, 3}},       // 11 / 2 = 5.5 rounds to even 6
        {1, 2, 2, 2, {2, 1}},       // 5 / 2 = 2.5 rounds to even 2, not 3
        {0, 7, 2, 4, {4, 3}},       // 9 / 2 = 4.5 rounds to even 4
        {1, 0, 6, 1, {1}},          // 7 / 6 rounds down to 1; no cell after the last entry
        {4, 2, 6, 2, {2, 2, 2}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.folders + c.files << " entries in " << c.columns);
        EXPECT_EQ(entriesPerColumn(c.folders + c.files, c.columns), c.perColumn);
        HtmlExportOptions options;
        options.columns = c.columns;
        const QString page = htmlContentsPage(discNamed(QStringLiteral("D")),
                                              rootWith(c.folders, c.files), QStringLiteral("CD.bmp"),
                                              {QStringLiteral("cat"), QStringLiteral("htm")}, options);
        const std::vector<QStringList> cells = cellsOfFolder(page, 0);
        std::vector<int> sizes;
        for (const QStringList &cell : cells)
            sizes.push_back(int(cell.size()));
        EXPECT_EQ(sizes, c.cellSizes);
    }
}

TEST(HtmlContentsPage, ForwardScansListEachFolderOnceWithoutMembers)
{
    setLanguageOffset(0);
    // Root: folders 1, 2 and files a, b; folder 1: folder 3 and file c (after a member
    // of archive b); folder 2: nothing; folder 3: file d.
    DiscTree tree;
    tree.folders.push_back(folder(QStringLiteral("one"), 0));
    tree.folders.push_back(folder(QStringLiteral("two"), 0));
    tree.folders.push_back(folder(QStringLiteral("three"), 1));
    tree.files = {file(QStringLiteral("a"), 0), file(QStringLiteral("b.zip"), 0),
                  file(QStringLiteral("member.txt"), TreeFiles::archiveLink(1)),
                  file(QStringLiteral("c"), 1), file(QStringLiteral("d"), 3)};
    HtmlExportOptions options;
    options.columns = 1;
    const QString page = htmlContentsPage(discNamed(QStringLiteral("D")), tree, QStringLiteral("CD.bmp"),
                                          {QStringLiteral("cat"), QStringLiteral("htm")}, options);
    const QStringList expected[] = {
        {QStringLiteral("<a href=\"#1\">one</a>"), QStringLiteral("<a href=\"#2\">two</a>"),
         QStringLiteral("a"), QStringLiteral("b.zip")},
        {QStringLiteral("<a href=\"#3\">three</a>"), QStringLiteral("c")},
        {},
        {QStringLiteral("d")},
    };
    for (int n = 0; n < 4; ++n) {
        SCOPED_TRACE(n);
        const std::vector<QStringList> cells = cellsOfFolder(page, n);
        ASSERT_EQ(cells.size(), 1u);
        EXPECT_EQ(cells[0], expected[n]);
    }
    EXPECT_FALSE(page.contains(QLatin1String("member.txt")));
    // Each folder has its anchor, a link to its parent's and its path.
    EXPECT_TRUE(page.contains(QLatin1String("<a name=\"3\"></a><a href=\"#1\">/\\..</a><b>\\one\\three\\</b>")));
    EXPECT_TRUE(page.contains(QLatin1String("<a name=\"0\"></a><a href=\"#0\">/\\..</a><b>\\</b>")));
    EXPECT_TRUE(page.endsWith(LoadText(9027)));
}

TEST(HtmlIndexPage, HeadAndFootFollowTheFragmentOrder)
{
    setLanguageOffset(0);
    const QString head = htmlIndexHead(QStringLiteral("Export"), QStringLiteral("my%20cat"), 12,
                                       QStringLiteral("my cat"));
    QString expected = LoadText(9000) + QStringLiteral("Export\r\n");
    for (int id = 9001; id <= 9006; ++id)
        expected += LoadText(id) + QStringLiteral("\r\n");
    expected += QStringLiteral("12") + LoadText(9007) + LoadText(9008) + QStringLiteral("my%20cat_files")
        + LoadText(9009) + QStringLiteral("my%20cat_files") + LoadText(9010) + QStringLiteral("\r\nmy cat")
        + LoadText(9011) + QStringLiteral("\r\n");
    EXPECT_EQ(head, expected);
    EXPECT_EQ(htmlPageFoot(QStringLiteral("x")),
              LoadText(9023) + QStringLiteral("x_files") + LoadText(9024) + QStringLiteral("\r\n")
                  + LoadText(9025) + LoadText(9026));
}

TEST(HtmlIndexPage, RowsFollowTheTicks)
{
    setLanguageOffset(0);
    Catalogue catalogue;
    catalogue.keywords.push_back({QStringLiteral("Jazz"), 3});
    catalogue.keywords.push_back({QStringLiteral("Live"), 13});
    catalogue.keywords.push_back({QStringLiteral("Rock"), 1});
    DiscRecord disc = discNamed(QStringLiteral("Disc"));
    disc.description = QStringLiteral("About");
    disc.keywordCodes = QStringLiteral("|13|1|");
    struct Case
    {
        bool icons, contents, descriptions, keywords;
        QString cells;   // between 9012 and 9014
    };
    const QString img = LoadText(9015) + QStringLiteral("c_files/42.bmp") + LoadText(9016);
    const QString sep = LoadText(9013);
    const Case cases[] = {
        {false, false, false, false, sep + QStringLiteral("Disc")},
        {true, false, false, false, img + sep + QStringLiteral("Disc")},
        {false, true, false, false, sep + QStringLiteral("<a href=\"c_files/42.htm\">Disc</a>")},
        {false, false, true, false, sep + QStringLiteral("Disc") + sep + QStringLiteral("About&nbsp;")},
        {false, false, false, true, sep + QStringLiteral("Disc") + sep + QStringLiteral("&nbsp;Live ; Rock ; ")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.cells.toStdString());
        HtmlExportOptions options;
        options.icons = c.icons;
        options.contents = c.contents;
        options.descriptions = c.descriptions;
        options.keywords = c.keywords;
        EXPECT_EQ(htmlIndexRow(catalogue, disc, QStringLiteral("42.bmp"), QStringLiteral("c"), options),
                  LoadText(9012) + c.cells + LoadText(9014) + QStringLiteral("\r\n"));
    }
}

TEST(HtmlText, EscapesHostileText)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("<script>alert(1)</script>"), QStringLiteral("&lt;script&gt;alert(1)&lt;/script&gt;")},
        {QStringLiteral("Tom & Jerry"), QStringLiteral("Tom &amp; Jerry")},
        {QStringLiteral("say \"hi\" 'there'"), QStringLiteral("say &quot;hi&quot; &#39;there&#39;")},
        {QStringLiteral("&amp;"), QStringLiteral("&amp;amp;")},
        {QStringLiteral("bell\x07" "end"), QStringLiteral("bell\uFFFDend")},
        {QStringLiteral("line\r\nbreak\ttab"), QStringLiteral("line\r\nbreak\ttab")},
        {QString::fromUtf8("café 😀"), QString::fromUtf8("café 😀")},
    };
    for (const auto &[text, escaped] : cases)
        EXPECT_EQ(htmlEscaped(text), escaped);
    EXPECT_EQ(urlSegment(QStringLiteral("my cat's <files>")), QStringLiteral("my%20cat%27s%20%3Cfiles%3E"));
    EXPECT_EQ(urlSegment(QString::fromUtf8("é")), QStringLiteral("%C3%A9"));
}

TEST(HtmlContentsPage, HostileNamesStayTextAndThePageIsWellFormed)
{
    setLanguageOffset(0);
    const QString hostileDisc = QStringLiteral("<script>alert(\"x\")</script> & 'q'");
    const QString hostileFolder = QStringLiteral("<img src=x onerror=alert(1)>");
    const QString hostileFile = QStringLiteral("\"quoted\" & <b>bold</b>.txt");
    DiscTree tree;
    tree.folders.push_back(folder(hostileFolder, 0));
    tree.files = {file(hostileFile, 1)};
    for (const bool borders : {false, true}) {
        HtmlExportOptions options;
        options.borders = borders;
        const QString page = htmlContentsPage(discNamed(hostileDisc), tree, QStringLiteral("CD.bmp"),
                                              {QStringLiteral("a'b \"c\""), QStringLiteral("htm")}, options);
        EXPECT_FALSE(page.contains(QLatin1String("<script")));
        EXPECT_FALSE(page.contains(QLatin1String("<img src=x")));
        EXPECT_FALSE(page.contains(QLatin1String("<b>bold")));
        const test::XmlReading xml = test::readXml(page.toUtf8());
        EXPECT_TRUE(xml.wellFormed) << xml.error.toStdString();
        EXPECT_TRUE(xml.text.contains(hostileDisc));
        EXPECT_TRUE(xml.text.contains(hostileFolder));
        EXPECT_TRUE(xml.text.contains(hostileFile));
        EXPECT_TRUE(xml.attributeValues.contains(QStringLiteral("../a%27b%20%22c%22.htm")));
    }
}
