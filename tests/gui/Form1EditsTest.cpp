#include "Form1Fixture.h"

#include "gui/AboutBox.h"
#include "gui/BrowsePane.h"
#include "gui/DiscInfoPane.h"
#include "gui/DiscListModel.h"
#include "gui/DiscListPane.h"
#include "gui/DriveWatcher.h"
#include "gui/FilePaneModel.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"
#include "store/RecordText.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace vorn;
using test::Form1Fixture;
using Form1Rename = test::WindowTest;
using Form1Keywords = test::WindowTest;
using Form1Fields = test::WindowTest;
using Form1Open = test::WindowTest;
using Form1Help = test::WindowTest;
using Form1Menus = test::WindowTest;

namespace {

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

} // namespace

TEST(Form1Naming, RefusalsAndAcceptedNames)
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
        ASSERT_TRUE(f.show("42"));
        w->discList()->renameDisc(w->discModel()->rowOfDisc("42"), QString::fromUtf8(c.typed));
        const QStringList expected = *c.warning ? QStringList{LoadText(QByteArray(c.warning).toInt())} : QStringList{};
        EXPECT_EQ(f.prompt.warnings, expected) << c.typed;
        EXPECT_EQ(storedName(f, "42"), QString::fromUtf8(c.stored)) << c.typed;
        EXPECT_EQ(f.rowTexts().mid(2), c.discs) << c.typed;
        // The renamed disc stays selected and shown, its tree root named after it.
        ASSERT_NE(w->discList()->selected(), nullptr);
        EXPECT_EQ(w->discList()->selected()->identifier, "42");
        EXPECT_EQ(w->browser()->tree()->topLevelItem(0)->text(0), QString::fromUtf8(c.stored)) << c.typed;
    }
}

TEST_F(Form1Rename, F2EditsTheDiscInAFramedEditorAndKeepsAPendingDescription)
{
    ASSERT_TRUE(f.show("42"));
    f.child<QPlainTextEdit>("TxtDesc")->setPlainText("Edited");
    DiscListModel *model = w->discModel();
    EXPECT_FALSE(model->flags(model->index(0)) & Qt::ItemIsEditable);
    f.trigger("MnuRenommer");
    auto *editor = f.child<QListView>("LVCD")->viewport()->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "Sample");
    EXPECT_TRUE(editor->hasFrame());
    EXPECT_TRUE(f.prompt.questions.isEmpty());
    editor->setText("Zebra");
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return storedName(f, "42") == "Zebra"; }, 3000));
    const auto reading = readRecord(f.dataPath() + "42.VORN", "42");
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->record.description, "Edited");
    EXPECT_EQ(f.rowTexts().mid(2), QStringList({"Another", "Zebra"}));
}

TEST(Form1Naming, NamingTheDiscInTheDrive)
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
        f.select(0);
        f.prompt.inputs.push_back(QString::fromUtf8(c.answer));
        f.trigger("MnuRenommer2");
        EXPECT_EQ(f.prompt.questions, QStringList({"Entrez le nouveau nom du CD"})) << c.answer;
        const QStringList expected = *c.warning ? QStringList{LoadText(QByteArray(c.warning).toInt())} : QStringList{};
        EXPECT_EQ(f.prompt.warnings, expected) << c.answer;
        EXPECT_EQ(w->discModel()->entry(0).text, QString::fromUtf8(c.driveText)) << c.answer;
        EXPECT_EQ(w->discList()->givenDriveName(u'V'), QString::fromUtf8(c.given)) << c.answer;
        // A refill keeps the given name; nothing is written to the catalogue.
        w->discList()->fill();
        EXPECT_EQ(w->discModel()->entry(0).text, QString::fromUtf8(c.driveText)) << c.answer;
        EXPECT_EQ(w->catalogue().discCount(), 2);
    }
}

TEST_F(Form1Rename, AGivenNameIsForgottenWhenTheDiscChangesAndTheQuestionIsEnglishInEnglish)
{
    restartWith("99");
    setLanguageOffset(1000);
    f.prompt.inputs.push_back("Holiday");
    w->discList()->nameDriveDisc(0);
    setLanguageOffset(0);
    EXPECT_EQ(f.prompt.questions, QStringList({"Enter the new name of the disc"}));
    ASSERT_EQ(w->discList()->givenDriveName(u'V'), "Holiday");
    f.insertDisc("98");
    ASSERT_TRUE(QTest::qWaitFor([&] {
        w->driveWatcher()->check();
        return w->discModel()->entry(0).identifier == "98";
    }, 5000));
    EXPECT_EQ(w->discModel()->entry(0).text, "V:\\[CD non archivé]");
    EXPECT_EQ(w->discList()->givenDriveName(u'V'), QString());
}

