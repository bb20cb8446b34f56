#include "Form1Fixture.h"

#include "gui/AboutBox.h"
#include "gui/BrowsePane.h"
#include "gui/DiscListModel.h"
#include "gui/DriveWatcher.h"
#include "gui/FilePaneModel.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"
#include "store/RecordText.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSplitter>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace vorn;
using test::Form1Fixture;

namespace {

QStringList rowTexts(const DiscListModel *model)
{
    QStringList texts;
    for (const DiscListEntry &entry : model->entries())
        texts << entry.text;
    return texts;
}

QStringList keywordItems(const QListWidget *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text() + (list->item(i)->checkState() == Qt::Checked ? "+" : "");
    return items;
}

QString storedName(const Form1Fixture &f, const char *id)
{
    const auto reading = readRecord(f.dataPath() + id + ".VORN", QString::fromLatin1(id));
    return reading ? reading->record.name : QStringLiteral("<unreadable>");
}

void trigger(Form1 *w, const char *name)
{
    QAction *action = w->findChild<QAction *>(QString::fromLatin1(name));
    ASSERT_NE(action, nullptr) << name;
    action->trigger();
}

} // namespace

TEST(Form1Rename, RefusalsAndAcceptedNames)
{
    struct Case { const char *typed; const char *warning; const char *stored; QStringList discs; };
    const Case cases[] = {
        {"", "", "Sample", {"Another", "Sample"}},
        {"Jazz\\Live", "343", "Sample", {"Another", "Sample"}},
        {"ANOTHER", "300", "Sample", {"Another", "Sample"}},
        {"SAMPLE", "", "SAMPLE", {"Another", "SAMPLE"}},
        {"Aardvark", "", "Aardvark", {"Aardvark", "Another"}},
    };
    for (const Case &c : cases) {
        Form1Fixture f;
        Form1 *w = f.start();
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(w->showEntryByKey("__42"));
        w->renameDisc(w->discModel()->rowOfKey("__42"), QString::fromUtf8(c.typed));
        const QStringList expected = *c.warning ? QStringList{LoadText(QByteArray(c.warning).toInt())} : QStringList{};
        EXPECT_EQ(f.prompt.warnings, expected) << c.typed;
        EXPECT_EQ(storedName(f, "42"), QString::fromUtf8(c.stored)) << c.typed;
        EXPECT_EQ(rowTexts(w->discModel()).mid(2), c.discs) << c.typed;
        // The renamed disc stays selected and shown, its tree root named after it.
        EXPECT_EQ(w->discModel()->keyAt(w->findChild<QListView *>("LVCD")->currentIndex().row()), "__42");
        EXPECT_EQ(w->browser()->tree()->topLevelItem(0)->text(0), QString::fromUtf8(c.stored)) << c.typed;
    }
}

TEST(Form1Rename, EditingTheListEntryRenamesTheDiscAndKeepsAPendingDescription)
{
    Form1Fixture f;
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->showEntryByKey("__42"));
    w->findChild<QPlainTextEdit *>("TxtDesc")->setPlainText("Edited");
    DiscListModel *model = w->discModel();
    EXPECT_TRUE(model->flags(model->index(model->rowOfKey("__42"))) & Qt::ItemIsEditable);
    EXPECT_FALSE(model->flags(model->index(0)) & Qt::ItemIsEditable);
    model->setData(model->index(model->rowOfKey("__42")), "Zebra", Qt::EditRole);
    ASSERT_TRUE(QTest::qWaitFor([&] { return storedName(f, "42") == "Zebra"; }, 3000));
    const auto reading = readRecord(f.dataPath() + "42.VORN", "42");
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->record.description, "Edited");
    EXPECT_EQ(rowTexts(model).mid(2), QStringList({"Another", "Zebra"}));
}

TEST(Form1Rename, F2EditsADiscInPlaceAndAsksForADrivesDisc)
{
    Form1Fixture f;
    f.insertDisc("99");
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    auto *list = w->findChild<QListView *>("LVCD");
    list->setCurrentIndex(w->discModel()->index(w->discModel()->rowOfKey("__42")));
    trigger(w, "MnuRenommer");
    auto *editor = list->viewport()->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "Sample");
    EXPECT_TRUE(f.prompt.questions.isEmpty());
    list->setCurrentIndex(w->discModel()->index(0));
    trigger(w, "MnuRenommer2");
    EXPECT_EQ(f.prompt.questions, QStringList({"Entrez le nouveau nom du CD"}));
}

