#pragma once

#include "search/RowDateText.h"
#include "search/SearchRun.h"

#include <QAbstractTableModel>
#include <optional>
#include <vector>

namespace vorn {

class AppIcons;

// The search result list `ListResult_0` over the core's rows: name, disc, location,
// extension, description, size, date, and two hidden sort keys (date as
// "yyyymmdd hhmmss", size in bytes). The disc position is the row's UserRole.
class SearchResultModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Name, Disc, Location, Extension, Description, Size, Modified, DateKey, SizeBytes, ColumnCount };

    explicit SearchResultModel(AppIcons *icons = nullptr, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Text order of the column; the date column sorts by its hidden key.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    void setHeaders(const QStringList &captions);
    void clear();
    // Empties the list and hands its rows over, for the caller to free them where
    // it suits.
    std::vector<SearchRow> takeAll();
    // Appends a batch of rows in one insertion.
    void append(std::vector<SearchRow> &rows);
    // Takes out the rows with these run identifiers, those listed, in one pass (a
    // broad search keeping only the latest of each duplicate takes out thousands).
    void removeIds(const std::vector<quint64> &ids);
    const SearchRow &row(int index) const { return m_rows[m_order[size_t(index)]]; }

private:
    QString columnText(const SearchRow &row, Column column) const;

    std::vector<SearchRow> m_rows; // in the order found, so in ascending id
    std::vector<bool> m_listed; // beside m_rows: false once taken out
    std::vector<size_t> m_order; // the rows shown, by their place in m_rows
    // The date column's format, taken when the first row of a list is shown.
    mutable std::optional<RowDateText> m_dateText;
    QStringList m_headers;
    AppIcons *m_icons;
};

} // namespace vorn
