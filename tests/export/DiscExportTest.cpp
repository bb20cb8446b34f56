#include "ListFixtures.h"

#include "export/DiscExport.h"
#include "settings/SettingsStore.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace vorn;
using test::FixtureFolder;
using Answer = UserPrompt::Answer;
using Outcome = DiscExportResult::Outcome;

namespace {

constexpr Answer Y = Answer::Yes;
constexpr Answer N = Answer::No;

// Two discs 11 and 22 in a data folder and an empty place for the target.
class DiscExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder.addDisc({"11", "Alpha", "", {}, {}, {}});
        folder.addDisc({"22", "Beta", "", {}, {}, {}});
        target = place.path() + "/out";
    }

    DiscExportResult run(std::deque<Answer> answers, bool move = false,
                         std::vector<int> positions = {1, 2})
    {
        prompt.answers = std::move(answers);
        return exportDiscs(folder.catalogue, {target, std::move(positions), move}, prompt);
    }

    QString source(const char *id) const { return folder.catalogue.archivePath(id); }
    QString copied(const char *id) const { return target + '/' + id + ".VORN"; }

    FixtureFolder folder;
    QTemporaryDir place;
    QString target;
    test::ScriptedPrompt prompt;
};

const QString CountQuestion = QStringLiteral("Exporter 2 CD?");

} // namespace

TEST_F(DiscExportTest, NewFolderIsCreatedAndBothArchivesCopied)
{
    const DiscExportResult result = run({Y, Y});
    EXPECT_EQ(result.outcome, Outcome::Exported);
    EXPECT_EQ(result.exported, 2);
    EXPECT_EQ(prompt.questions,
              QStringList({CountQuestion, "Le dossier " + target + "/ n'existe pas, voulez-vous le créer?"}));
    EXPECT_EQ(prompt.notices, QStringList({"2 CD Exporté(s)"}));
    EXPECT_EQ(test::readFile(copied("11")), test::readFile(source("11")));
    EXPECT_TRUE(QFileInfo::exists(copied("22")));
    EXPECT_TRUE(QFileInfo::exists(source("11")));
    EXPECT_FALSE(QFileInfo::exists(copied("11") + ".part"));
    EXPECT_EQ(Settings::read("Dirs", "Export"), target + '/');
    EXPECT_EQ(initialExportFolder(folder.catalogue), target + '/');
}

TEST_F(DiscExportTest, MoveDeletesTheSources)
{
    const DiscExportResult result = run({Y, Y}, true);
    EXPECT_EQ(result.exported, 2);
    EXPECT_EQ(result.moved, 2);
    EXPECT_FALSE(QFileInfo::exists(source("11")));
    EXPECT_FALSE(QFileInfo::exists(source("22")));
    EXPECT_TRUE(QFileInfo::exists(copied("22")));
}

TEST_F(DiscExportTest, NoToAQuestionBeforeCopyingChangesNothing)
{
    struct Case { std::deque<Answer> answers; int questions; };
    const Case cases[] = {
        {{N}, 1},       // the count
        {{Y, N}, 2},    // creating the folder
    };
    for (const Case &k : cases) {
        prompt.questions.clear();
        const DiscExportResult result = run(k.answers);
        EXPECT_EQ(result.outcome, Outcome::Declined);
        EXPECT_EQ(prompt.questions.size(), k.questions);
        EXPECT_FALSE(QFileInfo::exists(target));
        EXPECT_TRUE(prompt.notices.isEmpty());
        EXPECT_FALSE(Settings::contains("Dirs", "Export"));
    }
}

TEST_F(DiscExportTest, FolderHoldingArchivesAsksWhetherToStop)
{
    ASSERT_TRUE(test::writeFile(target + "/99.vorn", "other"));
    const QString question = QStringLiteral("Le dossier contient déjà des fichiers, voulez-vous "
                                            "interrompre l'Export et visualiser ce dossier?");
    DiscExportResult result = run({Y, Y});
    EXPECT_EQ(result.outcome, Outcome::Stopped);
    EXPECT_TRUE(result.showFolder());
    EXPECT_EQ(prompt.questions, QStringList({CountQuestion, question}));
    EXPECT_FALSE(QFileInfo::exists(copied("11")));

    result = run({Y, N});
    EXPECT_EQ(result.outcome, Outcome::Exported);
    EXPECT_FALSE(result.showFolder());
    EXPECT_EQ(result.exported, 2);
}

