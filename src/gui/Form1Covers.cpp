// Wires the cover and options tabs to the window's menus and panes.
#include "gui/Form1.h"

#include "edit/CoverEdits.h"
#include "gui/BrowsePane.h"
#include "gui/DiscInfoPane.h"
#include "gui/DiscListPane.h"
#include "gui/SearchPane.h"
#include "gui/TabHost.h"
#include "gui/covers/CoverPanel.h"
#include "gui/covers/CoverTab.h"
#include "gui/covers/ThumbStrip.h"
#include "gui/options/OptionsPane.h"
#include "settings/OptionsWord.h"
#include "settings/StringTable.h"

#include <QAction>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTreeView>

namespace vorn {

void Form1::wireCovers()
{
    auto *covers = new CoverTab(m_catalogue, m_icons, *m_prompt);
    m_tabs->setPage(TabHost::Cover, covers);
    // Building the strip may make thumbnails for a long while: the window keeps
    // painting, but nothing may change the data folder under it meanwhile.
    auto refreshStrip = [this, covers] {
        if (!covers->stripShown()) {
            covers->refreshStrip(m_discList->filter()); // empties the hidden strip
            return;
        }
        const bool busy = m_busy;
        m_busy = true;
        setControlsEnabled(false);
        covers->refreshStrip(m_discList->filter());
        setControlsEnabled(true);
        m_busy = busy;
    };
    connect(this, &Form1::discShown, covers, &CoverTab::showDisc);
    connect(this, &Form1::dataFolderOpened, covers, [this, covers, refreshStrip] {
        covers->showDisc(m_browse->shown().identifier);
        refreshStrip();
    });
    connect(m_discList, &DiscListPane::filled, covers, [this, covers] {
        covers->strip()->followRecords(m_catalogue);
        covers->strip()->applyFilter(m_discList->filter());
        covers->strip()->select(covers->panel()->shownDisc());
    });
    connect(covers, &CoverTab::discWanted, this, [this](const QString &identifier) { showDisc(identifier); });
    connect(covers->panel(), &CoverPanel::coverSaved, this, refreshStrip);
    for (QAction *action : m_menus.view.selectCover) {
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, [this, covers, refreshStrip] {
            if (!edit::anyCover(m_catalogue)) {
                m_prompt->inform(LoadText(634));
                return;
            }
            m_tabs->showTab(TabHost::Cover);
            covers->showStrip();
            refreshStrip();
        });
    }

    // The backgrounds the options panel edits, in the order of its colour nodes.
    const std::array<QWidget *, 5> coloured = {m_discList->view(), m_browse->files(), m_info->keywordList(),
                                               m_info->description(), m_browse->viewer()};
    auto *options =
        new OptionsPane(*m_prompt, m_menus.optionsTree, m_menus.optionsTreeEntry[0], m_menus.optionsTreeEntry[1]);
    m_tabs->setPage(TabHost::Options, options);
    OptionsPane::WindowState state;
    state.optionsWord = [this] { return m_options; };
    state.colours = [coloured] {
        ListColours colours{};
        for (size_t i = 0; i < coloured.size(); ++i)
            colours[i] = OptionsPane::numberFromColour(coloured[i]->palette().color(QPalette::Base));
        return colours;
    };
    state.viewerBits = [this] {
        return (m_browse->viewerVisible() ? Opt::ViewerVisible : 0)
            | (m_menus.browse.viewerAutoShow->isChecked() ? Opt::ViewerAutoShow : 0);
    };
    options->setWindowState(std::move(state));
    connect(m_tabs, &TabHost::tabShown, options, [options](TabHost::Tab tab) {
        if (tab == TabHost::Options)
            options->build();
    });
    connect(options, &OptionsPane::applied, this, [this, coloured](const OptionsTree::Applied &result) {
        m_options = result.optionsWord;
        m_search->applyOptions(m_options);
        for (size_t i = 0; i < coloured.size(); ++i) {
            QPalette palette = coloured[i]->palette();
            palette.setColor(QPalette::Base, OptionsPane::colourFromNumber(result.colours[i]));
            coloured[i]->setPalette(palette);
        }
    });
    // While an edit waits for apply, the data folder cannot be changed under it.
    connect(options, &OptionsPane::pendingChanged, this, [this](bool pending) {
        m_menus.file.dataFolders->menuAction()->setEnabled(!pending);
        m_menus.file.otherFolder->setEnabled(!pending);
        m_menus.file.refresh->setEnabled(!pending);
    });
}

} // namespace vorn
