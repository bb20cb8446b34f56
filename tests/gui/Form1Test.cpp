#include "Form1Fixture.h"

#include "gui/BrowsePane.h"
#include "gui/DiscInfoPane.h"
#include "gui/DiscListModel.h"
#include "gui/DriveWatcher.h"
#include "gui/FilePaneModel.h"
#include "gui/TabHost.h"
#include "settings/OptionsWord.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"
#include "store/RecordText.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace vorn;
using test::Form1Fixture;
using Form1Layout = test::WindowTest;
using Form1DiscList = test::WindowTest;
using Form1Browse = test::WindowTest;
using Form1Settings = test::WindowTest;

namespace {

QStringList column(const FilePaneModel *model, int col)
{
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, col).data().toString();
    return texts;
}

} // namespace

TEST_F(Form1Layout, ControlsMenusAndToolbarCarryTheirNames)
{
    for (const char *name : {"LVCD", "TV1", "LV1", "PictInfoDir", "TxtDesc", "TxtFichierTexte"})
        EXPECT_NE(f.child<QWidget>(name), nullptr) << name;
    EXPECT_NE(f.child<QToolBar>("Tbr1"), nullptr);
    EXPECT_NE(f.child<QSplitter>("Frame1"), nullptr);
    EXPECT_NE(f.child<QSplitter>("Frame2"), nullptr);
    ASSERT_NE(f.child<QTimer>("Timer1"), nullptr);
    EXPECT_EQ(f.child<QTimer>("Timer1")->interval(), 500);

    auto *tabs = f.child<QTabBar>("TabStrip1");
    ASSERT_NE(tabs, nullptr);
    QStringList keys;
    for (int i = 0; i < tabs->count(); ++i)
        keys << tabs->tabData(i).toString();
    EXPECT_EQ(keys, QStringList({"C", "R", "J", "S", "O"}));
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Consultation"));

    struct Case { const char *name; const char *text; const char *shortcut; bool enabled; };
    const Case cases[] = {
        {"MnuRefresh", "&Rafraîchir", "F5", true},
        {"MnuQuit", "&Quitter", "Ctrl+Q", true},
        {"MnuRenommer", "&Renommer", "F2", false},
        {"MnuArchiver", "&Archiver...", "", true},
        {"MnuAff_5", "Options", "F12", true},
        {"MnuGestMC", "&Gestion des mots-clés...", "F4", true},
        {"mnuSelectJaq", "Sélection par &jaquette", "Ctrl+J", true},
        {"MnuFiltre_0", "&Afficher tous les CD", "F6", true},
        {"MnuImgFleche_2", "Afficher automatiquement", "", true},
        {"MnuPrec", "&<<", "", false},
        {"MnuAffMcT_1", "Description du CD", "", true},
        {"MnuAffMcTRep_4", "Liste des CD", "", true},
    };
    for (const Case &c : cases) {
        QAction *action = f.child<QAction>(c.name);
        ASSERT_NE(action, nullptr) << c.name;
        EXPECT_EQ(action->text(), QString::fromUtf8(c.text)) << c.name;
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(c.shortcut))) << c.name;
        EXPECT_EQ(action->isEnabled(), c.enabled) << c.name;
    }
    for (const char *menu : {"MnuFich", "MnuCD", "mnuAffT", "MnuFiltre_T", "mnuHelp_t", "MnuView",
                             "MnuPropDossier_Titre", "MnuImgFlecheT", "MnuTVOptions_T", "MnuRepDataTitre"})
        EXPECT_NE(f.child<QMenu>(menu), nullptr) << menu;
    EXPECT_TRUE(f.child<QAction>("MnuFiltre_0")->isChecked());
    // Without a desktop theme every toolbar button draws the program's own picture.
    for (QAction *action : f.child<QToolBar>("Tbr1")->actions()) {
        EXPECT_TRUE(action->isSeparator() || !action->icon().pixmap(24, 24).isNull()) << action->objectName().toStdString();
    }
}

