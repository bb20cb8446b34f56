// The browse page's menus and the opening of files and folders on the disc in the
// drive: history, the folder tree's pop-up menu, the text viewer's menu, view modes.
#include "gui/BrowsePane.h"

#include "common/UserPrompt.h"
#include "gui/ListViewModes.h"
#include "gui/MainMenus.h"
#include "scan/DriveLayer.h"
#include "scan/ShellOpen.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/TreeFiles.h"

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTreeView>
#include <QTreeWidget>

namespace vorn {

void BrowsePane::makeIconView()
{
    m_fileIcons = new QListView;
    m_fileIcons->setObjectName(QStringLiteral("LV1Icons"));
    m_fileIcons->setModel(m_model);
    // One selection for both views, so the commands find the chosen row in either.
    QItemSelectionModel *own = m_fileIcons->selectionModel();
    m_fileIcons->setSelectionModel(m_files->selectionModel());
    delete own;
    m_fileIcons->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_fileIcons->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fileIcons->setContextMenuPolicy(Qt::CustomContextMenu);
    // The window pops the file pane's menu up from `LV1`'s request, wherever the click was.
    connect(m_fileIcons, &QListView::customContextMenuRequested, this, [this](const QPoint &pos) {
        const QPoint global = m_fileIcons->viewport()->mapToGlobal(pos);
        emit m_files->customContextMenuRequested(m_files->viewport()->mapFromGlobal(global));
    });
    connect(m_fileIcons, &QListView::clicked, this, [this](const QModelIndex &index) { showFileText(index.row()); });
    connect(m_fileIcons, &QListView::doubleClicked, this,
            [this](const QModelIndex &index) { openFileRow(index.row()); });
    m_files->installEventFilter(this);

    m_fileViews = new QStackedWidget;
    m_fileViews->addWidget(m_files);
    m_fileViews->addWidget(m_fileIcons);
    m_fileViews->setCurrentWidget(m_files);
}

void BrowsePane::connectMenus()
{
    connect(m_menus.back, &QAction::triggered, this, [this] { moveInHistory(-1); });
    connect(m_menus.forward, &QAction::triggered, this, [this] { moveInHistory(1); });
    for (QAction *open : m_menus.openFolder)
        connect(open, &QAction::triggered, this, &BrowsePane::exploreShownFolder);
    connect(m_menus.viewerShown, &QAction::triggered, this, [this] { viewerMenu(0); });
    connect(m_menus.viewerZoom, &QAction::triggered, this, [this] { viewerMenu(1); });
    connect(m_menus.viewerAutoShow, &QAction::triggered, this, [this] { viewerMenu(2); });

    connect(m_files, &QTreeView::doubleClicked, this, [this](const QModelIndex &index) { openFileRow(index.row()); });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] { openTreeNode(currentNodeKey()); });
    for (int index = 0; index < 3; ++index) {
        m_menus.folderBookmark[index]->setEnabled(true);
        connect(m_menus.folderBookmark[index], &QAction::triggered, this,
                [this, index] { bookmarkNode(currentNodeKey(), index == 2); });
    }
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tree, &QTreeWidget::customContextMenuRequested, this, &BrowsePane::popFolderMenu);
}

void BrowsePane::popFolderMenu(const QPoint &pos)
{
    QTreeWidgetItem *item = m_tree->itemAt(pos);
    if (!item)
        return;
    // The node pointed at is shown as well as selected, so the menu acts on what is seen.
    const QString key = item->data(0, Qt::UserRole + 1).toString();
    showNode(key);
    const bool folder = key.startsWith(u'K');
    for (QAction *open : m_menus.openFolder)
        open->setVisible(folder);
    const int number = key.mid(1).toInt();
    const std::vector<FolderRecord> &folders = m_shown.tree.folders;
    const bool excluded = folder && number > 0 && size_t(number) < folders.size()
        && (folders[size_t(number)].flags & FolderExcludedFromSearch);
    m_menus.excludeFolder->setChecked(excluded);
    m_menus.excludeFolder->setVisible(folder);
    m_menus.folderProperties->setVisible(folder);
    // The bookmark entries follow whether the node is bookmarked (bold) already.
    const std::optional<BookmarkRecord> bookmark = bookmarkItemOfNode(key);
    const bool marked = bookmark && isBookmarked(*bookmark);
    m_menus.folderBookmarks->menuAction()->setVisible(folder);
    m_menus.folderBookmarks->menuAction()->setEnabled(bookmark.has_value());
    m_menus.folderBookmark[0]->setVisible(!marked);
    m_menus.folderBookmark[1]->setVisible(marked);
    m_menus.folder->popup(m_tree->viewport()->mapToGlobal(pos));
}

