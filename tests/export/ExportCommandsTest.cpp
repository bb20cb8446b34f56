#include "ListFixtures.h"

#include "cli/ExportCommands.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace vorn;
using test::FixtureDisc;

namespace {

using Command = int (*)(cli::Context &, const QStringList &);

struct CommandRun
{
    int code = -1;
    QString out;
    QString err;
};

// A data folder with Photos (keyword Jazz, a folder A\B\Docs, a bookmark with a
// hostile name) and Music (no keyword).
class ExportCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder.addKeyword("Jazz", 3);
        FixtureDisc photos{"42", "Photos", "|3|", {}, {}, {}};
        photos.folders = {{"A", 0, 0, "", 0}, {"B", 1, 0, "", 0}, {"Docs", 2, 0, "", 0}};
        photos.files = {{"docs.txt", 3, 100, 0, {}, 0}};
        photos.bookmarks = {{1, "<i>x</i>.txt", "A\\B\\Docs\\", 0, "note", 3}};
        folder.addDisc(photos);
        FixtureDisc music{"-7", "Music", "", {}, {}, {}};
        music.files = {{"docs.mp3", 0, 100, 0, {}, 0}};
        folder.addDisc(music);
    }

    CommandRun run(Command command, const QStringList &arguments)
    {
        CommandRun result;
        QTextStream out(&result.out);
        QTextStream err(&result.err);
        cli::Context context{folder.dataPath(), out, err};
        result.code = command(context, arguments);
        out.flush();
        err.flush();
        return result;
    }

    QString file(const QString &name) const { return place.path() + '/' + name; }

    test::FixtureFolder folder;
    QTemporaryDir place;
};

} // namespace

TEST_F(ExportCommandsTest, ReportsPrintWithLfLineEnds)
{
    struct Case { const char *index; QString out; };
    const Case cases[] = {
        {"4", "Music\nPhotos\n"},
        {"5", "Music\n\nPhotos\n - Jazz\n\n"},
        {"6", "Jazz\n - Photos\n\n"},
    };
    for (const Case &k : cases) {
        const CommandRun r = run(cli::reportCommand, {QString::fromLatin1(k.index)});
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, k.out) << k.index;
    }
    const CommandRun totals = run(cli::reportCommand, {"7"});
    EXPECT_TRUE(totals.out.startsWith("Nombre de fichiers :  2\n")) << totals.out.toStdString();
    EXPECT_TRUE(totals.out.contains("Nombre de répertoires :  3\n"));
    EXPECT_TRUE(totals.out.endsWith(" Mo\n"));
    const CommandRun info = run(cli::reportCommand, {"3"});
    EXPECT_TRUE(info.out.contains("=> Nombre de CD archivés : 2\n")) << info.out.toStdString();

    for (const QStringList &bad : {QStringList{}, {"2"}, {"8"}, {"x"}, {"3", "4"}}) {
        const CommandRun r = run(cli::reportCommand, bad);
        EXPECT_EQ(r.code, 2) << bad.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
}

TEST_F(ExportCommandsTest, ListExportsOfEachSource)
{
    struct Case { QStringList args; QByteArray content; };
    const Case cases[] = {
        {{"--source", "discs"}, "\"Music\"\r\n\"Photos\"\r\n"},
        {{"--source", "results", "Docs", "--folders"}, "Photos\tA\\B\\Docs\r\n"},
        {{"--source", "results", "docs.*", "--pos", "equals", "--disc", "-7"}, "Music\tdocs.mp3\r\n"},
        {{"--source", "bookmarks", "--keyword", "jazz"}, "Photos\tA\\B\\Docs\\<i>x</i>.txt\r\n"},
        {{"--source", "bookmarks", "--disc", "-7"}, ""},
    };
    for (const Case &k : cases) {
        const QString path = file("list.txt");
        const CommandRun r = run(cli::exportListCommand, QStringList{path} + k.args);
        EXPECT_EQ(r.code, 0) << k.args.join(' ').toStdString() << r.err.toStdString();
        EXPECT_EQ(test::readFile(path), k.content) << k.args.join(' ').toStdString();
        QFile::remove(path);
    }
}

