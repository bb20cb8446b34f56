#pragma once

#include "gui/AppIcons.h"
#include "gui/GuiPrompt.h"
#include "gui/MainMenus.h"
#include "store/Catalogue.h"
#include "store/DataFolderList.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QDialog;
class QPoint;
class QSplitter;

namespace vorn {

class BrowsePane;
class DiscInfoPane;
class DiscListModel;
class DiscListPane;
class DriveLayer;
class DriveWatcher;
class ShellLauncher;
class TabHost;
class TempFolder;
class UserPrompt;
class cDrive;
class FilterTable;
struct CataloguingRequest;
struct DiscRecord;
struct DriveVolumeOpening;
class RunObserver;

// What the window is started with; tests replace the host's drives, the dialogs and
// the folders.
struct Form1Setup
{
    DriveLayer *drives = nullptr;       // the host's drives when null
    UserPrompt *prompt = nullptr;       // Qt dialogs when null
    QString defaultDataFolder;          // the program's default when empty
    QString tempBase;                   // parent of the temporary folder; the system's when empty
    ShellLauncher *launcher = nullptr;  // the desktop's programs when null
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
    DriveWatcher *driveWatcher() const { return m_watcher.get(); }

    // Shows the disc of a disc-list entry (the separator: the entry above it); with
    // `force`, even when that disc is shown already.
    void showEntry(int row, bool force = false);
    // Selects and shows the entry showing disc `identifier`; false when none does.
    bool showDisc(const QString &identifier, bool force = false);
    // Writes the current disc's pending edits back to its record.
    void saveCurrentDisc();
    // Opens entry `number` of the data-folder list.
    bool openDataFolderEntry(int number);

    // Cataloguing, updating and identifying the disc in a drive (Form1Cataloguing.cpp).
    void catalogueDiscInDrive();                    // BtSauveCD_Click
    void updateSelectedDisc();                      // "Mise à jour..."
    void identifyDiscInDrive();                     // "Identification manuelle..."
    // Appends `entry`, runs the cataloguing in the progress window, writes the record
    // and refills the lists; false when nothing was catalogued.
    bool archiveDisc(const DiscRecord &entry, const CataloguingRequest &request,
                     const FilterTable &filters, QChar letter);
    // Moves the disc at `position` to `identifier`, that of a disc in a drive.
    bool rekeyDiscToDrive(int position, const QString &identifier);
    // Reads the autorun icon of the disc in `letter` into the icon lists.
    void readDiscIcon(QChar letter, const QString &identifier);

protected:
    void closeEvent(QCloseEvent *event) override;
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
    int selectedPosition() const;

    // Cataloguing (Form1Cataloguing.cpp).
    QChar cataloguingLetter() const;
    void setControlsEnabled(bool enabled);
    void runInProgressWindow(QChar letter,
                             const std::function<void(const DriveVolumeOpening &, RunObserver &)> &work);
    void endRun();
    void updateDisc(int position, QChar letter);
    void storeDiscIcon(const QString &identifier);

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
    int m_splitters[4] = {-1, -1, -1, -1};       // X1, Y1, X2, Y2; -1: in proportion
    int m_resultViewModes[2] = {3, 3};           // LR0, LR1 until the result lists exist
    QString m_popupList;                          // the list that popped MnuView up
    QDialog *m_about = nullptr;

    DiscListPane *m_discList = nullptr;
    DiscInfoPane *m_info = nullptr;
    BrowsePane *m_browse = nullptr;
    TabHost *m_tabs = nullptr;
    QSplitter *m_frame1 = nullptr;
    QSplitter *m_leftSplit = nullptr;
    std::unique_ptr<DriveWatcher> m_watcher;
};

} // namespace vorn
