#include "gui/DiscListModel.h"

#include <QBrush>
#include <QColor>

namespace vorn {

void DiscListModel::setEntries(std::vector<DiscListEntry> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

int DiscListModel::rowOfKey(const QString &key) const
{
    for (size_t row = 0; row < m_entries.size(); ++row) {
        if (m_entries[row].key == key)
            return int(row);
    }
    return -1;
}

QString DiscListModel::keyAt(int row) const
{
    return row >= 0 && row < int(m_entries.size()) ? m_entries[size_t(row)].key : QString();
}

void DiscListModel::setToolTip(int row, const QString &text)
{
    if (row < 0 || row >= int(m_entries.size()))
        return;
    m_entries[size_t(row)].toolTip = text;
    const QModelIndex at = index(row);
    emit dataChanged(at, at, {Qt::ToolTipRole});
}

void DiscListModel::setText(int row, const QString &text)
{
    if (row < 0 || row >= int(m_entries.size()))
        return;
    m_entries[size_t(row)].text = text;
    const QModelIndex at = index(row);
    emit dataChanged(at, at, {Qt::DisplayRole});
}

int DiscListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant DiscListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_entries.size()))
        return {};
    const DiscListEntry &entry = m_entries[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return entry.text;
    case Qt::ToolTipRole:
        return entry.toolTip.isEmpty() ? QVariant() : QVariant(entry.toolTip);
    case Qt::DecorationRole:
        return entry.icon;
    case Qt::ForegroundRole:
        return entry.excluded ? QVariant(QBrush(QColor(0, 0, 255))) : QVariant();
    case KeyRole:
        return entry.key;
    default:
        return {};
    }
}

Qt::ItemFlags DiscListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_entries[size_t(index.row())].key.startsWith(QLatin1String("__")))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool DiscListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= int(m_entries.size()) || !m_rename)
        return false;
    // The handler may refill the model: it runs once the editor has let go.
    const QString key = m_entries[size_t(index.row())].key;
    const QString text = value.toString();
    QMetaObject::invokeMethod(this, [this, key, text] { m_rename(key, text); }, Qt::QueuedConnection);
    return false;
}

} // namespace vorn
