#include "ExportFixtures.h"

#include "export/HtmlPages.h"
#include "export/HtmlText.h"

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

QString contentsPage(const DiscTree &tree, int columns, const QString &disc = "D", const QString &base = "cat",
                     bool borders = false)
{
    HtmlExportOptions options;
    options.columns = columns;
    options.borders = borders;
    return htmlContentsPage(discNamed(disc), tree, "CD.bmp", {base, "htm"}, options);
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

TEST_F(HtmlPagesTest, IndexHeadAndFootFollowTheFragmentOrder)
{
    QString expected = LoadText(9000) + "Export\r\n";
    for (int id = 9001; id <= 9006; ++id)
        expected += LoadText(id) + "\r\n";
    expected += "12" + LoadText(9007) + LoadText(9008) + "my%20cat_files" + LoadText(9009) + "my%20cat_files"
        + LoadText(9010) + "\r\nmy cat" + LoadText(9011) + "\r\n";
    EXPECT_EQ(htmlIndexHead("Export", "my%20cat", 12, "my cat"), expected);
    EXPECT_EQ(htmlPageFoot("x"), LoadText(9023) + "x_files" + LoadText(9024) + "\r\n" + LoadText(9025) + LoadText(9026));
}

TEST_F(HtmlPagesTest, IndexRowsFollowTheTicks)
{
    Catalogue catalogue;
    catalogue.keywords.insert(catalogue.keywords.end(), {{"Jazz", 3}, {"Live", 13}, {"Rock", 1}});
    DiscRecord disc = discNamed("Disc");
    disc.description = "About";
    disc.keywordCodes = "|13|1|";
    const QString img = LoadText(9015) + "c_files/42.bmp" + LoadText(9016), sep = LoadText(9013);
    struct Case { bool icons, contents, descriptions, keywords; QString cells; };   // cells: between 9012 and 9014
    const Case cases[] = {
        {false, false, false, false, sep + "Disc"},
        {true, false, false, false, img + sep + "Disc"},
        {false, true, false, false, sep + "<a href=\"c_files/42.htm\">Disc</a>"},
        {false, false, true, false, sep + "Disc" + sep + "About&nbsp;"},
        {false, false, false, true, sep + "Disc" + sep + "&nbsp;Live ; Rock ; "},
    };
    for (const Case &c : cases) {
        HtmlExportOptions options;
        options.icons = c.icons;
        options.contents = c.contents;
        options.descriptions = c.descriptions;
        options.keywords = c.keywords;
        EXPECT_EQ(htmlIndexRow(catalogue, disc, "42.bmp", "c", options), LoadText(9012) + c.cells + LoadText(9014) + "\r\n")
            << c.cells.toStdString();
    }
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

    const QString hostileDisc = "<script>alert(\"x\")</script> & 'q'";
    const QString hostileFolder = "<img src=x onerror=alert(1)>";
    const QString hostileFile = "\"quoted\" & <b>bold</b>.txt";
    DiscTree tree;
    tree.folders.push_back(folderRecord(hostileFolder, 0));
    tree.files = {fileRecord(hostileFile, 1)};
    for (const bool borders : {false, true}) {
        const QString page = contentsPage(tree, 6, hostileDisc, "a'b \"c\"", borders);
        for (const char *raw : {"<script", "<img src=x", "<b>bold"})
            EXPECT_FALSE(page.contains(raw)) << raw;
        const XmlReading xml = readXml(page.toUtf8());
        EXPECT_TRUE(xml.wellFormed) << xml.error.toStdString();
        for (const QString &text : {hostileDisc, hostileFolder, hostileFile})
            EXPECT_TRUE(xml.text.contains(text)) << text.toStdString();
        EXPECT_TRUE(xml.attributeValues.contains("../a%27b%20%22c%22.htm"));
    }
}

} // namespace