TEST_F(Form1Layout, EachViewEntryOpensTheTabItsCaptionNames)
{
    auto *tabs = f.child<QTabBar>("TabStrip1");
    struct Case { const char *entry; const char *key; };
    for (const Case &c : {Case{"MnuAff_2", "J"}, Case{"MnuAff_3", "R"}, Case{"MnuAff_4", "S"}, Case{"MnuAff_5", "O"},
                          Case{"MnuAff_1", "C"}}) {
        f.trigger(c.entry);
        EXPECT_EQ(tabs->tabData(tabs->currentIndex()).toString(), c.key) << c.entry;
        EXPECT_EQ(tabs->tabText(tabs->currentIndex()).remove(u'&'), f.child<QAction>(c.entry)->text().remove(u'&'));
    }
    // A page handed in later takes its tab's place.
    auto *page = new QWidget;
    w->tabs()->setPage(TabHost::Cover, page);
    f.trigger("MnuAff_2");
    EXPECT_TRUE(page->isVisible());
}

TEST(Form1Drives, DriveEntryFollowsTheDiscInTheDrive)
{
    struct Case { const char *serial; const char *driveText; int discRows; };
    const Case cases[] = {
        {"", "V:\\[Aucun CD dans le lecteur]", 2},
        {"99", "V:\\[CD non archivé]", 2},
        {"42", "V:\\[Sample]", 1},
    };
    for (const Case &c : cases) {
        Form1Fixture f;
        f.insertDisc(QString::fromLatin1(c.serial));
        Form1 *w = f.start();
        ASSERT_NE(w, nullptr) << c.serial;
        const QStringList texts = f.rowTexts();
        ASSERT_EQ(texts.size(), 2 + c.discRows) << c.serial;
        EXPECT_EQ(texts[0], QString::fromUtf8(c.driveText)) << c.serial;
        EXPECT_EQ(texts[1], QStringLiteral("..........")) << c.serial;
        const DiscListEntry &drive = w->discModel()->entry(0);
        EXPECT_TRUE(drive.isDrive() && drive.letter == u'V');
        EXPECT_EQ(drive.identifier, *c.serial ? QString::fromLatin1(c.serial) : QStringLiteral("0"));
        EXPECT_EQ(w->discModel()->entry(1).kind, DiscListEntry::Kind::Separator);
        // A catalogued disc in the drive is not listed a second time.
        EXPECT_EQ(texts.contains(QStringLiteral("Sample")), c.discRows == 2) << c.serial;
    }
}

