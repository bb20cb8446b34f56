#pragma once

#include "gui/AppIcons.h"
#include "gui/GuiPrompt.h"
#include "gui/MainMenus.h"
#include "index/ArchiveKey.h"
#include "store/Catalogue.h"
#include "store/DataFolderList.h"

#include <QMainWindow>
#include <memory>
#include <optional>

class QDialog;
class QPoint;
class QSplitter;

namespace vorn {

class BrowsePane;
class DiscCataloguing;
class DiscInfoPane;
class DiscListModel;
class DiscListPane;
class DriveLayer;
class DriveWatcher;
class SearchPane;
class ShellLauncher;
class TabHost;
class TempFolder;
class UserPrompt;
class cDrive;

// What the window is started with; tests replace the host's drives, the dialogs and
// the folders.
struct Form1Setup
{
    DriveLayer *drives = nullptr; // the host's drives when null
    UserPrompt *prompt = nullptr; // Qt dialogs when null
    QString defaultDataFolder; // the program's default when empty
    QString tempBase; // parent of the temporary folder; the system's when empty
    ShellLauncher *launcher = nullptr; // the desktop's programs when null
};

// The program's main window, a host of panes: the disc list on the left above the
// lower-left pane (keywords, description, fields), the tab host on the right with the
// browse page. It builds them, wires them to each other and to the catalogue, and
// runs start-up, shut-down and the commands that span several panes.
class Form1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit Form1(Form1Setup setup = {}, QWidget *parent = nullptr);
    ~Form1() override;

    // Start-up: temporary folder, captions, options, layout, drives, data folder.
    // False when the program must end (no temporary folder, no CD drive).
    bool startUp();
    // Shut-down: pending edits, data folders, layout, version; runs once.
    void shutDown();

    Catalogue &catalogue() { return m_catalogue; }
    AppIcons &icons() { return m_icons; }
    UserPrompt &prompt() const { return *m_prompt; }
    const MainMenus &menus() const { return m_menus; }
    DiscListPane *discList() const { return m_discList; }
    DiscListModel *discModel() const;
    DiscInfoPane *info() const { return m_info; }
    BrowsePane *browser() const { return m_browse; }
    TabHost *tabs() const { return m_tabs; }
    SearchPane *search() const { return m_search; }
    DriveWatcher *driveWatcher() const { return m_watcher.get(); }

    // Shows the disc of a disc-list entry (the separator: the entry above it); with
    // `force`, even when that disc is shown already.
    void showEntry(int row, bool force = false);
    // Selects and shows the entry showing disc `identifier`; false when none does.
    bool showDisc(const QString &identifier, bool force = false);
    // Writes the current disc's pending edits back to its record.
    bool saveCurrentDisc();
    // Reads the shown disc again when its archive changed since it was shown (another
    // copy of VORN renamed it or changed its description), unless edits are pending:
    // those are written over the newer record by the edit layer, field by field.
    void rereadShownDiscIfChanged();
    // Opens entry `number` of the data-folder list.
    bool openDataFolderEntry(int number);

    DiscCataloguing &cataloguing() const { return *m_cataloguing; }
    // A long run is in progress: the drive watch waits, the controls are disabled.
    bool isBusy() const { return m_busy; }
    void setBusy(bool busy) { m_busy = busy; }
    void setControlsEnabled(bool enabled);

signals:
    // Start-up has ended: the data folder is open and the window laid out.
    void startedUp();
    // Shut-down begins: the pending edits are written next, then the layout.
    void shuttingDown();
    // A data folder was opened (or read again): every disc list was refilled.
    void dataFolderOpened();
    // The panes show disc `identifier` (empty: none is shown).
    void discShown(const QString &identifier);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    void connectPanes();
    void connectCommands();
    void applyCaptions();
    void restoreAff();
    void restorePos();
    void applySplitters();
    void savePos();
    void saveAff();
    void loadIconFolder();
    void rebuildDataFolderMenu();
    void writeViewerOptions();

    // Each feature of the window wires its controls in its own file: the search and
    // bookmarks tabs, the annotations (keywords, bookmarks, properties, fields,
    // reports), the cover and options tabs, the exports.
    void wireSearch(); // Form1Search.cpp
    void wireAnnotations(); // Form1Annotations.cpp
    void wireCovers(); // Form1Covers.cpp
    void wireExports(); // Form1Exports.cpp

    // The disc list's side of the window (Form1Discs.cpp).
    void forgetShownDisc();
    void refillAfterRemoval();
    void removeSelectedDisc();
    void exportSelectedArchive(bool move);
    void updateDiscCommands();
    void popListMenu(const QString &list, const QPoint &globalPos);
    void setViewMode(const QString &list, int mode);
    void openDocument(const QString &name);
    void showAbout();
    QChar driveOfShownDisc() const;

    Form1Setup m_setup;
    GuiPrompt m_guiPrompt;
    UserPrompt *m_prompt;
    DriveLayer *m_drives;
    std::unique_ptr<cDrive> m_drive;
    std::unique_ptr<TempFolder> m_temp;
    Catalogue m_catalogue;
    DataFolderList m_folders;
    AppIcons m_icons;
    MainMenus m_menus;
    qint32 m_options = 0;
    bool m_busy = false;
    bool m_started = false;
    bool m_closed = false;
    bool m_splittersApplied = false;
    int m_splitters[4] = {-1, -1, -1, -1}; // X1, Y1, X2, Y2; -1: in proportion
    std::optional<ArchiveKey> m_shownArchive; // the shown disc's archive when it was shown
    QString m_popupList; // the list that popped MnuView up
    QDialog *m_about = nullptr;

    DiscListPane *m_discList = nullptr;
    DiscInfoPane *m_info = nullptr;
    BrowsePane *m_browse = nullptr;
    TabHost *m_tabs = nullptr;
    SearchPane *m_search = nullptr;
    DiscCataloguing *m_cataloguing = nullptr;
    QSplitter *m_frame1 = nullptr;
    QSplitter *m_leftSplit = nullptr;
    std::unique_ptr<DriveWatcher> m_watcher;
};

} // namespace vorn
