#pragma once

#include "gui/AppIcons.h"
#include "gui/GuiPrompt.h"
#include "scan/DriveWatch.h"
#include "store/Catalogue.h"
#include "store/DataFolderList.h"

#include <QMainWindow>
#include <QHash>
#include <QPair>
#include <QPoint>
#include <functional>
#include <memory>
#include <vector>

class QDialog;
class QLabel;
class QListView;
class QListWidget;
class QListWidgetItem;
class QTreeWidget;
class QPlainTextEdit;
class QSplitter;
class QStackedWidget;
class QTabBar;
class QToolBar;

namespace vorn {

class BrowsePane;
class DiscListModel;
class DriveLayer;
class DriveWatcher;
class ShellLauncher;
class TempFolder;
class UserPrompt;
class cDrive;
class FilterTable;
struct CataloguingRequest;
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

// The program's main window: the disc list `LVCD` on the left above the keywords
// `ListMC`, the description `TxtDesc` and the fields `TvChamps`; the tab strip
// `TabStrip1` with the browsing page on the right.
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
    BrowsePane *browser() const { return m_browse; }
    DiscListModel *discModel() const { return m_discModel; }
    DriveWatcher *driveWatcher() const { return m_watcher.get(); }
    QString cdLetters() const { return m_cdLetters; }
    bool infoModified() const { return m_infoModified; }
    int filter() const { return m_filter; }

    // Disc list (fill, show an entry, sort, filter).
    void fillDiscList();
    void showEntry(int row, bool force = false);
    bool showEntryByKey(const QString &key, bool force = false);
    void sortDiscs(int key, bool descending);
    void setFilter(int keywordNumber, bool inverted);
    // Writes the current disc's pending description edit back to its record.
    void saveCurrentDisc();
    // Opens entry `number` of the data-folder list.
    bool openDataFolderEntry(int number);

    // Naming: a catalogued disc in place (false when refused), the disc in a drive
    // through the input box, and the name given to the disc in drive `letter` (empty
    // when none was given or the disc changed since).
    bool renameDisc(int row, const QString &newName);
    void nameDriveDisc(int row);
    void renameSelected();
    QString givenDriveName(QChar letter) const;
    // Opening on the disc in the drive: a file pane row, a tree node, the shown folder
    // in the file manager. Message 369 when the disc shown is not in a drive.
    void openFileRow(int row);
    void openTreeNode(const QString &key);
    void exploreShownFolder();
    // Keywords of the lower-left pane and the disc's fields.
    void RemplitListMC();
    void CocheMCduCDEnCours();
    void ListMC_ItemCheck(QListWidgetItem *item);
    void fillFields();
    void showLowerPane(int index);
    // Help menu: the shipped documents and the about box.
    void openDocument(const QString &name);
    void showAbout();
    QString versionLine() const;
    // Cataloguing, updating and identifying the disc in a drive (Form1Cataloguing.cpp).
    void catalogueDiscInDrive();                    // BtSauveCD_Click
    void updateSelectedDisc();                      // "Mise à jour..."
    void identifyDiscInDrive();                     // "Identification manuelle..."
    // Appends `entry`, runs the cataloguing in the progress window, writes the record
    // and refills the lists; false when nothing was catalogued.
    bool archiveDisc(const DiscRecord &entry, const CataloguingRequest &request,
                     const FilterTable &filters, QChar letter);
    // Moves the disc at `position` to the identifier of the disc in drive `letter`.
    bool rekeyDiscToDrive(int position, QChar letter, const QString &identifier);
    // Reads the autorun icon of the disc in `letter` into the icon lists.
    void readDiscIcon(QChar letter, const QString &identifier);
    AppIcons &icons() { return m_icons; }
    UserPrompt &prompt() const { return *m_prompt; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    void connectActions();
    void applyCaptions();
    void restoreAff();
    void restorePos();
    void applySplitters();
    void savePos();
    void saveAff();

    void rebuildDataFolderMenu();
    void rebuildFilterMenu();
    void updateToolbar();
    void updateStatus();
    void selectRow(int row);
    int selectedRow() const;
    bool passesFilter(int position) const;
    void descriptionEdited();
    void onDriveChanged(QChar letter);
    void moveInHistory(int delta);
    void setViewMode(const QString &list, int mode);
    void viewerMenu(int index);
    void writeOptions();
    void connectMoreActions();
    void popDiscMenu(const QString &list, const QPoint &globalPos);
    void updateMenus();
    bool shownDiscDrive(QChar *letter) const;
    QString hostPathOnDrive(QChar letter, const QString &discPath);
    void openOnDrive(const QString &discPath, bool folder);
    void say(const QString &text);
    void loadIconFolder();
    void connectCataloguing();
    QChar cataloguingLetter() const;
    void setControlsEnabled(bool enabled);
    void runInProgressWindow(QChar letter,
                             const std::function<void(const DriveVolumeOpening &, RunObserver &)> &work);
    void endRun();
    void updateDisc(int position, QChar letter);
    void storeDiscIcon(const QString &identifier);
    void showDisc(const QString &identifier);

    Form1Setup m_setup;
    GuiPrompt m_guiPrompt;
    UserPrompt *m_prompt;
    DriveLayer *m_drives;
    std::unique_ptr<cDrive> m_drive;
    std::unique_ptr<TempFolder> m_temp;
    Catalogue m_catalogue;
    DataFolderList m_folders;
    AppIcons m_icons;
    QString m_cdLetters;
    std::vector<DriveEntry> m_driveEntries;
    int m_filter = 0;
    qint32 m_options = 0;
    bool m_infoModified = false;
    bool m_loadingDescription = false;
    bool m_busy = false;
    bool m_started = false;
    bool m_closed = false;
    bool m_splittersApplied = false;
    int m_splitters[4] = {-1, -1, -1, -1};       // X1, Y1, X2, Y2; -1: in proportion
    int m_viewModes[4] = {3, 3, 3, 3};           // LVCD, LV1, LR0, LR1
    QString m_popupList;                          // the list that popped MnuView up
    ShellLauncher *m_launcher = nullptr;
    QHash<QChar, QPair<QString, QString>> m_driveNames;   // letter: (disc identifier, name)
    bool m_fillingKeywords = false;
    QListWidget *m_keywordList = nullptr;
    QTreeWidget *m_fields = nullptr;
    QTabBar *m_lowerTabs = nullptr;
    QStackedWidget *m_lowerPages = nullptr;
    QDialog *m_about = nullptr;

    QToolBar *m_toolbar = nullptr;
    QListView *m_discList = nullptr;
    DiscListModel *m_discModel = nullptr;
    QLabel *m_status = nullptr;
    QPlainTextEdit *m_description = nullptr;
    QTabBar *m_tabs = nullptr;
    QStackedWidget *m_pages = nullptr;
    BrowsePane *m_browse = nullptr;
    QSplitter *m_frame1 = nullptr;
    QSplitter *m_leftSplit = nullptr;
    std::unique_ptr<DriveWatcher> m_watcher;
};

} // namespace vorn
