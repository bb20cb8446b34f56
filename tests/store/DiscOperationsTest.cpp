#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/DataFolderList.h"
#include "store/DiscArchive.h"
#include "store/DiscOperations.h"
#include "store/RecordText.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vorn;
using Answer = UserPrompt::Answer;

namespace {

class DiscOperationsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setLanguageOffset(0);
        catalogue.dataFolder = data.path() + u'/';
        catalogue.tempFolder = temp.path() + u'/';
        for (const auto &[id, name] : {std::pair{"1", "Alpha"}, {"2", "Beta"}, {"3", "Gamma"}}) {
            DiscRecord record;
            record.identifier = QString::fromLatin1(id);
            record.name = QString::fromLatin1(name);
            ASSERT_TRUE(test::writeFile(catalogue.workingCopy(record.identifier, ".rep"), "r"));
            catalogue.memberFlags = 2;
            ASSERT_TRUE(writeRecord(catalogue, record, 4));
            catalogue.discs.push_back(record);
        }
    }

    QStringList names() const
    {
        QStringList result;
        for (int i = 1; i <= catalogue.discCount(); ++i)
            result << catalogue.disc(i).name;
        return result;
    }

    QTemporaryDir data;
    QTemporaryDir temp;
    QTemporaryDir other;
    Catalogue catalogue;
    test::ScriptedPrompt prompt;
};

} // namespace

TEST_F(DiscOperationsTest, DeletingAsksAndKeepsTheCurrentDiscInView)
{
    catalogue.current = 3;
    prompt.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(deleteDisc(catalogue, 2, prompt));
    EXPECT_TRUE(QFile::exists(catalogue.archivePath("2")));
    EXPECT_EQ(prompt.questions.last(), LoadText(347) + "\nBeta");

    EXPECT_TRUE(deleteDisc(catalogue, 2, prompt));
    EXPECT_FALSE(QFile::exists(catalogue.archivePath("2")));
    EXPECT_EQ(names(), QStringList({"Alpha", "Gamma"}));
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

    EXPECT_TRUE(exportDiscArchiveTo(catalogue, 2, other.path() + "/", true, prompt));
    EXPECT_FALSE(QFile::exists(catalogue.archivePath("2")));
    EXPECT_EQ(DiscArchive::readComment(other.filePath("2.VORN")).left(8), "NOM=Beta");
    EXPECT_EQ(names(), QStringList({"Alpha", "Gamma"}));
    EXPECT_TRUE(QDir(other.path()).entryList({"*.part"}, QDir::Files).isEmpty());

    prompt.inputs = {QString()};   // the folder browser cancelled
    EXPECT_FALSE(exportDiscArchive(catalogue, 1, false, prompt));
}

TEST_F(DiscOperationsTest, ADiscCataloguedInAnotherDataFolderIsOfferedForCopy)
{
    Catalogue elsewhere;
    elsewhere.dataFolder = other.path() + u'/';
    elsewhere.tempFolder = temp.path() + u'/';
    DiscRecord record;
    record.identifier = "77";
    record.name = "Found elsewhere";
    ASSERT_TRUE(test::writeFile(elsewhere.workingCopy("77", ".rep"), "r"));
    elsewhere.memberFlags = 2;
    ASSERT_TRUE(writeRecord(elsewhere, record, 4));

    DataFolderList folders(catalogue.dataFolder);
    folders.add(other.path());
    folders.select(1);

    struct Case { Answer answer; ElsewhereAnswer expected; bool copied; };
    const Case cases[] = {
        {Answer::Cancel, ElsewhereAnswer::Cancelled, false},
        {Answer::No, ElsewhereAnswer::CatalogueAnew, false},
        {Answer::Yes, ElsewhereAnswer::Copied, true},
    };
    for (const Case &c : cases) {
        prompt.answers = {c.answer};
        EXPECT_EQ(lookInOtherDataFolders(catalogue, folders, "77", prompt), c.expected);
        EXPECT_EQ(QFile::exists(catalogue.archivePath("77")), c.copied);
    }
    EXPECT_TRUE(prompt.questions.last().contains("Found elsewhere"));
    EXPECT_TRUE(prompt.questions.last().startsWith(LoadText(603)));
    EXPECT_EQ(lookInOtherDataFolders(catalogue, folders, "78", prompt), ElsewhereAnswer::NotFound);
}
