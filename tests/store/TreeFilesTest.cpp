#include "store/TreeFiles.h"

#include "StoreFixture.h"

using namespace vorn;
using namespace vorn::TreeFiles;

namespace {

const QString Md = QStringLiteral(u"£MD¤"), Ad = QStringLiteral(u"£AD¤"), Pd = QStringLiteral(u"£PD¤");

DiscTree sampleTree()
{
    DiscTree tree;
    tree.folders.push_back({"Docs", 0, 36892.5, "", 0});
    tree.folders.push_back({QStringLiteral("Été"), 0, 36892.5416666667, "Mes notes", 1});
    tree.folders.push_back({"Sub dir", 1, 0, "", 0});
    tree.files.push_back({"a.zip", 0, 3000000000LL, 36892.5416666667, {"", "2 fichiers", ""}, ArchiveAtZero});
    tree.files.push_back({"readme.txt", ArchiveAtZero, 12, 36000, {"", "", "docs\\"}, 0});
    tree.files.push_back({"b.txt", 1, 7, 36001.75, {"my notes", "First line", ""}, 5});
    return tree;
}

const QByteArray FolderLines = "\"Docs\",0,36892.5,\"\",0\r\n\"\xC3\x89t\xC3\xA9\",0,36892.5416666667,\"Mes notes\",1\r\n";

} // namespace

TEST(TreeFiles, FolderFileAndFileListMatchTheExpectedBytesAndRoundTrip)
{
    // The cataloguing run writes the flags field as an empty text, a rewrite as a number.
    const QByteArray rewrite = test::FolderHeader + FolderLines + "\"Sub dir\",1,0,\"\",0\r\n";
    QByteArray run = rewrite;
    EXPECT_EQ(folderFileBytes(sampleTree().folders, FolderFlags::EmptyText), run.replace(",0\r\n", ",\"\"\r\n").replace(",1\r\n", ",\"\"\r\n"));
    EXPECT_EQ(folderFileBytes(sampleTree().folders), rewrite);
    const std::vector<FolderRecord> folders = parseFolderFile(rewrite);   // read back, written again
    EXPECT_TRUE(folders.size() == 4u && folders[0].name.isEmpty());
    EXPECT_EQ(folderFileBytes(folders), rewrite);

    const QByteArray list =
        "\"/VORN_Rep/\",200,0,0,\"\",\"\"\r\n"
        "\"a.zip\",0,3000000000,36892.5416666667,\"\xC2\xA3" "AD\xC2\xA4" "2 fichiers\",-999999999\r\n"
        "\"readme.txt\",-999999999,12,36000,\"\xC2\xA3PD\xC2\xA4" "docs\\\",0\r\n"
        "\"b.txt\",1,7,36001.75,\"\xC2\xA3MD\xC2\xA4my notes\xC2\xA3" "AD\xC2\xA4" "First line\",5\r\n";
    EXPECT_EQ(fileListBytes(sampleTree().files), list);
    EXPECT_EQ(fileListBytes(parseFileList(list)), list);
}

TEST(TreeFiles, DamagedLinesReadAsDefaults)
{
    const struct { const char *line; qint32 flags; } folders[] = {
        {"\"a\",0,0,\"\",\"\"", 0}, {"\"a\",0,0,\"\",1", 1}, {"\"a\",0,0,\"\",\"1\"", 1}, {"\"a\",0,0,\"\",3.9", 3},
        {"\"a\",0,0,\"\",abc", 0}, {"\"a\",0,0,\"\",99999999999", 2147483647},
    };
    for (const auto &c : folders)
        EXPECT_EQ(parseFolderLine(QByteArrayView(c.line)).flags, c.flags) << c.line;
    // Text in a number field reads as 0, a zero size as 1; fields past the sixth are ignored.
    const FileRecord file = parseFileLine(QByteArrayView("\"f\",x,0,0,\"\xA3MD\xA4notes \xE9t\xE9\xA3" "AD\xA4" "auto\",4,\"extra\""));
    EXPECT_EQ(QStringList({file.name, QString::number(file.owner), QString::number(file.size), QString::number(file.link),
                           file.descriptions.user, file.descriptions.automatic}),
              QStringList({"f", "0", "1", "4", QStringLiteral("notes été"), "auto"}));
}

