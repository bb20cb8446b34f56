#include "ExportFixtures.h"

#include "export/HtmlPages.h"
#include "export/HtmlText.h"

#include <QRegularExpression>

namespace {

// The entries of each cell of the n-th folder table of a contents page.
std::vector<QStringList> cellsOfFolder(const QString &page, int n)
{
    const QString table = page.split("<tr><td valign=\"top\">").value(n + 1).section("</td></tr></table>", 0, 0);
    std::vector<QStringList> cells;
    for (const QString &cell : table.split("</td><td valign=\"top\">"))
        cells.push_back(cell.split("<br />", Qt::SkipEmptyParts));
    return cells;
}

DiscRecord discNamed(const QString &name)
{
    DiscRecord disc;
    disc.identifier = "42";
    disc.name = name;
    return disc;
}

QString contentsPage(const DiscTree &tree, int columns)
{
    HtmlExportOptions options;
    options.columns = columns;
    return htmlContentsPage(discNamed("D"), tree, "CD.bmp", {"cat", "htm"}, options);
}

class HtmlPagesTest : public ::testing::Test
{
protected:
    void SetUp() override { setLanguageOffset(0); }
};

TEST_F(HtmlPagesTest, EntriesPerColumnAndCells)
{
    struct Case { int folders, files, columns, perColumn; std::vector<int> cellSizes; };
    const Case cases[] = {
        {3, 4, 3, 3, {3, 3, 1}},    // 10 / 3 = 3.33
        {2, 3, 2, 4, {4, 1}},       // 7 / 2 = 3.5 rounds to even 4
        {0, 0, 6, 1, {0}},          // an empty folder keeps one empty cell
        {0, 9, 2, 6, {6, 3}},       // 11 / 2 = 5.5 rounds to even 6
        {1, 2, 2, 2, {2, 1}},       // 5 / 2 = 2.5 rounds to even 2, not 3
        {1, 0, 6, 1, {1}},          // 7 / 6 rounds down to 1; no cell after the last entry
        {4, 2, 6, 2, {2, 2, 2}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.folders + c.files << " entries in " << c.columns);
        EXPECT_EQ(entriesPerColumn(c.folders + c.files, c.columns), c.perColumn);
        DiscTree tree;
        for (int i = 1; i <= c.folders; ++i)
            tree.folders.push_back(folderRecord(QString("d%1").arg(i), 0));
        for (int i = 0; i < c.files; ++i)
            tree.files.push_back(fileRecord(QString("f%1").arg(i), 0));
        std::vector<int> sizes;
        for (const QStringList &cell : cellsOfFolder(contentsPage(tree, c.columns), 0))
            sizes.push_back(int(cell.size()));
        EXPECT_EQ(sizes, c.cellSizes);
    }
}

TEST_F(HtmlPagesTest, ForwardScansListEachFolderOnceWithoutMembers)
{
    // Root: folders 1, 2 and files a, b; folder 1: folder 3 and file c (after a member
    // of archive b); folder 2: nothing; folder 3: file d.
    DiscTree tree;
    tree.folders.insert(tree.folders.end(), {folderRecord("one", 0), folderRecord("two", 0), folderRecord("three", 1)});
    tree.files = {fileRecord("a", 0), fileRecord("b.zip", 0), fileRecord("member.txt", TreeFiles::archiveLink(1)),
                  fileRecord("c", 1), fileRecord("d", 3)};
    const QString page = contentsPage(tree, 1);
    const QStringList expected[] = {
        {"<a href=\"#1\">one</a>", "<a href=\"#2\">two</a>", "a", "b.zip"}, {"<a href=\"#3\">three</a>", "c"}, {}, {"d"},
    };
    for (int n = 0; n < 4; ++n) {
        const std::vector<QStringList> cells = cellsOfFolder(page, n);
        ASSERT_EQ(cells.size(), 1u) << n;
        EXPECT_EQ(cells[0], expected[n]) << n;
    }
    EXPECT_FALSE(page.contains("member.txt"));
    // Each folder has its anchor, a link to its parent's and its path.
    EXPECT_TRUE(page.contains("<a name=\"3\"></a><a href=\"#1\">/\\..</a><b>\\one\\three\\</b>"));
    EXPECT_TRUE(page.contains("<a name=\"0\"></a><a href=\"#0\">/\\..</a><b>\\</b>"));
    EXPECT_TRUE(page.endsWith(LoadText(9027)));
}

// Head, rows and foot of the index page as the export joins them: a well-formed page
// whose title, banner, font size, backgrounds and contact links are where a browser looks.
TEST_F(HtmlPagesTest, IndexPageIsWellFormedAndEachTickAddsItsCell)
{
    Catalogue catalogue;
    catalogue.keywords.insert(catalogue.keywords.end(), {{"Jazz", 3}, {"Live", 13}, {"Rock", 1}});
    DiscRecord disc = discNamed("Disc");
    disc.description = "About";
    disc.keywordCodes = "|13|1|";
    // Cells in this order, each only with its tick: icon, link, description, keywords.
    const char *cells[] = {"c_files/42.bmp", "<a href=\"c_files/42.htm\">Disc</a>", "About&nbsp;", "&nbsp;Live ; Rock ; "};
    QString rows;
    for (int tick = 0; tick <= 4; ++tick) {
        HtmlExportOptions options;
        options.icons = tick == 0 || tick == 4;
        options.contents = tick == 1 || tick == 4;
        options.descriptions = tick == 2 || tick == 4;
        options.keywords = tick == 3 || tick == 4;
        const QString row = htmlIndexRow(catalogue, disc, "42.bmp", "c", options);
        qsizetype at = 0;
        for (int cell = 0; cell < 4; ++cell) {
            EXPECT_EQ(row.indexOf(cells[cell], at) >= 0, tick == cell || tick == 4) << tick << ' ' << cell;
            at = tick == 4 ? row.indexOf(cells[cell]) : 0;
        }
        rows += row;
    }
    const XmlReading xml = readXml((htmlIndexHead("Export <1>", "c", 12, "My & discs") + rows + htmlPageFoot("c")).toUtf8());
    ASSERT_TRUE(xml.wellFormed) << xml.error.toStdString();
    EXPECT_TRUE(xml.text.contains("Export <1>"));
    EXPECT_TRUE(xml.text.contains("My & discs"));
    EXPECT_TRUE(QRegularExpression(R"(\.cb \{[^}]*font-size:\s*12pt;)").match(xml.text).hasMatch()) << xml.text.toStdString();
    const QString attributes = xml.attributeValues.join(u' ');
    for (const char *part : {"url('c_files/ligne.png')", "url('c_files/haut.png')", "url('c_files/bas.png')", "mailto:", "https://"})
        EXPECT_TRUE(attributes.contains(part)) << part;
}

TEST_F(HtmlPagesTest, HostileTextIsEscaped)
{
    const std::pair<QString, QString> cases[] = {
        {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
        {"Tom & Jerry", "Tom &amp; Jerry"},
        {"say \"hi\" 'there'", "say &quot;hi&quot; &#39;there&#39;"},
        {"&amp;", "&amp;amp;"},
        {"bell\x07" "end", QString::fromUtf8("bell\uFFFDend")},
        {"line\r\nbreak\ttab", "line\r\nbreak\ttab"},
        {QString::fromUtf8("café 😀"), QString::fromUtf8("café 😀")},
    };
    for (const auto &[text, escaped] : cases)
        EXPECT_EQ(htmlEscaped(text), escaped);
    EXPECT_EQ(urlSegment("my cat's <files>"), "my%20cat%27s%20%3Cfiles%3E");
    EXPECT_EQ(urlSegment(QString::fromUtf8("é")), "%C3%A9");
}

} // namespace
