#include "../Form1Fixture.h"

#include "gui/BrowsePane.h"
#include "gui/SearchPane.h"
#include "gui/SearchResultModel.h"
#include "gui/TabHost.h"
#include "gui/search/BookmarkListModel.h"
#include "gui/search/ResultListView.h"
#include "edit/TreeEdits.h"
#include "settings/OptionsWord.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/DiscArchive.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QMenu>
#include <QTreeWidget>

using namespace vorn;
using ResultListsTest = test::WindowTest;

namespace {

// Runs a search for `expression` from the pane.
void searchFor(test::Form1Fixture &f, const QString &expression)
{
    f.child<QLineEdit>("Text1")->setText(expression);
    f.child<QPushButton>("BtRechercher")->click();
}

void doubleClick(ResultListView *list, int row)
{
    emit list->doubleClicked(list->model()->index(row, 0));
}

} // namespace

TEST_F(ResultListsTest, DoubleClickLandsOnTheRowsFolderAndFile)
{
    struct Case { const char *expression; const char *node; const char *file; };
    const Case cases[] = {
        {"install", "Docs", "INSTALL.TXT"},
        {"guides", "Guides", ""},          // a folder row opens the folder itself
        {"tool.sh", "TOOLS.ZIP", "tool.sh"},   // an archive member: into its archive
    };
    ResultListView *list = w->search()->list(0);
    if (!f.child<QCheckBox>("ChkRechDsZip")->isChecked())
        f.child<QCheckBox>("ChkRechDsZip")->click();
    for (const Case &c : cases) {
        w->tabs()->showTab(TabHost::Search);
        searchFor(f, c.expression);
        ASSERT_EQ(w->search()->results()->rowCount(), 1) << c.expression;
        doubleClick(list, 0);
        EXPECT_EQ(w->tabs()->currentTab(), TabHost::Browse) << c.expression;
        EXPECT_EQ(w->browser()->tree()->currentItem()->text(0), c.node) << c.expression;
        const QModelIndex file = w->browser()->files()->currentIndex();
        if (*c.file) {
            EXPECT_EQ(w->browser()->fileModel()->row(file.row()).name, c.file) << c.expression;
        }
    }
}

TEST_F(ResultListsTest, BookmarksTabListsOpensAndOffersToRemoveMissingOnes)
{
    const int sample = w->catalogue().disc(1).identifier == "42" ? 1 : 2;
    w->tabs()->showTab(TabHost::Search);
    f.child<QCheckBox>("ChkLimRech")->click();   // the scope page is kept per tab
    w->tabs()->showTab(TabHost::Bookmarks);
    auto *button = f.child<QPushButton>("BtRechercher");
    EXPECT_EQ(button->text(), LoadText(636));
    EXPECT_EQ(f.child<QCheckBox>("ChkLimRech")->text(), LoadText(661));
    EXPECT_FALSE(f.child<QCheckBox>("ChkLimRech")->isChecked());
    button->click();
    BookmarkListModel *rows = w->search()->bookmarks();
    EXPECT_EQ(rows->rowCount(), 2);
    // A bookmark added in the browser reaches the list shown.
    ASSERT_TRUE(edit::changeBookmark(w->catalogue(), sample, {1, "gone.txt", "Docs\\", 99, "", 1},
                                     edit::BookmarkChange::Add).ok());
    emit w->browser()->bookmarksChanged();
    ASSERT_EQ(rows->rowCount(), 3);
    EXPECT_EQ(rows->index(1, BookmarkListModel::Path).data().toString(), "Docs\\");
    emit w->search()->list(1)->header()->sectionClicked(BookmarkListModel::Name);
    EXPECT_EQ(rows->row(0).name, "gone.txt");
    EXPECT_EQ(rows->row(2).name, "half.bin");

    doubleClick(w->search()->list(1), 1);   // the folder bookmark "Guides"
    EXPECT_EQ(w->browser()->tree()->currentItem()->text(0), "Guides");
    const QString question = LoadText(345) + "gone.txt" + LoadText(346) + "\r\n" + LoadText(342);
    for (const auto answer : {UserPrompt::Answer::No, UserPrompt::Answer::Yes}) {
        w->tabs()->showTab(TabHost::Bookmarks);
        f.prompt.questions.clear();
        f.prompt.answers = {answer};
        doubleClick(w->search()->list(1), 0);
        EXPECT_EQ(f.prompt.questions, QStringList{question});
        EXPECT_EQ(rows->rowCount(), answer == UserPrompt::Answer::Yes ? 2 : 3);
    }
    const auto sig = DiscArchive::readMember(w->catalogue().archivePath("42"), "42.sig");
    EXPECT_FALSE(sig.value_or("").contains("gone.txt"));
    w->tabs()->showTab(TabHost::Search);
    EXPECT_TRUE(f.child<QCheckBox>("ChkLimRech")->isChecked());
}