TEST_F(Form1DiscList, DiscEntriesStatusAndExclusionColour)
{
    const DiscListModel *model = w->discModel();
    EXPECT_EQ(f.rowTexts(), QStringList({"V:\\[Aucun CD dans le lecteur]", "..........", "Another", "Sample"}));
    EXPECT_EQ(model->rowOfDisc("42"), 3);
    EXPECT_EQ(model->index(3).data(Qt::ToolTipRole).toString(), QStringLiteral("Line one\r\nLine two"));
    EXPECT_TRUE(model->entry(2).excluded);
    EXPECT_FALSE(model->entry(3).excluded);
    EXPECT_FALSE(model->index(3).data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_EQ(f.child<QLabel>("LabelStatus")->text(),
              QString(7, u' ') + QStringLiteral("Dossier : ") + QDir::toNativeSeparators(f.dataPath())
                  + QStringLiteral(" ; Nb CD : 2"));
    EXPECT_EQ(w->windowTitle(), LoadText(200));

    f.trigger("mnuTrieDecroiss");
    EXPECT_EQ(f.rowTexts().mid(2), QStringList({"Sample", "Another"}));
    EXPECT_TRUE(f.child<QAction>("TriAsc")->isVisible());
    EXPECT_FALSE(f.child<QAction>("TriDesc")->isVisible());
    EXPECT_TRUE(f.child<QAction>("mnuTrieDecroiss")->isChecked());
}

TEST(Form1Start, NoDriveAtAllEndsWithMessage357)
{
    Form1Fixture f;
    qputenv("VORN_DRIVES", "");
    EXPECT_EQ(f.start(), nullptr);
    EXPECT_EQ(f.prompt.failures, QStringList({LoadText(357)}));
}

TEST_F(Form1DiscList, ClickingTheSeparatorShowsTheEntryAbove)
{
    restartWith("42");
    w->showEntry(1);
    EXPECT_EQ(w->browser()->shown().identifier, QStringLiteral("42"));
    EXPECT_EQ(w->browser()->tree()->topLevelItem(0)->text(0), QStringLiteral("V:\\[Sample]"));
    EXPECT_EQ(f.child<QPlainTextEdit>("TxtDesc")->toPlainText(), QStringLiteral("Line one\nLine two"));
}

TEST_F(Form1DiscList, UnreadableDiscGivesMessage376AndKeepsThePreviousDisc)
{
    ASSERT_TRUE(f.show("42"));
    ASSERT_TRUE(QFile::remove(f.dataPath() + "-7.VORN"));
    test::writeFile(f.dataPath() + "-7.VORN", "not a zip");
    f.show("-7");
    EXPECT_EQ(f.prompt.failures, QStringList({LoadText(376)}));
    EXPECT_EQ(w->browser()->shown().identifier, QStringLiteral("42"));
}

TEST_F(Form1DiscList, TimerNoticesADiscInsertedAndRemoved)
{
    const DiscListModel *model = w->discModel();
    for (const char *serial : {"42", ""}) {
        f.insertDisc(QString::fromLatin1(serial));
        const QString expected = *serial ? QStringLiteral("V:\\[Sample]") : QStringLiteral("V:\\[Aucun CD dans le lecteur]");
        EXPECT_TRUE(QTest::qWaitFor([&] {
            w->driveWatcher()->check();
            return model->entry(0).text == expected;
        }, 5000)) << serial;
        EXPECT_EQ(f.rowTexts().contains(QStringLiteral("Sample")), !*serial) << serial;
    }
}

TEST_F(Form1Browse, TreeFolderRowsSizesAndSummary)
{
    ASSERT_TRUE(f.show("42"));
    BrowsePane *b = w->browser();
    QTreeWidgetItem *root = b->tree()->topLevelItem(0);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->text(0), QStringLiteral("Sample"));
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(0)->text(0), QStringLiteral("Docs"));
    EXPECT_EQ(root->child(0)->child(0)->text(0), QStringLiteral("Guides"));

    ASSERT_TRUE(b->showNode(QStringLiteral("K0")));
    const FilePaneModel *m = b->fileModel();
    EXPECT_EQ(column(m, FilePaneModel::Name),
              QStringList({"Docs", "Empty", "TOOLS.ZIP", "readme.txt", "empty.dat", "half.bin"}));
    QStringList keys;
    for (const FilePaneRow &row : m->rows())
        keys << row.key + u'/' + row.image;
    EXPECT_EQ(keys, QStringList({"R1/FC", "R2/FCe", "K0/J", "K3/J", "K4/J", "K5/J"}));
    // 0 bytes shows 1; 1 536 and 2 560 bytes both round to the even 2.
    auto sized = [](const char *digits) { return QString::fromLatin1(digits).rightJustified(12, u' '); };
    EXPECT_EQ(column(m, FilePaneModel::Size).mid(2), QStringList({sized("1"), sized("2"), sized("1"), sized("2")}));
    EXPECT_EQ(m->row(3).description, QStringLiteral("my notes"));
    EXPECT_TRUE(m->row(5).bold);
    EXPECT_FALSE(m->row(4).bold);
    // 470 + 1 536 + 1 (an empty file reads as 1 byte) + 2 560 = 4 567 bytes, 4 Ko.
    EXPECT_EQ(f.child<QLabel>("PictInfoDir")->text(),
              QStringLiteral("Sample") + QString(9, u' ')
                  + QStringLiteral("2 Dossier(s) ; 4 Fichier(s) ; 4 Ko (4 567 octets)"));

    ASSERT_TRUE(b->showNode(QStringLiteral("K1")));
    EXPECT_EQ(column(m, FilePaneModel::Name), QStringList({"Guides", "INSTALL.TXT"}));
    EXPECT_EQ(m->row(1).size, QStringLiteral("   4 882 812"));

    // The English interface has no French word in the strip.
    setLanguageOffset(1000);
    ASSERT_TRUE(b->showNode(QStringLiteral("K0")));
    setLanguageOffset(0);
    EXPECT_TRUE(f.child<QLabel>("PictInfoDir")->text().endsWith(" 4 KB (4,567 bytes)"));
}

