#pragma once

#include <QAbstractListModel>
#include <QIcon>
#include <QString>
#include <functional>
#include <vector>

namespace vorn {

// One entry of the disc list: a drive, the separator or a disc. The key's first two
// characters give the role ("D:" drive, "__" disc); the rest is a disc identifier.
struct DiscListEntry
{
    QString key;
    QString text;
    QString toolTip;
    QIcon icon;
    bool excluded = false;     // shown in blue
};

// The rows of `LVCD`. Filled in one reset, so thousands of discs show at once.
class DiscListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role { KeyRole = Qt::UserRole + 1 };

    using QAbstractListModel::QAbstractListModel;

    void setEntries(std::vector<DiscListEntry> entries);
    const std::vector<DiscListEntry> &entries() const { return m_entries; }
    const DiscListEntry &entry(int row) const { return m_entries[size_t(row)]; }
    int rowOfKey(const QString &key) const;     // -1 when absent
    QString keyAt(int row) const;
    void setToolTip(int row, const QString &text);
    void setText(int row, const QString &text);
    // Disc entries ("__") can be edited in place; the new text goes to this handler,
    // which refills the list itself when it accepts it.
    void setRenameHandler(std::function<void(const QString &key, const QString &text)> handler)
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
