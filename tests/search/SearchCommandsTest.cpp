#include "SearchSupport.h"

#include "cli/IndexCommand.h"
#include "cli/SearchCommands.h"
#include "search/BookmarkList.h"
#include "settings/StringTable.h"

#include <QRegularExpression>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace vorn;
using namespace vorn::test;

namespace {

struct Output
{
    int code = -1;
    QString out;
    QString err;
    QStringList lines() const { return out.split(u'\n', Qt::SkipEmptyParts); }
};

class SearchCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setLanguageOffset(0);
        fixture.addKeyword("Jazz", 3);
        fixture.addKeyword("Live", 7);
        DiscSpec sample{"42", "Sample", "|3|", 0, {{"Docs", 0, day(2004, 6, 15, 10, 30), "Manuals", 0}},
                        {{"README.TXT", 0, 1536, day(2004, 6, 3), {"my notes", "VORN sample", ""}, 0},
                         {"readme", 1, 512, day(2004, 6, 3), {}, 0},
                         {"notes.txt", 1, 30, day(2005, 1, 2, 13, 4, 5), {"", "auto", ""}, 0}},
                        {}, {},
                        {{1, "README.TXT", "", 0, "start here", 0}, {2, "Docs", "", 1, "", 0}}, {}};
        DiscSpec other{"9", "Other", "|7|", 1, {}, {{"readme.md", 0, 10, day(2003, 1, 1), {}, 0}}, {}, {},
                       {{1, "tune.mp3", "Music\\", 4, "loud", 1}}, {}};
        fixture.addDisc(sample);
        fixture.addDisc(other);
    }

    Output run(int (*command)(cli::Context &, const QStringList &), const QStringList &arguments)
    {
        Output o;
        QTextStream out(&o.out);
        QTextStream err(&o.err);
        cli::Context context{fixture.dataPath(), out, err};
        o.code = command(context, arguments);
        out.flush();
        err.flush();
        return o;
    }

    IsolatedSettings settings;
    SearchFixture fixture;
};

} // namespace

TEST_F(SearchCommandsTest, SearchPrintsRowsAndTheSummary)
{
    struct Case { QStringList args; QStringList lines; const char *summary; };
    const Case cases[] = {
        {{"readme", "--pos", "starts", "--files"},
         {"README.TXT\tSample\t\tTXT\tmy notes\t2\t20040603 000000",
          "readme\tSample\tDocs\\\t\t\t1\t20040603 000000"},
         "Trouvé : 2 Fichiers ; 3 Ko ; 0 Répertoires ; 1 CD exploré."},
        {{"Docs", "--pos", "equals"}, {"Docs\tSample\t\t\tManuals\t\t20040615 103000"},
         "Trouvé : 0 Fichiers ; 0 Ko ; 1 Répertoire ; 1 CD exploré."},
        {{"auto", "--field", "desc", "--part", "auto", "--pos", "equals"},
         {"notes.txt\tSample\tDocs\\\tTXT\tauto\t1\t20050102 130405"}, nullptr},
        {{"--after", "2005-01-02 13:04:04"}, {"notes.txt\tSample\tDocs\\\tTXT\tauto\t1\t20050102 130405"}, nullptr},
        {{"", "--after", "02/01/2005 13:04:00"}, {"notes.txt\tSample\tDocs\\\tTXT\tauto\t1\t20050102 130405"}, nullptr},
        {{"", "--before", "2004-06-03", "--files"}, {}, nullptr},
        {{"--min-kb", "1.5"}, {"README.TXT\tSample\t\tTXT\tmy notes\t2\t20040603 000000"}, nullptr},
        {{"readme", "--disc", "9"}, {"readme.md\tOther\t\tMD\t\t1\t20030101 000000"}, nullptr},
        {{"readme", "--keyword", "jazz", "--files"},
         {"README.TXT\tSample\t\tTXT\tmy notes\t2\t20040603 000000",
          "readme\tSample\tDocs\\\t\t\t1\t20040603 000000"}, nullptr},
        {{"xyz"}, {}, "Trouvé : 0 Fichiers ; 0 Ko ; 0 Répertoires ; 1 CD exploré."},
    };
    for (const Case &c : cases) {
        const Output o = run(cli::searchCommand, c.args);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(o.code, 0) << what << o.err.toStdString();
        EXPECT_EQ(o.lines(), c.lines) << what;
        if (c.summary) {
            EXPECT_EQ(o.err, QString(c.summary) + '\n') << what;
        }
        const Output streamed = run(cli::searchCommand, c.args + QStringList{"--no-index"});
        EXPECT_EQ(streamed.out, o.out) << what;
        EXPECT_EQ(streamed.err, o.err) << what;
    }
}

