#include "Form1Fixture.h"

#include "common/DayDate.h"
#include "gui/SearchPane.h"
#include "gui/SearchResultModel.h"
#include "gui/search/SearchIndexBuilder.h"
#include "settings/StringTable.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>

using namespace vorn;
using SearchPaneTest = test::WindowTest;

namespace {

double dayOf(int y, int m, int d)
{
    return dayNumberFromDateTime(QDateTime(QDate(y, m, d), QTime(0, 0)));
}

// Pops the box's calendar up and clicks `date` in it.
void pickInCalendar(QLineEdit *box, QDate date)
{
    box->findChild<QAction *>(box->objectName() + "_calendar")->trigger();
    auto *calendar = box->findChild<QCalendarWidget *>("Calendar");
    ASSERT_NE(calendar, nullptr);
    emit calendar->clicked(date);
}

} // namespace

TEST_F(SearchPaneTest, EveryControlChangesTheCriteria)
{
    SearchPane *pane = w->search();
    ASSERT_NE(pane, nullptr);
    EXPECT_NE(f.child<QTreeView>("ListResult_0"), nullptr);
    for (const char *name : {"TabStripRecherche", "FrmFind_0", "FrmFind_3", "LblResult"})
        EXPECT_NE(f.child<QWidget>(name), nullptr) << name;
    const auto box = [&](const char *name) { return f.child<QCheckBox>(name); };
    const auto edit = [&](const char *name) { return f.child<QLineEdit>(name); };
    const auto criteria = [&] { return *criteriaFromForm(pane->formValues()); };

    using Check = std::function<bool(const SearchCriteria &before, const SearchCriteria &after)>;
    struct Case { const char *control; std::function<void()> change; Check changed; };
    const Case cases[] = {
        {"Check1_0", [&] { box("Check1_0")->click(); }, [](auto &b, auto &a) { return b.files && !a.files; }},
        {"Check1_1", [&] { box("Check1_1")->click(); }, [](auto &b, auto &a) { return b.folders && !a.folders; }},
        {"Combo1", [&] { f.child<QComboBox>("Combo1")->setCurrentIndex(4); },
         [](auto &, auto &a) { return a.field == SearchField::Mp3Tags; }},
        {"Text1", [&] { edit("Text1")->setText("ab"); }, [](auto &, auto &a) { return a.pattern == "*ab*"; }},
        {"CbPos", [&] { f.child<QComboBox>("CbPos")->setCurrentIndex(1); },
         [](auto &, auto &a) { return a.pattern == "ab*"; }},
        {"TxtTaille_0", [&] { edit("TxtTaille_0")->setText("2"); }, [](auto &, auto &a) { return a.minimumSize == 2048; }},
        {"TxtTaille_1", [&] { edit("TxtTaille_1")->setText("3k"); }, [](auto &, auto &a) { return a.maximumSize == 3072; }},
        {"Txtdate_0", [&] { edit("Txtdate_0")->setText("2004-06-15"); },
         [](auto &, auto &a) { return a.after == dayOf(2004, 6, 15); }},
        {"Txtdate_1", [&] { edit("Txtdate_1")->setText(QLocale().toString(QDate(2005, 1, 2), QLocale::ShortFormat)); },
         [](auto &, auto &a) { return a.before == dayOf(2005, 1, 2); }},
        {"Txtdate_1 calendar", [&] { pickInCalendar(edit("Txtdate_1"), QDate(2006, 3, 4)); },
         [](auto &, auto &a) { return a.before == dayOf(2006, 3, 4); }},
        {"ChkRechDsZip", [&] { box("ChkRechDsZip")->click(); }, [](auto &b, auto &a) { return a.members != b.members; }},
        {"ChkDoublons", [&] { box("ChkDoublons")->click(); },
         [](auto &b, auto &a) { return a.latestOnly != b.latestOnly; }},
        {"OptRechDesc_1", [&] { f.child<QRadioButton>("OptRechDesc_1")->click(); },
         [](auto &, auto &a) { return a.descriptionPart == DescriptionPart::Automatic; }},
    };
    for (const Case &c : cases) {
        const SearchCriteria before = criteria();
        EXPECT_FALSE(c.changed(before, before)) << c.control;
        c.change();
        EXPECT_TRUE(c.changed(before, criteria())) << c.control;
    }

    // The scope page: no limit, one disc, then the selected keywords.
    EXPECT_EQ(pane->scope().limit, DiscScope::Limit::None);
    box("ChkLimRech")->click();
    EXPECT_EQ(pane->scope().limit, DiscScope::Limit::ByDisc);
    EXPECT_EQ(pane->scope().chosenDiscKey, f.child<QComboBox>("CbRecherche")->itemData(0).toString());
    f.child<QRadioButton>("Option1_1")->click();
    auto *keywords = f.child<QListWidget>("ListFindMC");
    ASSERT_EQ(keywords->count(), 3);
    keywords->item(1)->setSelected(true);
    EXPECT_EQ(pane->scope().limit, DiscScope::Limit::ByKeywords);
    EXPECT_EQ(pane->scope().keywordNumbers, std::vector<int>{2});
}

