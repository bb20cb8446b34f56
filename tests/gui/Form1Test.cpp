#include "Form1Fixture.h"

#include "gui/BrowsePane.h"
#include "gui/DiscListModel.h"
#include "gui/DriveWatcher.h"
#include "gui/FilePaneModel.h"
#include "settings/OptionsWord.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"
#include "store/RecordText.h"

#include <QAction>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalSpy>
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

namespace {

QStringList rowTexts(const DiscListModel *model)
{
    QStringList texts;
    for (const DiscListEntry &entry : model->entries())
        texts << entry.text;
    return texts;
}

QStringList column(const FilePaneModel *model, int col)
{
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, col).data().toString();
    return texts;
}

} // namespace

TEST(Form1Layout, ControlsMenusAndToolbarCarryTheirNames)
{
    Form1Fixture f;
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    for (const char *name : {"LVCD", "TV1", "LV1", "PictInfoDir", "TxtDesc", "TxtFichierTexte"})
        EXPECT_NE(w->findChild<QWidget *>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_NE(w->findChild<QToolBar *>("Tbr1"), nullptr);
    EXPECT_NE(w->findChild<QSplitter *>("Frame1"), nullptr);
    EXPECT_NE(w->findChild<QSplitter *>("Frame2"), nullptr);
    EXPECT_NE(w->findChild<QTimer *>("Timer1"), nullptr);
    EXPECT_EQ(w->findChild<QTimer *>("Timer1")->interval(), 500);

    auto *tabs = w->findChild<QTabBar *>("TabStrip1");
    ASSERT_NE(tabs, nullptr);
    QStringList keys;
    for (int i = 0; i < tabs->count(); ++i)
        keys << tabs->tabData(i).toString();
    EXPECT_EQ(keys, QStringList({"C", "R", "J", "S", "O"}));
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Consultation"));

    struct Case { const char *name; const char *text; const char *shortcut; bool enabled; };
    const Case cases[] = {
        {"MnuRefresh", "&Rafraîchir", "F5", true},
        {"MnuRenommer", "&Renommer", "F2", false},
        {"MnuArchiver", "&Archiver...", "", true},
        {"MnuAff_1", "&Consultation", "F7", true},
        {"MnuAff_5", "Options", "F12", true},
        {"MnuGestMC", "&Gestion des mots-clés...", "F4", false},
        {"mnuSelectJaq", "Sélection par &jaquette", "Ctrl+J", false},
        {"MnuFiltre_0", "&Afficher tous les CD", "F6", true},
        {"mnuTrie_0", "Par nom", "", true},
        {"MnuViewItems_3", "Détails", "", true},
        {"MnuImgFleche_2", "Afficher automatiquement", "", true},
        {"MnuPrec", "&<<", "", false},
        {"MnuReadme_2", "History.txt", "", true},
        {"MnuAPropo", "&A propos de VORN...", "", true},
        {"MnuAffMcT_1", "Description du CD", "", true},
        {"MnuOuvreDossier_1", "Explorer", "", true},
        {"MnuAffMcTRep_4", "Liste des CD", "", false},
    };
    for (const Case &c : cases) {
        QAction *action = w->findChild<QAction *>(QString::fromLatin1(c.name));
        ASSERT_NE(action, nullptr) << c.name;
        EXPECT_EQ(action->text(), QString::fromUtf8(c.text)) << c.name;
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(c.shortcut))) << c.name;
        EXPECT_EQ(action->isEnabled(), c.enabled) << c.name;
    }
    for (const char *menu : {"MnuFich", "MnuCD", "mnuAffT", "MnuFiltre_T", "mnuHelp_t", "MnuView",
                             "MnuPropDossier_Titre", "MnuImgFlecheT", "MnuTVOptions_T", "MnuRepDataTitre"})
        EXPECT_NE(w->findChild<QMenu *>(QString::fromLatin1(menu)), nullptr) << menu;
    EXPECT_TRUE(w->findChild<QAction *>("MnuFiltre_0")->isChecked());
}

TEST(Form1DiscList, DriveEntryFollowsTheDiscInTheDrive)
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
        const QStringList texts = rowTexts(w->discModel());
        ASSERT_EQ(texts.size(), 2 + c.discRows) << c.serial;
        EXPECT_EQ(texts[0], QString::fromUtf8(c.driveText)) << c.serial;
        EXPECT_EQ(texts[1], QStringLiteral("..........")) << c.serial;
        EXPECT_EQ(w->discModel()->entry(1).key, LoadText(502));
        EXPECT_EQ(w->discModel()->entry(0).key,
                  QStringLiteral("V:") + (c.serial[0] ? QString::fromLatin1(c.serial) : QStringLiteral("0")));
        // A catalogued disc in the drive is not listed a second time.
        EXPECT_EQ(texts.contains(QStringLiteral("Sample")), c.discRows == 2) << c.serial;
    }
}

