#include "gui/BrowsePane.h"

#include "common/DayDate.h"
#include "common/Numbers.h"
#include "gui/AppIcons.h"
#include "gui/MainMenus.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/Mp3Summary.h"

#include <QApplication>
#include <QDateTime>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStackedWidget>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace vorn {

namespace {

constexpr int KeyRole = Qt::UserRole + 1;

QString shortDate(double dayNumber)
{
    return QLocale::system().toString(dateTimeFromDayNumber(dayNumber), QLocale::ShortFormat);
}

QChar groupSeparator()
{
    const QString text = LoadText(500);
    return text.isEmpty() ? QChar(u' ') : text.at(0);
}

// Restores the cursor when the filling is done, whatever way it ends.
struct BusyCursor
{
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

BrowsePane::BrowsePane(Catalogue &catalogue, AppIcons &icons, BrowseMenus &menus, UserPrompt &prompt,
                       DriveLayer &drives, ShellLauncher *launcher, QWidget *parent)
    : QWidget(parent), m_catalogue(catalogue), m_icons(icons), m_menus(menus), m_prompt(prompt), m_drives(drives),
      m_launcher(launcher)
{
    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("TV1"));
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true);

    m_files = new QTreeView;
    m_files->setObjectName(QStringLiteral("LV1"));
    m_model = new FilePaneModel(m_files);
    m_files->setModel(m_model);
    m_files->setRootIsDecorated(false);
    m_files->setUniformRowHeights(true);
    m_files->setAllColumnsShowFocus(true);
    m_files->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_files->header()->setSectionsClickable(true);
    m_files->header()->setSortIndicatorShown(true);
    m_files->setColumnHidden(FilePaneModel::DateNumber, true);
    m_model->setHeaders({LoadText(400), LoadText(404), LoadText(401), LoadText(402), QString()});
    m_files->setColumnWidth(FilePaneModel::Name, 200);
    m_files->setColumnWidth(FilePaneModel::Description, 180);
    m_files->setColumnWidth(FilePaneModel::Size, 90);
    // Wide enough for the longest short date of the user's locale.
    const QString longDate =
        QLocale::system().toString(QDateTime(QDate(2028, 12, 28), QTime(23, 58, 58)), QLocale::ShortFormat);
    m_files->setColumnWidth(FilePaneModel::Date, qMax(130, m_files->fontMetrics().horizontalAdvance(longDate) + 24));
    m_files->header()->setSortIndicator(-1, Qt::AscendingOrder);

    m_info = new QLabel;
    m_info->setObjectName(QStringLiteral("PictInfoDir"));
    m_info->setFrameShape(QFrame::StyledPanel);
    m_info->setTextFormat(Qt::PlainText);
    m_info->setMinimumHeight(m_info->fontMetrics().height() + 6);
    m_info->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_info->installEventFilter(this);

    m_viewer = new QPlainTextEdit;
    m_viewer->setObjectName(QStringLiteral("TxtFichierTexte"));
    m_viewer->setReadOnly(true);

    m_treeSplit = new QSplitter(Qt::Horizontal);
    m_treeSplit->setObjectName(QStringLiteral("SplitTV1"));
    m_treeSplit->addWidget(m_tree);
    makeIconView();
    m_treeSplit->addWidget(m_fileViews);
    m_treeSplit->setStretchFactor(1, 1);

    auto *upper = new QWidget;
    auto *upperLayout = new QVBoxLayout(upper);
    upperLayout->setContentsMargins(0, 0, 0, 0);
    upperLayout->setSpacing(2);
    upperLayout->addWidget(m_treeSplit, 1);
    upperLayout->addWidget(m_info);

    m_viewerSplit = new QSplitter(Qt::Vertical);
    m_viewerSplit->setObjectName(QStringLiteral("Frame2"));
    m_viewerSplit->addWidget(upper);
    m_viewerSplit->addWidget(m_viewer);
    m_viewerSplit->setStretchFactor(0, 3);
    m_viewerSplit->setStretchFactor(1, 1);
    m_viewerSplit->setChildrenCollapsible(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_viewerSplit);

