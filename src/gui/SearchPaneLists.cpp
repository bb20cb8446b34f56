// The search pane's two tabs: moving between them, the scope record of each, the
// bookmark listing and the lists' layout.
#include "gui/SearchPane.h"

#include "gui/SearchResultModel.h"
#include "gui/search/BookmarkListModel.h"
#include "gui/search/ResultListStack.h"
#include "gui/search/ResultListView.h"
#include "search/BookmarkList.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vorn {

namespace {

// The keywords of the scope record: a bit per item of the first 31.
constexpr int kRecordedKeywords = 31;

} // namespace

void SearchPane::showOn(QWidget *page, Mode mode)
{
    if (m_body->parentWidget() != page) {
        QLayout *layout = page->layout();
        if (!layout) {
            layout = new QVBoxLayout(page);
            layout->setContentsMargins(0, 0, 0, 0);
        }
        layout->addWidget(m_body);
        m_body->show();
    }
    if (mode == m_mode)
        return;
    m_resultTexts[m_mode] = m_result->text();
    m_mode = mode;
    m_result->setText(m_resultTexts[mode]);
    m_stacks[SearchMode]->setVisible(mode == SearchMode);
    m_stacks[BookmarkMode]->setVisible(mode == BookmarkMode);
    m_button->setText(LoadText(mode == SearchMode ? 329 : 636));
    m_limit->setText(LoadText(mode == SearchMode ? 204 : 661));
    applyScopeRecord(m_scopes[mode]);
}

void SearchPane::setViewMode(int index, int mode)
{
    if (index == 0 || index == 1)
        m_stacks[index]->setViewMode(mode);
}

int SearchPane::viewMode(int index) const
{
    return m_stacks[index == 1 ? 1 : 0]->viewMode();
}

bool SearchPane::fillingScope() const
{
    return m_frames[2]->property("tag").toString() == QLatin1String("X");
}

void SearchPane::setFillingScope(bool filling)
{
    m_frames[2]->setProperty("tag", filling ? QStringLiteral("X") : QString());
}

void SearchPane::writeScopeRecord()
{
    if (fillingScope())
        return;
    ScopeRecord &record = m_scopes[m_mode];
    record.limit = m_limit->isChecked();
    record.byKeyword = m_limitBy[1]->isChecked();
    record.discKey = m_disc->currentData().toString();
    record.keywordBits = 0;
    for (int item = 0; item < std::min(kRecordedKeywords, m_keywords->count()); ++item) {
        if (m_keywords->item(item)->isSelected())
            record.keywordBits |= quint32(1) << item;
    }
}

void SearchPane::applyScopeRecord(const ScopeRecord &record)
{
    setFillingScope(true);
    m_limit->setChecked(record.limit);
    m_limitBy[record.byKeyword ? 1 : 0]->setChecked(true);
    m_disc->setCurrentIndex(m_disc->findData(record.discKey));
    for (int item = 0; item < m_keywords->count(); ++item)
        m_keywords->item(item)->setSelected(item < kRecordedKeywords && (record.keywordBits >> item) & 1);
    m_limitBy[0]->setEnabled(record.limit);
    m_limitBy[1]->setEnabled(record.limit);
    updateScopeControls();
    setFillingScope(false);
}

DiscScope SearchPane::scopeOf(const ScopeRecord &record) const
{
    DiscScope recorded;
    recorded.keywordFilter = m_keywordFilter ? m_keywordFilter() : 0;
    if (!record.limit)
        return recorded;
    if (!record.byKeyword) {
        recorded.limit = DiscScope::Limit::ByDisc;
        recorded.chosenDiscKey = record.discKey;
        return recorded;
    }
    recorded.limit = DiscScope::Limit::ByKeywords;
    for (int item = 0; item < std::min(kRecordedKeywords, m_keywords->count()); ++item) {
        if ((record.keywordBits >> item) & 1)
            recorded.keywordNumbers.push_back(m_keywords->item(item)->data(Qt::UserRole).toInt());
    }
    return recorded;
}

std::vector<QString> SearchPane::discIdentifiers() const
{
    std::vector<QString> identifiers(size_t(m_catalogue.discCount()) + 1);
    for (int position = 1; position <= m_catalogue.discCount(); ++position)
        identifiers[size_t(position)] = m_catalogue.disc(position).identifier;
    return identifiers;
}

QString SearchPane::discOfRow(int list, int row) const
{
    if (list < 0 || list > 1 || row < 0)
        return {};
    int position = 0;
    if (list == 0 && row < m_model->rowCount())
        position = m_model->row(row).discPosition;
    else if (list == 1 && row < m_bookmarkModel->rowCount())
        position = m_bookmarkModel->row(row).discPosition;
    const std::vector<QString> &discs = m_rowDiscs[list];
    return position > 0 && size_t(position) < discs.size() ? discs[size_t(position)] : QString();
}

void SearchPane::listBookmarks()
{
    // Listed from elsewhere than its tab, the list keeps the scope it was made with.
    DiscScope bookmarkScope = m_mode == BookmarkMode ? scope() : scopeOf(m_scopes[BookmarkMode]);
    bookmarkScope.bookmarks = true;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    m_rowDiscs[1] = discIdentifiers();
    m_bookmarkModel->setRows(vorn::listBookmarks(m_catalogue, buildDiscSelection(m_catalogue, bookmarkScope)));
    m_lists[1]->clearSortIndicator();
    m_bookmarksListed = true;
    QApplication::restoreOverrideCursor();
}

void SearchPane::refreshBookmarks()
{
    if (m_bookmarksListed && !isRunning())
        listBookmarks();
}

void SearchPane::saveLayout() const
{
    for (const ResultListView *list : m_lists)
        list->saveWidths();
}

void SearchPane::restoreLayout()
{
    for (ResultListView *list : m_lists)
        list->restoreWidths();
}

} // namespace vorn
