#include "gui/MainMenus.h"

#include "gui/AppIcons.h"

#include <QAction>
#include <QFont>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QToolBar>

namespace vorn {

namespace {

QMenu *addMenu(QMenu *parent, const QString &name, const QString &caption)
{
    QMenu *menu = parent->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}

QMenu *addTopMenu(QMainWindow *window, const QString &name, const QString &caption)
{
    QMenu *menu = window->menuBar()->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}

QMenu *popupMenu(QMainWindow *window, const QString &name)
{
    auto *menu = new QMenu(window);
    menu->setObjectName(name);
    menu->setTitle(name);
    return menu;
}

} // namespace

QAction *addMenuEntry(QMenu *menu, const QString &name, const QString &caption, bool enabled)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    action->setEnabled(enabled);
    return action;
}

namespace {

QAction *entry(QMenu *menu, const char *name, const char *caption, const char *shortcut = "", bool enabled = true)
{
    QAction *action = addMenuEntry(menu, QString::fromUtf8(name), QString::fromUtf8(caption), enabled);
    if (*shortcut)
        action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
    return action;
}

QAction *disabled(QMenu *menu, const char *name, const char *caption)
{
    return entry(menu, name, caption, "", false);
}

QAction *checkable(QAction *action, bool checked = false)
{
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

void buildFileMenu(QMainWindow *window, FileMenu &m)
{
    QMenu *file = addTopMenu(window, QStringLiteral("MnuFich"), QStringLiteral("100"));
    m.dataFolders = addMenu(file, QStringLiteral("MnuRepDataTitre"), QStringLiteral("443"));
    m.otherFolder = entry(m.dataFolders, "mnuRepDataAutres", "444");
    m.dataFolders->addSeparator();
    m.folderSeparator = m.dataFolders->addSeparator();
    m.folderSeparator->setObjectName(QStringLiteral("MnuRepDataSep"));
    m.removeFolder = addMenu(m.dataFolders, QStringLiteral("MnuRepDataRetireTitre"), QStringLiteral("445"));
    m.refresh = entry(file, "MnuRefresh", "101", "F5");
    m.catalogueImage = entry(file, "mnuArchiverImage", "932");
    m.exportDiscs = disabled(file, "mnuExportCDS", "Export...");
    m.exportHtml = disabled(file, "MnuExportHtml", "557");
    file->addSeparator();
    m.quit = entry(file, "MnuQuit", "105", "Ctrl+Q");
}

void buildPopupMenus(QMainWindow *window, MainMenus &m)
{
    ListMenu &list = m.list;
    list.menu = popupMenu(window, QStringLiteral("MnuView"));
    QMenu *modes = addMenu(list.menu, QStringLiteral("MnuAffListe"), QStringLiteral("114"));
    const char *modeNames[] = {"MnuViewItems_0", "MnuViewItems_1", "MnuViewItems_2", "MnuViewItems_3"};
    const char *modeCaptions[] = {"115", "116", "117", "118"};
    for (int i = 0; i < 4; ++i)
        list.viewModes[i] = checkable(entry(modes, modeNames[i], modeCaptions[i]));
    DiscListMenus &sorting = m.discList;
    sorting.sort = addMenu(list.menu, QStringLiteral("mnuTrie_t"), QStringLiteral("642"));
    sorting.byName = checkable(entry(sorting.sort, "mnuTrie_0", "643"), true);
    sorting.byDate = checkable(entry(sorting.sort, "mnuTrie_1", "644"));
    sorting.sort->addSeparator();
    sorting.descending = checkable(entry(sorting.sort, "mnuTrieDecroiss", "645"));
    list.exportList = disabled(list.menu, "mnuExport", "506");
    list.exportListHtml = disabled(list.menu, "mnuExportListHTML", "552");
    list.menu->addSeparator();
    DiscCommands &discs = m.discs;
    discs.archive[1] = disabled(list.menu, "MnuArchiver2", "119");
    discs.rename[1] = disabled(list.menu, "MnuRenommer2", "120");
    discs.remove[1] = disabled(list.menu, "MnuSupprArchive2", "109");
    discs.update[1] = disabled(list.menu, "mnuMiseAJour2", "122");
    discs.identify[1] = disabled(list.menu, "MnuIdentManuelle2", "625");
    list.menu->addSeparator();
    discs.exportArchive = addMenu(list.menu, QStringLiteral("MnuExportArchive"), QStringLiteral("450"));
    discs.exportArchive->menuAction()->setEnabled(false);
    discs.copyArchive[0] = disabled(discs.exportArchive, "MnuCopyArchiv_0", "628");
    discs.copyArchive[1] = disabled(discs.exportArchive, "MnuCopyArchiv_1", "629");
    list.menu->addSeparator();
    list.bookmarks = addMenu(list.menu, QStringLiteral("MnuSignet_T"), QStringLiteral("638"));
    list.bookmarks->menuAction()->setEnabled(false);
    list.bookmark[0] = disabled(list.bookmarks, "MnuSignets_0", "639");
    list.bookmark[1] = disabled(list.bookmarks, "MnuSignets_1", "640");
    list.bookmark[2] = disabled(list.bookmarks, "MnuSignets_2", "637");
    list.fileProperties = disabled(list.menu, "MnuPropFichier", "123");
    discs.properties[0] = disabled(list.menu, "MnuPropCD", "123");
    list.folderProperties = disabled(list.menu, "MnuPropDossierLV1", "123");
    list.menu->addSeparator();
    discs.openTray[0] = entry(list.menu, "MnuOuvreCD", "126");
    discs.closeTray[0] = entry(list.menu, "MnuFermeCD", "127");

    LowerPaneMenus &lower = m.lower;
    lower.menu = popupMenu(window, QStringLiteral("MnuAffMc"));
    lower.page[0] = entry(lower.menu, "MnuAffMcT_0", "128");
    lower.page[1] = entry(lower.menu, "MnuAffMcT_1", "129");
    lower.page[2] = entry(lower.menu, "MnuAffMcT_2", "536");
    lower.menu->addSeparator()->setObjectName(QStringLiteral("Zsepmc"));
    lower.reports = addMenu(lower.menu, QStringLiteral("MnuMCInfoRep"), QStringLiteral("446"));
    lower.report[0] = disabled(lower.reports, "MnuAffMcTRep_3", "446");
    lower.report[1] = disabled(lower.reports, "MnuAffMcTRep_4", "130");
    lower.report[2] = disabled(lower.reports, "MnuAffMcTRep_5", "131");
    lower.report[3] = disabled(lower.reports, "MnuAffMcTRep_6", "132");
    lower.report[4] = disabled(lower.reports, "MnuAffMcTRep_7", "Totaux");

    BrowseMenus &browse = m.browse;
    browse.folder = popupMenu(window, QStringLiteral("MnuPropDossier_Titre"));
    browse.openFolder[0] = entry(browse.folder, "MnuOuvreDossier_0", "133");
    browse.openFolder[1] = entry(browse.folder, "MnuOuvreDossier_1", "407");
    browse.folderProperties = disabled(browse.folder, "MnuPropDossier", "123");
    browse.folderBookmarks = addMenu(browse.folder, QStringLiteral("MnuSignetsRep_T"), QStringLiteral("638"));
    browse.folderBookmarks->menuAction()->setEnabled(false);
    browse.folderBookmark[0] = disabled(browse.folderBookmarks, "MnuSignetsRep_0", "639");
    browse.folderBookmark[1] = disabled(browse.folderBookmarks, "MnuSignetsRep_1", "640");
    browse.folderBookmark[2] = disabled(browse.folderBookmarks, "MnuSignetsRep_2", "637");
    browse.excludeFolder = checkable(disabled(browse.folder, "mnuDossierExcluRecherches", "657"));
    browse.viewer = popupMenu(window, QStringLiteral("MnuImgFlecheT"));
    browse.viewerShown = entry(browse.viewer, "MnuImgFleche_0", "Masquer");
    browse.viewerZoom = entry(browse.viewer, "MnuImgFleche_1", "Zoom");
    browse.viewerAutoShow = checkable(entry(browse.viewer, "MnuImgFleche_2", "592"));

    m.optionsTree = popupMenu(window, QStringLiteral("MnuTVOptions_T"));
    m.optionsTreeEntry[0] = disabled(m.optionsTree, "MnuTvOptions_0", "108");
    m.optionsTreeEntry[1] = disabled(m.optionsTree, "MnuTvOptions_1", "109");
}

// The menu entries that have a well-known picture take the desktop theme's (or the
// program's own drawing, as on the toolbar).
void decorateMenus(MainMenus &m)
{
    const struct
    {
        QAction *action;
        const char *themeName;
        const char *bundled;
    } icons[] = {
        {m.file.refresh, "view-refresh", ""},
        {m.file.catalogueImage, "media-optical", "disc"},
        {m.file.exportHtml, "text-html", ""},
        {m.file.quit, "application-exit", ""},
        {m.discs.archive[0], "media-optical", "disc"},
        {m.discs.archive[1], "media-optical", "disc"},
        {m.discs.remove[0], "edit-delete", ""},
        {m.discs.remove[1], "edit-delete", ""},
        {m.discs.update[0], "view-refresh", "update"},
        {m.discs.update[1], "view-refresh", "update"},
        {m.discs.properties[0], "document-properties", "properties"},
        {m.discs.openTray[0], "media-eject", "eject"},
        {m.discs.closeTray[0], "", "close-tray"},
        {m.view.searchTab, "edit-find", "search"},
        {m.view.coverTab, "image-x-generic", "cover"},
        {m.view.selectCover[0], "image-x-generic", "cover"},
        {m.discList.showAll, "", "filter-clear"},
        {m.discList.invertFilter, "", "filter"},
        {m.help.help, "help-contents", ""},
        {m.help.about, "help-about", ""},
    };
    for (const auto &entry : icons) {
        if (entry.action)
            entry.action->setIcon(
                commandIcon(QString::fromLatin1(entry.themeName), QString::fromLatin1(entry.bundled)));
    }
}

void buildToolbar(QMainWindow *window, MainMenus &m)
{
    auto *bar = new QToolBar(window);
    bar->setObjectName(QStringLiteral("Tbr1"));
    bar->setMovable(false);
    bar->setIconSize(QSize(24, 24));
    window->addToolBar(Qt::TopToolBarArea, bar);
    m.toolbar = bar;
    auto button = [bar](const char *key, int tip, const char *themeName, const char *bundled, bool enabled) {
        QAction *action = bar->addAction(commandIcon(QString::fromLatin1(themeName), QString::fromLatin1(bundled)),
                                         QString::fromLatin1(key));
        action->setObjectName(QString::fromLatin1(key));
        action->setProperty("tipId", tip);
        action->setEnabled(enabled);
        return action;
    };
    m.discs.archive[2] = button("Archiver", 453, "media-optical", "disc", false);
    m.discs.update[2] = button("MAJ", 122, "view-refresh", "update", false);
    m.discs.properties[1] = button("Infos", 123, "document-properties", "properties", false);
    m.discList.filterButton = button("Filtre", 502, "view-filter", "filter", true);
    m.discList.showAllButton = button("FiltreX", 137, "", "filter-clear", true);
    bar->addSeparator();
    // One button of each pair shows at a time: its icon and tip give the list's
    // present order, and a click switches to the other ("TriNom" shows while the list
    // is sorted by date, and sorts it by name).
    m.discList.toName = button("TriNom", 644, "", "sort-date", true);
    m.discList.toDate = button("TriDate", 643, "", "sort-name", true);
    bar->addSeparator();
    m.discList.toAscending = button("TriAsc", 645, "view-sort-ascending", "sort-ascending", true);
    m.discList.toDescending = button("TriDesc", 647, "view-sort-descending", "sort-descending", true);
    m.view.selectCover[1] = button("SelectJaq", 633, "image-x-generic", "cover", false);
    m.discs.openTray[1] = button("EjectCD", 126, "media-eject", "eject", true);
    m.discs.closeTray[1] = button("CloseCD", 127, "", "close-tray", true);
}

} // namespace

MainMenus buildMainMenus(QMainWindow *window)
{
    MainMenus m;
    buildFileMenu(window, m.file);

    QMenu *discs = addTopMenu(window, QStringLiteral("MnuCD"), QStringLiteral("106"));
    m.discs.archive[0] = disabled(discs, "MnuArchiver", "107");
    m.discs.rename[0] = entry(discs, "MnuRenommer", "108", "F2", false);
    m.discs.remove[0] = disabled(discs, "MnuSupprArchive", "109");
    discs->addSeparator();
    m.discs.update[0] = disabled(discs, "mnuMiseAJour", "122");
    m.discs.identify[0] = disabled(discs, "MnuIdentManuelle", "625");

    QMenu *view = addTopMenu(window, QStringLiteral("mnuAffT"), QStringLiteral("111"));
    m.view.browseTab = entry(view, "MnuAff_1", "112", "F7");
    m.view.coverTab = entry(view, "MnuAff_2", "609", "F8");
    m.view.searchTab = entry(view, "MnuAff_3", "113", "F9");
    m.view.bookmarksTab = entry(view, "MnuAff_4", "635", "F11");
    m.view.optionsTab = entry(view, "MnuAff_5", "Options", "F12");
    view->addSeparator();
    m.view.keywordManager = entry(view, "MnuGestMC", "102", "F4", false);
    m.view.selectCover[0] = entry(view, "mnuSelectJaq", "633", "Ctrl+J", false);

    DiscListMenus &filter = m.discList;
    filter.filter = addTopMenu(window, QStringLiteral("MnuFiltre_T"), QStringLiteral("136"));
    filter.showAll = checkable(entry(filter.filter, "MnuFiltre_0", "137", "F6"), true);
    filter.showAll->setData(0);
    filter.filterSeparator = filter.filter->addSeparator();
    filter.filterSeparator->setObjectName(QStringLiteral("MnuFiltreSep"));
    filter.invertFilter = checkable(entry(filter.filter, "MnuInvertFiltre", "510"));

    m.browse.back = window->menuBar()->addAction(QStringLiteral("&<<"));
    m.browse.back->setObjectName(QStringLiteral("MnuPrec"));
    m.browse.back->setEnabled(false);
    m.browse.forward = window->menuBar()->addAction(QStringLiteral(">&>"));
    m.browse.forward->setObjectName(QStringLiteral("MnuSuiv"));
    m.browse.forward->setEnabled(false);

    QMenu *help = addTopMenu(window, QStringLiteral("mnuHelp_t"), QStringLiteral("?"));
    m.help.help = entry(help, "mnuHelp", "655");
    help->addSeparator();
    m.help.about = entry(help, "MnuAPropo", "135");
    help->addSeparator();
    m.help.readme[0] = entry(help, "MnuReadme_1", "Readme.txt");
    m.help.readme[1] = entry(help, "MnuReadme_2", "History.txt");

    buildPopupMenus(window, m);
    buildToolbar(window, m);
    decorateMenus(m);
    return m;
}

} // namespace vorn