TEST_F(Form1Browse, ArchiveNodeListsItsMembersAndTheHistoryComesBackToIt)
{
    ASSERT_TRUE(f.show("42"));
    BrowsePane *b = w->browser();
    ASSERT_TRUE(b->showNode(QStringLiteral("K0")));
    QTreeWidgetItem *root = b->tree()->topLevelItem(0);
    ASSERT_EQ(root->childCount(), 3);
    EXPECT_EQ(root->child(2)->text(0), QStringLiteral("TOOLS.ZIP"));
    ASSERT_TRUE(b->showNode(QStringLiteral("Z0")));
    const QStringList members({"tool.sh", "README.TXT"});
    EXPECT_EQ(column(b->fileModel(), FilePaneModel::Name), members);
    EXPECT_EQ(b->fileModel()->row(0).description, QStringLiteral("src"));
    EXPECT_TRUE(f.child<QLabel>("PictInfoDir")->text().endsWith("0 Dossier(s) ; 2 Fichier(s) ; 0 Ko (50 octets)"));

    // Another disc, then back: the archive node is shown again with its members.
    ASSERT_TRUE(f.show("-7"));
    ASSERT_TRUE(b->showNode(QStringLiteral("K0")));
    f.trigger("MnuPrec");
    EXPECT_EQ(b->shown().identifier, "42");
    EXPECT_EQ(b->shownNodeKey(), "Z0");
    EXPECT_EQ(column(b->fileModel(), FilePaneModel::Name), members);
    EXPECT_TRUE(f.child<QAction>("MnuSuiv")->isEnabled());
    f.trigger("MnuSuiv");
    EXPECT_EQ(b->shown().identifier, "-7");
    EXPECT_FALSE(f.child<QAction>("MnuSuiv")->isEnabled());
}

TEST_F(Form1Browse, ColumnSortsAreTextualExceptTheDateColumn)
{
    ASSERT_TRUE(f.show("42"));
    BrowsePane *b = w->browser();
    ASSERT_TRUE(b->showNode(QStringLiteral("K0")));
    b->sortByColumn(FilePaneModel::Date);
    EXPECT_EQ(column(b->fileModel(), FilePaneModel::Name),
              QStringList({"readme.txt", "half.bin", "Docs", "TOOLS.ZIP", "Empty", "empty.dat"}));
    b->sortByColumn(FilePaneModel::Name);
    EXPECT_EQ(column(b->fileModel(), FilePaneModel::Name),
              QStringList({"TOOLS.ZIP", "readme.txt", "half.bin", "empty.dat", "Empty", "Docs"}));
}

TEST_F(Form1Browse, ViewerShowsTheClickedFilesTextOnly)
{
    ASSERT_TRUE(f.show("42"));
    BrowsePane *b = w->browser();
    ASSERT_TRUE(b->showNode(QStringLiteral("K0")));
    b->showFileText(b->fileModel()->rowOfKey(QStringLiteral("K3")));
    EXPECT_EQ(b->viewer()->toPlainText(), QStringLiteral("Hello from the readme\n"));
    b->showFileText(b->fileModel()->rowOfKey(QStringLiteral("K4")));
    EXPECT_EQ(b->viewer()->toPlainText(), QString());
    b->showFileText(b->fileModel()->rowOfKey(QStringLiteral("K3")));
    ASSERT_TRUE(b->showNode(QStringLiteral("K1")));
    EXPECT_EQ(b->viewer()->toPlainText(), QString());
}

