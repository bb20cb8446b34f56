#include "EditFixture.h"

#include "edit/DiscEdits.h"
#include "edit/DiscNames.h"
#include "edit/KeywordEdits.h"
#include "edit/TreeEdits.h"
#include "store/BookmarkFile.h"
#include "store/DiscArchive.h"
#include "store/FileListLoader.h"
#include "store/TreeFiles.h"

using namespace vorn;
using EditFixture = test::EditFixture;
using Problem = DiscName::Problem;

TEST_F(EditFixture, OneNameRuleForEveryCaller)
{
    catalogue.discs.push_back(DiscRecord{});
    catalogue.disc(1).name = "Photos <.01.>";
    struct Case { QString name; int except; Problem problem; };
    const Case cases[] = {
        {"photos", 0, Problem::Taken},
        {"PHOTOS <.02.>", 0, Problem::Taken},
        {"photos", 1, Problem::None},
        {"", 0, Problem::Empty},
        {"a\\b", 0, Problem::Backslash},
        {"x\nDES=evil", 0, Problem::ControlCharacter},
        {QString("a") + QChar(0x85), 0, Problem::ControlCharacter},
    };
    for (const Case &c : cases)
        EXPECT_EQ(DiscName::check(catalogue, c.name, c.except), c.problem) << c.name.toStdString();
    EXPECT_EQ(DiscName::cleaned(" say \"hi\"\t\r\n"), "say 'hi'");
    EXPECT_EQ(validDiscIdentifier(" -05 "), "-5");
    EXPECT_EQ(validDiscIdentifier("0"), "");
}

TEST_F(EditFixture, DiscRecordEditsRenameRekeyAndDelete)
{
    open();
    ASSERT_TRUE(catalogueDisc("5", "Photos").ok());
    ASSERT_TRUE(catalogueDisc("6", "Music", {"Jazz"}).ok());
    const int music = findDisc(catalogue, u"6");
    EXPECT_EQ(edit::renameDisc(catalogue, music, "photos").message, 300);
    EXPECT_EQ(edit::renameDisc(catalogue, music, "photos", 344).message, 344);
    ASSERT_TRUE(edit::renameDisc(catalogue, findDisc(catalogue, u"5"), "PHOTOS \"1\"").ok());
    EXPECT_EQ(stored("5").record.name, "PHOTOS '1'");

    edit::DiscInfoChanges bad;
    bad.fieldValues = {{"Shelf", "a;b"}};
    EXPECT_EQ(edit::changeDiscInfo(catalogue, music, bad).message, 521);
    edit::DiscInfoChanges changes;
    changes.fieldValues = {{"Shelf", "\x01" + QString(150, 'x')}};
    changes.removeKeywords = {"JAZZ"};
    changes.addKeywords = {"Live"};
    changes.excluded = true;
    changes.description = QString("one\x01\rtwo\x7f\ttab");
    ASSERT_TRUE(edit::changeDiscInfo(catalogue, music, changes).ok());
    const RecordReading record = stored("6");
    EXPECT_EQ(record.fieldNames + record.fieldValues, "Shelf;" + QString(100, 'x') + ';');
    EXPECT_EQ(record.keywordNames, "Live;");
    EXPECT_EQ(record.record.excluded, 1);
    EXPECT_EQ(record.record.description, "one\r\ntwo\ttab");
    // A record longer than an archive comment holds is refused and nothing is written.
    edit::DiscInfoChanges huge;
    huge.description = QString(70000, 'x');
    EXPECT_TRUE(edit::changeDiscInfo(catalogue, music, huge).tooLong());
    EXPECT_EQ(stored("6").record.description, "one\r\ntwo\ttab");

    EXPECT_EQ(edit::renameField(catalogue, "shelf", "a;b").message, 521);
    edit::DiscInfoChanges box;
    box.fieldValues = {{"Box", "1"}};
    ASSERT_TRUE(edit::changeDiscInfo(catalogue, findDisc(catalogue, u"5"), box).ok());
    EXPECT_EQ(edit::renameField(catalogue, "shelf", "BOX").message, 537);
    ASSERT_TRUE(edit::renameField(catalogue, "shelf", "Place").ok());
    ASSERT_TRUE(edit::deleteField(catalogue, "box").ok());
    EXPECT_EQ(stored("6").fieldNames + stored("5").fieldNames, "Place;");
    EXPECT_EQ(catalogue.fieldNames, QStringList({"", "Place"}));

    EXPECT_EQ(edit::rekeyDisc(catalogue, music, "0").message, 707);
    ASSERT_TRUE(edit::rekeyDisc(catalogue, music, "9").ok());
    EXPECT_FALSE(QFile::exists(catalogue.archivePath("6")));
    ASSERT_TRUE(edit::deleteDisc(catalogue, findDisc(catalogue, u"9")).ok());
    EXPECT_FALSE(QFile::exists(catalogue.archivePath("9")));
    EXPECT_EQ(catalogue.discCount(), 1);
}