TEST(Form1DiscList, DiscEntriesStatusAndExclusionColour)
{
    Form1Fixture f;
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    const DiscListModel *model = w->discModel();
    EXPECT_EQ(rowTexts(model), QStringList({"V:\\[Aucun CD dans le lecteur]", "..........", "Another", "Sample"}));
    EXPECT_EQ(model->entry(3).key, QStringLiteral("__42"));
    EXPECT_EQ(model->index(3).data(Qt::ToolTipRole).toString(), QStringLiteral("Line one\r\nLine two"));
    EXPECT_TRUE(model->entry(2).excluded);
    EXPECT_FALSE(model->entry(3).excluded);
    EXPECT_FALSE(model->index(3).data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_EQ(w->findChild<QLabel *>("LabelStatus")->text(),
              QString(7, u' ') + QStringLiteral("Dossier : ") + QDir::toNativeSeparators(f.dataPath())
                  + QStringLiteral(" ; Nb CD : 2"));
    EXPECT_EQ(w->windowTitle(), LoadText(200));

    w->sortDiscs(0, true);
    EXPECT_EQ(rowTexts(model).mid(2), QStringList({"Sample", "Another"}));
    EXPECT_TRUE(w->findChild<QAction *>("TriAsc")->isVisible());
    EXPECT_FALSE(w->findChild<QAction *>("TriDesc")->isVisible());
    EXPECT_TRUE(w->findChild<QAction *>("mnuTrieDecroiss")->isChecked());
}

TEST(Form1DiscList, NoDriveAtAllEndsWithMessage357)
{
    Form1Fixture f;
    qputenv("VORN_DRIVES", "");
    EXPECT_EQ(f.start(), nullptr);
    EXPECT_EQ(f.prompt.failures, QStringList({LoadText(357)}));
}

TEST(Form1DiscList, ClickingTheSeparatorShowsTheEntryAbove)
{
    Form1Fixture f;
    f.insertDisc(QStringLiteral("42"));
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    w->showEntry(1);
    EXPECT_EQ(w->browser()->shown().identifier, QStringLiteral("42"));
    EXPECT_EQ(w->browser()->tree()->topLevelItem(0)->text(0), QStringLiteral("V:\\[Sample]"));
    EXPECT_EQ(w->findChild<QPlainTextEdit *>("TxtDesc")->toPlainText(), QStringLiteral("Line one\nLine two"));
}

TEST(Form1DiscList, UnreadableDiscGivesMessage376AndKeepsThePreviousDisc)
{
    Form1Fixture f;
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->showEntryByKey(QStringLiteral("__42")));
    ASSERT_TRUE(QFile::remove(f.dataPath() + "-7.VORN"));
    test::writeFile(f.dataPath() + "-7.VORN", "not a zip");
    w->showEntryByKey(QStringLiteral("__-7"));
    EXPECT_EQ(f.prompt.failures, QStringList({LoadText(376)}));
    EXPECT_EQ(w->browser()->shown().identifier, QStringLiteral("42"));
}

TEST(Form1DriveWatch, TimerNoticesADiscInsertedAndRemoved)
{
    Form1Fixture f;
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    const DiscListModel *model = w->discModel();
    ASSERT_EQ(model->entry(0).text, QStringLiteral("V:\\[Aucun CD dans le lecteur]"));

    f.insertDisc(QStringLiteral("42"));
    w->driveWatcher()->check();
    EXPECT_TRUE(QTest::qWaitFor([&] {
        w->driveWatcher()->check();
        return model->entry(0).text == QStringLiteral("V:\\[Sample]");
    }, 5000));
    EXPECT_FALSE(rowTexts(model).contains(QStringLiteral("Sample")));

    f.insertDisc(QString());
    EXPECT_TRUE(QTest::qWaitFor([&] {
        w->driveWatcher()->check();
        return model->entry(0).text == QStringLiteral("V:\\[Aucun CD dans le lecteur]");
    }, 5000));
    EXPECT_TRUE(rowTexts(model).contains(QStringLiteral("Sample")));
}

TEST(Form1Browse, TreeFolderRowsSizesAndSummary)
{
    Form1Fixture f;
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->showEntryByKey(QStringLiteral("__42")));
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
    EXPECT_EQ(w->findChild<QLabel *>("PictInfoDir")->text(),
              QStringLiteral("Sample") + QString(9, u' ')
                  + QStringLiteral("2 Dossier(s) ; 4 Fichier(s) ; 4 Ko (4 567 octets)"));

    ASSERT_TRUE(b->showNode(QStringLiteral("K1")));
    EXPECT_EQ(column(m, FilePaneModel::Name), QStringList({"Guides", "INSTALL.TXT"}));
    EXPECT_EQ(m->row(1).size, QStringLiteral("   4 882 812"));
}