TEST(Form1Rename, NamingTheDiscInTheDrive)
{
    struct Case { const char *answer; const char *warning; const char *driveText; const char *given; };
    const Case cases[] = {
        {"", "", "V:\\[CD non archivé]", ""},
        {"a\\b", "343", "V:\\[CD non archivé]", ""},
        {"sample", "344", "V:\\[CD non archivé]", ""},
        {"Holiday", "", "V:\\[Holiday]", "Holiday"},
    };
    for (const Case &c : cases) {
        Form1Fixture f;
        f.insertDisc("99");
        Form1 *w = f.start();
        ASSERT_NE(w, nullptr);
        w->findChild<QListView *>("LVCD")->setCurrentIndex(w->discModel()->index(0));
        f.prompt.inputs.push_back(QString::fromUtf8(c.answer));
        trigger(w, "MnuRenommer");
        EXPECT_EQ(f.prompt.questions, QStringList({"Entrez le nouveau nom du CD"})) << c.answer;
        const QStringList expected = *c.warning ? QStringList{LoadText(QByteArray(c.warning).toInt())} : QStringList{};
        EXPECT_EQ(f.prompt.warnings, expected) << c.answer;
        EXPECT_EQ(w->discModel()->entry(0).text, QString::fromUtf8(c.driveText)) << c.answer;
        EXPECT_EQ(w->givenDriveName(u'V'), QString::fromUtf8(c.given)) << c.answer;
        // A refill keeps the given name; nothing is written to the catalogue.
        w->fillDiscList();
        EXPECT_EQ(w->discModel()->entry(0).text, QString::fromUtf8(c.driveText)) << c.answer;
        EXPECT_EQ(w->catalogue().discCount(), 2);
    }
}

TEST(Form1Rename, AGivenNameIsForgottenWhenTheDiscChanges)
{
    Form1Fixture f;
    f.insertDisc("99");
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    f.prompt.inputs.push_back("Holiday");
    w->nameDriveDisc(0);
    ASSERT_EQ(w->givenDriveName(u'V'), "Holiday");
    f.insertDisc("98");
    ASSERT_TRUE(QTest::qWaitFor([&] {
        w->driveWatcher()->check();
        return w->discModel()->entry(0).key == "V:98";
    }, 5000));
    EXPECT_EQ(w->discModel()->entry(0).text, "V:\\[CD non archivé]");
    EXPECT_EQ(w->givenDriveName(u'V'), QString());
}

TEST(Form1Keywords, ListShowsCountsAndTicksOfTheShownDisc)
{
    Form1Fixture f;
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    auto *list = w->findChild<QListWidget *>("ListMC");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(keywordItems(list), QStringList({"Jazz (1)", "Live (0)", "Unused (0)"}));
    // Without a disc shown there is nothing to tick.
    EXPECT_FALSE(list->item(0)->flags() & Qt::ItemIsUserCheckable);
    ASSERT_TRUE(w->showEntryByKey("__42"));
    EXPECT_EQ(keywordItems(list), QStringList({"Jazz (1)+", "Live (0)", "Unused (0)"}));
    ASSERT_TRUE(w->showEntryByKey("__-7"));
    EXPECT_EQ(keywordItems(list), QStringList({"Jazz (1)", "Live (0)", "Unused (0)"}));
}

TEST(Form1Keywords, TickingWritesTheDiscsKeywordsWhenLeavingIt)
{
    struct Case { std::vector<int> ticked; QStringList captions; const char *codes; const char *storedNames; };
    const Case cases[] = {
        {{0, 1}, {"Jazz (1)+", "Live (1)+", "Unused (0)"}, "|1|2|", "Jazz;Live;"},
        {{2}, {"Jazz (0)", "Live (0)", "Unused (1)+"}, "|3|", "Unused;"},
        {{}, {"Jazz (0)", "Live (0)", "Unused (0)"}, "|", ""},
    };
    for (const Case &c : cases) {
        Form1Fixture f;
        Form1 *w = f.start();
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(w->showEntryByKey("__42"));
        auto *list = w->findChild<QListWidget *>("ListMC");
        for (int i = 0; i < list->count(); ++i) {
            const bool tick = std::find(c.ticked.begin(), c.ticked.end(), i) != c.ticked.end();
            list->item(i)->setCheckState(tick ? Qt::Checked : Qt::Unchecked);
        }
        EXPECT_EQ(keywordItems(list), c.captions) << c.codes;
        EXPECT_EQ(w->catalogue().disc(w->catalogue().current).keywordCodes, c.codes);
        EXPECT_EQ(w->infoModified(), true);
        ASSERT_TRUE(w->showEntryByKey("__-7"));
        const auto reading = readRecord(f.dataPath() + "42.VORN", "42");
        ASSERT_TRUE(reading);
        EXPECT_EQ(reading->keywordNames, c.storedNames) << c.codes;
        EXPECT_EQ(reading->record.description, "Line one\r\nLine two");
    }
}