    connect(m_tree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { showNode(item->data(0, KeyRole).toString()); });
    connect(m_tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *item) {
        const QString key = item->data(0, KeyRole).toString();
        const QString image = item->data(0, KeyRole + 1).toString();
        if (key.startsWith(u'K') && key != QLatin1String("K0"))
            item->setIcon(0,
                          m_icons.icon(image == QLatin1String("FCe") ? QStringLiteral("FOe") : QStringLiteral("FO")));
    });
    connect(m_tree, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem *item) {
        const QString key = item->data(0, KeyRole).toString();
        if (key.startsWith(u'K') && key != QLatin1String("K0"))
            item->setIcon(0, m_icons.icon(item->data(0, KeyRole + 1).toString()));
    });
    connect(m_files->header(), &QHeaderView::sectionClicked, this, &BrowsePane::sortByColumn);
    connect(m_files, &QTreeView::clicked, this, [this](const QModelIndex &index) { showFileText(index.row()); });
    connectMenus();
}

void BrowsePane::clear()
{
    m_tree->clear();
    m_nodes.clear();
    m_model->clear();
    m_shownKey.clear();
    clearInfo();
    m_shown.reset();
}

void BrowsePane::clearInfo()
{
    m_info->clear();
    m_info->setProperty("tag", QString());
    m_viewer->clear();
}

bool BrowsePane::showDisc(int position, const QString &rootText)
{
    clear();
    if (!m_shown.load(m_catalogue, position))
        return false;
    const std::vector<FolderRecord> &folders = m_shown.tree.folders;
    std::vector<QTreeWidgetItem *> items(folders.size(), nullptr);
    auto *root = new QTreeWidgetItem;
    root->setText(0, rootText);
    root->setIcon(0, m_icons.icon(QStringLiteral("CD")));
    root->setData(0, KeyRole, QStringLiteral("K0"));
    items[0] = root;
    m_nodes.insert(QStringLiteral("K0"), root);
    const QIcon closed = m_icons.icon(QStringLiteral("FC"));
    const QIcon closedExcluded = m_icons.icon(QStringLiteral("FCe"));
    QFont bold = m_tree->font();
    bold.setBold(true);
    for (size_t i = 1; i < folders.size(); ++i) {
        auto *item = new QTreeWidgetItem;
        const bool excluded = (folders[i].flags & FolderExcludedFromSearch) != 0;
        item->setText(0, folders[i].name);
        item->setIcon(0, excluded ? closedExcluded : closed);
        const QString key = u'K' + QString::number(i);
        item->setData(0, KeyRole, key);
        item->setData(0, KeyRole + 1, excluded ? QStringLiteral("FCe") : QStringLiteral("FC"));
        if (m_shown.isFolderBookmarked(int(i)))
            item->setFont(0, bold);
        items[i] = item;
        m_nodes.insert(key, item);
    }
    for (size_t i = 1; i < folders.size(); ++i) {
        const qint32 parent = folders[i].parent;
        const bool valid = parent >= 0 && size_t(parent) < folders.size() && size_t(parent) != i;
        items[valid ? size_t(parent) : 0]->addChild(items[i]);
    }
    m_tree->addTopLevelItem(root);
    root->setExpanded(true);
    return true;
}

void BrowsePane::setRootText(const QString &text)
{
    if (QTreeWidgetItem *root = nodeItem(QStringLiteral("K0")))
        root->setText(0, text);
}

QTreeWidgetItem *BrowsePane::addArchiveNode(int fileNumber, QTreeWidgetItem *folderItem)
{
    const QString key = u'Z' + QString::number(fileNumber);
    if (QTreeWidgetItem *existing = nodeItem(key))
        return existing;
    auto *item = new QTreeWidgetItem(folderItem);
    const QString &name = m_shown.tree.files[size_t(fileNumber)].name;
    item->setText(0, name);
    item->setIcon(0, m_icons.fileIcon(name));
    item->setData(0, KeyRole, key);
    m_nodes.insert(key, item);
    return item;
}

