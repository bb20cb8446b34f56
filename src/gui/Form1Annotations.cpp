// Wires the keyword manager, bookmarks, properties, user fields and reports to the
// window's menus and panes.
#include "gui/BrowsePane.h"
#include "gui/DiscInfoPane.h"
#include "gui/DiscListPane.h"
#include "gui/FilePaneModel.h"
#include "gui/Form1.h"
#include "gui/annotate/FrmMC.h"
#include "gui/annotate/FrmProprietes.h"

#include <QAction>
#include <QMenu>
#include <QTreeView>
#include <QTreeWidget>

namespace vorn {

namespace {

// The number after the role letter of a row or node key ("R3", "K12").
int keyNumber(const QString &key)
{
    return key.mid(1).toInt();
}

} // namespace

void Form1::wireAnnotations()
{
    // The window's own writes into the shown disc's archive are no change by another
    // copy: the disc is not read again for them when the window is activated.
    auto ownWrite = [this] {
        const QString &identifier = m_browse->shown().identifier;
        if (!identifier.isEmpty())
            m_shownArchive = archiveKey(m_catalogue.archivePath(identifier));
    };
    connect(m_browse, &BrowsePane::bookmarksChanged, this, ownWrite);
    connect(m_info, &DiscInfoPane::fieldsWritten, this, ownWrite);

    // Bookmarks of the file pane's current row: entries 0 and 1 toggle, 2 describes.
    ListMenu &list = m_menus.list;
    auto currentRow = [this] { return m_browse->files()->currentIndex().row(); };
    auto currentRowKey = [this, currentRow] {
        const int row = currentRow();
        return row >= 0 && row < m_browse->fileModel()->rowCount() ? m_browse->fileModel()->row(row).key : QString();
    };
    for (int index = 0; index < 3; ++index) {
        list.bookmark[index]->setEnabled(true);
        connect(list.bookmark[index], &QAction::triggered, this,
                [this, index, currentRow] { m_browse->bookmarkRow(currentRow(), index == 2); });
    }
    connect(list.menu, &QMenu::aboutToShow, this, [this, &list, currentRow] {
        const bool files = list.menu->property("tag").toString() == QLatin1String("LV1");
        const std::optional<BookmarkRecord> item = files ? m_browse->bookmarkItemOfRow(currentRow()) : std::nullopt;
        const bool marked = item && m_browse->isBookmarked(*item);
        list.bookmarks->menuAction()->setVisible(item.has_value());
        list.bookmarks->menuAction()->setEnabled(item.has_value());
        list.bookmark[0]->setVisible(!marked);
        list.bookmark[1]->setVisible(marked);
    });

    // Properties of the selected disc, of a folder or of a file of the shown disc.
    auto openProperties = [this, ownWrite](FrmProprietes::Mode mode, int number) {
        if (m_browse->shown().identifier.isEmpty())
            return;
        auto *dialog = new FrmProprietes(*this, mode, number);
        connect(dialog, &QDialog::finished, this, ownWrite);
        dialog->open();
    };
    auto discProperties = [this, openProperties] {
        const int position = m_discList->selectedPosition();
        if (position == 0)
            return;
        // The dialog shows the disc the panes show, with its pending edits written.
        if (m_browse->shown().identifier != m_catalogue.disc(position).identifier)
            showDisc(m_catalogue.disc(position).identifier);
        if (!saveCurrentDisc())
            return;
        openProperties(FrmProprietes::Mode::Disc, 0);
    };
    for (QAction *action : m_menus.discs.properties)
        connect(action, &QAction::triggered, this, discProperties);
    connect(m_discList, &DiscListPane::propertiesWanted, this, discProperties);
    connect(m_discList, &DiscListPane::selectionChanged, this, [this] {
        for (QAction *action : m_menus.discs.properties)
            action->setEnabled(m_discList->selectedPosition() > 0);
    });
    m_menus.browse.folderProperties->setEnabled(true);
    connect(m_menus.browse.folderProperties, &QAction::triggered, this, [this, openProperties] {
        const QString key = m_browse->currentNodeKey();
        if (key.startsWith(u'K'))
            openProperties(FrmProprietes::Mode::Folder, keyNumber(key));
    });
    list.folderProperties->setEnabled(true);
    connect(list.folderProperties, &QAction::triggered, this, [openProperties, currentRowKey] {
        const QString key = currentRowKey();
        if (key.startsWith(u'R'))
            openProperties(FrmProprietes::Mode::Folder, keyNumber(key));
    });
    list.fileProperties->setEnabled(true);
    connect(list.fileProperties, &QAction::triggered, this, [openProperties, currentRowKey] {
        const QString key = currentRowKey();
        if (key.startsWith(u'K'))
            openProperties(FrmProprietes::Mode::File, keyNumber(key));
    });

    // The keyword manager; the filter menu and the keyword captions follow each change.
    m_menus.view.keywordManager->setEnabled(true);
    connect(m_menus.view.keywordManager, &QAction::triggered, this, [this, ownWrite] {
        if (!saveCurrentDisc())
            return;
        auto *manager = new FrmMC(*this);
        connect(manager, &FrmMC::keywordsChanged, this, [this](bool listChanged) {
            m_info->fillKeywords();
            if (listChanged)
                m_discList->refreshFilterMenu();
        });
        connect(manager, &QDialog::finished, this, [this, ownWrite] {
            ownWrite();
            m_info->fillKeywords();
            m_discList->refreshFilterMenu();
        });
        manager->open();
    });

    // The field tree's pop-up menu, on every node but the root and the placeholder.
    QTreeWidget *fields = m_info->fields();
    for (int index = 0; index < 2; ++index) {
        m_menus.optionsTreeEntry[index]->setEnabled(true);
        connect(m_menus.optionsTreeEntry[index], &QAction::triggered, this,
                [this, index] { m_info->fieldMenu(index); });
    }
    connect(fields, &QTreeWidget::customContextMenuRequested, this, [this, fields](const QPoint &pos) {
        QTreeWidgetItem *item = fields->itemAt(pos);
        if (!m_info->offersFieldMenu(item))
            return;
        fields->setCurrentItem(item);
        m_menus.optionsTree->popup(fields->viewport()->mapToGlobal(pos));
    });

    // Report 7 counts the discs the disc list's filter lets through.
    m_info->setKeywordFilter([this] { return m_discList->filter(); });
}

} // namespace vorn
