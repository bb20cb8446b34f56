#include "store/Catalogue.h"
#include "store/TreeFiles.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorn;
using namespace vorn::TreeFiles;

namespace {

const QString Md = QStringLiteral(u"£MD¤");
const QString Ad = QStringLiteral(u"£AD¤");
const QString Pd = QStringLiteral(u"£PD¤");

std::vector<FolderRecord> sampleFolders()
{
    std::vector<FolderRecord> folders(1);
    folders.push_back({"Docs", 0, 36892.5, "", 0});
    folders.push_back({QStringLiteral("Été"), 0, 36892.5416666667, "Mes notes", 1});
    folders.push_back({"Sub dir", 1, 0, "", 0});
    return folders;
}

std::vector<FileRecord> sampleFiles()
{
    std::vector<FileRecord> files;
    files.push_back({"a.zip", 0, 3000000000LL, 36892.5416666667, {"", "2 fichiers", ""}, ArchiveAtZero});
    files.push_back({"readme.txt", ArchiveAtZero, 12, 36000, {"", "", "docs\\"}, 0});
    files.push_back({"b.txt", 1, 7, 36001.75, {"my notes", "First line", ""}, 5});
    return files;
}

} // namespace

TEST(TreeFiles, FolderFileInBothFormsMatchesTheExpectedBytes)
{
    const QByteArray run = "\"/VORN_Rep/\",200,0,\"\",\"\"\r\n"
                           "\"Docs\",0,36892.5,\"\",\"\"\r\n"
                           "\"\xC3\x89t\xC3\xA9\",0,36892.5416666667,\"Mes notes\",\"\"\r\n"
                           "\"Sub dir\",1,0,\"\",\"\"\r\n";
    const QByteArray rewrite = "\"/VORN_Rep/\",200,0,\"\",\"\"\r\n"
                               "\"Docs\",0,36892.5,\"\",0\r\n"
                               "\"\xC3\x89t\xC3\xA9\",0,36892.5416666667,\"Mes notes\",1\r\n"
                               "\"Sub dir\",1,0,\"\",0\r\n";
    EXPECT_EQ(folderFileBytes(sampleFolders(), FolderFlags::EmptyText), run);
    EXPECT_EQ(folderFileBytes(sampleFolders()), rewrite);

    // Read back and written again, the rewrite form is unchanged byte for byte.
    const std::vector<FolderRecord> read = parseFolderFile(rewrite);
    ASSERT_EQ(read.size(), 4u);
    EXPECT_TRUE(read[0].name.isEmpty());
    EXPECT_EQ(read[2].name, QStringLiteral("Été"));
    EXPECT_EQ(read[2].flags, 1);
    EXPECT_EQ(read[3].parent, 1);
    EXPECT_EQ(folderFileBytes(read), rewrite);
    EXPECT_EQ(parseFolderFile(run)[2].flags, 0);
}

TEST(TreeFiles, FileListMatchesTheExpectedBytesAndRoundTrips)
{
    const QByteArray expected =
        "\"/VORN_Rep/\",200,0,0,\"\",\"\"\r\n"
        "\"a.zip\",0,3000000000,36892.5416666667,\"\xC2\xA3" "AD\xC2\xA4" "2 fichiers\",-999999999\r\n"
        "\"readme.txt\",-999999999,12,36000,\"\xC2\xA3PD\xC2\xA4" "docs\\\",0\r\n"
        "\"b.txt\",1,7,36001.75,\"\xC2\xA3MD\xC2\xA4my notes\xC2\xA3" "AD\xC2\xA4" "First line\",5\r\n";
    EXPECT_EQ(fileListBytes(sampleFiles()), expected);

    const std::vector<FileRecord> read = parseFileList(expected);
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0].size, 3000000000LL);
    EXPECT_EQ(read[0].link, ArchiveAtZero);
    EXPECT_EQ(read[1].owner, ArchiveAtZero);
    EXPECT_EQ(read[1].descriptions.archivePath, QStringLiteral("docs\\"));
    EXPECT_EQ(read[2].descriptions.user, QStringLiteral("my notes"));
    EXPECT_EQ(read[2].descriptions.automatic, QStringLiteral("First line"));
    EXPECT_EQ(fileListBytes(read), expected);
}

TEST(TreeFiles, FolderFlagsFieldIsReadAsTextByItsNumericValue)
{
    const struct { const char *line; qint32 flags; } cases[] = {
        {"\"a\",0,0,\"\",\"\"", 0},
        {"\"a\",0,0,\"\",1", 1},
        {"\"a\",0,0,\"\",\"1\"", 1},
        {"\"a\",0,0,\"\",3.9", 3},
        {"\"a\",0,0,\"\",abc", 0},
        {"\"a\",0,0,\"\",99999999999", 2147483647},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseFolderLine(QByteArrayView(c.line)).flags, c.flags) << c.line;
}