TEST_F(SearchPaneTest, TheButtonStartsAndStopsARun)
{
    f.child<QLineEdit>("Text1")->setText("readme");
    auto *button = f.child<QPushButton>("BtRechercher");
    const SearchResultModel *rows = w->search()->results();
    bool sawRun = false;
    // At its first yield the window is in its running state and a second click asks
    // for the stop; the run ends with the summary of what it found.
    QTimer::singleShot(0, w, [&] {
        sawRun = w->search()->isRunning();
        EXPECT_EQ(button->text(), LoadText(348));
        EXPECT_FALSE(f.child<QTabBar>("TabStrip1")->isEnabled());
        button->click();
        EXPECT_TRUE(w->search()->isRunning());
    });
    button->click();
    EXPECT_TRUE(sawRun);
    EXPECT_FALSE(w->search()->isRunning());
    EXPECT_EQ(button->text(), LoadText(329));
    EXPECT_TRUE(f.child<QTabBar>("TabStrip1")->isEnabled());
    EXPECT_LE(rows->rowCount(), 2);
    EXPECT_TRUE(f.child<QLabel>("LblResult")->text().startsWith(LoadText(330)));

    button->click();
    ASSERT_EQ(rows->rowCount(), 2);   // README.TXT inside TOOLS.ZIP, then readme.txt
    EXPECT_TRUE(rows->index(0, SearchResultModel::Location).data().toString().endsWith("TOOLS.ZIP"));
    EXPECT_EQ(rows->index(1, SearchResultModel::SizeBytes).data().toString(), "1536");

    // The date column sorts by its hidden key (its text "dd/mm/yy" would put 2004
    // first), and each click flips the order, whichever column it is on.
    QHeaderView *header = f.child<QTreeView>("ListResult_0")->header();
    emit header->sectionClicked(SearchResultModel::Modified);
    EXPECT_EQ(rows->index(0, SearchResultModel::Name).data().toString(), "readme.txt");
    emit header->sectionClicked(SearchResultModel::Name);
    EXPECT_EQ(rows->index(0, SearchResultModel::Name).data().toString(), "readme.txt");
    emit header->sectionClicked(SearchResultModel::Size);
    EXPECT_EQ(rows->index(0, SearchResultModel::Name).data().toString(), "README.TXT");

    // "Large icons" from the list's menu shows the same rows in an icon view, which
    // shares the table's selection and opens a row on a double click; "Details" goes back.
    emit w->search()->listMenuRequested(0, QPoint());
    f.child<QAction>("MnuViewItems_0")->trigger();
    auto *icons = f.child<QListView>("ListResult_0_icons");
    ASSERT_NE(icons, nullptr);
    auto *stack = qobject_cast<QStackedWidget *>(icons->parentWidget());
    ASSERT_NE(stack, nullptr);
    EXPECT_EQ(stack->currentWidget(), icons);
    EXPECT_EQ(icons->viewMode(), QListView::IconMode);
    icons->selectionModel()->select(rows->index(1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_TRUE(f.child<QTreeView>("ListResult_0")->selectionModel()->isRowSelected(1, {}));
    QSignalSpy opened(w->search(), &SearchPane::rowOpened);
    emit icons->doubleClicked(rows->index(1, 0));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0][1].toInt(), 1);
    f.child<QAction>("MnuViewItems_3")->trigger();
    EXPECT_EQ(stack->currentWidget(), f.child<QTreeView>("ListResult_0"));
}