TEST(Form1Browse, ArchiveNodeListsItsMembersOnly)
{
    Form1Fixture f;
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->showEntryByKey(QStringLiteral("__42")));
    BrowsePane *b = w->browser();
    ASSERT_TRUE(b->showNode(QStringLiteral("K0")));
    QTreeWidgetItem *root = b->tree()->topLevelItem(0);
    ASSERT_EQ(root->childCount(), 3);
    EXPECT_EQ(root->child(2)->text(0), QStringLiteral("TOOLS.ZIP"));
    ASSERT_TRUE(b->showNode(QStringLiteral("Z0")));
    EXPECT_EQ(column(b->fileModel(), FilePaneModel::Name), QStringList({"tool.sh", "README.TXT"}));
    EXPECT_EQ(b->fileModel()->row(0).description, QStringLiteral("src"));
    EXPECT_TRUE(w->findChild<QLabel *>("PictInfoDir")->text().endsWith("0 Dossier(s) ; 2 Fichier(s) ; 0 Ko (50 octets)"));
}

TEST(Form1Browse, ColumnSortsAreTextualExceptTheDateColumn)
{
    Form1Fixture f;
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->showEntryByKey(QStringLiteral("__42")));
    BrowsePane *b = w->browser();
    ASSERT_TRUE(b->showNode(QStringLiteral("K0")));
    b->sortByColumn(FilePaneModel::Date);
    EXPECT_EQ(column(b->fileModel(), FilePaneModel::Name),
              QStringList({"readme.txt", "half.bin", "Docs", "TOOLS.ZIP", "Empty", "empty.dat"}));
    b->sortByColumn(FilePaneModel::Name);
    EXPECT_EQ(column(b->fileModel(), FilePaneModel::Name),
              QStringList({"TOOLS.ZIP", "readme.txt", "half.bin", "empty.dat", "Empty", "Docs"}));
}

TEST(Form1Browse, FileRowShowsItsCapturedText)
{
    Form1Fixture f;
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->showEntryByKey(QStringLiteral("__42")));
    BrowsePane *b = w->browser();
    ASSERT_TRUE(b->showNode(QStringLiteral("K0")));
    b->showFileText(b->fileModel()->rowOfKey(QStringLiteral("K3")));
    EXPECT_EQ(b->viewer()->toPlainText(), QStringLiteral("Hello from the readme\n"));
    b->showFileText(b->fileModel()->rowOfKey(QStringLiteral("K4")));
    EXPECT_EQ(b->viewer()->toPlainText(), QString());
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
        ASSERT_TRUE(w->showEntryByKey(QStringLiteral("__42")));
        auto *box = w->findChild<QPlainTextEdit *>("TxtDesc");
        box->setPlainText(QString::fromUtf8(c.typed));
        EXPECT_EQ(w->infoModified(), c.modified) << c.typed;
        EXPECT_EQ(w->discModel()->index(w->discModel()->rowOfKey("__42")).data(Qt::ToolTipRole).toString(),
                  QString::fromUtf8(c.typed));
        w->showEntryByKey(QStringLiteral("__-7"));
        EXPECT_FALSE(w->infoModified());
        const auto reading = readRecord(f.dataPath() + "42.VORN", QStringLiteral("42"));
        ASSERT_TRUE(reading.has_value());
        EXPECT_EQ(reading->record.description, QString::fromUtf8(c.stored)) << c.typed;
    }
}

TEST(Form1Settings, ExitWritesTheLayoutAndStartRestoresIt)
{
    Form1Fixture f;
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    w->setGeometry(QRect(40, 50, 700, 500));
    w->findChild<QTreeView *>("LV1")->setColumnWidth(0, 123);
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

    w = f.start();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->geometry().size(), QSize(700, 500));
    EXPECT_EQ(w->findChild<QTreeView *>("LV1")->columnWidth(0), 123);
}

TEST(Form1Settings, NewVersionStartsFromTheUpgradeOptionsWord)
{
    Form1Fixture f;
    Settings::write("Opt", "Version", "1");
    Settings::write("Opt", "OptDiv", "0");
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    // 9679 has bit 128 (viewer shown) and bit 64 (shown by itself).
    EXPECT_TRUE(w->browser()->viewerVisible());
    EXPECT_TRUE(w->findChild<QAction *>("MnuImgFleche_2")->isChecked());
    f.closeWindow();

    Settings::write("Opt", "OptDiv", "0");
    w = f.start();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->browser()->viewerVisible());
    EXPECT_FALSE(w->findChild<QAction *>("MnuImgFleche_2")->isChecked());
}