TEST_F(Form1Keywords, ListShowsCountsAndTicksOfTheShownDisc)
{
    auto *list = f.child<QListWidget>("ListMC");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(keywordItems(list), QStringList({"Jazz (1)", "Live (0)", "Unused (0)"}));
    // Without a disc shown there is nothing to tick.
    EXPECT_FALSE(list->item(0)->flags() & Qt::ItemIsUserCheckable);
    ASSERT_TRUE(f.show("42"));
    EXPECT_EQ(keywordItems(list), QStringList({"Jazz (1)+", "Live (0)", "Unused (0)"}));
    ASSERT_TRUE(f.show("-7"));
    EXPECT_EQ(keywordItems(list), QStringList({"Jazz (1)", "Live (0)", "Unused (0)"}));
}

TEST(Form1KeywordTicks, TickingWritesTheDiscsKeywordsWhenLeavingIt)
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
        ASSERT_TRUE(f.show("42"));
        auto *list = f.child<QListWidget>("ListMC");
        for (int i = 0; i < list->count(); ++i) {
            const bool tick = std::find(c.ticked.begin(), c.ticked.end(), i) != c.ticked.end();
            list->item(i)->setCheckState(tick ? Qt::Checked : Qt::Unchecked);
        }
        EXPECT_EQ(keywordItems(list), c.captions) << c.codes;
        EXPECT_EQ(w->catalogue().disc(w->catalogue().current).keywordCodes, c.codes);
        EXPECT_TRUE(w->info()->infoModified());
        ASSERT_TRUE(f.show("-7"));
        const auto reading = readRecord(f.dataPath() + "42.VORN", "42");
        ASSERT_TRUE(reading);
        EXPECT_EQ(reading->keywordNames, c.storedNames) << c.codes;
        EXPECT_EQ(reading->record.description, "Line one\r\nLine two");
    }
}

TEST_F(Form1Fields, TreeHoldsTheDiscsValuesAndThePlaceholder)
{
    auto *tree = f.child<QTreeWidget>("TvChamps");
    ASSERT_NE(tree, nullptr);
    struct Case { const char *id; const char *value; bool bold; };
    for (const Case &c : {Case{"42", "B3", true}, Case{"-7", "[Valeur]", false}}) {
        ASSERT_TRUE(f.show(c.id));
        QTreeWidgetItem *root = tree->topLevelItem(0);
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(root->text(0), "Champs");
        ASSERT_EQ(root->childCount(), 2) << c.id;
        EXPECT_EQ(root->child(0)->text(0), "Shelf");
        EXPECT_EQ(root->child(0)->child(0)->text(0), c.value) << c.id;
        EXPECT_EQ(root->child(0)->font(0).bold(), c.bold) << c.id;
        EXPECT_EQ(root->child(1)->text(0), "[Nouveau Champ]");
    }
}

TEST_F(Form1Fields, LowerPaneShowsKeywordsDescriptionOrFields)
{
    auto *tabs = f.child<QTabBar>("PictAffMC");
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->tabText(0), "Mots-clés");
    EXPECT_EQ(tabs->tabText(2), "Champs");
    EXPECT_TRUE(f.child<QListWidget>("ListMC")->isVisible());
    struct Case { const char *action; const char *shown; const char *hidden; };
    const Case cases[] = {{"MnuAffMcT_2", "TvChamps", "ListMC"}, {"MnuAffMcT_1", "TxtDesc", "TvChamps"},
                          {"MnuAffMcT_0", "ListMC", "TxtDesc"}};
    for (const Case &c : cases) {
        f.trigger(c.action);
        EXPECT_TRUE(f.child<QWidget>(c.shown)->isVisible()) << c.action;
        EXPECT_FALSE(f.child<QWidget>(c.hidden)->isVisible()) << c.action;
    }
    tabs->setCurrentIndex(1);
    EXPECT_TRUE(f.child<QWidget>("TxtDesc")->isVisible());
}

