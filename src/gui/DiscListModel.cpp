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

int DiscListModel::rowOfDisc(const QString &identifier) const
{
    for (size_t row = 0; row < m_entries.size(); ++row) {
        if (m_entries[row].isDisc() && m_entries[row].identifier == identifier)
            return int(row);
    }
    return -1;
}

int DiscListModel::rowOfDrive(QChar letter) const
{
    for (size_t row = 0; row < m_entries.size(); ++row) {
        if (m_entries[row].isDrive() && m_entries[row].letter == letter.toUpper())
            return int(row);
    }
    return -1;
}

int DiscListModel::rowShowing(const QString &identifier) const
{
    const int row = rowOfDisc(identifier);
    if (row >= 0)
        return row;
    for (size_t r = 0; r < m_entries.size(); ++r) {
        const DiscListEntry &entry = m_entries[r];
        if (entry.isDrive() && entry.state == DriveState::Catalogued && entry.identifier == identifier)
            return int(r);
    }
    return -1;
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
    default:
        return {};
    }
}

Qt::ItemFlags DiscListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_entries[size_t(index.row())].isDisc())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool DiscListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= int(m_entries.size()) || !m_rename)
        return false;
    // The handler may refill the model: it runs once the editor has let go.
    const QString identifier = m_entries[size_t(index.row())].identifier;
    const QString text = value.toString();
    QMetaObject::invokeMethod(
        this, [this, identifier, text] { m_rename(identifier, text); }, Qt::QueuedConnection);
    return false;
}

} // namespace vorn
