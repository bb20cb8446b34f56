#include "ExportFixtures.h"

#include "cli/ExportCommands.h"

namespace {

using Command = int (*)(cli::Context &, const QStringList &);
struct CommandRun { int code = -1; QString out, err; };

// A data folder with Photos (keyword Jazz, a folder A\B\Docs, a bookmark with a
// hostile name) and Music (no keyword).
class ExportCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder.addKeyword("Jazz", 3);
        folder.addDisc({"42", "Photos", "|3|", {folderRecord("A", 0), folderRecord("B", 1), folderRecord("Docs", 2)}, {fileRecord("docs.txt", 3)},
                        {{1, "<i>x</i>.txt", "A\\B\\Docs\\", 0, "note", 3}}});
        folder.addDisc({"-7", "Music", "", {}, {fileRecord("docs.mp3", 0)}});
    }
    CommandRun run(Command command, const QStringList &arguments)
    {
        CommandRun result;
        QTextStream out(&result.out), err(&result.err);
        cli::Context context{folder.dataPath(), out, err};
        result.code = command(context, arguments);
        out.flush();
        err.flush();
        return result;
    }
    // Each argument list fails with the code and says why.
    void expectFailures(Command command, const std::vector<std::pair<QStringList, int>> &cases)
    {
        for (const auto &[arguments, code] : cases) {
            const CommandRun r = run(command, arguments);
            EXPECT_EQ(r.code, code) << arguments.join(' ').toStdString();
            EXPECT_FALSE(r.err.isEmpty()) << arguments.join(' ').toStdString();
        }
    }
    QString file(const QString &name) const { return place.path() + '/' + name; }

    FixtureFolder folder;
    QTemporaryDir place;
};

TEST_F(ExportCommandsTest, ReportsPrintWithLfLineEnds)
{
    const std::pair<const char *, QString> cases[] = {
        {"4", "Music\nPhotos\n"}, {"5", "Music\n\nPhotos\n - Jazz\n\n"}, {"6", "Jazz\n - Photos\n\n"},
    };
    for (const auto &[index, out] : cases) {
        const CommandRun r = run(cli::reportCommand, {index});
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, out) << index;
    }
    const CommandRun totals = run(cli::reportCommand, {"7"});
    EXPECT_TRUE(totals.out.startsWith("Nombre de fichiers :  2\n")) << totals.out.toStdString();
    EXPECT_TRUE(totals.out.contains("Nombre de répertoires :  3\n"));
    EXPECT_TRUE(totals.out.endsWith(" Mo\n"));
    EXPECT_TRUE(run(cli::reportCommand, {"3"}).out.contains("=> Nombre de CD archivés : 2\n"));
    expectFailures(cli::reportCommand, {{{}, 2}, {{"2"}, 2}, {{"8"}, 2}, {{"x"}, 2}, {{"3", "4"}, 2}});
}