void BrowsePane::updateHistoryMenus()
{
    m_menus.back->setEnabled(canGoBack());
    m_menus.forward->setEnabled(canGoForward());
}

void BrowsePane::moveInHistory(int delta)
{
    const auto [identifier, node] = stepHistory(delta);
    if (identifier.isEmpty())
        return;
    if (m_shown.identifier != identifier)
        emit discWanted(identifier);
    if (m_shown.identifier == identifier)
        showNode(node, true);
    updateHistoryMenus();
}

void BrowsePane::viewerMenu(int index)
{
    switch (index) {
    case 0:
        setViewerVisible(!viewerVisible());
        break;
    case 1: {
        const QString path = m_catalogue.tempFolder + QStringLiteral("VORN_TXT.txt");
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            file.write(m_viewer->toPlainText().toUtf8());
            file.close();
            say(shellOpen(path, m_launcher ? *m_launcher : systemShellLauncher()));
        }
        return;
    }
    case 2:
        m_autoShow = m_menus.viewerAutoShow->isChecked();
        break;
    default:
        return;
    }
    emit viewerOptionsChanged();
}

void BrowsePane::setViewMode(int mode)
{
    if (mode < 0 || mode > 3)
        return;
    m_viewMode = mode;
    if (mode != Details)
        applyListViewMode(m_fileIcons, mode);
    m_fileViews->setCurrentWidget(mode == Details ? static_cast<QWidget *>(m_files) : m_fileIcons);
}

QString BrowsePane::hostPathOnDrive(QChar letter, const QString &discPath)
{
    const DriveVolumeOpening opening = m_drives.openVolume(letter);
    if (!opening.walked()) {
        say(opening.message);
        return {};
    }
    const QString host = opening.walked()->hostPath(QString(letter) + QStringLiteral(":\\") + discPath);
    if (host.isEmpty())
        say(shellErrorText(kShellFileNotFound));
    return host;
}

void BrowsePane::openOnDrive(const QString &discPath, bool folder)
{
    const QChar letter = m_driveOf && !m_shown.identifier.isEmpty() ? m_driveOf() : QChar();
    if (letter.isNull()) {
        m_prompt.warn(LoadText(369));
        return;
    }
    const QString host = hostPathOnDrive(letter, discPath);
    if (host.isEmpty())
        return;
    ShellLauncher &launcher = m_launcher ? *m_launcher : systemShellLauncher();
    say(folder ? shellOpenFolder(host, launcher) : shellOpen(host, launcher));
}

void BrowsePane::openFileRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QString key = m_model->row(row).key;
    const int number = key.mid(1).toInt();
    if (key.startsWith(u'R')) {
        if (showNode(u'K' + QString::number(number))) {
            if (QTreeWidgetItem *item = m_tree->currentItem())
                item->setExpanded(true);
        }
        return;
    }
    if (number < 0 || size_t(number) >= m_shown.tree.files.size())
        return;
    openOnDrive(TreeFiles::filePath(m_shown.tree, number), false);
}

void BrowsePane::openTreeNode(const QString &key)
{
    const DiscTree &tree = m_shown.tree;
    const int number = key.mid(1).toInt();
    if (key.startsWith(u'K')) {
        if (number < 0 || size_t(number) >= tree.folders.size())
            return;
        openOnDrive(TreeFiles::folderPath(tree, number), true);
    } else if (key.startsWith(u'Z')) {
        if (number < 0 || size_t(number) >= tree.files.size())
            return;
        openOnDrive(TreeFiles::filePath(tree, number), false);
    }
}

void BrowsePane::exploreShownFolder()
{
    QString key = currentNodeKey();
    if (key.isEmpty())
        key = shownNodeKey();
    if (key.startsWith(u'K'))
        openTreeNode(key);
}

void BrowsePane::say(const QString &text)
{
    if (!text.isEmpty())
        m_prompt.warn(text);
}

} // namespace vorn
