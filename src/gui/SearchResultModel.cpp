#include "gui/SearchResultModel.h"

#include "gui/AppIcons.h"

#include <algorithm>
#include <cstdlib>

namespace vorn {

SearchResultModel::SearchResultModel(AppIcons *icons, QObject *parent) : QAbstractTableModel(parent), m_icons(icons)
{
}

int SearchResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_order.size());
}

int SearchResultModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SearchResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_order.size()))
        return {};
    const SearchRow &row = m_rows[m_order[size_t(index.row())]];
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() >= ColumnCount)
            return {};
        return columnText(row, Column(index.column()));
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

QString SearchResultModel::columnText(const SearchRow &row, Column column) const
{
    switch (column) {
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
        return searchRowSizeText(row);
    case Modified:
        if (!m_dateText)
            m_dateText.emplace(searchDateFormat());
        return m_dateText->text(row.date);
    case DateKey:
        return searchDateKey(row.date);
    case SizeBytes:
        return searchRowSizeBytes(row);
    case ColumnCount:
        break;
    }
    return {};
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
    // The texts compared: the date column by its hidden key; the size and date keys
    // are fixed-width digits and compare as they stand, the other texts ignoring
    // case, by their case-folded forms made once.
    const Column key = column == Modified ? DateKey : Column(column);
    const bool fold = key != Size && key != DateKey;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The C library's sort over (key, row) pairs, the row breaking ties so the sort is
    // stable: lists of a hundred thousand rows sort in a blink.
    struct Entry
    {
        const QString *key;
        qsizetype row;
    };
    const size_t count = m_order.size();
    std::vector<QString> keys(count);
    std::vector<Entry> entries(count);
    for (size_t row = 0; row < count; ++row) {
        const QString text = columnText(m_rows[m_order[row]], key);
        keys[row] = fold ? text.toCaseFolded() : text;
        entries[row] = {&keys[row], qsizetype(row)};
    }
    const auto ascending = [](const void *a, const void *b) {
        const Entry &x = *static_cast<const Entry *>(a);
        const Entry &y = *static_cast<const Entry *>(b);
        const int compared = x.key->compare(*y.key);
        return compared != 0 ? compared : (x.row < y.row ? -1 : 1);
    };
    const auto descending = [](const void *a, const void *b) {
        const Entry &x = *static_cast<const Entry *>(a);
        const Entry &y = *static_cast<const Entry *>(b);
        const int compared = y.key->compare(*x.key);
        return compared != 0 ? compared : (x.row < y.row ? -1 : 1);
    };
    if (!entries.empty()) {
        std::qsort(entries.data(), entries.size(), sizeof(Entry),
                   order == Qt::AscendingOrder ? +ascending : +descending);
    }
    // Only the order changes: the rows stay where they are.
    std::vector<size_t> shown(count);
    std::vector<int> newRow(count);
    for (size_t i = 0; i < count; ++i) {
        shown[i] = m_order[size_t(entries[i].row)];
        newRow[size_t(entries[i].row)] = int(i);
    }
    m_order = std::move(shown);
    // The selection and the current row follow their rows.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex &index : before)
        after << this->index(newRow[size_t(index.row())], index.column());
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
    takeAll();
}

std::vector<SearchRow> SearchResultModel::takeAll()
{
    beginResetModel();
    std::vector<SearchRow> rows = std::move(m_rows);
    m_rows = {};
    m_dateText.reset();
    m_listed = {};
    m_order = {};
    endResetModel();
    return rows;
}

void SearchResultModel::append(std::vector<SearchRow> &rows)
{
    if (rows.empty())
        return;
    const int first = int(m_order.size());
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    for (SearchRow &row : rows) {
        m_order.push_back(m_rows.size());
        m_rows.push_back(std::move(row));
        m_listed.push_back(true);
    }
    endInsertRows();
    rows.clear();
}

void SearchResultModel::removeIds(const std::vector<quint64> &ids)
{
    std::vector<size_t> gone;
    for (const quint64 id : ids) {
        const auto found = findRowById(m_rows, id);
        const auto stored = size_t(found - m_rows.begin());
        if (found != m_rows.end() && m_listed[stored]) {
            m_listed[stored] = false;
            gone.push_back(stored);
        }
    }
    if (gone.empty())
        return;
    // One layout change takes them all out: taking each out on its own would shift the
    // rest of a list of 100,000 rows every time. The rows left keep their selection
    // and the current row; the rows taken out lose theirs.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::NoLayoutChangeHint);
    // Their places stay, so that m_order holds.
    for (const size_t stored : gone)
        keepOnlyId(m_rows[stored]);
    std::vector<int> newRow(m_order.size(), -1);
    size_t kept = 0;
    for (size_t i = 0; i < m_order.size(); ++i) {
        if (m_listed[m_order[i]]) {
            newRow[i] = int(kept);
            m_order[kept++] = m_order[i];
        }
    }
    m_order.resize(kept);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex &index : before) {
        const int row = newRow[size_t(index.row())];
        after << (row >= 0 ? this->index(row, index.column()) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::NoLayoutChangeHint);
}

} // namespace vorn