TEST(TreeFiles, DamagedFileLinesReadAsDefaults)
{
    const struct { const char *line; const char *name; qint32 owner; qint64 size; qint32 link; } cases[] = {
        {"\"f\",2,0,0,\"\",0", "f", 2, 1, 0},            // a zero size reads as 1
        {"\"f\",x,abc,0,\"\",y", "f", 0, 1, 0},          // text in number fields
        {"\"f\"", "f", 0, 1, 0},                          // missing fields
        {"", "", 0, 1, 0},
        {"\"f\",1,2,3,\"d\",4,\"extra\",9", "f", 1, 2, 4},
        {"\"unterminated,1,2", "unterminated,1,2", 0, 1, 0},
    };
    for (const auto &c : cases) {
        const FileRecord file = parseFileLine(QByteArrayView(c.line));
        EXPECT_EQ(file.name, QString::fromUtf8(c.name)) << c.line;
        EXPECT_EQ(file.owner, c.owner) << c.line;
        EXPECT_EQ(file.size, c.size) << c.line;
        EXPECT_EQ(file.link, c.link) << c.line;
    }
}

TEST(TreeFiles, WindowsAnsiLineFindsTheMarkers)
{
    const QByteArray data = "\"/VORN_Rep/\",200,0,0,\"\",\"\"\r\n"
                            "\"\xE9t\xE9.txt\",0,10,36000,\"\xA3MD\xA4notes \xE9t\xE9\xA3" "AD\xA4" "auto\",0\r\n";
    const std::vector<FileRecord> files = parseFileList(data);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].name, QStringLiteral("été.txt"));
    EXPECT_EQ(files[0].descriptions.user, QStringLiteral("notes été"));
    EXPECT_EQ(files[0].descriptions.automatic, QStringLiteral("auto"));
    EXPECT_TRUE(files[0].descriptions.archivePath.isEmpty());
}

TEST(DescriptionTriple, JoinAndSplit)
{
    const struct { QString stored; DescriptionTriple triple; bool joinsBack; } cases[] = {
        {"", {"", "", ""}, true},
        {Md + "my notes" + Ad + "First line", {"my notes", "First line", ""}, true},
        {Pd + "dir\\sub\\", {"", "", "dir\\sub\\"}, true},
        {Md + "u" + Ad + "a" + Pd + "p", {"u", "a", "p"}, true},
        {"plain old text", {"plain old text", "", ""}, false},
        {"x" + Md + "y", {"x" + Md + "y", "", ""}, false},
        {QStringLiteral(u"£XD¤abc"), {"", "", ""}, false},
        {Ad + "a" + Md + "u", {"", "a" + Md + "u", ""}, false},
    };
    for (const auto &c : cases) {
        const DescriptionTriple split = splitDescriptions(c.stored);
        EXPECT_EQ(split.user, c.triple.user) << c.stored.toStdString();
        EXPECT_EQ(split.automatic, c.triple.automatic) << c.stored.toStdString();
        EXPECT_EQ(split.archivePath, c.triple.archivePath) << c.stored.toStdString();
        if (c.joinsBack) {
            EXPECT_EQ(joinDescriptions(c.triple), c.stored) << c.stored.toStdString();
        }
    }
}

TEST(TreeFiles, PathsOfFoldersFilesAndMembers)
{
    DiscTree tree;
    tree.folders.push_back({"A", 0, 0, "", 0});   // 1
    tree.folders.push_back({"B", 0, 0, "", 0});   // 2
    tree.folders.push_back({"C", 1, 0, "", 0});   // 3
    tree.folders.push_back({"D", 3, 0, "", 0});   // 4
    tree.folders.push_back({"E", 7, 0, "", 0});   // 5: parent not before it
    tree.files.push_back({"a.zip", 3, 1, 0, {}, ArchiveAtZero});  // 0
    tree.files.push_back({"in.txt", ArchiveAtZero, 1, 0, {}, 0}); // 1
    tree.files.push_back({"x.txt", 0, 1, 0, {}, 0});              // 2
    tree.files.push_back({"b.cab", 4, 1, 0, {}, -3});             // 3
    tree.files.push_back({"m", -3, 1, 0, {}, 0});                 // 4
    tree.files.push_back({"orphan", -9, 1, 0, {}, 0});            // 5
    tree.files.push_back({"lost", 50, 1, 0, {}, 0});              // 6

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
    DiscTree tree;
    tree.folders = sampleFolders();
    tree.folders[3].name.clear();
    tree.files = sampleFiles();
    tree.files[1].name.clear();

    ASSERT_TRUE(rewriteFolderFile(catalogue, "-7", tree));
    ASSERT_TRUE(rewriteFileList(catalogue, "-7", tree));
    EXPECT_EQ(test::readFile(catalogue.workingCopy("-7", ".rep")),
              QByteArray("\"/VORN_Rep/\",200,0,\"\",\"\"\r\n"
                         "\"Docs\",0,36892.5,\"\",0\r\n"
                         "\"\xC3\x89t\xC3\xA9\",0,36892.5416666667,\"Mes notes\",1\r\n"));
    const auto files = readFileList(catalogue.workingCopy("-7", ".fic"));
    ASSERT_TRUE(files);
    ASSERT_EQ(files->size(), 2u);
    EXPECT_EQ((*files)[1].name, QStringLiteral("b.txt"));
    EXPECT_FALSE(readFolderFile(catalogue.workingCopy("-8", ".rep")));
}
