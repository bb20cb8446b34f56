#include "gui/SearchResultModel.h"

#include "gui/AppIcons.h"

#include <QHash>
#include <algorithm>
#include <numeric>

namespace vorn {

SearchResultModel::SearchResultModel(AppIcons *icons, QObject *parent) : QAbstractTableModel(parent), m_icons(icons)
{
}

int SearchResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int SearchResultModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SearchResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const SearchRow &row = m_rows[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        switch (Column(index.column())) {
        case Name:
            return row.name;
        case Disc:
            return row.discName;
        case Location:
            return row.location;
        case Extension:
            return row.extension;
        case Description:
            return row.description;
        case Size:
            return row.sizeText;
        case Modified:
            return row.dateText;
        case DateKey:
            return row.dateKey;
        case SizeBytes:
            return row.sizeBytes;
        case ColumnCount:
            break;
        }
        return {};
    case Qt::DecorationRole:
        if (index.column() != Name || !m_icons)
            return {};
        return row.folder ? m_icons->icon(QStringLiteral("FC")) : m_icons->fileIcon(row.name);
    case Qt::TextAlignmentRole:
        if (index.column() == Size)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case Qt::UserRole:
        return row.discPosition;
    default:
        return {};
    }
}

QVariant SearchResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_headers.size())
        return {};
    return m_headers[section];
}

void SearchResultModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    const int key = column == Modified ? DateKey : column;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<quint64> ids;
    ids.reserve(size_t(before.size()));
    for (const QModelIndex &index : before)
        ids.push_back(m_rows[size_t(index.row())].id);
    std::vector<QString> texts(m_rows.size());
    for (size_t row = 0; row < m_rows.size(); ++row)
        texts[row] = data(index(int(row), key)).toString();
    std::vector<size_t> byText(m_rows.size());
    std::iota(byText.begin(), byText.end(), size_t(0));
    std::stable_sort(byText.begin(), byText.end(), [&](size_t a, size_t b) {
        const int compared = QString::compare(texts[a], texts[b], Qt::CaseInsensitive);
        return order == Qt::AscendingOrder ? compared < 0 : compared > 0;
    });
    std::vector<SearchRow> sorted;
    sorted.reserve(m_rows.size());
    QHash<quint64, int> rowOfId;
    for (size_t row : byText) {
        rowOfId.insert(m_rows[row].id, int(sorted.size()));
        sorted.push_back(std::move(m_rows[row]));
    }
    m_rows = std::move(sorted);
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i)
        after << index(rowOfId.value(ids[size_t(i)]), before[i].column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void SearchResultModel::setHeaders(const QStringList &captions)
{
    m_headers = captions;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void SearchResultModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    endResetModel();
}

void SearchResultModel::append(std::vector<SearchRow> &rows)
{
    if (rows.empty())
        return;
    const int first = int(m_rows.size());
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    endInsertRows();
    rows.clear();
}

bool SearchResultModel::removeId(quint64 id)
{
    const auto found = std::find_if(m_rows.begin(), m_rows.end(), [id](const SearchRow &row) { return row.id == id; });
    if (found == m_rows.end())
        return false;
    const int index = int(found - m_rows.begin());
    beginRemoveRows({}, index, index);
    m_rows.erase(found);
    endRemoveRows();
    return true;
}

} // namespace vorn
