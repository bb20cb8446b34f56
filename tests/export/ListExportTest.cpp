#include "ExportFixtures.h"

#include "export/ListExport.h"

namespace {

ListRow folderRow(const QString &disc, const QString &location, const QString &name) { return {true, name, disc, location, " "}; }
ListRow fileRow(const QString &disc, const QString &location, const QString &name, const QString &extension)
{
    return {false, name, disc, location, extension};
}

TEST(ListExportTest, TextBodiesOfTheDiscAndResultLists)
{
    // Discs: only those with a non-zero number as identifier, names quoted.
    Catalogue c;
    const char *discs[][2] = {{"42", "Photos"}, {"", "No id"}, {"0", "Zero"}, {"abc", "Not a number"},
                              {"-7", "Say \"hi\", then"}, {"00", "Zero again"}, {"1e3", "Exponent"}};
    for (const auto &d : discs) {
        c.discs.emplace_back();
        c.discs.back().identifier = d[0];
        c.discs.back().name = d[1];
    }
    EXPECT_EQ(discListText(c), "\"Photos\"\r\n\"Say 'hi', then\"\r\n\"Exponent\"\r\n");
    EXPECT_EQ(discListText(Catalogue()), QString());

    // Results: disc, a tab, then location and name run together.
    const std::vector<ListRow> rows{folderRow("Photos", "A\\B\\", "Docs"), folderRow("Photos", "", "Root folder"),
                                    fileRow("Backup 1", "Mes documents\\", "lettre.doc", "DOC"),
                                    fileRow("Tools", "bin\\x.zip", "tool.sh", "SH")};
    EXPECT_EQ(resultListText(rows), "Photos\tA\\B\\Docs\r\nPhotos\tRoot folder\r\nBackup 1\tMes documents\\lettre.doc\r\n"
                                    "Tools\tbin\\x.ziptool.sh\r\n");
}

TEST(ListExportTest, TextExportWritesUtf8OrSaysItFailed)
{
    QTemporaryDir dir;
    ScriptedPrompt prompt;
    const QString path = dir.path() + "/list.TXT";
    ASSERT_TRUE(writeFile(path, "a much longer older content"));
    EXPECT_TRUE(writeTextExport(path, "\"Été\"\r\n", prompt));
    EXPECT_EQ(readFile(path), QByteArray("\"\xC3\x89t\xC3\xA9\"\r\n"));
    EXPECT_TRUE(prompt.notices.isEmpty());
    setLanguageOffset(0);
    ASSERT_TRUE(QDir(dir.path()).mkdir("in the way"));
    EXPECT_FALSE(writeTextExport(dir.path() + "/in the way", "x", prompt));
    EXPECT_TRUE(writeTextExport(dir.path() + "/missing/list.txt", "x", prompt));   // parent folders are made
    EXPECT_EQ(readFile(dir.path() + "/missing/list.txt"), "x");
    ASSERT_EQ(prompt.failures.size(), 1);   // with the path and the reason
    EXPECT_TRUE(prompt.failures[0].startsWith("Export impossible!\n" + dir.path() + "/in the way: ")) << prompt.failures[0].toStdString();
}

class HtmlListTest : public ::testing::Test
{
protected:
    void SetUp() override { setLanguageOffset(0); }
    QString page() const { return QString::fromUtf8(readFile(path)); }

    QTemporaryDir dir;
    const QString path = dir.path() + "/results.html";
    std::vector<ListRow> rows{folderRow("<b>Disc</b>", "A&B\\", "<script>alert(1)</script>"),
                              fileRow("Photos", "x\\", "readme.txt", "TXT"),
                              fileRow("Photos", "\"quoted\" 'dir'\\", "NOTES.TXT", "TXT"),
                              fileRow("Photos", "", "pic.jpg", "JPG\"><img src=x onerror=alert(1)>")};
    ScriptedPrompt prompt;
    HtmlExportOptions options;
};

TEST_F(HtmlListTest, HostileNamesAreEscapedAndEachRowIsOneTableRow)
{
    ASSERT_TRUE(exportResultListHtml(path, ListSource::SearchResults, rows, options, prompt)) << prompt.failures.join(' ').toStdString();
    const QString html = page();
    for (const char *raw : {"<script>", "A&B", "\"quoted\"", "'dir'", "<img src=x"})
        EXPECT_FALSE(html.contains(raw)) << raw;
    for (const char *escaped : {"&lt;script&gt;alert(1)&lt;/script&gt;", "A&amp;B\\", "JPG&quot;&gt;&lt;img src=x onerror=alert(1)&gt;"})
        EXPECT_TRUE(html.contains(escaped)) << escaped;
    // One table row per list row, each with its picture, and no other image tag there.
    EXPECT_EQ(html.count("<tr><td colspan=7><b>"), 4);
    EXPECT_EQ(html.count("<img src=\""), 4);
    EXPECT_TRUE(html.contains("<title>Résultats de la recherche\r\n"));
    EXPECT_TRUE(html.contains("<b>\r\nRésultats de la recherche</b>"));

    // Without icons: name, location and extension in that order, the bookmarks' title.
    options.icons = false;
    ASSERT_TRUE(exportResultListHtml(path, ListSource::Bookmarks, {rows[1]}, options, prompt));
    EXPECT_TRUE(page().contains("<tr><td colspan=7><b>readme.txt</b>&nbsp;;&nbsp;x\\&nbsp;TXT</td></tr>\r\n")) << page().toStdString();
    EXPECT_TRUE(page().contains("<title>Signets\r\n"));
    EXPECT_FALSE(page().contains("<img"));
    EXPECT_TRUE(page().endsWith("</table></body></html>\r\n"));

    // A folder in the way of the page.
    ASSERT_TRUE(QFile::remove(path) && QDir(dir.path()).mkdir("results.html"));
    EXPECT_FALSE(exportResultListHtml(path, ListSource::SearchResults, rows, options, prompt));
    ASSERT_EQ(prompt.failures.size(), 1);
    EXPECT_TRUE(prompt.failures[0].startsWith("Export impossible!\n"));
}

TEST_F(HtmlListTest, PicturesAreSharedPerExtensionIgnoringCase)
{
    rows.push_back(fileRow("Photos", "", "b.txt", "txt"));
    rows.push_back(folderRow("Photos", "", "Second folder"));
    int asked = 0;
    const RowPicture picture = [&](const ListRow &row) {
        ++asked;
        return row.extension.startsWith("JPG") ? QImage() : QImage(16, 16, QImage::Format_RGB32);
    };
    ASSERT_TRUE(exportResultListHtml(path, ListSource::SearchResults, rows, options, prompt, picture));
    const QString html = page();
    const QString folder = dir.path() + "/results_files/";
    for (const char *file : {"FC.bmp", "J1.bmp", "J2.bmp", "CD.bmp", "ligne.png", "haut.png", "bas.png", "lignessb.png"})
        EXPECT_TRUE(QFileInfo::exists(folder + file)) << file;
    EXPECT_FALSE(QFileInfo::exists(folder + "J3.bmp"));
    EXPECT_EQ(asked, 3);   // FC, TXT, JPG
    EXPECT_EQ(html.count("results_files/J1.bmp"), 3);
    EXPECT_EQ(html.count("results_files/FC.bmp"), 2);
    EXPECT_EQ(QImage(folder + "J2.bmp").size(), QSize(16, 16));   // the default picture
}

} // namespace
