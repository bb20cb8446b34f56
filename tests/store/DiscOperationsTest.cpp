#include "settings/StringTable.h"
#include "store/DataFolderList.h"
#include "store/DiscArchive.h"
#include "store/DiscOperations.h"
#include "StoreFixture.h"

using namespace vorn;
using Answer = UserPrompt::Answer;

namespace {

struct DiscOperationsTest : test::StoreFixture
{
    QTemporaryDir other;
    test::ScriptedPrompt prompt;

    DiscOperationsTest()
    {
        setLanguageOffset(0);
        for (const auto &[id, name] : {std::pair{"1", "Alpha"}, {"2", "Beta"}, {"3", "Gamma"}})
            catalogue.discs.push_back(writeDisc(id, name));
    }
};

} // namespace

TEST_F(DiscOperationsTest, DeletingAsksAndKeepsTheCurrentDiscInView)
{
    catalogue.current = 3;
    prompt.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(deleteDisc(catalogue, 2, prompt));
    EXPECT_TRUE(QFile::exists(catalogue.archivePath("2")));
    EXPECT_EQ(prompt.questions.last(), LoadText(347) + "\nBeta");
    EXPECT_TRUE(deleteDisc(catalogue, 2, prompt) && !QFile::exists(catalogue.archivePath("2")));
    EXPECT_EQ(test::discNames(catalogue), QStringList({"Alpha", "Gamma"}));
    EXPECT_EQ(catalogue.current, 2);   // Gamma moved up one place
    prompt.answers = {Answer::Yes};
    EXPECT_TRUE(deleteDisc(catalogue, 2, prompt));
    EXPECT_EQ(catalogue.current, 0);
}

TEST_F(DiscOperationsTest, CopyingAsksBeforeOverwritingAndMovingTakesTheDiscAway)
{
    const QString target = other.filePath("1.VORN");
    ASSERT_TRUE(test::writeFile(target, "older copy"));
    prompt.answers = {Answer::No};
    EXPECT_FALSE(exportDiscArchiveTo(catalogue, 1, other.path(), false, prompt));
    EXPECT_EQ(test::readFile(target), "older copy");
    EXPECT_EQ(prompt.questions.last(), LoadText(420) + "\n" + LoadText(545));
    prompt.answers = {Answer::Yes};
    EXPECT_TRUE(exportDiscArchiveTo(catalogue, 1, other.path(), false, prompt));
    EXPECT_EQ(test::readFile(target), test::readFile(catalogue.archivePath("1")));
    EXPECT_EQ(prompt.notices.last(), "1 " + LoadText(466));
    EXPECT_EQ(catalogue.discCount(), 3);

    EXPECT_TRUE(exportDiscArchiveTo(catalogue, 2, other.path() + "/", true, prompt) && !QFile::exists(catalogue.archivePath("2")));
    EXPECT_EQ(DiscArchive::readComment(other.filePath("2.VORN")).left(8), "NOM=Beta");
    EXPECT_EQ(test::discNames(catalogue), QStringList({"Alpha", "Gamma"}));
    EXPECT_TRUE(QDir(other.path()).entryList({"*.part"}, QDir::Files).isEmpty());
    prompt.inputs = {QString()};   // the folder browser cancelled
    EXPECT_FALSE(exportDiscArchive(catalogue, 1, false, prompt));

    // The data folder through a symlink: moving "over" the archive would delete it.
    const QString alias = other.filePath("alias");
    ASSERT_TRUE(QFile::link(QDir::cleanPath(catalogue.dataFolder), alias));
    const QByteArray archive = test::readFile(catalogue.archivePath("1"));
    prompt.answers = {Answer::Yes};
    EXPECT_FALSE(exportDiscArchiveTo(catalogue, 1, alias, true, prompt));
    EXPECT_TRUE(prompt.failures.last().startsWith(LoadText(700)));
    EXPECT_EQ(test::readFile(catalogue.archivePath("1")), archive);
    EXPECT_EQ(catalogue.discCount(), 2);
}

TEST_F(DiscOperationsTest, ADiscCataloguedInAnotherDataFolderIsOfferedForCopy)
{
    const QString ownFolder = catalogue.dataFolder;
    catalogue.dataFolder = other.path() + u'/';
    writeDisc("77", "Found elsewhere");
    catalogue.dataFolder = ownFolder;
    DataFolderList folders(ownFolder);
    folders.add(other.path());
    folders.select(1);
    const struct { Answer answer; ElsewhereAnswer expected; bool copied; } cases[] = {
        {Answer::Cancel, ElsewhereAnswer::Cancelled, false}, {Answer::No, ElsewhereAnswer::CatalogueAnew, false},
        {Answer::Yes, ElsewhereAnswer::Copied, true},
    };
    for (const auto &c : cases) {
        prompt.answers = {c.answer};
        EXPECT_EQ(lookInOtherDataFolders(catalogue, folders, "77", prompt), c.expected);
        EXPECT_EQ(QFile::exists(catalogue.archivePath("77")), c.copied);
    }
    EXPECT_TRUE(prompt.questions.last().startsWith(LoadText(603)) && prompt.questions.last().contains("Found elsewhere"));
    EXPECT_EQ(lookInOtherDataFolders(catalogue, folders, "78", prompt), ElsewhereAnswer::NotFound);
}
