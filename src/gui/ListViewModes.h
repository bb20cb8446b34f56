#pragma once

#include <QStyledItemDelegate>

class QListView;

namespace vorn {

// The view modes of the window's lists, numbered as the settings keep them.
enum ListViewMode { LargeIcons = 0, SmallIcons = 1, ListColumns = 2, Details = 3 };

// Lays `view` out in `mode`: large icons (the icon above its name) and small icons
// (the icon beside its name) in rows of equal cells, the list in columns as wide as
// their widest name; in these three every item shows its whole name, wrapped in its
// cell. Details is one item per line. The view's delegate becomes (or stays) a
// `WrappedNameDelegate`.
void applyListViewMode(QListView *view, int mode);

// Sizes and paints the items of a list in an icon mode: the whole name, wrapped at
// word boundaries, and inside a word when one word is wider than the cell. In details
// mode it is the standard delegate.
class WrappedNameDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setMode(int mode) { m_mode = mode; }
    int mode() const { return m_mode; }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

private:
    int m_mode = Details;
};

} // namespace vorn
