#pragma once

#include <QTreeView>

namespace vorn {

// One of the two result lists (`ListResult_0`, `ListResult_1`): a table view whose
// header clicks sort the model by the column clicked, the order flipping between
// ascending and descending on every click, whichever column it is on. Its column
// widths are kept in the settings as "Aff" / "LR" & column & list.
class ResultListView : public QTreeView
{
    Q_OBJECT
public:
    // `list` is 0 for the search results, 1 for the bookmarks.
    ResultListView(int list, QAbstractItemModel *model, QWidget *parent = nullptr);

    // A header click: sorts by `column` in the order opposite to the last sort.
    void sortOnClick(int column);
    // Forgets the shown sort (a new run fills the list in the order found).
    void clearSortIndicator();

    void saveWidths() const;
    void restoreWidths();

signals:
    // A double click on a row.
    void rowOpened(int row);
    // The right button over the list, at a global position.
    void menuRequested(const QPoint &globalPos);

private:
    int m_list;
    Qt::SortOrder m_order = Qt::DescendingOrder; // the first click sorts ascending
};

} // namespace vorn
