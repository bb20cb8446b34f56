#include "ExportFixtures.h"

#include "export/DiscExport.h"
#include "settings/SettingsStore.h"

#include <unistd.h>

namespace {

using Answer = UserPrompt::Answer;
using Outcome = DiscExportResult::Outcome;
constexpr Answer Y = Answer::Yes;
constexpr Answer N = Answer::No;
const QString kCountQuestion = "Exporter 2 CD?";

// Two discs 11 and 22 in a data folder and an empty place for the target.
class DiscExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder.addDisc({"11", "Alpha"});
        folder.addDisc({"22", "Beta"});
    }
    DiscExportResult run(std::deque<Answer> answers, bool move = false)
    {
        prompt.answers = std::move(answers);
        prompt.questions.clear();
        prompt.notices.clear();
        return exportDiscs(folder.catalogue, {target, {1, 2}, move}, prompt);
    }
    QString source(const char *id) const { return folder.catalogue.archivePath(id); }
    QString copied(const char *id) const { return target + '/' + id + ".VORN"; }

    FixtureFolder folder;
    QTemporaryDir place;
    QString target = place.path() + "/out";
    ScriptedPrompt prompt;
};

TEST_F(DiscExportTest, NewFolderIsCreatedAndBothArchivesCopiedOrMoved)
{
    DiscExportResult result = run({Y, Y});
    EXPECT_EQ(result.outcome, Outcome::Exported);
    EXPECT_EQ(result.exported, 2);
    EXPECT_EQ(prompt.questions, QStringList({kCountQuestion, "Le dossier " + target + "/ n'existe pas, voulez-vous le créer?"}));
    EXPECT_EQ(prompt.notices, QStringList({"2 CD Exporté(s)"}));
    EXPECT_EQ(readFile(copied("11")), readFile(source("11")));
    EXPECT_TRUE(QFileInfo::exists(copied("22")));
    EXPECT_TRUE(QFileInfo::exists(source("11")));
    EXPECT_FALSE(QFileInfo::exists(copied("11") + ".part"));
    EXPECT_EQ(Settings::read("Dirs", "Export"), target + '/');

    QDir(target).removeRecursively();
    result = run({Y, Y}, true);
    EXPECT_EQ(std::pair(result.exported, result.moved), std::pair(2, 2));
    EXPECT_FALSE(QFileInfo::exists(source("11")));
    EXPECT_FALSE(QFileInfo::exists(source("22")));
    EXPECT_TRUE(QFileInfo::exists(copied("22")));
}

TEST_F(DiscExportTest, NoToAQuestionBeforeCopyingChangesNothing)
{
    for (const std::deque<Answer> &answers : {std::deque<Answer>{N}, std::deque<Answer>{Y, N}}) {   // count, create
        EXPECT_EQ(run(answers).outcome, Outcome::Declined);
        EXPECT_EQ(prompt.questions.size(), qsizetype(answers.size()));
        EXPECT_FALSE(QFileInfo::exists(target));
        EXPECT_TRUE(prompt.notices.isEmpty());
        EXPECT_FALSE(Settings::contains("Dirs", "Export"));
    }
}

TEST_F(DiscExportTest, FolderHoldingArchivesAsksWhetherToStop)
{
    ASSERT_TRUE(writeFile(target + "/99.vorn", "other"));
    DiscExportResult result = run({Y, Y});
    EXPECT_EQ(result.outcome, Outcome::Stopped);
    EXPECT_TRUE(result.showFolder());
    EXPECT_EQ(prompt.questions, QStringList({kCountQuestion, "Le dossier contient déjà des fichiers, voulez-vous "
                                                             "interrompre l'Export et visualiser ce dossier?"}));
    EXPECT_FALSE(QFileInfo::exists(copied("11")));
    result = run({Y, N});
    EXPECT_EQ(result.outcome, Outcome::Exported);
    EXPECT_FALSE(result.showFolder());
    EXPECT_EQ(result.exported, 2);
}

TEST_F(DiscExportTest, ExistingArchiveIsOverwrittenOnlyOnYes)
{
    for (const auto &[answer, exported] : {std::pair(N, 1), std::pair(Y, 2)}) {
        ASSERT_TRUE(writeFile(copied("11"), "old archive"));
        QFile::remove(copied("22"));
        const DiscExportResult result = run({Y, N, answer});
        EXPECT_EQ(result.exported, exported);
        EXPECT_EQ(prompt.questions.value(2), "Fichier déjà existant!\n" + copied("11") + "\nEcraser ?");
        EXPECT_EQ(readFile(copied("11")), answer == Y ? readFile(source("11")) : "old archive");
        EXPECT_TRUE(QFileInfo::exists(copied("22")));
        EXPECT_EQ(prompt.notices, QStringList({QString::number(exported) + " CD Exporté(s)"}));
    }
}

