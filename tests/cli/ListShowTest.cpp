#include "CliTestSupport.h"

#include "common/DayDate.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/KeywordList.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vorn;
using test::CliRun;

namespace {

double day(int y, int m, int d, int h = 0, int mi = 0)
{
    return dayNumberFromDateTime(QDateTime(QDate(y, m, d), QTime(h, mi)));
}

// A data folder with two discs; disc 42 has folders, files, an archive with members.
class CliListShowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setLanguageOffset(0);
        Catalogue c;
        c.dataFolder = data.path() + u'/';
        c.tempFolder = temp.path() + u'/';
        c.keywords.push_back({"Jazz", 3});
        c.keywords.push_back({"Live", 7});
        ASSERT_TRUE(KeywordList::write(c));

        std::vector<FolderRecord> folders(1);
        folders.push_back({"Docs", 0, day(2004, 6, 15, 10, 30), "Manuals", 0});
        folders.push_back({"Em\tpty", 0, day(2004, 6, 16), "", 0});
        folders.push_back({"Guides", 1, day(2004, 6, 17), "", 0});
        QByteArray rep = TreeFiles::folderFileHeader();
        for (size_t i = 1; i < folders.size(); ++i)
            TreeFiles::appendFolderLine(rep, folders[i], TreeFiles::FolderFlags::EmptyText);

        std::vector<FileRecord> files;
        files.push_back({"TOOLS.ZIP", 0, 470, day(2004, 6, 15), {"", " Fichier(s)  2", ""}, ArchiveAtZero});
        files.push_back({"tool.sh", ArchiveAtZero, 20, day(2004, 6, 1), {"", "", "src"}, 0});
        files.push_back({"README.TXT", ArchiveAtZero, 30, day(2004, 6, 2), {"", "", ""}, 0});
        files.push_back({"README.TXT", 0, 5000000000LL, day(2004, 6, 3), {"my notes", "VORN sample", ""}, 1});
        files.push_back({"INSTALL.TXT", 1, 0, day(2004, 6, 4), {}, 0});
        files.push_back({"QUICK.TXT", 3, 12, day(2004, 6, 5), {}, 0});
        QByteArray fic = TreeFiles::fileListHeader();
        for (const FileRecord &f : files)
            TreeFiles::appendFileLine(fic, f);
        ASSERT_TRUE(test::writeFile(c.workingCopy("42", ".rep"), rep));
        ASSERT_TRUE(test::writeFile(c.workingCopy("42", ".fic"), fic));

        DiscRecord disc;
        disc.identifier = "42";
        disc.name = "Sample";
        disc.keywordCodes = "|7|3|";
        disc.burnDate = day(2004, 6, 17);
        disc.description = "Line one\r\nLine two";
        c.memberFlags = 2 | 4;
        ASSERT_TRUE(writeRecord(c, disc, 4));

        ASSERT_TRUE(test::writeFile(c.workingCopy("-7", ".rep"), TreeFiles::folderFileHeader()));
        DiscRecord other;
        other.identifier = "-7";
        other.name = "Another";
        c.memberFlags = 2;
        ASSERT_TRUE(writeRecord(c, other, 4));
    }

    QTemporaryDir data;
    QTemporaryDir temp;
    test::IsolatedSettings settings;
};

} // namespace

TEST_F(CliListShowTest, ListPrintsOneLinePerDiscInNameOrder)
{
    const CliRun run({"--data", data.path(), "list"});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.lines(), QStringList({"-7\tAnother\t\t", "42\tSample\t17/06/2004 00:00:00\tJazz;Live"}));
}