TEST(Form1OpenOnDrive, DoubleClicksOpenOnTheDiscInTheDriveOnly)
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
        ASSERT_NE(f.start(), nullptr);
        ASSERT_TRUE(f.show("42"));
        BrowsePane *b = f.window->browser();
        ASSERT_TRUE(b->showNode("K0"));
        const QString what = QString::fromLatin1(c.what);
        if (what == "row") {
            b->openFileRow(b->fileModel()->rowOfKey(c.target));
        } else if (what == "node") {
            b->openTreeNode(c.target);
        } else {
            b->tree()->setCurrentItem(b->tree()->topLevelItem(0)->child(0)->child(0));
            f.trigger("MnuOuvreDossier_1");
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

TEST_F(Form1Open, FolderRowsOpenInThePaneAndBookmarkedOnesAreBold)
{
    ASSERT_TRUE(f.show("42"));
    BrowsePane *b = w->browser();
    QTreeWidgetItem *docs = b->tree()->topLevelItem(0)->child(0);
    EXPECT_FALSE(docs->font(0).bold());
    EXPECT_TRUE(docs->child(0)->font(0).bold());
    ASSERT_TRUE(b->showNode("K0"));
    b->openFileRow(b->fileModel()->rowOfKey("R1"));
    EXPECT_EQ(b->shownNodeKey(), "K1");
    EXPECT_TRUE(b->tree()->currentItem()->isExpanded());
    EXPECT_TRUE(f.prompt.warnings.isEmpty());
    EXPECT_TRUE(f.launcher.started.isEmpty());
    const FilePaneModel *model = b->fileModel();
    EXPECT_TRUE(model->row(model->rowOfKey("R3")).bold);
    EXPECT_FALSE(model->row(model->rowOfKey("K6")).bold);
}

TEST_F(Form1Help, DocumentsOpenWithTheDesktopAndSayWhatTheyAre)
{
    struct Case { const char *action; const char *file; const char *contains; };
    const Case cases[] = {
        {"mnuHelp", "VORNHelp-fr.htm", "<title>Aide de VORN</title>"},   // the page in the interface's language
        {"MnuReadme_1", "Readme.txt", "scripts/start.sh"},
        {"MnuReadme_2", "History.txt", "VORN - History"},
    };
    for (const Case &c : cases) {
        f.launcher.started.clear();
        f.trigger(c.action);
        ASSERT_EQ(f.launcher.started.size(), 1) << c.action;
        const QString path = f.launcher.started[0].mid(QStringLiteral("xdg-open ").size());
        EXPECT_TRUE(path.endsWith(u'/' + QString::fromLatin1(c.file))) << path.toStdString();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QByteArray text = file.readAll();
        EXPECT_TRUE(text.contains(c.contains)) << c.file;
        EXPECT_TRUE(f.prompt.warnings.isEmpty());
        // The help page's pictures go with it: inside it, or beside it where it was opened.
        const QRegularExpression picture(QStringLiteral("<img src=\"([^\"]+)\""));
        int pictures = 0;
        for (const QRegularExpressionMatch &m : picture.globalMatch(QString::fromUtf8(text))) {
            const QString source = m.captured(1);
            ++pictures;
            EXPECT_TRUE(source.startsWith(QLatin1String("data:image/png;base64,"))
                        || QFileInfo::exists(QFileInfo(path).dir().filePath(source))) << source.left(60).toStdString();
        }
        EXPECT_EQ(pictures > 0, QLatin1String(c.file).startsWith(QLatin1String("VORNHelp"))) << c.file;
    }
    // An opener that finds no browser: the user is told where the page is.
    f.launcher.failLater = true;
    f.trigger("mnuHelp");
    ASSERT_EQ(f.prompt.warnings.size(), 1);
    EXPECT_TRUE(f.prompt.warnings[0].startsWith(LoadText(935) + u'\n')) << f.prompt.warnings[0].toStdString();
    EXPECT_TRUE(f.prompt.warnings[0].endsWith(QStringLiteral("VORNHelp-fr.htm")));
}

TEST_F(Form1Help, AboutBoxShowsTheVersionLine)
{
    struct Case { int major, minor, revision; const char *line; };
    const Case cases[] = {{1, 0, 0, "VORN   Version : 01.00.0000"}, {3, 14, 15926, "VORN   Version : 03.14.15926"}};
    for (const Case &c : cases)
        EXPECT_EQ(aboutVersionLine(c.major, c.minor, c.revision), c.line);

    f.trigger("MnuAPropo");
    auto *box = f.child<QDialog>("FrmAPropos");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->findChild<QLabel *>("Label2")->text(),
              aboutVersionLine(VORN_VERSION_MAJOR, VORN_VERSION_MINOR, VORN_VERSION_PATCH) + u'\n' + LoadText(507));
    box->reject();
}