TEST_F(SearchCommandsTest, IndexBuildsRefreshesAndPrintsItsSize)
{
    const Output built = run(cli::indexCommand, {});
    EXPECT_EQ(built.code, 0) << built.err.toStdString();
    EXPECT_TRUE(built.out.contains("discs\t2 (built 2, unchanged 0")) << built.out.toStdString();
    EXPECT_TRUE(built.lines().filter(QRegularExpression("^size\t[1-9][0-9]* bytes$")).size() == 1);
    EXPECT_TRUE(run(cli::indexCommand, {}).out.contains("(built 0, unchanged 2"));
    EXPECT_TRUE(run(cli::indexCommand, {"--rebuild"}).out.contains("(built 2, unchanged 0"));
    EXPECT_EQ(run(cli::indexCommand, {"--fast"}).code, 2);
}

TEST_F(SearchCommandsTest, WrongUsageAndFailures)
{
    struct Case { QStringList args; int code; const char *message; };
    const Case cases[] = {
        {{"x", "--after", "31/02/2004"}, 2, "cannot read the date \"31/02/2004\" of --after"},
        {{"x", "--before", "2004-13-01"}, 2, "cannot read the date"},
        {{"x", "--after", "yesterday"}, 2, "cannot read the date"},
        {{"x", "--bogus"}, 2, "unknown search option --bogus"},
        {{"x", "--field", "colour"}, 2, "--field takes"},
        {{"x", "--pos"}, 2, "--pos needs a value"},
        {{}, 2, "Saisissez un ou plusieurs critère(s) de recherche"},
        {{"x", "--min-kb", "abc"}, 2, "--min-kb takes a number from 0, not \"abc\""},
        {{"x", "--max-kb", "-1"}, 2, "--max-kb takes a number from 0"},
        {{"x", "y"}, 2, "one expression"},
        {{"x", "--disc", "42", "--keyword", "Jazz"}, 2, "cannot be used together"},
        {{"x", "--disc", "404"}, 1, "no disc 404"},
        {{"x", "--keyword", "Polka"}, 1, "no keyword Polka"},
        {{"readme", "--keyword", "Live"}, 1, "Aucun CD n'est concerné par la recherche"},
        {{""}, 2, "Saisissez un ou plusieurs critère(s) de recherche"},
    };
    for (const Case &c : cases) {
        const Output o = run(cli::searchCommand, c.args);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(o.code, c.code) << what;
        EXPECT_TRUE(o.err.contains(QString::fromUtf8(c.message))) << what << ": " << o.err.toStdString();
        EXPECT_TRUE(o.out.isEmpty()) << what;
    }
}

TEST_F(SearchCommandsTest, BookmarksListEveryDiscIncludingExcludedOnes)
{
    struct Case { QStringList args; int code; QStringList lines; };
    const Case cases[] = {
        {{}, 0, {"tune.mp3\tOther\tMusic\\\tMP3\tloud", "README.TXT\tSample\t\tTXT\tstart here",
                 "Docs\tSample\t\t\t"}},
        {{"--disc", "42"}, 0, {"README.TXT\tSample\t\tTXT\tstart here", "Docs\tSample\t\t\t"}},
        {{"--keyword", "Live"}, 0, {"tune.mp3\tOther\tMusic\\\tMP3\tloud"}},
        {{"--keyword"}, 2, {}},
        {{"extra"}, 2, {}},
        {{"--disc", "1"}, 1, {}},
    };
    for (const Case &c : cases) {
        const Output o = run(cli::bookmarksCommand, c.args);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(o.code, c.code) << what << o.err.toStdString();
        EXPECT_EQ(o.lines(), c.lines) << what;
    }
    const Catalogue catalogue = fixture.open();
    const std::vector<BookmarkRow> rows = listBookmarks(catalogue, {0, 9, 42});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_FALSE(rows[0].folder);
    EXPECT_TRUE(rows[2].folder);
    EXPECT_EQ(rows[0].discPosition, 1);
    EXPECT_EQ(rows[2].discPosition, 2);
    EXPECT_EQ(rows[0].bookmark.number, 4);
    EXPECT_TRUE(listBookmarks(catalogue, {0, 0, 0}).empty());
}