TEST(Form1Fields, TreeHoldsTheDiscsValuesAndThePlaceholder)
{
    Form1Fixture f;
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    auto *tree = w->findChild<QTreeWidget *>("TvChamps");
    ASSERT_NE(tree, nullptr);
    struct Case { const char *key; const char *value; bool bold; };
    const Case cases[] = {{"__42", "B3", true}, {"__-7", "[Valeur]", false}};
    for (const Case &c : cases) {
        ASSERT_TRUE(w->showEntryByKey(c.key));
        QTreeWidgetItem *root = tree->topLevelItem(0);
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(root->text(0), "Champs");
        ASSERT_EQ(root->childCount(), 2) << c.key;
        EXPECT_EQ(root->child(0)->text(0), "Shelf");
        EXPECT_EQ(root->child(0)->child(0)->text(0), c.value) << c.key;
        EXPECT_EQ(root->child(0)->font(0).bold(), c.bold) << c.key;
        EXPECT_EQ(root->child(1)->text(0), "[Nouveau Champ]");
    }
}

TEST(Form1Fields, LowerPaneShowsKeywordsDescriptionOrFields)
{
    Form1Fixture f;
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    auto *tabs = w->findChild<QTabBar *>("PictAffMC");
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->tabText(0), "Mots-clés");
    EXPECT_EQ(tabs->tabText(2), "Champs");
    EXPECT_TRUE(w->findChild<QListWidget *>("ListMC")->isVisible());
    struct Case { const char *action; const char *shown; const char *hidden; };
    const Case cases[] = {{"MnuAffMcT_2", "TvChamps", "ListMC"}, {"MnuAffMcT_1", "TxtDesc", "TvChamps"},
                          {"MnuAffMcT_0", "ListMC", "TxtDesc"}};
    for (const Case &c : cases) {
        trigger(w, c.action);
        EXPECT_TRUE(w->findChild<QWidget *>(c.shown)->isVisible()) << c.action;
        EXPECT_FALSE(w->findChild<QWidget *>(c.hidden)->isVisible()) << c.action;
    }
    tabs->setCurrentIndex(1);
    EXPECT_TRUE(w->findChild<QWidget *>("TxtDesc")->isVisible());
}

TEST(Form1Open, DoubleClicksOpenOnTheDiscInTheDriveOnly)
{
    struct Case { const char *serial; const char *what; const char *target; const char *warning; const char *opened; };
    const Case cases[] = {
        {"", "row", "K3", "369", ""},
        {"99", "row", "K3", "369", ""},
        {"42", "row", "K3", "", "readme.txt"},
        {"42", "row", "K5", "Fichier non trouvé", ""},
        {"", "node", "K1", "369", ""},
        {"42", "node", "K1", "", "Docs"},
        {"42", "node", "K0", "", "."},
        {"42", "explore", "K3", "", "Docs/Guides"},
    };
    for (const Case &c : cases) {
        Form1Fixture f;
        f.insertDisc(QString::fromLatin1(c.serial));
        if (*c.serial) {
            ASSERT_TRUE(QDir().mkpath(f.driveFolder() + "/Docs/Guides"));
            ASSERT_TRUE(test::writeFile(f.driveFolder() + "/readme.txt", "hello"));
        }
        Form1 *w = f.start();
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(w->showEntryByKey(*c.serial == '4' ? "V:42" : "__42"));
        BrowsePane *b = w->browser();
        ASSERT_TRUE(b->showNode("K0"));
        const QString what = QString::fromLatin1(c.what);
        if (what == "row") {
            w->openFileRow(b->fileModel()->rowOfKey(c.target));
        } else if (what == "node") {
            w->openTreeNode(c.target);
        } else {
            b->tree()->setCurrentItem(b->tree()->topLevelItem(0)->child(0)->child(0));
            trigger(w, "MnuOuvreDossier_1");
        }
        const QStringList expected = *c.warning ? QStringList{*c.warning == '3' ? LoadText(369) : c.warning}
                                                : QStringList{};
        EXPECT_EQ(f.prompt.warnings, expected) << c.serial << " " << c.target;
        const QStringList opened = *c.opened
            ? QStringList{"xdg-open " + QDir::cleanPath(f.driveFolder() + u'/' + c.opened)}
            : QStringList{};
        EXPECT_EQ(f.launcher.started, opened) << c.serial << " " << c.target;
    }
}

