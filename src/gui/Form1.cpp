#include "gui/Form1.h"

#include "store/DataFolderLock.h"

#include "gui/BrowsePane.h"
#include "gui/DiscCataloguing.h"
#include "gui/DiscInfoPane.h"
#include "gui/DiscListPane.h"
#include "gui/DriveWatcher.h"
#include "gui/SearchPane.h"
#include "gui/TabHost.h"
#include "gui/TranslateCaptions.h"
#include "scan/DriveLayer.h"
#include "scan/cDrive.h"
#include "settings/AppFolders.h"
#include "settings/OptionsWord.h"
#include "settings/StringTable.h"
#include "store/DataFolderLock.h"
#include "store/TempFolder.h"

#include <QAction>
#include <QCloseEvent>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QToolBar>
#include <QTreeView>

namespace vorn {

Form1::Form1(Form1Setup setup, QWidget *parent)
    : QMainWindow(parent), m_setup(std::move(setup)), m_guiPrompt(this),
      m_prompt(m_setup.prompt ? m_setup.prompt : &m_guiPrompt),
      m_drives(m_setup.drives ? m_setup.drives : &DriveLayer::host()), m_drive(std::make_unique<cDrive>(*m_drives)),
      m_folders(m_setup.defaultDataFolder.isEmpty() ? defaultDataFolder()
                                                    : withTrailingSeparator(m_setup.defaultDataFolder))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("200"));
    resize(1024, 700);
    m_menus = buildMainMenus(this);
    buildLayout();
    m_watcher = std::make_unique<DriveWatcher>(*m_drives, *m_drive, this);
    m_watcher->setCanWatch(
        [this] { return m_started && !m_busy && m_discList->model()->rowCount() > 0 && isActiveWindow(); });
    m_watcher->setEntryKeys([this] { return m_discList->driveKeys(); });
    connectPanes();
    connectCommands();
    // A change waiting for another copy's write says so after two seconds.
    DataFolderLock::waiting().notice = [this](const QString &text) { m_discList->showNotice(text); };
}

Form1::~Form1()
{
    DataFolderLock::waiting().notice = nullptr;
    shutDown();
}

DiscListModel *Form1::discModel() const
{
    return m_discList->model();
}

void Form1::buildLayout()
{
    m_discList = new DiscListPane(m_catalogue, m_icons, *m_drive, *m_prompt, m_menus.discList);
    m_info = new DiscInfoPane(m_catalogue, *m_prompt, m_menus.lower);
    m_browse = new BrowsePane(m_catalogue, m_icons, m_menus.browse, *m_prompt, *m_drives, m_setup.launcher);
    m_browse->setObjectName(QStringLiteral("PageC"));
    m_tabs = new TabHost(m_browse);
    m_search = new SearchPane(m_catalogue, m_icons, *m_prompt);
    m_tabs->setPage(TabHost::Search, m_search);
    m_cataloguing = new DiscCataloguing(*this, m_catalogue, m_folders, *m_drives, *m_drive, *m_prompt, m_icons);

    m_leftSplit = new QSplitter(Qt::Vertical);
    m_leftSplit->setObjectName(QStringLiteral("SplitLVCD"));
    m_leftSplit->addWidget(m_discList);
    m_leftSplit->addWidget(m_info);
    m_leftSplit->setChildrenCollapsible(false);
    m_leftSplit->setStretchFactor(0, 3);
    m_leftSplit->setStretchFactor(1, 1);

    m_frame1 = new QSplitter(Qt::Horizontal);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->addWidget(m_leftSplit);
    m_frame1->addWidget(m_tabs);
    m_frame1->setStretchFactor(1, 1);
    m_frame1->setChildrenCollapsible(false);
    setCentralWidget(m_frame1);
}

