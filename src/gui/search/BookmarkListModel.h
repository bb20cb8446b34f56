#pragma once

#include "search/BookmarkList.h"

#include <QAbstractTableModel>
#include <vector>

namespace vorn {

class AppIcons;

// The bookmark list `ListResult_1` over the core's rows: name, disc, path, extension
// and description. The disc position is the row's UserRole.
class BookmarkListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Name, Disc, Path, Extension, Description, ColumnCount };

    explicit BookmarkListModel(AppIcons *icons = nullptr, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Text order of the column, ignoring case; rows of equal text keep their order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    void setHeaders(const QStringList &captions);
    void setRows(std::vector<BookmarkRow> rows);
    void removeRow(int row);
    const BookmarkRow &row(int index) const { return m_rows[size_t(index)]; }

private:
    QString text(const BookmarkRow &row, int column) const;

    std::vector<BookmarkRow> m_rows;
    QStringList m_headers;
    AppIcons *m_icons;
};

} // namespace vorn