TEST(Form1Open, DoubleClickOnAFolderRowShowsThatFolder)
{
    Form1Fixture f;
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->showEntryByKey("__42"));
    BrowsePane *b = w->browser();
    ASSERT_TRUE(b->showNode("K0"));
    w->openFileRow(b->fileModel()->rowOfKey("R1"));
    EXPECT_EQ(b->shownNodeKey(), "K1");
    EXPECT_TRUE(b->tree()->currentItem()->isExpanded());
    EXPECT_TRUE(f.prompt.warnings.isEmpty());
    EXPECT_TRUE(f.launcher.started.isEmpty());
}

TEST(Form1Open, BookmarkedFoldersAreBoldInTheTreeAndThePane)
{
    Form1Fixture f;
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->showEntryByKey("__42"));
    QTreeWidgetItem *docs = w->browser()->tree()->topLevelItem(0)->child(0);
    EXPECT_FALSE(docs->font(0).bold());
    EXPECT_TRUE(docs->child(0)->font(0).bold());
    ASSERT_TRUE(w->browser()->showNode("K1"));
    const FilePaneModel *model = w->browser()->fileModel();
    EXPECT_TRUE(model->row(model->rowOfKey("R3")).bold);
    EXPECT_FALSE(model->row(model->rowOfKey("K6")).bold);
}

TEST(Form1Help, DocumentsOpenWithTheDesktopAndSayWhatTheyAre)
{
    struct Case { const char *action; const char *file; const char *contains; };
    const Case cases[] = {
        {"mnuHelp", "VORNHelp.htm", "<title>VORN Help</title>"},
        {"MnuReadme_1", "Readme.txt", "scripts/start.sh"},
        {"MnuReadme_2", "History.txt", "VORN - History"},
    };
    for (const Case &c : cases) {
        Form1Fixture f;
        Form1 *w = f.start();
        ASSERT_NE(w, nullptr);
        trigger(w, c.action);
        ASSERT_EQ(f.launcher.started.size(), 1) << c.action;
        const QString path = f.launcher.started[0].mid(QStringLiteral("xdg-open ").size());
        EXPECT_TRUE(path.endsWith(u'/' + QString::fromLatin1(c.file))) << path.toStdString();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        EXPECT_TRUE(file.readAll().contains(c.contains)) << c.file;
        EXPECT_TRUE(f.prompt.warnings.isEmpty());
    }
}

