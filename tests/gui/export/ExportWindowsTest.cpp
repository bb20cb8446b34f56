#include "../Form1Fixture.h"

#include "gui/BrowsePane.h"
#include "gui/DiscListPane.h"
#include "gui/SearchPane.h"
#include "gui/SearchResultModel.h"
#include "gui/TabHost.h"
#include "gui/search/ResultListView.h"
#include "gui/export/FrmExport.h"
#include "gui/export/FrmHTML.h"
#include "settings/StringTable.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

using namespace vorn;
using test::readFile;
using ExportWindows = test::WindowTest;

namespace {

template <typename Window>
Window *openWindow(test::Form1Fixture &f, const char *action)
{
    f.trigger(action);
    auto *window = f.window->findChild<Window *>();
    EXPECT_NE(window, nullptr) << action;
    return window;
}

void selectRows(QListWidget *list, const QStringList &texts)
{
    list->clearSelection();
    for (int row = 0; row < list->count(); ++row)
        list->item(row)->setSelected(texts.contains(list->item(row)->text()));
}

} // namespace

TEST_F(ExportWindows, HtmlExportChoosesDiscsByListOrKeywordWithTheTickedOptions)
{
    FrmHTML *html = openWindow<FrmHTML>(f, "MnuExportHtml");
    ASSERT_NE(html, nullptr);
    QStringList captions;
    for (const char *key : {"KList", "kDesc", "kMC", "KCD", "KBordCD", "KColsCD", "KAutres", "KIcones"})
        captions << html->node(QString::fromLatin1(key))->text(0);
    EXPECT_EQ(captions, QStringList({"Liste des CD", "Descriptions des CD", "Mots-clés des CD", "Contenu des CD",
                                     "Bordures", "Nombre de colonnes (6)", "Autres", "Afficher les icônes"}));
    // The index is always written; a click on the column node asks for the count, a non-number changes nothing.
    html->node("KList")->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(html->node("KList")->checkState(0), Qt::Checked);
    auto *tree = f.child<QTreeWidget>("TVO");
    for (const char *answer : {"2", "many"}) {
        f.prompt.inputs.push_back(answer);
        emit tree->itemPressed(html->node("KColsCD"), 0);
        emit tree->itemClicked(html->node("KColsCD"), 0);
    }
    EXPECT_EQ(html->node("KColsCD")->text(0), "Nombre de colonnes (2)");
    EXPECT_EQ(f.prompt.questions.last(), "Nombre de colonnes");
    html->node("kMC")->setCheckState(0, Qt::Checked);

    QTemporaryDir site;
    auto *tabs = f.child<QTabBar>("TabStrip2");
    auto *list = f.child<QListWidget>("List1");
    struct Case { int tab; QStringList chosen; QStringList exported; };
    const Case cases[] = {
        {0, {"Sample"}, {"Sample"}},
        {0, {"[Tous les CD]", "Sample"}, {"Another", "Sample"}},
        {1, {"Jazz", "Unused"}, {"Sample"}},
        {1, {"Unused"}, {}},
        {0, {}, {}},
    };
    int run = 0;
    for (const Case &c : cases) {
        const QString index = site.filePath(QStringLiteral("site%1.html").arg(++run));
        tabs->setCurrentIndex(c.tab);
        selectRows(list, c.chosen);
        f.prompt.inputs.push_back(index);
        f.prompt.warnings.clear();
        f.child<QPushButton>("Bt1_0")->click();
        const QString page = QString::fromUtf8(readFile(index));
        if (c.exported.isEmpty()) {
            EXPECT_EQ(f.prompt.warnings, QStringList{LoadText(556)}) << run;
            EXPECT_FALSE(QFile::exists(index)) << run;
            continue;
        }
        QStringList found;
        for (const char *name : {"Another", "Sample"})
            if (page.contains(QStringLiteral(".htm\">%1</a>").arg(QLatin1String(name))))
                found << QLatin1String(name);
        EXPECT_EQ(found, c.exported) << run;
        EXPECT_TRUE(page.contains("&nbsp;Jazz ; ")) << run;
        // Two columns: the root's six entries (two folders, four files) go in cells of 4 and 2.
        const QString contents = QString::fromUtf8(readFile(site.filePath(QStringLiteral("site%1_files/42.htm").arg(run))));
        EXPECT_TRUE(contents.contains("readme.txt<br /></td><td valign=\"top\">empty.dat<br />half.bin<br /></td></tr>")) << run;
        EXPECT_EQ(f.launcher.started.last(), QString("xdg-open " + index)) << run;
    }
}

