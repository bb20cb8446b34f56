#include "gui/search/BookmarkListModel.h"

#include "gui/AppIcons.h"

#include <algorithm>
#include <numeric>

namespace vorn {

BookmarkListModel::BookmarkListModel(AppIcons *icons, QObject *parent) : QAbstractTableModel(parent), m_icons(icons)
{
}

int BookmarkListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int BookmarkListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString BookmarkListModel::text(const BookmarkRow &row, int column) const
{
    switch (Column(column)) {
    case Name:
        return row.name;
    case Disc:
        return row.discName;
    case Path:
        return row.path;
    case Extension:
        return row.extension;
    case Description:
        return row.description;
    case ColumnCount:
        break;
    }
    return {};
}

QVariant BookmarkListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const BookmarkRow &row = m_rows[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return text(row, index.column());
    case Qt::DecorationRole:
        if (index.column() != Name || !m_icons)
            return {};
        return row.folder ? m_icons->icon(QStringLiteral("FC")) : m_icons->fileIcon(row.name);
    case Qt::UserRole:
        return row.discPosition;
    default:
        return {};
    }
}

QVariant BookmarkListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_headers.size())
        return {};
    return m_headers[section];
}

void BookmarkListModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> byText(m_rows.size());
    std::iota(byText.begin(), byText.end(), 0);
    std::stable_sort(byText.begin(), byText.end(), [&](int a, int b) {
        const int compared =
            QString::compare(text(m_rows[size_t(a)], column), text(m_rows[size_t(b)], column), Qt::CaseInsensitive);
        return order == Qt::AscendingOrder ? compared < 0 : compared > 0;
    });
    std::vector<BookmarkRow> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> newRow(m_rows.size());
    for (int from : byText) {
        newRow[size_t(from)] = int(sorted.size());
        sorted.push_back(std::move(m_rows[size_t(from)]));
    }
    m_rows = std::move(sorted);
    // The selection follows its rows.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex &index : before)
        after << this->index(newRow[size_t(index.row())], index.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void BookmarkListModel::setHeaders(const QStringList &captions)
{
    m_headers = captions;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void BookmarkListModel::setRows(std::vector<BookmarkRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void BookmarkListModel::removeRow(int row)
{
    if (row < 0 || row >= int(m_rows.size()))
        return;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

} // namespace vorn
