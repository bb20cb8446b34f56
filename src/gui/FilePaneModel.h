#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QString>
#include <vector>

namespace vorn {

// One row of the file pane: a sub-folder ("R" & folder number) or a file ("K" & file
// number).
struct FilePaneRow
{
    QString key;
    QString name;
    QString description;
    QString size; // kilobytes, grouped, right-aligned to 12 characters
    QString date; // short date-time
    double dateNumber = 0; // the hidden fifth column
    QIcon icon;
    QString image; // "FC", "FCe" for folders, "J" for files
    bool bold = false; // bookmarked
};

// The rows of `LV1`. Columns: name, description, size (Ko), modified, and the date as
// a number (zero width). Sorting is textual on the shown text, ignoring case; the
// date column sorts on the hidden number.
class FilePaneModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Name = 0, Description, Size, Date, DateNumber, ColumnCount };
    enum Role { KeyRole = Qt::UserRole + 1 };

    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::vector<FilePaneRow> rows);
    void clear() { setRows({}); }
    const std::vector<FilePaneRow> &rows() const { return m_rows; }
    const FilePaneRow &row(int r) const { return m_rows[size_t(r)]; }
    int rowOfKey(const QString &key) const;
    void setHeaders(const QStringList &captions);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    std::vector<FilePaneRow> m_rows;
    QStringList m_headers;
};

} // namespace vorn
