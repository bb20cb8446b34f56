#include "gui/search/ResultListStack.h"

#include "gui/ListViewModes.h"
#include "gui/search/ResultListView.h"

#include <QListView>

namespace vorn {

ResultListStack::ResultListStack(ResultListView *table, QWidget *parent) : QStackedWidget(parent), m_table(table)
{
    addWidget(table);
}

QListView *ResultListStack::iconView()
{
    if (m_icons)
        return m_icons;
    m_icons = new QListView;
    m_icons->setObjectName(m_table->objectName() + QStringLiteral("_icons"));
    m_icons->setModel(m_table->model());
    m_icons->setSelectionModel(m_table->selectionModel());
    m_icons->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_icons->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A search can list a hundred thousand rows: they are laid out a batch at a time
    // while the window goes on answering.
    m_icons->setLayoutMode(QListView::Batched);
    m_icons->setBatchSize(500);
    m_icons->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_icons, &QAbstractItemView::doubleClicked, m_table, [this](const QModelIndex &index) {
        if (index.isValid())
            emit m_table->rowOpened(index.row());
    });
    connect(m_icons, &QWidget::customContextMenuRequested, m_table,
            [this](const QPoint &pos) { emit m_table->menuRequested(m_icons->viewport()->mapToGlobal(pos)); });
    addWidget(m_icons);
    return m_icons;
}

void ResultListStack::setViewMode(int mode)
{
    if (mode < LargeIcons || mode > Details)
        return;
    m_mode = mode;
    if (mode == Details) {
        setCurrentWidget(m_table);
        return;
    }
    QListView *icons = iconView();
    applyListViewMode(icons, mode);
    setCurrentWidget(icons);
}

} // namespace vorn