TEST_F(SearchPaneTest, RefusalsRunNothing)
{
    struct Case { const char *control; const char *text; int warning; };
    const Case cases[] = {
        {"Text1", "", 315},
        {"Txtdate_0", "31/31/2004", 519},
        {"Txtdate_0", "", 316},   // with the keyword limit and no keyword selected
    };
    f.child<QCheckBox>("ChkLimRech")->click();
    for (const Case &c : cases) {
        if (c.warning == 316)
            f.child<QRadioButton>("Option1_1")->click();
        f.child<QLineEdit>(c.control)->setText(c.text);
        f.prompt.warnings.clear();
        f.child<QPushButton>("BtRechercher")->click();
        EXPECT_EQ(f.prompt.warnings, QStringList{LoadText(c.warning)}) << c.warning;
        EXPECT_EQ(w->search()->results()->rowCount(), 0);
        f.child<QLineEdit>("Text1")->setText("readme");
    }
}

// The index built in the background once the data folder opened answers the next
// search; the status line shows the build and then its usual text again.
TEST_F(SearchPaneTest, ASearchAfterTheBackgroundBuildReadsTheIndex)
{
    auto *builder = w->findChild<SearchIndexBuilder *>();
    ASSERT_NE(builder, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !builder->isBuilding(); }, 10000));
    QCoreApplication::processEvents();
    auto *status = f.child<QLabel>("LabelStatus");
    EXPECT_EQ(status->text(), status->toolTip());
    f.child<QLineEdit>("Text1")->setText("readme");
    f.child<QPushButton>("BtRechercher")->click();
    const SearchOutcome &outcome = w->search()->lastOutcome();
    EXPECT_EQ(w->search()->results()->rowCount(), 2);
    EXPECT_GT(outcome.discsExplored, 0);
    EXPECT_EQ(outcome.discsFromIndex, outcome.discsExplored);
}

// Rows taken out few or many at once, in the order found or after a sort: the others
// stay in the order shown, a place kept on a row (the selection, the current row)
// follows it or goes with it, and unknown or repeated ids change nothing.
TEST(SearchResultModelTest, RowsTakenOutLeaveTheOthersInTheOrderShown)
{
    for (const bool sorted : {false, true}) {
        for (const size_t taken : {3u, 90u}) {
            SearchResultModel model;
            std::vector<SearchRow> rows(200);
            for (size_t i = 0; i < rows.size(); ++i) {
                rows[i].id = i + 1;
                rows[i].name = QString::number((i * 37) % 200);
            }
            model.append(rows);
            if (sorted)
                model.sort(SearchResultModel::Name, Qt::DescendingOrder);
            std::vector<quint64> shown;
            for (int i = 0; i < model.rowCount(); ++i)
                shown.push_back(model.row(i).id);
            std::vector<quint64> ids = {999};
            for (size_t k = 0; k < taken; ++k)
                ids.push_back(shown[k * 2 + 1]);
            ids.push_back(ids.back());
            const QPersistentModelIndex staying(model.index(int(taken) * 2, SearchResultModel::Size));
            const QPersistentModelIndex leaving(model.index(1, SearchResultModel::Name));
            const quint64 stayingId = shown[taken * 2];
            model.removeIds(ids);
            ASSERT_TRUE(staying.isValid());
            EXPECT_EQ(model.row(staying.row()).id, stayingId);
            EXPECT_EQ(staying.column(), int(SearchResultModel::Size));
            EXPECT_FALSE(leaving.isValid());
            std::erase_if(shown, [&](quint64 id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); });
            ASSERT_EQ(model.rowCount(), int(shown.size())) << sorted << taken;
            for (int i = 0; i < model.rowCount(); ++i) {
                EXPECT_EQ(model.row(i).id, shown[size_t(i)]) << sorted << taken << i;
                EXPECT_EQ(model.row(i).name, QString::number(((model.row(i).id - 1) * 37) % 200));
            }
        }
    }
}
