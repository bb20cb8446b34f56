#include "gui/ListViewModes.h"

#include <QApplication>
#include <QListView>
#include <QPainter>
#include <QTextLayout>
#include <QtMath>

namespace vorn {

namespace {

constexpr int kMargin = 3;

struct CellGeometry
{
    QSize cell;
    QRect icon;
    QRect text;
};

// The width a name may take: fixed in the icon modes so that the cells line up, the
// name's own width up to a limit in the list.
int nameWidth(int mode, const QFont &font, const QSize &icon, const QString &name)
{
    const int character = QFontMetrics(font).averageCharWidth();
    switch (mode) {
    case LargeIcons:
        return qMax(icon.width() * 3, character * 16);
    case SmallIcons:
        return character * 22;
    default: {
        // Measured as the lines are laid out, so that a name that fits stays on one line.
        QTextLayout layout(name, font);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        qreal natural = 0;
        if (line.isValid()) {
            line.setLineWidth(1e6);
            natural = line.naturalTextWidth();
        }
        layout.endLayout();
        return qMax(1, qMin(qCeil(natural) + 1, character * 32));
    }
    }
}

// Breaks the name into lines of at most `width`, at word boundaries when it can and
// anywhere in a word wider than a line; returns the height of the lines.
qreal layOutName(QTextLayout &layout, qreal width, Qt::Alignment alignment)
{
    QTextOption option(alignment);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    return height;
}

Qt::Alignment nameAlignment(int mode)
{
    return mode == LargeIcons ? Qt::AlignHCenter : Qt::AlignLeft;
}

// Where the icon and the name go in a cell whose top left corner is (0, 0).
CellGeometry cellGeometry(const QStyleOptionViewItem &option, int mode)
{
    const QSize icon = option.decorationSize;
    const QFontMetrics metrics(option.font);
    const int width = nameWidth(mode, option.font, icon, option.text);
    QTextLayout layout(option.text, option.font);
    const int textHeight = qMax(metrics.height(), qCeil(layOutName(layout, width, nameAlignment(mode))));
    CellGeometry g;
    if (mode == LargeIcons) {
        const int cellWidth = width + 2 * kMargin;
        g.icon = QRect((cellWidth - icon.width()) / 2, kMargin, icon.width(), icon.height());
        g.text = QRect(kMargin, g.icon.bottom() + 1 + kMargin, width, textHeight);
        g.cell = QSize(cellWidth, g.text.bottom() + 1 + kMargin);
    } else {
        // The icon stands beside the first line of the name.
        const int lineHeight = metrics.height();
        g.icon = QRect(kMargin, kMargin + qMax(0, (lineHeight - icon.height()) / 2), icon.width(), icon.height());
        g.text =
            QRect(g.icon.right() + 1 + kMargin, kMargin + qMax(0, (icon.height() - lineHeight) / 2), width, textHeight);
        g.cell = QSize(g.text.right() + 1 + kMargin, qMax(g.icon.bottom(), g.text.bottom()) + 1 + kMargin);
    }
    return g;
}

// The cell's corner in the view: a large icon's cell is centred in the item's width.
QPoint cellOrigin(const QStyleOptionViewItem &option, const CellGeometry &g, int mode)
{
    const int shift = mode == LargeIcons ? qMax(0, (option.rect.width() - g.cell.width()) / 2) : 0;
    return option.rect.topLeft() + QPoint(shift, 0);
}

} // namespace

void applyListViewMode(QListView *view, int mode)
{
    auto *delegate = qobject_cast<WrappedNameDelegate *>(view->itemDelegate());
    if (!delegate) {
        delegate = new WrappedNameDelegate(view);
        view->setItemDelegate(delegate);
    }
    delegate->setMode(mode);
    const bool details = mode == Details;
    view->setViewMode(mode == LargeIcons ? QListView::IconMode : QListView::ListMode);
    view->setMovement(QListView::Static);
    view->setFlow(details || mode == ListColumns ? QListView::TopToBottom : QListView::LeftToRight);
    view->setWrapping(!details);
    view->setResizeMode(QListView::Adjust);
    view->setWordWrap(!details);
    // Wrapped names give cells of different heights; one line each in details.
    view->setUniformItemSizes(details);
    view->setGridSize(QSize());
    view->setSpacing(details ? 0 : 2);
    const QStyle::PixelMetric metric = mode == LargeIcons ? QStyle::PM_LargeIconSize : QStyle::PM_SmallIconSize;
    const int side = view->style()->pixelMetric(metric, nullptr, view);
    view->setIconSize(QSize(side, side));
}

QSize WrappedNameDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (m_mode == Details)
        return QStyledItemDelegate::sizeHint(option, index);
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    return cellGeometry(item, m_mode).cell;
}

void WrappedNameDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (m_mode == Details) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const CellGeometry g = cellGeometry(item, m_mode);
    const QPoint origin = cellOrigin(item, g, m_mode);
    const QString name = item.text;
    const QIcon icon = item.icon;

    // The style paints the selection and the focus; the icon and the name come after.
    item.text.clear();
    item.icon = QIcon();
    item.features &= ~(QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration);
    item.showDecorationSelected = true;
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    const bool enabled = item.state & QStyle::State_Enabled;
    const bool selected = item.state & QStyle::State_Selected;
    icon.paint(painter, g.icon.translated(origin), Qt::AlignCenter,
               !enabled ? QIcon::Disabled : (selected ? QIcon::Selected : QIcon::Normal));

    QPalette::ColorGroup group = !enabled     ? QPalette::Disabled
        : (item.state & QStyle::State_Active) ? QPalette::Active
                                              : QPalette::Inactive;
    QTextLayout layout(name, item.font);
    layOutName(layout, g.text.width(), nameAlignment(m_mode));
    painter->save();
    painter->setPen(item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    layout.draw(painter, g.text.translated(origin).topLeft());
    painter->restore();
}

void WrappedNameDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                               const QModelIndex &index) const
{
    if (m_mode == Details) {
        QStyledItemDelegate::updateEditorGeometry(editor, option, index);
        return;
    }
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const CellGeometry g = cellGeometry(item, m_mode);
    QRect area = g.text.translated(cellOrigin(item, g, m_mode));
    area.setHeight(qMax(area.height(), editor->sizeHint().height()));
    if (m_mode == LargeIcons) {
        area.setLeft(item.rect.left());
        area.setRight(item.rect.right());
    }
    editor->setGeometry(area);
}

} // namespace vorn