TEST_F(EditFixture, KeywordListEditsReachTheDiscsThatCarryThem)
{
    open();
    int position = 0;
    ASSERT_TRUE(edit::addKeyword(catalogue, "Jazz", &position).ok());
    EXPECT_EQ(edit::addKeyword(catalogue, "JAZZ").message, 305);
    EXPECT_EQ(edit::addKeyword(catalogue, "a;b").message, 521);
    ASSERT_TRUE(catalogueDisc("5", "Photos", {"jazz", "Live"}).ok());
    const int jazz = catalogue.keywords[size_t(position)].number;
    EXPECT_EQ(edit::renameKeyword(catalogue, jazz, "live", true).message, 305);
    ASSERT_TRUE(edit::renameKeyword(catalogue, jazz, "Blues", true).ok());
    EXPECT_EQ(stored("5").keywordNames, "Blues;Live;");
    std::vector<int> changed;
    ASSERT_TRUE(edit::deleteKeyword(catalogue, jazz, false, &changed).ok());
    EXPECT_EQ(changed, std::vector<int>{1});
    EXPECT_EQ(test::readFile(catalogue.keywordListPath()), "2,\"Live\"\r\n");
    EXPECT_EQ(stored("5").keywordNames, "Blues;Live;");   // written when the caller says
    // The manager's ticks are codes in memory, written for the discs it names.
    ASSERT_TRUE(edit::addKeyword(catalogue, "Folk\t\"x\"\n", &position).ok());
    QString &codes = catalogue.disc(1).keywordCodes;
    codes = edit::codesWithKeyword(codes, catalogue.keywords[size_t(position)].number, true);
    ASSERT_TRUE(edit::writeDiscKeywords(catalogue, {"5", "404"}).ok());
    EXPECT_EQ(stored("5").keywordNames, "Live;Folk'x';");
}

TEST_F(EditFixture, TreeDescriptionsAndBookmarksArePackedAtOnce)
{
    test::writeFile(disc.filePath("Sub/b.txt"), "b");
    open();
    ASSERT_TRUE(catalogueDisc("5", "Photos").ok());
    ASSERT_TRUE(edit::setFolderDescription(catalogue, 1, 1, "my \"folder\"").ok());
    ASSERT_TRUE(edit::setFileDescription(catalogue, 1, 0, "my file").ok());
    DiscTree tree;
    ASSERT_TRUE(loadDiscTree(catalogue, 1, tree));
    EXPECT_EQ(tree.folders[1].description, "my 'folder'");
    EXPECT_EQ(tree.files[0].descriptions.user, "my file");
    for (const bool excluded : {true, false}) {
        ASSERT_TRUE(edit::setFoldersExcluded(catalogue, 1, {1}, excluded).ok());
        ASSERT_TRUE(loadDiscTree(catalogue, 1, tree));
        EXPECT_EQ(tree.folders[1].flags, excluded ? 1 : 0);
        EXPECT_EQ(tree.folders[1].description, "my 'folder'");
    }
    EXPECT_FALSE(edit::setFoldersExcluded(catalogue, 1, {2}, true).ok());

    const BookmarkRecord folder = *edit::bookmarkAt(tree, "sub\\");
    const BookmarkRecord file = *edit::bookmarkAt(tree, "SUB\\B.TXT");
    EXPECT_EQ(file.path + '|' + QString::number(file.number) + '|' + QString::number(file.folder), "Sub\\|1|1");
    using Change = edit::BookmarkChange;
    struct Step { const BookmarkRecord &item; Change change; QString description; bool marked; };
    const Step steps[] = {
        {folder, Change::Toggle, "", true}, {folder, Change::Toggle, "", false},
        {file, Change::Describe, "ignored", true}, {file, Change::Describe, "note", true},
        {file, Change::Set, "again", true}, {file, Change::Set, "ag\tain\x01", true},
        {folder, Change::Remove, "", false},
    };
    for (const Step &step : steps) {
        bool marked = !step.marked;
        ASSERT_TRUE(
            edit::changeBookmark(catalogue, 1, step.item, step.change, step.description, nullptr, &marked).ok());
        EXPECT_EQ(marked, step.marked);
    }
    const auto sig = DiscArchive::readMember(catalogue.archivePath("5"), "5.sig");
    EXPECT_EQ(sig.value_or(""), "1,\"b.txt\",\"Sub\\\",1,\"ag ain\",1\r\n");
    EXPECT_FALSE(edit::bookmarkAt(tree, "nothing\\").has_value());
}
