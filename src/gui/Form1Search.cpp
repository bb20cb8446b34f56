// Wires the search and bookmarks tabs to the window's menus and panes.
#include "common/UserPrompt.h"
#include "edit/TreeEdits.h"
#include "gui/BrowsePane.h"
#include "gui/DiscInfoPane.h"
#include "gui/DiscListPane.h"
#include "gui/Form1.h"
#include "gui/SearchPane.h"
#include "gui/SearchResultModel.h"
#include "gui/TabHost.h"
#include "gui/search/BookmarkListModel.h"
#include "gui/search/SearchIndexBuilder.h"
#include "search/SearchCriteria.h"
#include "settings/StringTable.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

#include <memory>

namespace vorn {

namespace {

int positionOf(const Catalogue &catalogue, const QString &identifier)
{
    for (int position = 1; position <= catalogue.discCount(); ++position) {
        if (catalogue.disc(position).identifier == identifier)
            return position;
    }
    return 0;
}

// Opens a row of a result list in the browser: its disc, its folder and its file.
// A row that cannot be found says so; on the bookmarks tab it offers to remove the
// bookmark.
void openResultRow(Form1 &window, int list, int row)
{
    SearchPane &pane = *window.search();
    bool folder = false;
    QString name;
    QString location;
    if (list == 0) {
        const SearchRow &found = pane.results()->row(row);
        folder = found.folder;
        name = found.name;
        location = found.location;
    } else {
        const BookmarkRow &bookmark = pane.bookmarks()->row(row);
        folder = bookmark.folder;
        name = bookmark.name;
        location = bookmark.path;
    }
    const QString identifier = pane.discOfRow(list, row);
    bool shown = !identifier.isEmpty() && window.showDisc(identifier);
    if (shown) {
        shown = folder ? window.browser()->showLocation(location + name + u'\\', QString())
                       : window.browser()->showLocation(location, name);
    }
    if (shown) {
        window.tabs()->showTab(TabHost::Browse);
        return;
    }
    const QString missing = LoadText(345) + name.trimmed() + LoadText(346);
    UserPrompt &prompt = window.prompt();
    if (list == 0) {
        prompt.warn(missing);
        return;
    }
    if (prompt.askYesNo(missing + QStringLiteral("\r\n") + LoadText(342), UserPrompt::Icon::Question)
        != UserPrompt::Answer::Yes)
        return;
    const int position = positionOf(window.catalogue(), identifier);
    std::vector<BookmarkRecord> written;
    const EditResult removed = edit::changeBookmark(window.catalogue(), position, pane.bookmarks()->row(row).bookmark,
                                                    edit::BookmarkChange::Remove, {}, &written);
    if (!removed.ok()) {
        prompt.fail(removed.text());
        return;
    }
    if (window.browser()->shown().identifier == identifier)
        window.browser()->shown().bookmarks = std::move(written);
    pane.bookmarks()->removeRow(row);
}

// The search index is brought up to date in the background when a data folder opens
// and after each search; the status line shows how far the build is and comes back
// to what it said once the build ends.
void wireSearchIndex(Form1 &window)
{
    auto *builder = new SearchIndexBuilder(window.catalogue(), &window);
    auto *status = window.discList()->findChild<QLabel *>(QStringLiteral("LabelStatus"));
    QObject::connect(&window, &Form1::dataFolderOpened, builder, [builder] {
        builder->stop();
        builder->start();
    });
    QObject::connect(window.search(), &SearchPane::runningChanged, builder, [builder](bool running) {
        if (!running)
            builder->start();
    });
    QObject::connect(&window, &Form1::shuttingDown, builder, &SearchIndexBuilder::stop);
    if (!status)
        return;
    // The line comes back only when it still shows the build: a notice shown meanwhile stays.
    auto written = std::make_shared<QString>();
    QObject::connect(builder, &SearchIndexBuilder::progress, status, [status, written](int done, int total) {
        // In place of the usual line, which the narrow pane would cut in the middle.
        *written = QString(7, u' ') + LoadText(960) + QString::number(done) + LoadText(328) + QString::number(total);
        status->setText(*written);
    });
    QObject::connect(builder, &SearchIndexBuilder::finished, status, [status, written] {
        if (!written->isEmpty() && status->text() == *written)
            status->setText(status->toolTip());
        written->clear();
    });
}

} // namespace

void Form1::wireSearch()
{
    // One pane serves both tabs: it goes to the tab shown.
    QWidget *bookmarksPage = m_tabs->page(TabHost::Bookmarks);
    connect(m_tabs, &TabHost::tabShown, this, [this, bookmarksPage](TabHost::Tab tab) {
        if (tab == TabHost::Search)
            m_search->showOn(m_search, SearchPane::SearchMode);
        else if (tab == TabHost::Bookmarks)
            m_search->showOn(bookmarksPage, SearchPane::BookmarkMode);
    });
    connect(m_search, &SearchPane::rowOpened, this, [this](int list, int row) { openResultRow(*this, list, row); });

    // The list menu keeps its view modes and list exports; the exports read the list
    // from the menu's tag.
    connect(m_search, &SearchPane::listMenuRequested, this, [this](int list, const QPoint &globalPos) {
        ListMenu &menu = m_menus.list;
        m_popupList = QStringLiteral("LR%1").arg(list);
        menu.menu->setProperty("tag", QStringLiteral("Listresult%1").arg(list));
        const DiscCommands &commands = m_menus.discs;
        for (QAction *action :
             {m_menus.discList.sort->menuAction(), commands.archive[1], commands.rename[1], commands.remove[1],
              commands.update[1], commands.identify[1], commands.exportArchive->menuAction(), commands.properties[0],
              commands.openTray[0], commands.closeTray[0], menu.fileProperties, menu.folderProperties,
              menu.bookmarks->menuAction()})
            action->setVisible(false);
        menu.exportList->setVisible(true);
        menu.exportListHtml->setVisible(true);
        for (int mode = 0; mode < 4; ++mode)
            menu.viewModes[mode]->setChecked(mode == m_search->viewMode(list));
        menu.menu->popup(globalPos);
    });

    connect(m_discList, &DiscListPane::filled, m_search, &SearchPane::fillScopeChoices);
    // The keyword manager and the fields change the keyword list; a bookmark toggled
    // in the browser changes the bookmarks tab.
    connect(m_info, &DiscInfoPane::keywordsChanged, m_search, &SearchPane::fillScopeChoices);
    connect(m_browse, &BrowsePane::bookmarksChanged, m_search, &SearchPane::refreshBookmarks);
    connect(this, &Form1::startedUp, m_search, &SearchPane::restoreLayout);
    connect(this, &Form1::shuttingDown, m_search, &SearchPane::saveLayout);
    wireSearchIndex(*this);

    // The tree's toggle: the folder, and its sub-folders when the user says so.
    QAction *exclude = m_menus.browse.excludeFolder;
    exclude->setEnabled(true);
    connect(exclude, &QAction::triggered, this, [this] {
        ShownDisc &shown = m_browse->shown();
        const QString key = m_browse->currentNodeKey();
        const int folder = key.startsWith(u'K') ? key.mid(1).toInt() : 0;
        if (shown.position == 0 || folder < 1 || folder >= int(shown.tree.folders.size()))
            return;
        std::vector<FolderRecord> toggled = shown.tree.folders;
        if (!toggleFolderExclusion(toggled, folder, *m_prompt))
            return;
        std::vector<int> changed;
        for (size_t k = 1; k < toggled.size(); ++k) {
            if ((toggled[k].flags ^ shown.tree.folders[k].flags) & FolderExcludedFromSearch)
                changed.push_back(int(k));
        }
        const bool excluded = toggled[size_t(folder)].flags & FolderExcludedFromSearch;
        const EditResult result = edit::setFoldersExcluded(m_catalogue, shown.position, changed, excluded);
        if (!result.ok()) {
            m_prompt->fail(result.text());
            return;
        }
        for (const int k : changed)
            shown.tree.folders[size_t(k)].flags = toggled[size_t(k)].flags;
        m_browse->refreshExclusionIcons();
    });
}

} // namespace vorn