TEST_F(Form1Browse, RightClickInTheTreeShowsTheNodeItsMenuActsOn)
{
    ASSERT_TRUE(f.show("42"));
    BrowsePane *b = w->browser();
    ASSERT_TRUE(b->showNode(QStringLiteral("K0")));
    QTreeWidgetItem *docs = b->tree()->topLevelItem(0)->child(0);
    emit b->tree()->customContextMenuRequested(b->tree()->visualItemRect(docs).center());
    f.child<QMenu>("MnuPropDossier_Titre")->hide();
    EXPECT_EQ(b->shownNodeKey(), "K1");
    EXPECT_EQ(column(b->fileModel(), FilePaneModel::Name), QStringList({"Guides", "INSTALL.TXT"}));
}

TEST(Form1Info, DescriptionIsSavedOnLeavingTheDiscButNotForACaseOnlyChange)
{
    struct Case { const char *typed; bool modified; const char *stored; };
    const Case cases[] = {
        {"LINE ONE\nline two", false, "Line one\r\nLine two"},
        {"New words\nsecond", true, "New words\r\nsecond"},
    };
    for (const Case &c : cases) {
        Form1Fixture f;
        Form1 *w = f.start();
        ASSERT_NE(w, nullptr);
        auto *box = f.child<QPlainTextEdit>("TxtDesc");
        // Without a disc there is nowhere for typed words to go.
        EXPECT_TRUE(box->isReadOnly());
        ASSERT_TRUE(f.show("42"));
        EXPECT_FALSE(box->isReadOnly());
        box->setPlainText(QString::fromUtf8(c.typed));
        EXPECT_EQ(w->info()->infoModified(), c.modified) << c.typed;
        EXPECT_EQ(w->discModel()->index(w->discModel()->rowOfDisc("42")).data(Qt::ToolTipRole).toString(),
                  QString::fromUtf8(c.typed));
        f.show("-7");
        EXPECT_FALSE(w->info()->infoModified());
        const auto reading = readRecord(f.dataPath() + "42.VORN", QStringLiteral("42"));
        ASSERT_TRUE(reading.has_value());
        EXPECT_EQ(reading->record.description, QString::fromUtf8(c.stored)) << c.typed;
    }
}

TEST_F(Form1Settings, ExitWritesTheLayoutAndStartRestoresIt)
{
    w->setGeometry(QRect(40, 50, 700, 500));
    f.child<QTreeView>("LV1")->setColumnWidth(0, 123);
    f.closeWindow();

    EXPECT_EQ(Settings::read("Pos", "Width"), QStringLiteral("700"));
    EXPECT_EQ(Settings::read("Pos", "Height"), QStringLiteral("500"));
    EXPECT_EQ(Settings::read("Pos", "WindowsState"), QStringLiteral("0"));
    EXPECT_EQ(Settings::read("Aff", "LV11"), QStringLiteral("123"));
    EXPECT_EQ(Settings::read("Aff", "LVCD"), QStringLiteral("3"));
    EXPECT_EQ(Settings::read("DataDirs", "1"), QDir::toNativeSeparators(f.dataPath()));
    EXPECT_EQ(Settings::read("DataDirs", "Charge"), QStringLiteral("1"));
    EXPECT_EQ(Settings::read("Opt", "Version"), programVersionKey());
    EXPECT_TRUE(Settings::contains("Pos", "X1"));
    // The temporary folder goes with the window.
    EXPECT_EQ(QDir(f.temp.path()).entryList({"VORN_TmpFiles*"}, QDir::AllEntries), QStringList());

    w = f.start();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->geometry().size(), QSize(700, 500));
    EXPECT_EQ(f.child<QTreeView>("LV1")->columnWidth(0), 123);
}

TEST(Form1Start, NewVersionStartsFromTheUpgradeOptionsWord)
{
    Form1Fixture f;
    Settings::write("Opt", "Version", "1");
    Settings::write("Opt", "OptDiv", "0");
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    // 9679 has bit 128 (viewer shown) and bit 64 (shown by itself).
    EXPECT_TRUE(w->browser()->viewerVisible());
    EXPECT_TRUE(f.child<QAction>("MnuImgFleche_2")->isChecked());
    f.closeWindow();

    Settings::write("Opt", "OptDiv", "0");
    w = f.start();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->browser()->viewerVisible());
    EXPECT_FALSE(f.child<QAction>("MnuImgFleche_2")->isChecked());
}
