#include "EditFixture.h"

#include "edit/DiscEdits.h"
#include "store/DiscArchive.h"

using namespace vorn;
using Outcome = EditResult::Outcome;
using EditFixture = test::EditFixture;

TEST_F(EditFixture, CataloguingStoresTheIconAtOnceAndLeavesNothingWhenRefusedOrFailed)
{
    open();
    const QByteArray icon = QByteArray("\0\0\1\0\1\0", 6).append(QByteArray(60, 'i'));
    test::writeFile(disc.filePath("AUTORUN.INF"), "[AutoRun]\r\nIcon=disc.ico\r\n");
    test::writeFile(disc.filePath("disc.ico"), icon);
    ASSERT_TRUE(catalogueDisc("5", "Photos", {"Jazz", "Live"}).ok());
    EXPECT_EQ(DiscArchive::readMember(catalogue.iconStorePath(), "5.ico"), icon);
    EXPECT_EQ(DiscArchive::readMember(catalogue.archivePath("5"), "5.ico"), icon);
    EXPECT_EQ(test::readFile(catalogue.keywordListPath()), "1,\"Jazz\"\r\n2,\"Live\"\r\n");
    EXPECT_EQ(stored("5").keywordNames, "Jazz;Live;");

    QDir(data.path()).mkdir("7.VORN");   // the record cannot be written there
    struct Case { const char *id, *name; Outcome outcome; int message; };
    const Case cases[] = {
        {"0", "X", Outcome::Refused, 707},
        {"5", "Y", Outcome::Refused, 709},
        {"6", "photos <.01.>", Outcome::Refused, 344},
        {"6", "a\\b", Outcome::Refused, 343},
        {"6", "a\nDES=evil", Outcome::Refused, 706},
        {"6", " ", Outcome::Refused, 406},
        {"7", "Seven", Outcome::Failed, 441},
    };
    for (const Case &c : cases) {
        const EditResult result = catalogueDisc(c.id, c.name);
        EXPECT_EQ(result.outcome, c.outcome) << c.name;
        EXPECT_EQ(result.message, c.message) << c.name;
    }
    struct CancelAtOnce : test::RecordingObserver
    {
        void progress(const QString &) override { requestCancel(); }
    } cancelling;
    edit::NewDisc eight;
    eight.identifier = "8";
    eight.name = "Eight";
    EXPECT_EQ(edit::catalogueDisc(catalogue, eight, {1, 10240}, filters, HostVolume(disc.path()), cancelling).outcome,
              Outcome::Cancelled);
    EXPECT_EQ(catalogue.discCount(), 1);
    EXPECT_EQ(catalogue.current, 0);
    EXPECT_TRUE(QDir(temp.path()).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(QFile::exists(catalogue.archivePath("6")));
}

TEST_F(EditFixture, AnUpdateKeepsWhatAnotherCopyWroteMeanwhile)
{
    open();
    ASSERT_TRUE(catalogueDisc("5", "Photos").ok());
    Catalogue other = openedCopy(otherTemp.path());
    edit::DiscInfoChanges typed;
    typed.description = "line 1\nline 2";
    typed.addKeywords = {"Theirs"};
    ASSERT_TRUE(edit::renameDisc(other, 1, "Albums").ok());
    ASSERT_TRUE(edit::changeDiscInfo(other, 1, typed).ok());

    test::writeFile(disc.filePath("added.txt"), "new\r\n");
    edit::DiscInfoChanges mine;
    mine.addKeywords = {"Mine"};
    ASSERT_TRUE(edit::updateDisc(catalogue, 1, {1, 10240}, filters, HostVolume(disc.path()), observer, mine).ok());
    const RecordReading record = stored("5");
    EXPECT_EQ(record.record.name, "Albums");
    EXPECT_EQ(record.record.description, "line 1\r\nline 2");
    EXPECT_EQ(record.keywordNames, "Theirs;Mine;");
    EXPECT_EQ(test::readFile(catalogue.keywordListPath()), "1,\"Theirs\"\r\n2,\"Mine\"\r\n");
    EXPECT_EQ(catalogue.disc(1).name, "Albums");
    EXPECT_TRUE(DiscArchive::readMember(catalogue.archivePath("5"), "5.fic")->contains("added.txt"));
}