TEST(TreeFiles, DescriptionsJoinAndSplit)
{
    // Only a text that starts with a marker is split; markers count in their order.
    const struct { QString stored; DescriptionTriple triple; bool joinsBack; } cases[] = {
        {"", {"", "", ""}, true}, {Md + "my notes" + Ad + "First line", {"my notes", "First line", ""}, true},
        {Pd + "dir\\sub\\", {"", "", "dir\\sub\\"}, true}, {Md + "u" + Ad + "a" + Pd + "p", {"u", "a", "p"}, true},
        {"plain old text", {"plain old text", "", ""}, false}, {"x" + Md + "y", {"x" + Md + "y", "", ""}, false},
        {QStringLiteral(u"£XD¤abc"), {"", "", ""}, false}, {Ad + "a" + Md + "u", {"", "a" + Md + "u", ""}, false},
    };
    for (const auto &c : cases) {
        const DescriptionTriple split = splitDescriptions(c.stored);
        EXPECT_EQ(QStringList({split.user, split.automatic, split.archivePath}),
                  QStringList({c.triple.user, c.triple.automatic, c.triple.archivePath})) << c.stored.toStdString();
        if (c.joinsBack) {
            EXPECT_EQ(joinDescriptions(c.triple), c.stored) << c.stored.toStdString();
        }
    }
}

TEST(TreeFiles, PathsOfFoldersFilesAndMembers)
{
    DiscTree tree;
    // Folders 1-5: A, B, A\C, A\C\D, and E whose parent does not come before it.
    for (const auto &[name, parent] : {std::pair{"A", 0}, {"B", 0}, {"C", 1}, {"D", 3}, {"E", 7}})
        tree.folders.push_back({name, parent, 0, "", 0});
    for (const auto &[name, owner, link] : {std::tuple{"a.zip", 3, ArchiveAtZero}, {"in.txt", ArchiveAtZero, 0},
             {"x.txt", 0, 0}, {"b.cab", 4, -3}, {"m", -3, 0}, {"orphan", -9, 0}, {"lost", 50, 0}})
        tree.files.push_back({name, owner, 1, 0, {}, link});
    const struct { int folder; const char *path; } folders[] = {
        {0, ""}, {1, "A\\"}, {3, "A\\C\\"}, {4, "A\\C\\D\\"}, {2, "B\\"}, {5, "E\\"}, {6, ""}, {-1, ""},
    };
    for (const auto &c : folders)
        EXPECT_EQ(folderPath(tree, c.folder), QString::fromUtf8(c.path)) << c.folder;
    const struct { int file; const char *path; } files[] = {
        {0, "A\\C\\a.zip"}, {1, "A\\C\\a.zip\\in.txt"}, {2, "x.txt"}, {3, "A\\C\\D\\b.cab"},
        {4, "A\\C\\D\\b.cab\\m"}, {5, "orphan"}, {6, "lost"}, {7, ""}, {-1, ""},
    };
    for (const auto &c : files)
        EXPECT_EQ(filePath(tree, c.file), QString::fromUtf8(c.path)) << c.file;
}

TEST(TreeFiles, RewriteKeepsRecordsWithANameOnly)
{
    QTemporaryDir temp;
    Catalogue catalogue;
    catalogue.tempFolder = temp.path() + u'/';
    DiscTree tree = sampleTree();
    tree.folders[3].name.clear();
    tree.files[1].name.clear();
    ASSERT_TRUE(rewriteFolderFile(catalogue, "-7", tree));
    ASSERT_TRUE(rewriteFileList(catalogue, "-7", tree));
    EXPECT_EQ(test::readFile(catalogue.workingCopy("-7", ".rep")), test::FolderHeader + FolderLines);
    const auto files = readFileList(catalogue.workingCopy("-7", ".fic"));
    ASSERT_TRUE(files && files->size() == 2u);
    EXPECT_EQ((*files)[1].name, QStringLiteral("b.txt"));
    EXPECT_FALSE(readFolderFile(catalogue.workingCopy("-8", ".rep")));
}
