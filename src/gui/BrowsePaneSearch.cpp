// The browse page's side of searching: landing on a result row, and the folders'
// "left out of searches" icons.
#include "gui/AppIcons.h"
#include "gui/BrowsePane.h"

#include <QListView>
#include <QTreeView>
#include <QTreeWidget>

namespace vorn {

namespace {

constexpr int KeyRole = Qt::UserRole + 1;

QTreeWidgetItem *childNamed(QTreeWidgetItem *parent, const QString &name)
{
    for (int child = 0; child < parent->childCount(); ++child) {
        if (parent->child(child)->text(0).compare(name, Qt::CaseInsensitive) == 0)
            return parent->child(child);
    }
    return nullptr;
}

} // namespace

bool BrowsePane::showLocation(const QString &location, const QString &fileName)
{
    QTreeWidgetItem *item = nodeItem(QStringLiteral("K0"));
    if (!item)
        return false;
    const QStringList components = location.split(u'\\', Qt::SkipEmptyParts);
    for (qsizetype index = 0; index < components.size(); ++index) {
        const QString &component = components[index];
        // Archive nodes appear once their folder has been shown.
        if (!childNamed(item, component))
            showNode(item->data(0, KeyRole).toString());
        QTreeWidgetItem *child = childNamed(item, component);
        // A root with a name of its own leads the locations of its own files.
        if (!child && index == 0 && item->parent() == nullptr && !m_shown.tree.folders.empty()
            && m_shown.tree.folders[0].name.compare(component, Qt::CaseInsensitive) == 0)
            continue;
        if (!child)
            return false;
        child->setExpanded(true);
        item = child;
    }
    if (!showNode(item->data(0, KeyRole).toString()))
        return false;
    if (fileName.isEmpty())
        return true;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->row(row).name.compare(fileName, Qt::CaseInsensitive) == 0) {
            const QModelIndex index = m_model->index(row, 0);
            m_files->setCurrentIndex(index);
            m_files->scrollTo(index);
            m_fileIcons->scrollTo(index);
            return true;
        }
    }
    return false;
}

void BrowsePane::refreshExclusionIcons()
{
    const std::vector<FolderRecord> &folders = m_shown.tree.folders;
    for (size_t folder = 1; folder < folders.size(); ++folder) {
        QTreeWidgetItem *item = nodeItem(u'K' + QString::number(folder));
        if (!item)
            continue;
        const bool excluded = (folders[folder].flags & FolderExcludedFromSearch) != 0;
        const QString closed = excluded ? QStringLiteral("FCe") : QStringLiteral("FC");
        if (item->data(0, KeyRole + 1).toString() == closed)
            continue;
        item->setData(0, KeyRole + 1, closed);
        const QString open = excluded ? QStringLiteral("FOe") : QStringLiteral("FO");
        item->setIcon(0, m_icons.icon(item->isExpanded() ? open : closed));
    }
    // The file pane's folder rows show the state too.
    if (!m_shownKey.isEmpty())
        showNode(m_shownKey, true);
}

} // namespace vorn