TEST(Form1DiscCommands, EntriesFollowTheSelection)
{
    struct Case { const char *serial; bool drive; bool rename, remove; };
    const Case cases[] = {
        {"", true, false, false},
        {"99", true, true, false},
        {"42", true, true, true},
        {"", false, true, true},
    };
    for (const Case &c : cases) {
        Form1Fixture f;
        f.insertDisc(QString::fromLatin1(c.serial));
        Form1 *w = f.start();
        ASSERT_NE(w, nullptr);
        const int row = c.drive ? w->discModel()->rowOfDrive(u'V') : w->discModel()->rowOfDisc("42");
        ASSERT_GE(row, 0) << c.serial;
        f.select(row);
        auto enabled = [&f](const char *name) { return f.child<QAction>(name)->isEnabled(); };
        EXPECT_EQ(enabled("MnuRenommer"), c.rename) << c.serial;
        EXPECT_EQ(enabled("MnuRenommer2"), c.rename) << c.serial;
        EXPECT_EQ(enabled("MnuSupprArchive"), c.remove) << c.serial;
        EXPECT_EQ(enabled("MnuCopyArchiv_1"), c.remove) << c.serial;
        EXPECT_EQ(enabled("MnuOuvreCD"), c.drive) << c.serial;
        EXPECT_EQ(f.child<QAction>("EjectCD")->isVisible(), c.drive) << c.serial;
        EXPECT_EQ(enabled("MnuPropCD"), c.remove) << c.serial;
        EXPECT_EQ(enabled("Infos"), c.remove) << c.serial;
    }
}

TEST(Form1DiscCommands, DeletingOrMovingADiscTakesItOutOfTheList)
{
    struct Case { const char *action; UserPrompt::Answer answer; bool kept; };
    const Case cases[] = {{"MnuSupprArchive", UserPrompt::Answer::No, true},
                          {"MnuSupprArchive", UserPrompt::Answer::Yes, false},
                          {"MnuCopyArchiv_1", UserPrompt::Answer::Yes, false}};
    for (const Case &c : cases) {
        Form1Fixture f;
        QTemporaryDir target;
        Form1 *w = f.start();
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(f.show("42"));
        f.prompt.answers.push_back(c.answer);
        f.prompt.inputs.push_back(target.path());
        f.trigger(c.action);
        if (QByteArray(c.action) == "MnuSupprArchive") {
            ASSERT_EQ(f.prompt.questions.size(), 1);
            EXPECT_TRUE(f.prompt.questions[0].startsWith(LoadText(347)));
        } else {
            EXPECT_TRUE(QFile::exists(target.path() + "/42.VORN"));
        }
        EXPECT_EQ(QFile::exists(f.dataPath() + "42.VORN"), c.kept) << c.action;
        EXPECT_EQ(f.rowTexts().contains("Sample"), c.kept) << c.action;
        EXPECT_EQ(w->browser()->shown().identifier, c.kept ? "42" : "") << c.action;
        // The keyword counts follow the discs left.
        EXPECT_EQ(f.child<QListWidget>("ListMC")->item(0)->text(), c.kept ? "Jazz (1)" : "Jazz (0)") << c.action;
    }
}

TEST_F(Form1Menus, ViewModesOfTheDiscListAreKept)
{
    auto *list = f.child<QListView>("LVCD");
    struct Case { int mode; QListView::ViewMode view; bool wrapping; };
    const Case cases[] = {{0, QListView::IconMode, true}, {2, QListView::ListMode, true}, {3, QListView::ListMode, false}};
    for (const Case &c : cases) {
        emit list->customContextMenuRequested(QPoint(1, 1));
        f.child<QMenu>("MnuView")->hide();
        f.trigger(QStringLiteral("MnuViewItems_%1").arg(c.mode).toLatin1().constData());
        EXPECT_EQ(list->viewMode(), c.view) << c.mode;
        EXPECT_EQ(list->isWrapping(), c.wrapping) << c.mode;
    }
    f.trigger("MnuViewItems_0");
    f.closeWindow();
    EXPECT_EQ(Settings::read("Aff", "LVCD"), "0");
    w = f.start();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(f.child<QListView>("LVCD")->viewMode(), QListView::IconMode);
}