TEST_F(ExportCommandsTest, HtmlListExportEscapesTheBookmarkName)
{
    const QString path = file("marks.html");
    const CommandRun r = run(cli::exportListCommand, {path, "--source", "bookmarks", "--html"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString html = QString::fromUtf8(test::readFile(path));
    EXPECT_TRUE(html.contains("&lt;i&gt;x&lt;/i&gt;.txt")) << html.toStdString();
    EXPECT_FALSE(html.contains("<i>"));
    EXPECT_TRUE(html.contains("<title>Signets"));
    EXPECT_TRUE(QFileInfo::exists(file("marks_files/CD.bmp")));
}

TEST_F(ExportCommandsTest, ListExportUsageErrors)
{
    const QStringList cases[] = {
        {},
        {"f.txt"},
        {"f.txt", "--source", "disks"},
        {"f.txt", "--source", "discs", "--html"},
        {"f.txt", "--source", "discs", "Docs"},
        {"f.txt", "--source", "results"},
        {"f.txt", "--source", "results", "x", "--pos", "middle"},
        {"f.txt", "--source", "results", "x", "--after", "31/02/2004"},
        {"f.txt", "--source", "bookmarks", "--files"},
        {"f.txt", "--source", "bookmarks", "--disc", "42", "--keyword", "Jazz"},
        {"f.txt", "--source", "bookmarks", "--frob"},
        {"f.txt", "--source"},
    };
    for (const QStringList &args : cases) {
        const CommandRun r = run(cli::exportListCommand, args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    const CommandRun unknown = run(cli::exportListCommand, {file("f.txt"), "--source", "bookmarks", "--disc", "404"});
    EXPECT_EQ(unknown.code, 1);
    const CommandRun unwritable = run(cli::exportListCommand, {place.path(), "--source", "discs"});
    EXPECT_EQ(unwritable.code, 1);
    EXPECT_TRUE(unwritable.err.contains("Export impossible!"));
}

TEST_F(ExportCommandsTest, DiscExportFollowsTheYesFlag)
{
    const QString target = file("out");
    CommandRun r = run(cli::exportDiscsCommand, {target, "--all"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("n'existe pas")) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(target));

    r = run(cli::exportDiscsCommand, {target, "--discs", "42", "--yes"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("1 CD Exporté(s)"));
    EXPECT_TRUE(QFileInfo::exists(target + "/42.VORN"));

    // A folder holding an archive goes on; the existing archive is kept without --yes.
    ASSERT_TRUE(test::writeFile(target + "/42.VORN", "old"));
    r = run(cli::exportDiscsCommand, {target, "--all"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(test::readFile(target + "/42.VORN"), QByteArray("old"));
    EXPECT_TRUE(QFileInfo::exists(target + "/-7.VORN"));

    r = run(cli::exportDiscsCommand, {target, "--all", "--move", "--yes"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_NE(test::readFile(target + "/42.VORN"), QByteArray("old"));
    EXPECT_FALSE(QFileInfo::exists(folder.catalogue.archivePath("42")));
    EXPECT_FALSE(QFileInfo::exists(folder.catalogue.archivePath("-7")));
}

TEST_F(ExportCommandsTest, DiscExportUsageErrors)
{
    struct Case { QStringList args; int code; };
    const Case cases[] = {
        {{}, 2},
        {{"out"}, 2},
        {{"out", "--all", "--discs", "42"}, 2},
        {{"out", "--discs"}, 2},
        {{"out", "other", "--all"}, 2},
        {{"out", "--all", "--force"}, 2},
        {{file("out"), "--discs", "42,404", "--yes"}, 1},
    };
    for (const Case &k : cases) {
        const CommandRun r = run(cli::exportDiscsCommand, k.args);
        EXPECT_EQ(r.code, k.code) << k.args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(file("out")));
}
