#include "gui/FilePaneModel.h"

#include <QFont>
#include <algorithm>

namespace vorn {

void FilePaneModel::setRows(std::vector<FilePaneRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int FilePaneModel::rowOfKey(const QString &key) const
{
    for (size_t r = 0; r < m_rows.size(); ++r) {
        if (m_rows[r].key == key)
            return int(r);
    }
    return -1;
}

void FilePaneModel::setHeaders(const QStringList &captions)
{
    m_headers = captions;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

int FilePaneModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int FilePaneModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FilePaneModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const FilePaneRow &row = m_rows[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case Name:
            return row.name;
        case Description:
            return row.description;
        case Size:
            return row.size;
        case Date:
            return row.date;
        case DateNumber:
            return row.dateNumber;
        default:
            return {};
        }
    case Qt::DecorationRole:
        return index.column() == Name ? QVariant(row.icon) : QVariant();
    case Qt::ToolTipRole:
        return row.description.isEmpty() ? QVariant() : QVariant(row.description);
    case Qt::FontRole:
        if (row.bold) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    case Qt::TextAlignmentRole:
        return index.column() == Size ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    case KeyRole:
        return row.key;
    default:
        return {};
    }
}

QVariant FilePaneModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return m_headers.value(section);
}

void FilePaneModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> permutation(m_rows.size());
    for (size_t i = 0; i < permutation.size(); ++i)
        permutation[i] = int(i);
    auto text = [column](const FilePaneRow &row) -> const QString & {
        switch (column) {
        case Description:
            return row.description;
        case Size:
            return row.size;
        case Date:
            return row.date;
        default:
            return row.name;
        }
    };
    const bool descending = order == Qt::DescendingOrder;
    std::stable_sort(permutation.begin(), permutation.end(), [&](int a, int b) {
        const FilePaneRow &x = m_rows[size_t(descending ? b : a)];
        const FilePaneRow &y = m_rows[size_t(descending ? a : b)];
        if (column == DateNumber)
            return x.dateNumber < y.dateNumber;
        return QString::compare(text(x), text(y), Qt::CaseInsensitive) < 0;
    });
    std::vector<FilePaneRow> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> newRowOf(m_rows.size());
    for (size_t i = 0; i < permutation.size(); ++i) {
        sorted.push_back(std::move(m_rows[size_t(permutation[i])]));
        newRowOf[size_t(permutation[i])] = int(i);
    }
    m_rows = std::move(sorted);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &old : before)
        after << index(newRowOf[size_t(old.row())], old.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace vorn
