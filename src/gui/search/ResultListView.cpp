#include "gui/search/ResultListView.h"

#include "settings/SettingsStore.h"

#include <QHeaderView>

namespace vorn {

namespace {

// Columns 1 to 6 of each list have their width kept.
constexpr int kKeptWidths = 6;

QString widthKey(int column, int list)
{
    return QStringLiteral("LR%1%2").arg(column + 1).arg(list);
}

} // namespace

ResultListView::ResultListView(int list, QAbstractItemModel *model, QWidget *parent) : QTreeView(parent), m_list(list)
{
    setObjectName(QStringLiteral("ListResult_%1").arg(list));
    setModel(model);
    setMinimumHeight(48);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setContextMenuPolicy(Qt::CustomContextMenu);
    header()->setStretchLastSection(true);
    header()->setSectionsClickable(true);
    connect(header(), &QHeaderView::sectionClicked, this, &ResultListView::sortOnClick);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            emit rowOpened(index.row());
    });
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { emit menuRequested(viewport()->mapToGlobal(pos)); });
}

void ResultListView::sortOnClick(int column)
{
    m_order = m_order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(column, m_order);
    model()->sort(column, m_order);
}

void ResultListView::clearSortIndicator()
{
    header()->setSortIndicatorShown(false);
}

void ResultListView::saveWidths() const
{
    const int columns = std::min(kKeptWidths, model()->columnCount());
    for (int column = 0; column < columns; ++column)
        Settings::writeNumber(QStringLiteral("Aff"), widthKey(column, m_list), columnWidth(column));
}

void ResultListView::restoreWidths()
{
    const int columns = std::min(kKeptWidths, model()->columnCount());
    for (int column = 0; column < columns; ++column) {
        const QString key = widthKey(column, m_list);
        if (!Settings::contains(QStringLiteral("Aff"), key))
            continue;
        const qint64 width = Settings::readNumber(QStringLiteral("Aff"), key, 0);
        if (width > 0 && width < 10000)
            setColumnWidth(column, int(width));
    }
}

} // namespace vorn
