#include "Form1Fixture.h"

#include "gui/AppIcons.h"
#include "gui/BrowsePane.h"
#include "gui/DiscListModel.h"
#include "gui/DiscListPane.h"

#include <QCoreApplication>
#include <QIcon>
#include <QListView>
#include <QMenu>
#include <QSplitter>
#include <QTreeView>

using namespace vorn;
using namespace vorn::test;

namespace {

const QString kLongName = QStringLiteral("PHOTO_2024_HOLIDAYS_IN_THE_MOUNTAINS_0001.JPG");

class ViewModes : public WindowTest
{
protected:
    // Forty items in each list, the second one with a long name of a single word.
    void fillBothLists()
    {
        std::vector<DiscListEntry> discs;
        std::vector<FilePaneRow> files;
        for (int i = 0; i < 40; ++i) {
            const QString name = i == 1 ? kLongName : QStringLiteral("disc%1.iso").arg(i);
            DiscListEntry disc;
            disc.identifier = QString::number(100 + i);
            disc.text = name;
            discs.push_back(disc);
            FilePaneRow file;
            file.key = QStringLiteral("K%1").arg(i);
            file.name = name;
            files.push_back(file);
        }
        w->discList()->model()->setEntries(std::move(discs));
        w->browser()->fileModel()->setRows(std::move(files));
    }
    void setMode(const char *list, QWidget *view, int mode)
    {
        emit view->customContextMenuRequested(QPoint(1, 1));
        f.child<QMenu>("MnuView")->hide();
        f.trigger(QStringLiteral("MnuViewItems_%1").arg(mode).toLatin1().constData());
        EXPECT_EQ(QString::fromLatin1(list) == QLatin1String("LVCD") ? w->discList()->viewMode()
                                                                     : w->browser()->viewMode(),
                  mode);
    }
};

} // namespace

TEST_F(ViewModes, IconModesLayWholeNamesOutInRowsOrColumns)
{
    w->resize(1200, 700);
    // Room for several cells side by side in the disc list too.
    for (QWidget *parent = w->discList(); parent; parent = parent->parentWidget()) {
        auto *splitter = qobject_cast<QSplitter *>(parent);
        if (splitter && splitter->orientation() == Qt::Horizontal) {
            splitter->setSizes({600, 600});
            break;
        }
    }
    // rows: the items flow left to right, row under row; else top to bottom, column
    // after column. cells: every cell has the width of the others.
    struct Case { const char *list; const char *view; int mode; QListView::ViewMode viewMode; bool rows; bool cells; };
    const Case cases[] = {
        {"LVCD", "LVCD", 0, QListView::IconMode, true, true},
        {"LVCD", "LVCD", 1, QListView::ListMode, true, true},
        {"LVCD", "LVCD", 2, QListView::ListMode, false, false},
        {"LV1", "LV1Icons", 0, QListView::IconMode, true, true},
        {"LV1", "LV1Icons", 1, QListView::ListMode, true, true},
        {"LV1", "LV1Icons", 2, QListView::ListMode, false, false},
    };
    for (const Case &c : cases) {
        const std::string at = std::string(c.list) + " mode " + std::to_string(c.mode);
        setMode(c.list, f.child<QWidget>(c.list), c.mode);
        fillBothLists(); // after the right click, which shows the disc clicked
        auto *view = f.child<QListView>(c.view);
        ASSERT_TRUE(view->isVisible()) << at;
        EXPECT_EQ(view->viewMode(), c.viewMode) << at;
        QCoreApplication::processEvents();
        const QRect first = view->visualRect(view->model()->index(0, 0));
        const QRect longName = view->visualRect(view->model()->index(1, 0));
        const QRect last = view->visualRect(view->model()->index(39, 0));
        ASSERT_FALSE(first.isEmpty()) << at;
        if (c.rows) {
            EXPECT_EQ(longName.top(), first.top()) << at;
            EXPECT_GT(longName.left(), first.right()) << at;
            EXPECT_GT(last.top(), longName.bottom()) << at; // wrapped onto further rows
        } else {
            EXPECT_EQ(longName.left(), first.left()) << at;
            EXPECT_GT(longName.top(), first.bottom()) << at;
            EXPECT_GT(last.left(), longName.right()) << at; // wrapped into further columns
        }
        // The long name is wrapped onto more lines, never cut.
        EXPECT_GE(longName.height(), first.height() + view->fontMetrics().height()) << at;
        if (c.cells) {
            EXPECT_EQ(longName.width(), first.width()) << at;
        }
    }
}

TEST_F(ViewModes, DetailsShowTheColumnsAndBothViewsShareTheSelection)
{
    auto *details = f.child<QTreeView>("LV1");
    auto *icons = f.child<QListView>("LV1Icons");
    ASSERT_TRUE(f.show("42"));
    w->browser()->showNode(QStringLiteral("K0"));
    setMode("LV1", details, 0);
    EXPECT_TRUE(icons->isVisible());
    EXPECT_FALSE(details->isVisible());
    icons->setCurrentIndex(icons->model()->index(3, 0));
    EXPECT_EQ(details->currentIndex().row(), 3);
    setMode("LV1", details, 3);
    EXPECT_TRUE(details->isVisible());
    EXPECT_FALSE(icons->isVisible());
    EXPECT_FALSE(details->isHeaderHidden());
    EXPECT_EQ(details->currentIndex().row(), 3);
}

TEST(AppIconsTest, FileTypesTakeTheirDrawingFromTheMimeDatabaseWithoutATheme)
{
    const QStringList paths = QIcon::themeSearchPaths();
    QIcon::setThemeSearchPaths({});
    AppIcons icons;
    auto picture = [&](const char *name) { return icons.fileIcon(QString::fromLatin1(name)).pixmap(32).toImage(); };
    // One drawing per kind; the extension's case does not matter.
    struct Case { const char *name; const char *sameAs; };
    const Case cases[] = {
        {"B.JPG", "a.jpg"}, {"song.MP3", "a.mp3"}, {"x.cab", "a.zip"}, {"x.unknownext", "noext"}, {"clip.avi", "a.avi"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(picture(c.name), picture(c.sameAs)) << c.name;
    const char *kinds[] = {"a.jpg", "a.mp3", "a.zip", "noext", "a.avi"};
    for (const char *a : kinds) {
        for (const char *b : kinds) {
            if (a != b) {
                EXPECT_NE(picture(a), picture(b)) << a << " " << b;
            }
        }
    }
    QIcon::setThemeSearchPaths(paths);
}
