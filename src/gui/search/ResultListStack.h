#pragma once

#include <QStackedWidget>

class QListView;

namespace vorn {

class ResultListView;

// A result list in its four view modes: the table (`ResultListView`) for details, and
// a list view over the same rows, sharing its selection, for large icons, small icons
// and the list. Double clicks and the context menu of either view reach the table's
// signals, so the pane wires the table alone.
class ResultListStack : public QStackedWidget
{
    Q_OBJECT
public:
    explicit ResultListStack(ResultListView *table, QWidget *parent = nullptr);

    ResultListView *table() const { return m_table; }
    // The mode numbered as the settings keep it (ListViewMode).
    void setViewMode(int mode);
    int viewMode() const { return m_mode; }

private:
    QListView *iconView();

    ResultListView *m_table;
    QListView *m_icons = nullptr; // made when an icon mode is first asked for
    int m_mode = 3;
};

} // namespace vorn
