#pragma once

#include <QString>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace vorn {

// The menus, pop-up menus and toolbar buttons of the main window, by what they do.
// Every entry carries the objectName of its design (members of an array as
// name_index) and a numeric caption that TranslateCaptions turns into text. Entries
// whose action the window does not offer yet are built disabled.

// "Fichier": the data folders, refresh, exports, quit.
struct FileMenu
{
    QMenu *dataFolders = nullptr; // MnuRepDataTitre
    QAction *otherFolder = nullptr; // mnuRepDataAutres
    QAction *folderSeparator = nullptr; // MnuRepDataSep: folder entries go before it
    QMenu *removeFolder = nullptr; // MnuRepDataRetireTitre
    QAction *refresh = nullptr; // MnuRefresh
    QAction *catalogueImage = nullptr; // mnuArchiverImage: an ISO image file as a disc
    QAction *exportDiscs = nullptr; // mnuExportCDS
    QAction *exportHtml = nullptr; // MnuExportHtml
    QAction *quit = nullptr; // MnuQuit
};

// The commands on the disc selected in the disc list, from the "CDs" menu, its
// twins in the pop-up menu `MnuView` and the toolbar.
struct DiscCommands
{
    QAction *archive[3] = {}; // MnuArchiver, MnuArchiver2, toolbar Archiver
    QAction *rename[2] = {}; // MnuRenommer, MnuRenommer2
    QAction *remove[2] = {}; // MnuSupprArchive, MnuSupprArchive2
    QAction *update[3] = {}; // mnuMiseAJour, mnuMiseAJour2, toolbar MAJ
    QAction *identify[2] = {}; // MnuIdentManuelle, MnuIdentManuelle2
    QMenu *exportArchive = nullptr; // MnuExportArchive
    QAction *copyArchive[2] = {}; // MnuCopyArchiv_0 copy, _1 move
    QAction *properties[2] = {}; // MnuPropCD, toolbar Infos
    QAction *openTray[2] = {}; // MnuOuvreCD, toolbar EjectCD
    QAction *closeTray[2] = {}; // MnuFermeCD, toolbar CloseCD
};

// Sorting and filtering the disc list.
struct DiscListMenus
{
    QMenu *filter = nullptr; // MnuFiltre_T
    QAction *showAll = nullptr; // MnuFiltre_0
    QAction *filterSeparator = nullptr; // MnuFiltreSep: keyword entries go before it
    QAction *invertFilter = nullptr; // MnuInvertFiltre
    QAction *filterButton = nullptr; // toolbar Filtre
    QAction *showAllButton = nullptr; // toolbar FiltreX
    QMenu *sort = nullptr; // mnuTrie_t
    QAction *byName = nullptr; // mnuTrie_0
    QAction *byDate = nullptr; // mnuTrie_1
    QAction *descending = nullptr; // mnuTrieDecroiss
    QAction *toName = nullptr; // toolbar TriNom
    QAction *toDate = nullptr; // toolbar TriDate
    QAction *toAscending = nullptr; // toolbar TriAsc
    QAction *toDescending = nullptr; // toolbar TriDesc
};

// The pop-up menu `MnuView` shared by the lists: view modes, list exports, the disc
// commands, bookmarks and properties of a file pane row.
struct ListMenu
{
    QMenu *menu = nullptr; // MnuView
    QAction *viewModes[4] = {}; // MnuViewItems_0..3
    QAction *exportList = nullptr; // mnuExport
    QAction *exportListHtml = nullptr; // mnuExportListHTML
    QMenu *bookmarks = nullptr; // MnuSignet_T
    QAction *bookmark[3] = {}; // MnuSignets_0..2
    QAction *fileProperties = nullptr; // MnuPropFichier
    QAction *folderProperties = nullptr; // MnuPropDossierLV1
};

// The browse page's menus: history, the folder tree's pop-up, the text viewer's.
struct BrowseMenus
{
    QAction *back = nullptr; // MnuPrec
    QAction *forward = nullptr; // MnuSuiv
    QMenu *folder = nullptr; // MnuPropDossier_Titre
    QAction *openFolder[2] = {}; // MnuOuvreDossier_0 open, _1 explore
    QAction *folderProperties = nullptr; // MnuPropDossier
    QMenu *folderBookmarks = nullptr; // MnuSignetsRep_T
    QAction *folderBookmark[3] = {}; // MnuSignetsRep_0..2
    QAction *excludeFolder = nullptr; // mnuDossierExcluRecherches
    QMenu *viewer = nullptr; // MnuImgFlecheT
    QAction *viewerShown = nullptr; // MnuImgFleche_0 "Masquer"/"Afficher"
    QAction *viewerZoom = nullptr; // MnuImgFleche_1
    QAction *viewerAutoShow = nullptr; // MnuImgFleche_2
};

// The lower-left pane's selector `MnuAffMc`: keywords, description, fields, reports.
struct LowerPaneMenus
{
    QMenu *menu = nullptr; // MnuAffMc
    QAction *page[3] = {}; // MnuAffMcT_0..2
    QMenu *reports = nullptr; // MnuMCInfoRep
    QAction *report[5] = {}; // MnuAffMcTRep_3..7
};

// "Affichage": one entry per tab, the keyword manager, the cover selection.
struct ViewMenu
{
    QAction *browseTab = nullptr; // MnuAff_1 "Consultation"
    QAction *coverTab = nullptr; // MnuAff_2 "Jaquette"
    QAction *searchTab = nullptr; // MnuAff_3 "Recherche"
    QAction *bookmarksTab = nullptr; // MnuAff_4 "Signets"
    QAction *optionsTab = nullptr; // MnuAff_5 "Options"
    QAction *keywordManager = nullptr; // MnuGestMC
    QAction *selectCover[2] = {}; // mnuSelectJaq, toolbar SelectJaq
};

struct HelpMenu
{
    QAction *help = nullptr; // mnuHelp
    QAction *about = nullptr; // MnuAPropo
    QAction *readme[2] = {}; // MnuReadme_1, _2 (caption: the file's name)
};

struct MainMenus
{
    FileMenu file;
    DiscCommands discs;
    DiscListMenus discList;
    ListMenu list;
    BrowseMenus browse;
    LowerPaneMenus lower;
    ViewMenu view;
    HelpMenu help;
    QMenu *optionsTree = nullptr; // MnuTVOptions_T
    QAction *optionsTreeEntry[2] = {}; // MnuTvOptions_0..1
    QToolBar *toolbar = nullptr; // Tbr1
};

// Builds the menu bar, the pop-up menus and the toolbar `Tbr1` of `window`.
MainMenus buildMainMenus(QMainWindow *window);

// Adds an entry to a menu: objectName, caption and enabled state.
QAction *addMenuEntry(QMenu *menu, const QString &name, const QString &caption, bool enabled = true);

} // namespace vorn
