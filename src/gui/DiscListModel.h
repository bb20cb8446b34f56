#pragma once

#include "scan/DriveWatch.h"

#include <QAbstractListModel>
#include <QIcon>
#include <QString>
#include <functional>
#include <vector>

namespace vorn {

// One entry of the disc list: a drive, the separator or a catalogued disc.
struct DiscListEntry
{
    enum class Kind { Drive, Separator, Disc };

    Kind kind = Kind::Disc;
    QChar letter; // a drive's letter
    QString identifier; // a disc's identifier; a drive's NumberID ("0" when empty)
    DriveState state = DriveState::Empty; // a drive's
    QString label; // the volume label of the disc in a drive
    QString text;
    QString toolTip;
    QIcon icon;
    bool excluded = false; // shown in blue

    bool isDrive() const { return kind == Kind::Drive; }
    bool isDisc() const { return kind == Kind::Disc; }
    // A disc of the catalogue: a disc entry, or a drive holding a catalogued disc.
    bool holdsCatalogued() const { return isDisc() || (isDrive() && state == DriveState::Catalogued); }
};

// The rows of `LVCD`. Filled in one reset, so thousands of discs show at once.
class DiscListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void setEntries(std::vector<DiscListEntry> entries);
    const std::vector<DiscListEntry> &entries() const { return m_entries; }
    const DiscListEntry &entry(int row) const { return m_entries[size_t(row)]; }
    bool isRow(int row) const { return row >= 0 && row < int(m_entries.size()); }
    // Rows, -1 when absent: the disc entry of a disc, the entry of a drive, and the
    // entry that shows a disc (its disc entry, else the drive holding it).
    int rowOfDisc(const QString &identifier) const;
    int rowOfDrive(QChar letter) const;
    int rowShowing(const QString &identifier) const;
    void setToolTip(int row, const QString &text);
    void setText(int row, const QString &text);
    // Disc entries can be edited in place; the new text goes to this handler, which
    // refills the list itself when it accepts it.
    void setRenameHandler(std::function<void(const QString &identifier, const QString &text)> handler)
    {
        m_rename = std::move(handler);
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

private:
    std::vector<DiscListEntry> m_entries;
    std::function<void(const QString &, const QString &)> m_rename;
};

} // namespace vorn