void Form1::connectPanes()
{
    connect(m_discList, &DiscListPane::entryClicked, this, [this](int row) { showEntry(row); });
    connect(m_discList, &DiscListPane::showAgain, this, &Form1::showEntry);
    connect(m_discList, &DiscListPane::pendingEditsNeeded, this, &Form1::saveCurrentDisc);
    connect(m_discList, &DiscListPane::captionChanged, this, &QWidget::setWindowTitle);
    connect(m_discList, &DiscListPane::selectionChanged, this, &Form1::updateDiscCommands);
    connect(m_discList, &DiscListPane::contextMenuRequested, this,
            [this](const QPoint &pos) { popListMenu(QStringLiteral("LVCD"), pos); });
    connect(m_discList, &DiscListPane::driveDiscNamed, this, [this](const QString &identifier, const QString &text) {
        if (m_browse->shown().identifier == identifier)
            m_browse->setRootText(text);
    });
    connect(m_info, &DiscInfoPane::descriptionTyped, this,
            [this](const QString &text) { m_discList->model()->setToolTip(m_discList->selectedRow(), text); });
    m_search->setKeywordFilter([this] { return m_discList->filter(); });
    connect(m_search, &SearchPane::runningChanged, this, [this](bool running) {
        // A run reads the open catalogue: no tab change, no other data folder, no
        // cataloguing until it ends.
        m_busy = running;
        m_tabs->tabBar()->setEnabled(!running);
        menuBar()->setEnabled(!running);
        m_menus.toolbar->setEnabled(!running);
    });
    m_browse->setDriveOfShownDisc([this] { return driveOfShownDisc(); });
    connect(m_browse, &BrowsePane::discWanted, this, [this](const QString &identifier) { showDisc(identifier); });
    connect(m_browse, &BrowsePane::viewerOptionsChanged, this, &Form1::writeViewerOptions);
    connect(m_browse, &BrowsePane::fileListUnreadable, this, [this] { m_prompt->fail(LoadText(376)); });
    m_browse->files()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_browse->files(), &QTreeView::customContextMenuRequested, this, [this](const QPoint &pos) {
        popListMenu(QStringLiteral("LV1"), m_browse->files()->viewport()->mapToGlobal(pos));
    });
    connect(m_watcher.get(), &DriveWatcher::driveChanged, this, [this] {
        // The drive entry's identifier may have changed: the selection follows the
        // drive's letter, or the disc entry it was on.
        const DiscListEntry *selected = m_discList->selected();
        const DiscListEntry before = selected ? *selected : DiscListEntry{};
        m_discList->fill();
        const DiscListModel *model = m_discList->model();
        if (selected)
            m_discList->selectRow(before.isDrive() ? model->rowOfDrive(before.letter)
                                                   : model->rowOfDisc(before.identifier));
        updateDiscCommands();
    });
}