TEST_F(DiscExportTest, FolderInTheWayOfAnArchiveStopsTheExport)
{
    ASSERT_TRUE(writeFile(copied("11") + "/inside", "x"));
    const DiscExportResult result = run({Y, Y});
    EXPECT_EQ(result.outcome, Outcome::Stopped);
    EXPECT_TRUE(result.showFolder());
    EXPECT_EQ(prompt.failures, QStringList({"Impossible de supprimer le fichier!"}));
    EXPECT_FALSE(QFileInfo::exists(copied("22")));
    EXPECT_FALSE(Settings::contains("Dirs", "Export"));
}

TEST_F(DiscExportTest, FailedCopyAsksWhetherToGoOn)
{
    ASSERT_TRUE(QFile::remove(source("11")));
    for (const bool goOn : {false, true}) {
        QDir(target).removeRecursively();
        const DiscExportResult result = run({Y, Y, goOn ? Y : N});
        EXPECT_EQ(result.outcome, goOn ? Outcome::Exported : Outcome::Stopped);
        EXPECT_EQ(prompt.questions.value(2), "Impossible d'exporter un CD\nPoursuivre l'export ?");
        EXPECT_FALSE(QFileInfo::exists(copied("11")));
        EXPECT_FALSE(QFileInfo::exists(copied("11") + ".part"));
        EXPECT_EQ(QFileInfo::exists(copied("22")), goOn);
        EXPECT_EQ(result.exported, goOn ? 1 : 0);
    }
}

TEST_F(DiscExportTest, BadTargetsGiveTheirMessage)
{
    ASSERT_TRUE(writeFile(place.path() + "/file", "x"));
    const std::tuple<QString, Outcome, QString> cases[] = {
        {"", Outcome::InvalidFolder, "Répertoire incorrect"},
        {"relative/out", Outcome::InvalidFolder, "Répertoire incorrect"},
        {place.path() + "/bad\tname", Outcome::InvalidFolder, "Répertoire incorrect"},
        {place.path() + "/file", Outcome::InvalidFolder, "Répertoire incorrect"},
        {place.path() + "/file/sub", Outcome::CreateFailed, "Impossible de créer le Répertoire !"},
    };
    for (const auto &[folder, outcome, message] : cases) {
        target = folder;
        const DiscExportResult result = run({Y, Y});
        EXPECT_EQ(result.outcome, outcome) << folder.toStdString();
        EXPECT_EQ(prompt.notices, QStringList({message})) << folder.toStdString();
        EXPECT_EQ(result.exported, 0);
    }
}

} // namespace

// Every way of naming the data folder, or a source archive, as the target is refused
// before any question, for a copy and for a move, and every archive stays whole.
TEST_F(DiscExportTest, TargetThatIsTheSourceUnderAnyNameIsRefusedBeforeAnyQuestion)
{
    const QString data = folder.catalogue.dataFolder;
    const QByteArray archive11 = readFile(source("11"));
    ASSERT_TRUE(QDir().mkpath(data + "sub") && QDir().mkpath(place.path() + "/links") && QDir().mkpath(place.path() + "/hard"));
    ASSERT_TRUE(QFile::link(QDir::cleanPath(data), place.path() + "/alias"));
    ASSERT_TRUE(QFile::link(data + "sub", place.path() + "/up"));   // "up/.." is the data folder to the kernel
    ASSERT_TRUE(QFile::link(source("11"), place.path() + "/links/11.VORN"));
    ASSERT_EQ(::link(QFile::encodeName(source("22")).constData(),
                     QFile::encodeName(place.path() + "/hard/22.VORN").constData()), 0);
    const std::pair<QString, int> cases[] = {
        {data, 700},
        {QDir::cleanPath(data), 700},
        {place.path() + "/alias", 700},
        {place.path() + "/alias/", 700},
        {data + "sub/..", 700},
        {data + "missing/../", 700},
        {data + "./", 700},
        {QDir::cleanPath(data) + "//", 700},
        {place.path() + "/up/..", 700},
        {place.path() + "/links", 701},
        {place.path() + "/hard", 701},
    };
    for (const auto &[name, message] : cases) {
        for (const bool move : {false, true}) {
            target = name;
            const DiscExportResult result = run({Y, Y, Y, Y, Y}, move);
            EXPECT_EQ(result.outcome, Outcome::TargetIsSource) << name.toStdString();
            EXPECT_TRUE(prompt.questions.isEmpty()) << name.toStdString();
            EXPECT_TRUE(prompt.notices.value(0).startsWith(LoadText(message))) << name.toStdString();
            EXPECT_EQ(readFile(source("11")), archive11) << name.toStdString();
            EXPECT_TRUE(QFileInfo::exists(source("22"))) << name.toStdString();
        }
    }
}

// An archive already in the target under a name in another case is replaced, never
// joined by a second archive of the same disc.
TEST_F(DiscExportTest, ArchiveInTheTargetNamedInAnotherCaseIsReplaced)
{
    ASSERT_TRUE(writeFile(target + "/11.vorn", "older copy"));
    const DiscExportResult result = run({Y, N, Y});   // count, stop at 461, overwrite
    EXPECT_EQ(result.exported, 2);
    EXPECT_EQ(QDir(target).entryList(QDir::Files), QStringList({"11.vorn", "22.VORN"}));
    EXPECT_EQ(readFile(target + "/11.vorn"), readFile(source("11")));
}