void BrowsePane::fillRows(const QString &key, int *folderRows, int *fileRows, qint64 *totalBytes)
{
    DiscTree &tree = m_shown.tree;
    const bool archive = key.startsWith(u'Z');
    const int number = key.mid(1).toInt();
    std::vector<FilePaneRow> rows;
    // Files of one disc share few distinct dates, and each conversion to local time
    // is costly: each date is formatted once per folder shown.
    QHash<double, QString> dates;
    auto dateText = [&dates](double day) {
        auto found = dates.constFind(day);
        if (found == dates.constEnd())
            found = dates.insert(day, shortDate(day));
        return *found;
    };
    if (!archive) {
        const bool failedBefore = m_shown.loader.failed();
        m_shown.loader.load(m_catalogue, tree, number, m_shown.position);
        if (m_shown.loader.failed() && !failedBefore)
            emit fileListUnreadable();
        for (size_t i = 1; i < tree.folders.size(); ++i) {
            const FolderRecord &folder = tree.folders[i];
            if (folder.parent != number)
                continue;
            FilePaneRow row;
            row.key = u'R' + QString::number(i);
            row.image = (folder.flags & FolderExcludedFromSearch) ? QStringLiteral("FCe") : QStringLiteral("FC");
            row.icon = m_icons.icon(row.image);
            row.name = folder.name;
            row.date = dateText(folder.date);
            row.dateNumber = folder.date;
            row.bold = m_shown.isFolderBookmarked(int(i));
            rows.push_back(std::move(row));
        }
    }
    *folderRows = int(rows.size());
    const qint32 owner = archive ? TreeFiles::archiveLink(number) : number;
    const QChar separator = groupSeparator();
    QTreeWidgetItem *folderItem = nodeItem(key);
    qint64 total = 0;
    int files = 0;
    rows.reserve(rows.size()
                 + size_t(std::count_if(tree.files.begin(), tree.files.end(),
                                        [owner](const FileRecord &file) { return file.owner == owner; })));
    for (size_t n = 0; n < tree.files.size(); ++n) {
        const FileRecord &file = tree.files[n];
        if (file.owner != owner)
            continue;
        FilePaneRow row;
        row.key = u'K' + QString::number(n);
        row.image = QStringLiteral("J");
        row.icon = m_icons.fileIcon(file.name);
        row.name = file.name;
        row.description = TreeFiles::displayDescription(file.descriptions);
        qint64 kilobytes = kilobytesFromBytes(file.size);
        if (kilobytes == 0)
            kilobytes = 1;
        row.size = groupDigits(kilobytes, separator).rightJustified(12, u' ');
        row.date = dateText(file.date);
        row.dateNumber = file.date;
        row.bold = m_shown.isFileBookmarked(int(n));
        rows.push_back(std::move(row));
        total += file.size;
        ++files;
        if (file.link < 0 && !archive && folderItem)
            addArchiveNode(int(n), folderItem);
    }
    *fileRows = files;
    *totalBytes = total;
    m_model->setRows(std::move(rows));
}

QTreeWidgetItem *BrowsePane::findOrAddArchiveNode(const QString &key)
{
    // An archive's node is made when its folder is first listed; the history may come
    // back to it before that, once the disc has been shown anew.
    const int number = key.mid(1).toInt();
    for (int folder = 0; number >= 0 && size_t(number) >= m_shown.tree.files.size()
         && size_t(folder) < m_shown.tree.folders.size() && !m_shown.loader.failed();
         ++folder)
        m_shown.loader.load(m_catalogue, m_shown.tree, folder, m_shown.position);
    if (number < 0 || size_t(number) >= m_shown.tree.files.size())
        return nullptr;
    QTreeWidgetItem *folderItem = nodeItem(u'K' + QString::number(m_shown.tree.files[size_t(number)].owner));
    return folderItem && m_shown.tree.files[size_t(number)].link < 0 ? addArchiveNode(number, folderItem) : nullptr;
}

