// Wires the HTML export window, the list exports and the disc export window to the window's menus and panes.
#include "gui/BrowsePane.h"
#include "gui/Form1.h"
#include "gui/SearchPane.h"
#include "gui/TabHost.h"
#include "gui/export/FrmExport.h"
#include "gui/export/FrmHTML.h"
#include "gui/export/ListExports.h"
#include "gui/search/BookmarkListModel.h"
#include "scan/ShellOpen.h"

#include <QAction>
#include <QMenu>

namespace vorn {

void Form1::wireExports()
{
    ShellLauncher *launcher = m_setup.launcher ? m_setup.launcher : &systemShellLauncher();
    auto showFolder = [this, launcher](const QString &folder) {
        const QString error = shellOpenFolder(folder, *launcher);
        if (!error.isEmpty())
            m_prompt->warn(error);
    };

    QAction *html = m_menus.file.exportHtml;
    html->setEnabled(true);
    connect(html, &QAction::triggered, this, [this, launcher] {
        saveCurrentDisc();
        auto *window = new FrmHTML(*this, [this, launcher](const QString &index) {
            const QString error = shellOpen(index, *launcher);
            if (!error.isEmpty())
                m_prompt->warn(error);
        });
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    });

    QAction *discs = m_menus.file.exportDiscs;
    discs->setEnabled(true);
    connect(discs, &QAction::triggered, this, [this, showFolder] {
        saveCurrentDisc();
        auto *window = new FrmExport(*this, showFolder);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    });

    auto sources = [this] {
        ListExportSources sources;
        sources.catalogue = &m_catalogue;
        sources.filePane = [this] { return filePaneLines(*m_browse->fileModel()); };
        sources.searchResults = [this] { return resultListRows(*m_search->results()); };
        sources.bookmarks = [this] { return resultListRows(*m_search->bookmarks()); };
        sources.picture = [this](const ListRow &row) { return rowPicture(m_icons, row); };
        return sources;
    };
    ListMenu &list = m_menus.list;
    list.exportList->setEnabled(true);
    // The list that popped the menu up left its name in the menu's tag.
    connect(list.exportList, &QAction::triggered, this,
            [this, sources] { exportListAsText(m_menus.list.menu->property("tag").toString(), sources(), *m_prompt); });
    // The HTML export takes the result list of the tab in front.
    auto enableHtml = [this](TabHost::Tab front) {
        m_menus.list.exportListHtml->setEnabled(front == TabHost::Search || front == TabHost::Bookmarks);
    };
    enableHtml(m_tabs->currentTab());
    connect(m_tabs, &TabHost::tabShown, this, enableHtml);
    connect(list.exportListHtml, &QAction::triggered, this, [this, sources] {
        const bool bookmarks = m_tabs->currentTab() == TabHost::Bookmarks;
        exportListAsHtml(bookmarks ? ListSource::Bookmarks : ListSource::SearchResults, sources(), *m_prompt);
    });
}

} // namespace vorn