void Form1::connectCommands()
{
    const FileMenu &file = m_menus.file;
    connect(file.quit, &QAction::triggered, this, &QWidget::close);
    connect(file.refresh, &QAction::triggered, this, [this] {
        saveCurrentDisc();
        openDataFolderEntry(m_folders.current());
    });
    connect(file.otherFolder, &QAction::triggered, this, [this] {
        const QString folder = m_prompt->chooseFolder(LoadText(444));
        if (folder.isEmpty())
            return;
        saveCurrentDisc();
        openDataFolderEntry(m_folders.add(withTrailingSeparator(folder)));
    });

    // Each entry of the View menu opens the tab its caption names.
    const ViewMenu &view = m_menus.view;
    const std::pair<QAction *, TabHost::Tab> tabEntries[] = {{view.browseTab, TabHost::Browse},
                                                             {view.coverTab, TabHost::Cover},
                                                             {view.searchTab, TabHost::Search},
                                                             {view.bookmarksTab, TabHost::Bookmarks},
                                                             {view.optionsTab, TabHost::Options}};
    for (const auto &[action, tab] : tabEntries)
        connect(action, &QAction::triggered, this, [this, tab = tab] { m_tabs->showTab(tab); });

    DiscCommands &discs = m_menus.discs;
    for (QAction *action : discs.rename)
        connect(action, &QAction::triggered, m_discList, &DiscListPane::renameSelected);
    for (QAction *action : discs.remove)
        connect(action, &QAction::triggered, this, &Form1::removeSelectedDisc);
    for (int index = 0; index < 2; ++index)
        connect(discs.copyArchive[index], &QAction::triggered, this,
                [this, index] { exportSelectedArchive(index == 1); });
    auto tray = [this](bool open) {
        const DiscListEntry *entry = m_discList->selected();
        if (entry && entry->isDrive())
            open ? m_drives->ejectTray(entry->letter) : m_drives->closeTray(entry->letter);
    };
    for (QAction *action : discs.openTray)
        connect(action, &QAction::triggered, this, [tray] { tray(true); });
    for (QAction *action : discs.closeTray)
        connect(action, &QAction::triggered, this, [tray] { tray(false); });
    auto runs = [this](QAction *action, void (DiscCataloguing::*command)()) {
        action->setEnabled(true);
        connect(action, &QAction::triggered, m_cataloguing, command);
    };
    for (QAction *action : discs.archive)
        runs(action, &DiscCataloguing::catalogueDiscInDrive);
    for (QAction *action : discs.update)
        runs(action, &DiscCataloguing::updateSelectedDisc);
    for (QAction *action : discs.identify)
        runs(action, &DiscCataloguing::identifyDiscInDrive);
    runs(file.catalogueImage, &DiscCataloguing::catalogueImage);
    for (int mode = 0; mode < 4; ++mode)
        connect(m_menus.list.viewModes[mode], &QAction::triggered, this,
                [this, mode] { setViewMode(m_popupList, mode); });

    const HelpMenu &help = m_menus.help;
    // The help page in the interface's language.
    connect(help.help, &QAction::triggered, this, [this] {
        openDocument(LanguageOffset() == 0 ? QStringLiteral("VORNHelp-fr.htm") : QStringLiteral("VORNHelp.htm"));
    });
    for (QAction *readme : help.readme)
        connect(readme, &QAction::triggered, this, [this, readme] { openDocument(readme->text().remove(u'&')); });
    connect(help.about, &QAction::triggered, this, &Form1::showAbout);
    wireSearch();
    wireAnnotations();
    wireCovers();
    wireExports();
    updateDiscCommands();
}

void Form1::applyCaptions()
{
    TranslateCaptions(this);
    m_tabs->applyCaptions();
    m_info->applyCaptions();
    m_search->applyCaptions();
    m_browse->fileModel()->setHeaders({LoadText(400), LoadText(404), LoadText(401), LoadText(402), QString()});
    for (QAction *action : m_menus.toolbar->actions()) {
        const int id = action->property("tipId").toInt();
        if (!id)
            continue;
        QString tip = LoadText(id);
        if (action == m_menus.discs.update[2])
            tip.chop(3);
        action->setToolTip(tip);
        action->setText(tip);
    }
}

void Form1::setControlsEnabled(bool enabled)
{
    centralWidget()->setEnabled(enabled);
    menuBar()->setEnabled(enabled);
    m_menus.toolbar->setEnabled(enabled);
}

void Form1::writeViewerOptions()
{
    const bool visible = m_browse->viewerVisible();
    const bool autoShow = m_menus.browse.viewerAutoShow->isChecked();
    m_options = visible ? (m_options | Opt::ViewerVisible) : (m_options & ~Opt::ViewerVisible);
    m_options = autoShow ? (m_options | Opt::ViewerAutoShow) : (m_options & ~Opt::ViewerAutoShow);
    WriteOptionsWord(m_options);
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (m_search->isRunning()) {
        // The run is on the stack below this event: stop it and let the user close
        // again once it has ended.
        m_search->startOrStop();
        event->ignore();
        return;
    }
    shutDown();
    event->accept();
}

void Form1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        rereadShownDiscIfChanged();
}

void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_splittersApplied)
        applySplitters();
}

} // namespace vorn