bool BrowsePane::showNode(const QString &key, bool fromHistory)
{
    if (m_shown.position == 0)
        return false;
    QTreeWidgetItem *item = nodeItem(key);
    if (!item && key.startsWith(u'Z'))
        item = findOrAddArchiveNode(key);
    if (!item)
        return false;
    {
        BusyCursor busy;
        m_model->clear();
        m_viewer->clear();
        int folderRows = 0;
        int fileRows = 0;
        qint64 totalBytes = 0;
        fillRows(key, &folderRows, &fileRows, &totalBytes);
        m_sortColumn = -1;
        m_files->header()->setSortIndicator(-1, Qt::AscendingOrder);
        const QChar separator = groupSeparator();
        const QString summary = QString::number(folderRows) + LoadText(377) + QString::number(fileRows) + LoadText(378)
            + groupDigits(kilobytesFromBytes(totalBytes), separator) + LoadText(871)
            + groupDigits(totalBytes, separator) + LoadText(872);
        m_info->setProperty("tag", summary);
        m_info->setText(item->text(0) + QString(9, u' ') + summary);
        m_shownKey = key;
        if (m_tree->currentItem() != item)
            m_tree->setCurrentItem(item);
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (!fromHistory) {
        const std::pair<QString, QString> place(m_shown.identifier, key);
        if (m_history.empty() || m_history.back() != place)
            m_history.push_back(place);
        m_historyPos = int(m_history.size()) - 1;
    }
    updateHistoryMenus();
    return true;
}

QString BrowsePane::currentNodeKey() const
{
    const QTreeWidgetItem *item = m_tree->currentItem();
    return item ? item->data(0, KeyRole).toString() : QString();
}

std::pair<QString, QString> BrowsePane::stepHistory(int delta)
{
    const int target = m_historyPos + delta;
    if (target < 0 || target >= int(m_history.size()))
        return {};
    m_historyPos = target;
    return m_history[size_t(target)];
}

void BrowsePane::showFileText(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    BusyCursor busy;
    m_viewer->clear();
    const QString key = m_model->row(row).key;
    if (!key.startsWith(u'K'))
        return;
    const int number = key.mid(1).toInt();
    if (number < 0 || size_t(number) >= m_shown.tree.files.size())
        return;
    const FileRecord &file = m_shown.tree.files[size_t(number)];
    QString text;
    if (file.link > 0)
        text = m_shown.texts.read(m_catalogue, m_shown.identifier, file.link);
    else if (file.descriptions.automatic.startsWith(QLatin1String("[MP3]")))
        text = mp3FullSummary(m_shown.tags.read(m_catalogue, m_shown.identifier, number));
    m_viewer->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    if (m_autoShow && !viewerVisible() && !text.isEmpty())
        setViewerVisible(true);
    m_files->scrollTo(m_model->index(row, 0));
    m_fileIcons->scrollTo(m_model->index(row, 0));
}

void BrowsePane::setViewerVisible(bool visible)
{
    m_viewer->setVisible(visible);
    m_menus.viewerShown->setText(LoadText(visible ? 468 : 467));
}

bool BrowsePane::viewerVisible() const
{
    return !m_viewer->isHidden();
}

void BrowsePane::sortByColumn(int column)
{
    if (column < 0 || column >= FilePaneModel::DateNumber)
        return;
    m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    if (m_sortColumn < 0)
        m_sortOrder = Qt::AscendingOrder;
    m_sortColumn = column;
    m_model->sort(column == FilePaneModel::Date ? int(FilePaneModel::DateNumber) : column, m_sortOrder);
    m_files->header()->setSortIndicator(column, m_sortOrder);
}

bool BrowsePane::eventFilter(QObject *watched, QEvent *event)
{
    // A background colour given to the file pane holds in every view mode.
    if (watched == m_files && event->type() == QEvent::PaletteChange)
        m_fileIcons->setPalette(m_files->palette());
    if (watched == m_info && event->type() == QEvent::MouseButtonRelease) {
        m_menus.viewer->popup(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vorn
