// Bookmarks of the shown disc from the file pane and the folder tree: toggling,
// describing, and the bold marks of bookmarked rows and nodes.
#include "common/UserPrompt.h"
#include "edit/TreeEdits.h"
#include "gui/BrowsePane.h"
#include "gui/EditReport.h"
#include "settings/StringTable.h"
#include "store/RecordText.h"

#include <QFont>
#include <QTreeView>
#include <QTreeWidget>

namespace vorn {

std::optional<BookmarkRecord> BrowsePane::bookmarkItemOfRow(int row) const
{
    if (row < 0 || row >= m_model->rowCount())
        return std::nullopt;
    const QString key = m_model->row(row).key;
    const int number = key.mid(1).toInt();
    if (key.startsWith(u'R'))
        return edit::folderBookmark(m_shown.tree, number);
    if (key.startsWith(u'K'))
        return edit::fileBookmark(m_shown.tree, number);
    return std::nullopt;
}

std::optional<BookmarkRecord> BrowsePane::bookmarkItemOfNode(const QString &key) const
{
    if (!key.startsWith(u'K'))
        return std::nullopt;
    return edit::folderBookmark(m_shown.tree, key.mid(1).toInt());
}

bool BrowsePane::isBookmarked(const BookmarkRecord &item) const
{
    return item.kind == 2 ? m_shown.isFolderBookmarked(item.number) : m_shown.isFileBookmarked(item.number);
}

void BrowsePane::bookmarkRow(int row, bool describe)
{
    if (const std::optional<BookmarkRecord> item = bookmarkItemOfRow(row))
        changeBookmark(*item, describe);
}

void BrowsePane::bookmarkNode(const QString &key, bool describe)
{
    if (const std::optional<BookmarkRecord> item = bookmarkItemOfNode(key))
        changeBookmark(*item, describe);
}

void BrowsePane::changeBookmark(const BookmarkRecord &item, bool describe)
{
    const int position = findDisc(m_catalogue, m_shown.identifier);
    if (position == 0)
        return;
    edit::BookmarkChange change = edit::BookmarkChange::Toggle;
    QString description;
    if (describe) {
        const BookmarkRecord *existing = nullptr;
        for (size_t i = 1; i < m_shown.bookmarks.size(); ++i) {
            if (m_shown.bookmarks[i].kind == item.kind && m_shown.bookmarks[i].number == item.number) {
                existing = &m_shown.bookmarks[i];
                break;
            }
        }
        if (existing) {
            description = m_prompt.inputText(item.name, LoadText(637), existing->description);
            if (description.isNull())
                return; // the input box was cancelled
            if (description.isEmpty() && !existing->description.isEmpty()
                && m_prompt.askYesNo(LoadText(641)) != UserPrompt::Answer::Yes)
                return; // the old description stays
            change = edit::BookmarkChange::Describe;
        }
    }
    std::vector<BookmarkRecord> written;
    const EditResult result = edit::changeBookmark(m_catalogue, position, item, change, description, &written);
    if (!result.ok()) {
        reportEdit(m_prompt, result);
        return;
    }
    m_shown.bookmarks = std::move(written);
    updateBookmarkMarks();
    emit bookmarksChanged();
}

void BrowsePane::updateBookmarkMarks()
{
    QFont bold = m_tree->font();
    bold.setBold(true);
    for (auto node = m_nodes.cbegin(); node != m_nodes.cend(); ++node) {
        const QString &key = node.key();
        if (key.startsWith(u'K') && key != QLatin1String("K0"))
            (*node)->setFont(0, m_shown.isFolderBookmarked(key.mid(1).toInt()) ? bold : m_tree->font());
    }
    std::vector<FilePaneRow> rows = m_model->rows();
    bool changed = false;
    for (FilePaneRow &row : rows) {
        const int number = row.key.mid(1).toInt();
        const bool marked =
            row.key.startsWith(u'R') ? m_shown.isFolderBookmarked(number) : m_shown.isFileBookmarked(number);
        changed = changed || marked != row.bold;
        row.bold = marked;
    }
    if (!changed)
        return;
    // The rows keep their order; the current row stays current.
    const int current = m_files->currentIndex().row();
    const int column = m_files->currentIndex().column();
    m_model->setRows(std::move(rows));
    if (current >= 0)
        m_files->setCurrentIndex(m_model->index(current, qMax(0, column)));
}

} // namespace vorn