TEST_F(DiscExportTest, ExistingArchiveIsOverwrittenOnlyOnYes)
{
    const QString overwrite = "Fichier déjà existant!\n" + copied("11") + "\nEcraser ?";
    struct Case { Answer answer; QByteArray kept; int exported; };
    const Case cases[] = {
        {N, "old archive", 1},
        {Y, test::readFile(source("11")), 2},
    };
    for (const Case &k : cases) {
        ASSERT_TRUE(test::writeFile(copied("11"), "old archive"));
        QFile::remove(copied("22"));
        prompt.questions.clear();
        prompt.notices.clear();
        const DiscExportResult result = run({Y, N, k.answer});
        EXPECT_EQ(result.exported, k.exported);
        EXPECT_EQ(prompt.questions.value(2), overwrite);
        EXPECT_EQ(test::readFile(copied("11")), k.kept);
        EXPECT_TRUE(QFileInfo::exists(copied("22")));
        EXPECT_EQ(prompt.notices, QStringList({QString::number(k.exported) + " CD Exporté(s)"}));
    }
}

TEST_F(DiscExportTest, FolderInTheWayOfAnArchiveStopsTheExport)
{
    ASSERT_TRUE(test::writeFile(copied("11") + "/inside", "x"));
    const DiscExportResult result = run({Y, Y});
    EXPECT_EQ(result.outcome, Outcome::Stopped);
    EXPECT_TRUE(result.showFolder());
    EXPECT_EQ(prompt.failures, QStringList({"Impossible de supprimer le fichier!"}));
    EXPECT_FALSE(QFileInfo::exists(copied("22")));
    EXPECT_FALSE(Settings::contains("Dirs", "Export"));
}

TEST_F(DiscExportTest, FailedCopyAsksWhetherToGoOn)
{
    const QString question = "Impossible d'exporter un CD\nPoursuivre l'export ?";
    struct Case { Answer answer; Outcome outcome; bool second; };
    const Case cases[] = {
        {N, Outcome::Stopped, false},
        {Y, Outcome::Exported, true},
    };
    ASSERT_TRUE(QFile::remove(source("11")));
    for (const Case &k : cases) {
        QDir(target).removeRecursively();
        prompt.questions.clear();
        const DiscExportResult result = run({Y, Y, k.answer});
        EXPECT_EQ(result.outcome, k.outcome);
        EXPECT_EQ(prompt.questions.value(2), question);
        EXPECT_FALSE(QFileInfo::exists(copied("11")));
        EXPECT_FALSE(QFileInfo::exists(copied("11") + ".part"));
        EXPECT_EQ(QFileInfo::exists(copied("22")), k.second);
        EXPECT_EQ(result.exported, k.second ? 1 : 0);
    }
}

TEST_F(DiscExportTest, BadTargetsGiveTheirMessage)
{
    ASSERT_TRUE(test::writeFile(place.path() + "/file", "x"));
    struct Case { QString folder; Outcome outcome; QString message; };
    const Case cases[] = {
        {"", Outcome::InvalidFolder, "Répertoire incorrect"},
        {"relative/out", Outcome::InvalidFolder, "Répertoire incorrect"},
        {place.path() + "/bad\tname", Outcome::InvalidFolder, "Répertoire incorrect"},
        {place.path() + "/file", Outcome::InvalidFolder, "Répertoire incorrect"},
        {place.path() + "/file/sub", Outcome::CreateFailed, "Impossible de créer le Répertoire !"},
    };
    for (const Case &k : cases) {
        target = k.folder;
        prompt.notices.clear();
        const DiscExportResult result = run({Y, Y});
        EXPECT_EQ(result.outcome, k.outcome) << k.folder.toStdString();
        EXPECT_EQ(prompt.notices, QStringList({k.message})) << k.folder.toStdString();
        EXPECT_EQ(result.exported, 0);
    }
}

TEST(DiscExportStartTest, StartingFolderIsTheDataFolderFollowedByExport)
{
    FixtureFolder folder;
    EXPECT_EQ(initialExportFolder(folder.catalogue), folder.catalogue.dataFolder + "Export");
}