TEST(Form1Help, AboutBoxShowsTheVersionLine)
{
    struct Case { int major, minor, revision; const char *line; };
    const Case cases[] = {
        {1, 0, 0, "VORN   Version : 01.00.0000"},
        {12, 5, 321, "VORN   Version : 12.05.0321"},
        {3, 14, 15926, "VORN   Version : 03.14.15926"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(aboutVersionLine(c.major, c.minor, c.revision), c.line);

    Form1Fixture f;
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    trigger(w, "MnuAPropo");
    auto *box = w->findChild<QDialog *>("FrmAPropos");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->findChild<QLabel *>("Label2")->text(),
              aboutVersionLine(VORN_VERSION_MAJOR, VORN_VERSION_MINOR, VORN_VERSION_PATCH) + u'\n' + LoadText(507));
    box->reject();
}

TEST(Form1Menus, DiscEntriesFollowTheSelection)
{
    struct Case { const char *serial; const char *key; bool rename, remove, tray; };
    const Case cases[] = {
        {"", "V:0", false, false, true},
        {"99", "V:99", true, false, true},
        {"42", "V:42", true, true, true},
        {"", "__42", true, true, false},
    };
    for (const Case &c : cases) {
        Form1Fixture f;
        f.insertDisc(QString::fromLatin1(c.serial));
        Form1 *w = f.start();
        ASSERT_NE(w, nullptr);
        const int row = w->discModel()->rowOfKey(c.key);
        ASSERT_GE(row, 0) << c.key;
        w->findChild<QListView *>("LVCD")->setCurrentIndex(w->discModel()->index(row));
        auto enabled = [w](const char *name) { return w->findChild<QAction *>(name)->isEnabled(); };
        EXPECT_EQ(enabled("MnuRenommer"), c.rename) << c.key;
        EXPECT_EQ(enabled("MnuRenommer2"), c.rename) << c.key;
        EXPECT_EQ(enabled("MnuSupprArchive"), c.remove) << c.key;
        EXPECT_EQ(enabled("MnuCopyArchiv_1"), c.remove) << c.key;
        EXPECT_EQ(enabled("MnuOuvreCD"), c.tray) << c.key;
        // Actions of later work stay present and disabled.
        EXPECT_FALSE(enabled("MnuGestMC"));
        EXPECT_FALSE(enabled("MnuAffMcTRep_7"));
    }
}

TEST(Form1Menus, DeletingADiscAsksFirst)
{
    struct Case { UserPrompt::Answer answer; bool kept; };
    for (const Case &c : {Case{UserPrompt::Answer::No, true}, Case{UserPrompt::Answer::Yes, false}}) {
        Form1Fixture f;
        Form1 *w = f.start();
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(w->showEntryByKey("__42"));
        f.prompt.answers.push_back(c.answer);
        trigger(w, "MnuSupprArchive");
        ASSERT_EQ(f.prompt.questions.size(), 1);
        EXPECT_TRUE(f.prompt.questions[0].startsWith(LoadText(347)));
        EXPECT_EQ(QFile::exists(f.dataPath() + "42.VORN"), c.kept);
        EXPECT_EQ(rowTexts(w->discModel()).contains("Sample"), c.kept);
        EXPECT_EQ(w->browser()->shown().identifier, c.kept ? "42" : "");
        // The keyword counts follow the discs left.
        EXPECT_EQ(w->findChild<QListWidget *>("ListMC")->item(0)->text(), c.kept ? "Jazz (1)" : "Jazz (0)");
    }
}

TEST(Form1Menus, MovingADiscsArchiveTakesItOutOfTheList)
{
    Form1Fixture f;
    QTemporaryDir target;
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->showEntryByKey("__42"));
    f.prompt.inputs.push_back(target.path());
    trigger(w, "MnuCopyArchiv_1");
    EXPECT_TRUE(QFile::exists(target.path() + "/42.VORN"));
    EXPECT_FALSE(QFile::exists(f.dataPath() + "42.VORN"));
    EXPECT_EQ(rowTexts(w->discModel()).mid(2), QStringList({"Another"}));
    EXPECT_EQ(w->browser()->shown().identifier, QString());
    EXPECT_EQ(w->findChild<QListWidget *>("ListMC")->item(0)->text(), "Jazz (0)");
}

TEST(Form1Menus, ViewModesOfTheDiscListAreKept)
{
    Form1Fixture f;
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    auto *list = w->findChild<QListView *>("LVCD");
    struct Case { int mode; QListView::ViewMode view; bool wrapping; };
    const Case cases[] = {{0, QListView::IconMode, true}, {2, QListView::ListMode, true}, {3, QListView::ListMode, false}};
    for (const Case &c : cases) {
        w->findChild<QListView *>("LVCD")->customContextMenuRequested(QPoint(1, 1));
        w->findChild<QMenu *>("MnuView")->hide();
        trigger(w, QStringLiteral("MnuViewItems_%1").arg(c.mode).toLatin1().constData());
        EXPECT_EQ(list->viewMode(), c.view) << c.mode;
        EXPECT_EQ(list->isWrapping(), c.wrapping) << c.mode;
    }
    trigger(w, "MnuViewItems_0");
    f.closeWindow();
    EXPECT_EQ(Settings::read("Aff", "LVCD"), "0");
    w = f.start();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->findChild<QListView *>("LVCD")->viewMode(), QListView::IconMode);
}
