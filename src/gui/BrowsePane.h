#pragma once

#include "gui/FilePaneModel.h"
#include "gui/ShownDisc.h"

#include <QHash>
#include <QWidget>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QLabel;
class QListView;
class QPlainTextEdit;
class QSplitter;
class QStackedWidget;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

namespace vorn {

class AppIcons;
class DriveLayer;
class ShellLauncher;
class UserPrompt;
struct BrowseMenus;
struct Catalogue;

// The browsing page: the folder tree `TV1`, the file pane `LV1`, the folder
// information strip `PictInfoDir` and the text viewer `TxtFichierTexte`, over the disc
// the window shows; its history, the tree's and the viewer's menus, and the opening
// of files and folders on the disc in the drive.
class BrowsePane : public QWidget
{
    Q_OBJECT
public:
    // `launcher` opens files with the desktop's programs (the system's when null).
    BrowsePane(Catalogue &catalogue, AppIcons &icons, BrowseMenus &menus, UserPrompt &prompt, DriveLayer &drives,
               ShellLauncher *launcher, QWidget *parent = nullptr);

    // The drive holding the shown disc (a null letter when none holds it).
    void setDriveOfShownDisc(std::function<QChar()> driveOf) { m_driveOf = std::move(driveOf); }

    ShownDisc &shown() { return m_shown; }

    // Empties the tree, the pane, the strip and the viewer and forgets the disc.
    void clear();
    // Loads the disc at `position` (its working copies) and builds the tree with the
    // root text given. False when one of its files cannot be read.
    bool showDisc(int position, const QString &rootText);
    void setRootText(const QString &text);

    // Shows the folder or archive node with this key ("K" & n or "Z" & n).
    bool showNode(const QString &key, bool fromHistory = false);
    QString shownNodeKey() const { return m_shownKey; }
    // The key of the tree's selected node ("K0", "K" & n, "Z" & n); empty for none.
    QString currentNodeKey() const;
    // Fills the viewer with the text of the file row (captured text or MP3 tags).
    void showFileText(int row);
    void clearInfo();

    // Viewer: visible or hidden; shown by itself when a file has a text.
    void setViewerVisible(bool visible);
    bool viewerVisible() const;
    void setAutoShowViewer(bool on) { m_autoShow = on; }

    // Column sort of the file pane: every click reverses the order.
    void sortByColumn(int column);
    // View modes of the file pane: 0 large icons, 1 small icons, 2 list, 3 details.
    // Details show `LV1` with its columns; the other modes show the names alone in
    // `LV1Icons`, over the same rows and the same selection.
    void setViewMode(int mode);
    int viewMode() const { return m_viewMode; }

    // Opening on the disc in the drive: a file pane row, a tree node, the shown folder
    // in the file manager. Message 369 when the disc shown is not in a drive.
    void openFileRow(int row);
    void openTreeNode(const QString &key);
    void exploreShownFolder();

    // History of the folders shown: (disc identifier, node key).
    bool canGoBack() const { return m_historyPos > 0; }
    bool canGoForward() const { return m_historyPos + 1 < int(m_history.size()); }
    std::pair<QString, QString> stepHistory(int delta);
    // Back (-1) or forward (+1) in the history, showing another disc when needed.
    void moveInHistory(int delta);

    // Searching (BrowsePaneSearch.cpp): shows the folder at `location` ("a\b\", its
    // components matched ignoring case, an archive's name as its last component going
    // into the archive) and, with a file name, selects that row of the file pane.
    // False when a folder or the file is not there.
    bool showLocation(const QString &location, const QString &fileName);
    // Redraws the folder icons after their "left out of searches" state changed.
    void refreshExclusionIcons();

    // Bookmarks of the shown disc: a sub-folder or file row of the file pane, or a
    // folder node of the tree, is toggled, or with `describe` its description edited.
    // The ".sig" member is written at once and the bold marks follow.
    void bookmarkRow(int row, bool describe);
    void bookmarkNode(const QString &key, bool describe);
    // The bookmark record a row or a node would have; nullopt for the root, archive
    // nodes and archive members.
    std::optional<BookmarkRecord> bookmarkItemOfRow(int row) const;
    std::optional<BookmarkRecord> bookmarkItemOfNode(const QString &key) const;
    bool isBookmarked(const BookmarkRecord &item) const;

    QTreeWidget *tree() const { return m_tree; }
    QTreeView *files() const { return m_files; }
    QListView *fileIcons() const { return m_fileIcons; }
    FilePaneModel *fileModel() const { return m_model; }
    QLabel *infoStrip() const { return m_info; }
    QPlainTextEdit *viewer() const { return m_viewer; }
    QSplitter *treeSplitter() const { return m_treeSplit; }
    QSplitter *viewerSplitter() const { return m_viewerSplit; }

signals:
    // The history needs disc `identifier` shown before it shows one of its folders.
    void discWanted(const QString &identifier);
    // The viewer was shown or hidden, or its show-by-itself option changed.
    void viewerOptionsChanged();
    // The disc's file list could not be read to the end: the pane shows what was read.
    void fileListUnreadable();
    // A bookmark of the shown disc was added, removed or described.
    void bookmarksChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTreeWidgetItem *nodeItem(const QString &key) const { return m_nodes.value(key); }
    QTreeWidgetItem *findOrAddArchiveNode(const QString &key);
    void connectMenus();
    void makeIconView();
    void popFolderMenu(const QPoint &pos);
    void viewerMenu(int index);
    void updateHistoryMenus();
    QString hostPathOnDrive(QChar letter, const QString &discPath);
    void openOnDrive(const QString &discPath, bool folder);
    void say(const QString &text);
    QTreeWidgetItem *addArchiveNode(int fileNumber, QTreeWidgetItem *folderItem);
    void fillRows(const QString &key, int *folderRows, int *fileRows, qint64 *totalBytes);
    void changeBookmark(const BookmarkRecord &item, bool describe);
    void updateBookmarkMarks();

    Catalogue &m_catalogue;
    AppIcons &m_icons;
    BrowseMenus &m_menus;
    UserPrompt &m_prompt;
    DriveLayer &m_drives;
    ShellLauncher *m_launcher;
    std::function<QChar()> m_driveOf;
    ShownDisc m_shown;
    QTreeWidget *m_tree;
    QTreeView *m_files;
    QListView *m_fileIcons;
    QStackedWidget *m_fileViews;
    FilePaneModel *m_model;
    QLabel *m_info;
    QPlainTextEdit *m_viewer;
    QSplitter *m_treeSplit;
    QSplitter *m_viewerSplit;
    QHash<QString, QTreeWidgetItem *> m_nodes;
    QString m_shownKey;
    bool m_autoShow = false;
    int m_viewMode = 3;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::DescendingOrder;
    std::vector<std::pair<QString, QString>> m_history;
    int m_historyPos = -1;
};

} // namespace vorn