TEST_F(ResultListsTest, LongListQuestionUnreadableArchiveAndKeptWidths)
{
    // A third disc of 1001 files: the question comes at the thousandth row.
    Catalogue extra;
    extra.dataFolder = f.dataPath();
    extra.tempFolder = f.temp.path() + "/extra/";
    QByteArray fic = TreeFiles::fileListHeader();
    for (int i = 0; i < 1001; ++i)
        TreeFiles::appendFileLine(fic, {QStringLiteral("w%1.txt").arg(i), 0, 10, 1, {}, 0});
    test::writeFile(extra.workingCopy("9", ".rep"), TreeFiles::folderFileHeader());
    test::writeFile(extra.workingCopy("9", ".fic"), fic);
    DiscRecord many;
    many.identifier = "9";
    many.name = "Many";
    extra.memberFlags = Member::Rep | Member::Fic;
    ASSERT_TRUE(writeRecord(extra, many, 4));
    ASSERT_TRUE(w->openDataFolderEntry(1));

    struct Case { UserPrompt::Answer answer; int rows; };
    const Case cases[] = {
        {UserPrompt::Answer::No, 1001},
        {UserPrompt::Answer::Yes, 1000},   // the stop comes after the row in hand
    };
    for (const Case &c : cases) {
        f.prompt.questions.clear();
        f.prompt.answers = {c.answer};
        searchFor(f, "w*");
        EXPECT_EQ(f.prompt.questions.size(), 1);
        EXPECT_EQ(w->search()->results()->rowCount(), c.rows);
    }
    // An archive spoiled between two searches is named once and the search goes on.
    ASSERT_TRUE(test::writeFile(extra.archivePath("9"), "PK\x03\x04 spoiled"));
    searchFor(f, "*.txt");
    const QString summary = f.child<QLabel>("LblResult")->text();
    EXPECT_TRUE(summary.endsWith(LoadText(750) + "9.VORN")) << summary.toStdString();
    EXPECT_GE(w->search()->results()->rowCount(), 2);   // those of Sample

    w->search()->list(0)->setColumnWidth(SearchResultModel::Location, 222);
    w->search()->list(1)->setColumnWidth(BookmarkListModel::Name, 111);
    f.closeWindow();
    EXPECT_EQ(Settings::read("Aff", "LR30"), "222");
    w = f.start();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->search()->list(0)->columnWidth(SearchResultModel::Location), 222);
    EXPECT_EQ(w->search()->list(1)->columnWidth(BookmarkListModel::Name), 111);
}

TEST_F(ResultListsTest, StartUpOptionsAndTheTreesExclusionToggle)
{
    for (const qint32 word : {0, Opt::SearchInArchives | Opt::SearchLatestOnly | Opt::StartOnSearchTab}) {
        WriteOptionsWord(word);
        w = f.start();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(f.child<QCheckBox>("ChkRechDsZip")->isChecked(), word != 0);
        EXPECT_EQ(f.child<QCheckBox>("ChkDoublons")->isChecked(), word != 0);
        EXPECT_EQ(w->tabs()->currentTab(), word ? TabHost::Search : TabHost::Browse);
    }

    // Docs holds Guides: Cancel changes nothing, Yes takes Guides along, then No
    // brings back only Docs.
    ASSERT_TRUE(f.show("42"));
    const std::vector<FolderRecord> &folders = w->browser()->shown().tree.folders;
    struct Step { UserPrompt::Answer answer; int docs; int guides; };
    const Step steps[] = {
        {UserPrompt::Answer::Cancel, 0, 0},
        {UserPrompt::Answer::Yes, 1, 1},
        {UserPrompt::Answer::No, 0, 1},
    };
    for (const Step &step : steps) {
        ASSERT_TRUE(w->browser()->showNode("K1"));
        f.prompt.answers = {step.answer};
        f.trigger("mnuDossierExcluRecherches");
        EXPECT_EQ(folders[1].flags, step.docs);
        EXPECT_EQ(folders[3].flags, step.guides);
    }
    EXPECT_EQ(f.prompt.questions.back(), LoadText(656));
    DiscTree stored;
    stored.folders = TreeFiles::parseFolderFile(*DiscArchive::readMember(w->catalogue().archivePath("42"), "42.rep"));
    EXPECT_EQ(stored.folders[3].flags, 1);
    EXPECT_EQ(stored.folders[1].flags, 0);
}