TEST_F(ExportWindows, StopClosesTheHtmlWindowAfterTheDiscInHand)
{
    QPointer<FrmHTML> html = openWindow<FrmHTML>(f, "MnuExportHtml");
    ASSERT_NE(html, nullptr);
    selectRows(f.child<QListWidget>("List1"), {"[Tous les CD]"});
    QTemporaryDir site;
    f.prompt.inputs.push_back(site.filePath("all.htm"));
    // The stop button is pressed while the export lets the window breathe.
    QTimer::singleShot(0, html, [&] { f.child<QPushButton>("Bt1_1")->click(); });
    f.child<QPushButton>("Bt1_0")->click();
    EXPECT_FALSE(w->isBusy());
    const QByteArray index = readFile(site.filePath("all.htm"));
    EXPECT_TRUE(index.contains(">Another</a>"));
    EXPECT_FALSE(index.contains("Sample"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(html.isNull());
}

TEST_F(ExportWindows, DiscExportTicksByKeywordAndMovesOutOfTheDataFolder)
{
    FrmExport *window = openWindow<FrmExport>(f, "mnuExportCDS");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(f.child<QLineEdit>("TxtExport")->text(), QDir::toNativeSeparators(f.dataPath() + "Export"));
    auto ticked = [&] { return window->request().positions.size(); };
    auto *selectJazz = f.child<QMenu>("MnuSelectMC")->actions().value(0);
    ASSERT_NE(selectJazz, nullptr);
    selectJazz->trigger();
    ASSERT_EQ(ticked(), 1u);
    EXPECT_EQ(f.window->catalogue().disc(window->request().positions[0]).name, "Sample");
    f.trigger("MnuselectAll");
    EXPECT_EQ(ticked(), 2u);
    f.trigger("MnuDeselectAll");
    EXPECT_EQ(ticked(), 0u);

    // The data folder under another name is refused before any question.
    QTemporaryDir elsewhere;
    const QString alias = elsewhere.filePath("alias");
    ASSERT_TRUE(QFile::link(f.data.path(), alias));
    f.trigger("MnuselectAll");
    f.child<QLineEdit>("TxtExport")->setText(alias);
    EXPECT_EQ(window->runExport().outcome, DiscExportResult::Outcome::TargetIsSource);
    EXPECT_TRUE(f.prompt.questions.isEmpty());
    EXPECT_EQ(f.prompt.failures.value(0).section(u'\n', 0, 0), LoadText(700));

    // A folder that holds disc archives already: Yes to stopping shows it.
    const QString full = elsewhere.filePath("full");
    ASSERT_TRUE(test::writeFile(full + "/9.VORN", "x"));
    f.child<QLineEdit>("TxtExport")->setText(full);
    f.prompt.answers = {UserPrompt::Answer::Yes, UserPrompt::Answer::Yes};
    EXPECT_EQ(window->runExport().outcome, DiscExportResult::Outcome::Stopped);
    EXPECT_EQ(f.prompt.questions.last(), LoadText(461));
    EXPECT_EQ(f.launcher.started.value(0), "xdg-open " + full);
    f.prompt.questions.clear();

    const QString target = elsewhere.filePath("new");
    f.child<QLineEdit>("TxtExport")->setText(target);
    f.child<QCheckBox>("ChkDeplace")->setChecked(true);
    f.prompt.answers = {UserPrompt::Answer::Yes, UserPrompt::Answer::Yes};
    f.child<QPushButton>("BtExport")->click();
    EXPECT_EQ(f.prompt.questions, QStringList({"Exporter 2 CD?", "Le dossier " + target + "/ n'existe pas, voulez-vous le créer?"}));
    EXPECT_EQ(f.prompt.notices.last(), "2 CD Exporté(s)");
    EXPECT_TRUE(QFile::exists(target + "/42.VORN") && QFile::exists(target + "/-7.VORN"));
    EXPECT_FALSE(f.rowTexts().contains("Sample"));
    EXPECT_EQ(f.child<QListWidget>("LVEx")->count(), 0);
}

TEST_F(ExportWindows, EachListExportsAsTextAndTheMenuFitsTheList)
{
    ASSERT_TRUE(f.show("42"));
    ASSERT_TRUE(w->browser()->showNode("K0"));
    auto *menu = f.child<QMenu>("MnuView");
    QTemporaryDir out;
    struct Case { const char *tag; QByteArray text; bool discEntries; };
    const Case cases[] = {
        {"LVCD", "\"Another\"\r\n\"Sample\"\r\n", true},
        {"LV1", "\r\n\"half.bin\",\"2\",\"", false},   // the size column without its padding
    };
    for (const Case &c : cases) {
        if (QByteArray(c.tag) == "LVCD")
            emit w->discList()->contextMenuRequested(QPoint(1, 1));
        else
            emit w->browser()->files()->customContextMenuRequested(QPoint(1, 1));
        menu->hide();
        EXPECT_EQ(menu->property("tag").toString(), c.tag);
        EXPECT_EQ(f.child<QAction>("MnuRenommer2")->isVisible(), c.discEntries) << c.tag;
        EXPECT_TRUE(f.child<QAction>("mnuExport")->isVisible() && f.child<QAction>("mnuExport")->isEnabled()) << c.tag;
        // The HTML export takes the result list in front: none on the browse tab.
        EXPECT_FALSE(f.child<QAction>("mnuExportListHTML")->isEnabled()) << c.tag;
        const QString path = out.filePath(QString::fromLatin1(c.tag));
        f.prompt.inputs.push_back(path);
        f.trigger("mnuExport");
        EXPECT_TRUE(readFile(path + ".TXT").contains(c.text)) << c.tag;
    }
    // A cancelled file dialog writes nothing and says nothing; a file in the data folder is refused.
    f.prompt.notices.clear();
    f.trigger("mnuExport");
    EXPECT_TRUE(f.prompt.notices.isEmpty());
    const QByteArray archive = readFile(f.dataPath() + "42.VORN");
    f.prompt.inputs.push_back(f.dataPath() + "42.VORN");
    f.trigger("mnuExport");
    EXPECT_EQ(f.prompt.warnings.value(0), LoadText(782) + u'\n' + f.dataPath() + "42.VORN");
    EXPECT_EQ(readFile(f.dataPath() + "42.VORN"), archive);
}

TEST_F(ExportWindows, BothResultListsExportFromTheirMenuInTheirOrder)
{
    f.child<QLineEdit>("Text1")->setText("readme");
    f.child<QPushButton>("BtRechercher")->click();
    ASSERT_EQ(w->search()->results()->rowCount(), 2);
    emit w->search()->list(0)->header()->sectionClicked(SearchResultModel::Modified);   // readme.txt first
    QTemporaryDir out;
    struct Case { TabHost::Tab tab; int title; QByteArray firstLine; const char *first; const char *second; };
    const Case cases[] = {
        {TabHost::Search, 553, "Sample\treadme.txt\r\n", "readme.txt</b>", "README.TXT</b>"},
        {TabHost::Bookmarks, 635, "Sample\thalf.bin\r\n", "half.bin</b>", "Guides</b>"},
    };
    for (const Case &c : cases) {
        w->tabs()->showTab(c.tab);
        if (c.tab == TabHost::Bookmarks)
            f.child<QPushButton>("BtRechercher")->click();
        const int list = c.tab == TabHost::Bookmarks;
        emit w->search()->listMenuRequested(list, QPoint(1, 1));
        f.child<QMenu>("MnuView")->hide();
        ASSERT_TRUE(f.child<QAction>("mnuExportListHTML")->isEnabled()) << list;
        const QString base = out.filePath(QStringLiteral("list%1").arg(list));
        f.prompt.inputs = {base, base};
        f.trigger("mnuExport");
        f.trigger("mnuExportListHTML");
        EXPECT_TRUE(readFile(base + ".TXT").startsWith(c.firstLine)) << list << readFile(base + ".TXT").constData();
        const QString page = QString::fromUtf8(readFile(base + ".html"));
        EXPECT_TRUE(page.contains("<title>" + LoadText(c.title))) << list;
        const qsizetype first = page.indexOf(QLatin1String(c.first)), second = page.indexOf(QLatin1String(c.second));
        EXPECT_TRUE(first > 0 && second > first) << list << " " << first << " " << second;
    }
}