TEST_F(CliListShowTest, ShowPrintsRecordStatisticsAndTreeInFileListOrder)
{
    const CliRun run({"--data", data.path(), "show", "42"});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QStringList parts = run.out.split("\n\n");
    ASSERT_EQ(parts.size(), 3);
    EXPECT_TRUE(parts[0].startsWith("NOM=Sample\nICO=\nEXR=0\nVOL=\nMC_=Jazz;Live;\n"));
    EXPECT_TRUE(parts[0].endsWith("DES=Line one\nLine two"));
    EXPECT_EQ(parts[1].split('\n'), QStringList({"Taille totale : 5000000483", "Taille du texte Sauvegardé : 5000000000",
                                                 "Fichiers : 4", "Nombre d'archives : 1",
                                                 "Nombre de fichiers dans les archives : 2",
                                                 "Fichiers texte enregistrés : 1"}));
    const CliRun english({"--data", data.path(), "--lang", "en", "show", "42"});
    EXPECT_EQ(english.out.split("\n\n").value(1).section('\n', 0, 0), "Total size: 5000000483");
    EXPECT_EQ(parts[2].split('\n', Qt::SkipEmptyParts),
              QStringList({
                  "F\tTOOLS.ZIP\t470\t15/06/2004 00:00:00\t Fichier(s)  2",
                  "M\tTOOLS.ZIP\\src\\tool.sh\t20\t01/06/2004 00:00:00\tsrc",
                  "M\tTOOLS.ZIP\\README.TXT\t30\t02/06/2004 00:00:00\t",
                  "F\tREADME.TXT\t5000000000\t03/06/2004 00:00:00\tmy notes",
                  "D\tDocs\\\t\t15/06/2004 10:30:00\tManuals",
                  "F\tDocs\\INSTALL.TXT\t1\t04/06/2004 00:00:00\t",
                  "D\tEm pty\\\t\t16/06/2004 00:00:00\t",
                  "D\tDocs\\Guides\\\t\t17/06/2004 00:00:00\t",
                  "F\tDocs\\Guides\\QUICK.TXT\t12\t05/06/2004 00:00:00\t",
              }));
}

TEST_F(CliListShowTest, UsageErrorsAndMissingThings)
{
    struct Case { QStringList args; int code; };
    const Case cases[] = {
        {{"--data", data.path(), "show"}, 2},
        {{"--data", data.path(), "show", "404"}, 1},
        {{"--data", data.path(), "list", "extra"}, 2},
        {{"--data", data.path() + "/missing", "list"}, 1},
        {{"--lang", "de", "list"}, 2},
        {{"--data"}, 2},
        {{"frobnicate"}, 2},
        {{}, 2},
    };
    for (const Case &c : cases) {
        const CliRun run(c.args);
        EXPECT_EQ(run.code, c.code) << c.args.join(' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty()) << c.args.join(' ').toStdString();
    }
    const CliRun help({"--help"});
    EXPECT_EQ(help.code, 0);
    for (const cli::Command &command : cli::commands())
        EXPECT_TRUE(help.out.contains(QStringLiteral("  ") + command.name + u' ')) << command.name;
    EXPECT_TRUE(CliRun({"--version"}).out.startsWith("vorn-cli 1."));
}

// Each command's help: the usage line, then every flag of that line explained.
TEST(CliHelp, EveryCommandExplainsEachOfItsFlags)
{
    test::IsolatedSettings settings;
    const QRegularExpression flag(QStringLiteral("--[a-z-]+"));
    for (const cli::Command &command : cli::commands()) {
        const CliRun asked({command.name, "--help"});
        const CliRun viaHelp({"help", command.name});
        EXPECT_EQ(asked.code, 0) << command.name;
        EXPECT_EQ(viaHelp.out, asked.out) << command.name;
        const QString usage = QString::fromUtf8(command.usage);
        ASSERT_TRUE(asked.out.startsWith("Usage: vorn-cli [--data DIR] [--lang fr|en] " + usage + '\n')) << command.name;
        const QString explained = asked.out.mid(asked.out.indexOf('\n'));
        for (const QRegularExpressionMatch &m : flag.globalMatch(usage)) {
            if (m.captured() != "--data" && m.captured() != "--lang") {
                EXPECT_TRUE(explained.contains("  " + m.captured() + ' ')) << command.name << ' ' << m.captured().toStdString();
            }
        }
    }
    // What the numbers of catalog --options and report stand for.
    const QString catalog = CliRun({"help", "catalog"}).out;
    for (const char *bit : {"1 text", "2 the first line", "4 text files inside", "8 ZIP", "256 CAB", "1024 RAR"})
        EXPECT_TRUE(catalog.contains(QString::fromLatin1(bit))) << bit;
    const QString report = CliRun({"report", "--help"}).out;
    for (const char *number : {"3 the data folder", "4 the list", "5 the keywords", "6 the discs", "7 the totals"})
        EXPECT_TRUE(report.contains(QString::fromLatin1(number))) << number;
    EXPECT_EQ(CliRun({"help", "frobnicate"}).code, 2);
}