TEST_F(ExportCommandsTest, ListExportsOfEachSource)
{
    const std::pair<QStringList, QByteArray> cases[] = {
        {{"--source", "discs"}, "\"Music\"\r\n\"Photos\"\r\n"},
        {{"--source", "results", "Docs", "--folders"}, "Photos\tA\\B\\Docs\r\n"},
        {{"--source", "results", "docs.*", "--pos", "equals", "--disc", "-7"}, "Music\tdocs.mp3\r\n"},
        {{"--source", "bookmarks", "--keyword", "jazz"}, "Photos\tA\\B\\Docs\\<i>x</i>.txt\r\n"},
        {{"--source", "bookmarks", "--disc", "-7"}, ""},
    };
    for (const auto &[arguments, content] : cases) {
        const CommandRun r = run(cli::exportListCommand, QStringList{file("list.txt")} + arguments);
        EXPECT_EQ(r.code, 0) << arguments.join(' ').toStdString() << r.err.toStdString();
        EXPECT_EQ(readFile(file("list.txt")), content) << arguments.join(' ').toStdString();
        QFile::remove(file("list.txt"));
    }
    const CommandRun r = run(cli::exportListCommand, {file("marks.html"), "--source", "bookmarks", "--html"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString html = QString::fromUtf8(readFile(file("marks.html")));
    EXPECT_TRUE(html.contains("&lt;i&gt;x&lt;/i&gt;.txt")) << html.toStdString();
    EXPECT_FALSE(html.contains("<i>"));
    EXPECT_TRUE(QFileInfo::exists(file("marks_files/CD.bmp")));
}

// A search of more than a thousand rows asks whether to stop; from the command line
// the question is neither printed nor a reason to stop.
TEST_F(ExportCommandsTest, LongSearchExportsEveryRowSilently)
{
    std::vector<FileRecord> files;
    for (int i = 0; i < 1001; ++i)
        files.push_back(fileRecord(QStringLiteral("many%1.dat").arg(i), 0));
    folder.addDisc({"9", "Many", "", {}, files});
    const CommandRun r = run(cli::exportListCommand, {file("many.txt"), "--source", "results", "many*"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, QString());
    EXPECT_EQ(readFile(file("many.txt")).count("\r\n"), 1001);
}

TEST_F(ExportCommandsTest, ListExportFailures)
{
    expectFailures(cli::exportListCommand, {
        {{}, 2}, {{"f.txt"}, 2}, {{"f.txt", "--source", "disks"}, 2}, {{"f.txt", "--source", "discs", "--html"}, 2},
        {{"f.txt", "--source", "discs", "Docs"}, 2}, {{"f.txt", "--source", "results"}, 2},
        {{"f.txt", "--source", "results", "x", "--pos", "middle"}, 2},
        {{"f.txt", "--source", "results", "x", "--after", "31/02/2004"}, 2},
        {{"f.txt", "--source", "bookmarks", "--files"}, 2},
        {{"f.txt", "--source", "bookmarks", "--disc", "42", "--keyword", "Jazz"}, 2},
        {{file("f.txt"), "--source", "bookmarks", "--disc", "404"}, 1},
    });
    const CommandRun unwritable = run(cli::exportListCommand, {place.path(), "--source", "discs"});
    EXPECT_EQ(unwritable.code, 1);
    EXPECT_TRUE(unwritable.err.contains("Export impossible!"));
    // A list aimed at a disc archive is refused before it is written.
    const QString archive = folder.catalogue.archivePath("42");
    const QByteArray before = readFile(archive);
    EXPECT_EQ(run(cli::exportListCommand, {archive, "--source", "discs"}).code, 1);
    EXPECT_EQ(readFile(archive), before);
}

TEST_F(ExportCommandsTest, DiscExportFollowsTheYesFlag)
{
    const QString target = file("out");
    expectFailures(cli::exportDiscsCommand, {
        {{}, 2}, {{"out"}, 2}, {{"out", "--all", "--discs", "42"}, 2}, {{"out", "--discs"}, 2},
        {{"out", "other", "--all"}, 2}, {{target, "--discs", "42,404", "--yes"}, 1},
    });
    CommandRun r = run(cli::exportDiscsCommand, {target, "--all"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("n'existe pas") && r.err.contains("--yes") && !r.err.contains('?')) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(target));

    r = run(cli::exportDiscsCommand, {target, "--discs", "42", "--yes"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("1 CD Exporté(s)"));
    EXPECT_TRUE(QFileInfo::exists(target + "/42.VORN"));
    // A folder holding an archive goes on; the existing archive is kept without --yes.
    ASSERT_TRUE(writeFile(target + "/42.VORN", "old"));
    r = run(cli::exportDiscsCommand, {target, "--all"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(readFile(target + "/42.VORN"), QByteArray("old"));
    EXPECT_TRUE(QFileInfo::exists(target + "/-7.VORN"));
    r = run(cli::exportDiscsCommand, {target, "--all", "--move", "--yes"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_NE(readFile(target + "/42.VORN"), QByteArray("old"));
    EXPECT_FALSE(QFileInfo::exists(folder.catalogue.archivePath("42")));
    EXPECT_FALSE(QFileInfo::exists(folder.catalogue.archivePath("-7")));
}

} // namespace
