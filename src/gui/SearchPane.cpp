#include "gui/SearchPane.h"

#include "common/RunObserver.h"
#include "common/UserPrompt.h"
#include "gui/SearchResultModel.h"
#include "gui/search/BookmarkListModel.h"
#include "gui/search/CalendarPopup.h"
#include "gui/search/ResultListStack.h"
#include "gui/search/ResultListView.h"
#include "index/SearchIndex.h"
#include "search/BookmarkList.h"
#include "settings/OptionsWord.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabBar>
#include <QVBoxLayout>
#include <thread>

namespace vorn {

namespace {

constexpr int kPageCaptions[4] = {201, 202, 203, 586};
constexpr int kFieldCaptions[5] = {215, 216, 217, 471, 658};
constexpr int kPositionCaptions[4] = {218, 219, 220, 221};

template<typename T> T *named(T *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

QString indexed(const char *name, int index)
{
    return QString::fromLatin1(name) + u'_' + QString::number(index);
}

// A label whose numeric caption TranslateCaptions turns into text.
QLabel *caption(int id)
{
    return new QLabel(QString::number(id));
}

} // namespace

// Collects the rows of a run and hands them to the model in batches, at each yield.
class SearchPane::RowBatcher : public SearchRowSink
{
public:
    explicit RowBatcher(SearchResultModel &model) : m_model(model) {}

    void rowAdded(SearchRow &&row) override { m_pending.rowAdded(std::move(row)); }
    // A row not yet handed over is taken out of the pending ones; the others are taken
    // out of the list together at the next hand-over.
    void rowRemoved(quint64 id) override
    {
        if (!m_pending.takeOut(id))
            m_removed.push_back(id);
    }
    void flush()
    {
        m_model.removeIds(m_removed);
        m_removed.clear();
        std::vector<SearchRow> rows = m_pending.takeRows();
        m_model.append(rows);
    }

private:
    SearchResultModel &m_model;
    SearchResultList m_pending;
    std::vector<quint64> m_removed; // rows already listed, to take out
};

// The window's side of a run: progress on `LblResult`, new rows and pending events
// at each yield, questions through the window's prompt.
class SearchPane::Observer : public RunObserver
{
public:
    Observer(UserPrompt &prompt, QLabel &label, RowBatcher &rows) : m_prompt(prompt), m_label(label), m_rows(rows) {}

    void progress(const QString &text) override { m_label.setText(text); }
    // The engine yields after each disc and more often inside large ones; the window
    // takes the new rows and repaints every 30 ms at most, so thousands of small
    // discs do not cost thousands of repaints.
    void yield() override
    {
        if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < 30)
            return;
        m_rows.flush();
        QCoreApplication::processEvents();
        m_sinceEvents.start();
    }
    UserPrompt &prompt() override
    {
        // A question shows the rows it counts.
        m_rows.flush();
        return m_prompt;
    }

private:
    UserPrompt &m_prompt;
    QLabel &m_label;
    RowBatcher &m_rows;
    QElapsedTimer m_sinceEvents;
};

SearchPane::SearchPane(Catalogue &catalogue, AppIcons &icons, UserPrompt &prompt, QWidget *parent)
    : QWidget(parent), m_catalogue(catalogue), m_prompt(prompt),
      m_pageTabs(named(new QTabBar, QStringLiteral("TabStripRecherche"))),
      m_button(named(new QPushButton(QStringLiteral("230")), QStringLiteral("BtRechercher"))),
      m_result(named(new QLabel, QStringLiteral("LblResult"))), m_body(new QWidget),
      m_model(new SearchResultModel(&icons, this)), m_bookmarkModel(new BookmarkListModel(&icons, this))
{
    setObjectName(QStringLiteral("PageR"));
    QWidget *pages[4] = {buildCriteriaPage(), buildSizeDatePage(), buildScopePage(), buildOtherPage()};
    auto *frames = new QWidget;
    auto *frameLayout = new QVBoxLayout(frames);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    for (int page = 0; page < 4; ++page) {
        m_pageTabs->addTab(QString());
        m_frames[page] = named(new QFrame, indexed("FrmFind", page));
        auto *layout = new QVBoxLayout(m_frames[page]);
        layout->setContentsMargins(4, 4, 4, 0);
        layout->addWidget(pages[page]);
        layout->addStretch(1);
        frameLayout->addWidget(m_frames[page]);
    }
    connect(m_pageTabs, &QTabBar::currentChanged, this, &SearchPane::showPage);
    showPage(0);

    m_button->setDefault(true);
    connect(m_button, &QPushButton::clicked, this, &SearchPane::startOrStop);
    m_escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_escape->setEnabled(false);
    connect(m_escape, &QShortcut::activated, this, [this] {
        if (m_observer)
            m_observer->requestCancel();
    });
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // The sort keys (date as text, size in bytes) stay hidden; the date column is
    // the last one shown and takes the rest of the width.
    m_lists[0] = new ResultListView(0, m_model);
    m_lists[0]->setColumnHidden(SearchResultModel::DateKey, true);
    m_lists[0]->setColumnHidden(SearchResultModel::SizeBytes, true);
    const int widths[] = {180, 150, 160, 50, 160, 80};
    for (int column = 0; column < 6; ++column)
        m_lists[0]->setColumnWidth(column, widths[column]);
    m_lists[1] = new ResultListView(1, m_bookmarkModel);
    const int bookmarkWidths[] = {180, 150, 200, 50};
    for (int column = 0; column < 4; ++column)
        m_lists[1]->setColumnWidth(column, bookmarkWidths[column]);
    for (int index = 0; index < 2; ++index)
        m_stacks[index] = new ResultListStack(m_lists[index]);
    m_stacks[1]->hide();
    for (int index = 0; index < 2; ++index) {
        // While a run goes on the rows only scroll: nothing else may change.
        connect(m_lists[index], &ResultListView::rowOpened, this, [this, index](int row) {
            if (!isRunning())
                emit rowOpened(index, row);
        });
        connect(m_lists[index], &ResultListView::menuRequested, this, [this, index](const QPoint &pos) {
            if (!isRunning())
                emit listMenuRequested(index, pos);
        });
    }

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_button);
    buttonRow->addWidget(m_result, 1);
    // Small margins: the window's minimum height is that of its tallest page.
    auto *layout = new QVBoxLayout(m_body);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(m_pageTabs);
    layout->addWidget(frames);
    layout->addLayout(buttonRow);
    layout->addWidget(m_stacks[0], 1);
    layout->addWidget(m_stacks[1], 1);
    auto *host = new QVBoxLayout(this);
    host->setContentsMargins(0, 0, 0, 0);
    host->addWidget(m_body);
    m_scopes[BookmarkMode] = m_scopes[SearchMode];
}

SearchPane::~SearchPane() = default;

QWidget *SearchPane::buildCriteriaPage()
{
    auto *page = new QWidget;
    for (int kind = 0; kind < 2; ++kind) {
        m_kinds[kind] = named(new QCheckBox(QString::number(222 + kind)), indexed("Check1", kind));
        m_kinds[kind]->setChecked(true);
    }
    m_field = named(new QComboBox, QStringLiteral("Combo1"));
    m_position = named(new QComboBox, QStringLiteral("CbPos"));
    m_expression = named(new QLineEdit, QStringLiteral("Text1"));
    connect(m_expression, &QLineEdit::returnPressed, this, [this] {
        if (!m_observer)
            startOrStop();
    });
    auto *layout = new QGridLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption(211), 0, 0);
    layout->addWidget(caption(212), 0, 1);
    auto *kinds = new QHBoxLayout;
    kinds->addWidget(m_kinds[0]);
    kinds->addWidget(m_kinds[1]);
    kinds->addStretch(1);
    layout->addLayout(kinds, 0, 2);
    layout->addWidget(caption(213), 1, 1);
    auto *field = new QHBoxLayout;
    field->addWidget(m_field, 1);
    field->addWidget(m_position, 1);
    layout->addLayout(field, 1, 2);
    layout->addWidget(caption(214), 2, 1);
    layout->addWidget(m_expression, 2, 2);
    layout->setColumnStretch(2, 1);
    return page;
}

QWidget *SearchPane::buildSizeDatePage()
{
    auto *page = new QWidget;
    auto *layout = new QGridLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int bound = 0; bound < 2; ++bound) {
        m_sizes[bound] = named(new QLineEdit, indexed("TxtTaille", bound));
        m_dates[bound] = named(new QLineEdit, indexed("Txtdate", bound));
        m_dates[bound]->setClearButtonEnabled(true);
        addCalendarPopup(m_dates[bound]);
        layout->addWidget(caption(207 + bound), bound, 0);
        layout->addWidget(m_sizes[bound], bound, 1);
        layout->addWidget(caption(209 + bound), bound, 2);
        layout->addWidget(m_dates[bound], bound, 3);
    }
    layout->setColumnStretch(1, 1);
    layout->setColumnStretch(3, 2);
    return page;
}

QWidget *SearchPane::buildScopePage()
{
    auto *page = new QWidget;
    m_limit = named(new QCheckBox(QStringLiteral("204")), QStringLiteral("ChkLimRech"));
    auto *group = new QButtonGroup(page);
    for (int by = 0; by < 2; ++by) {
        m_limitBy[by] = named(new QRadioButton(QString::number(205 + by)), indexed("Option1", by));
        group->addButton(m_limitBy[by]);
    }
    m_limitBy[0]->setChecked(true);
    m_disc = named(new QComboBox, QStringLiteral("CbRecherche"));
    m_keywords = named(new QListWidget, QStringLiteral("ListFindMC"));
    m_keywords->setSelectionMode(QAbstractItemView::MultiSelection);
    m_keywords->setMaximumHeight(90);
    connect(m_limit, &QCheckBox::clicked, this, &SearchPane::limitClicked);
    for (QRadioButton *by : m_limitBy) {
        connect(by, &QRadioButton::toggled, this, &SearchPane::updateScopeControls);
        connect(by, &QRadioButton::toggled, this, &SearchPane::writeScopeRecord);
    }
    connect(m_limit, &QCheckBox::toggled, this, &SearchPane::writeScopeRecord);
    connect(m_disc, &QComboBox::currentIndexChanged, this, &SearchPane::writeScopeRecord);
    connect(m_keywords, &QListWidget::itemSelectionChanged, this, &SearchPane::writeScopeRecord);
    auto *layout = new QGridLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_limit, 0, 0, 1, 2);
    layout->addWidget(m_limitBy[0], 1, 0);
    layout->addWidget(m_disc, 1, 1);
    layout->addWidget(m_limitBy[1], 2, 0, Qt::AlignTop);
    layout->addWidget(m_keywords, 2, 1);
    layout->setColumnStretch(1, 1);
    limitClicked();
    return page;
}

QWidget *SearchPane::buildOtherPage()
{
    auto *page = new QWidget;
    m_members = named(new QCheckBox(QStringLiteral("585")), QStringLiteral("ChkRechDsZip"));
    m_latest = named(new QCheckBox(QStringLiteral("653")), QStringLiteral("ChkDoublons"));
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_members);
    layout->addWidget(m_latest);
    layout->addWidget(caption(618));
    auto *group = new QButtonGroup(page);
    for (int part = 0; part < 3; ++part) {
        m_parts[part] = named(new QRadioButton(QString::number(619 + part)), indexed("OptRechDesc", part));
        group->addButton(m_parts[part]);
        layout->addWidget(m_parts[part]);
    }
    m_parts[0]->setChecked(true);
    return page;
}

void SearchPane::applyCaptions()
{
    for (int page = 0; page < 4; ++page)
        m_pageTabs->setTabText(page, LoadText(kPageCaptions[page]));
    const auto fill = [](QComboBox *box, const int *ids, int count) {
        const int chosen = std::max(0, box->currentIndex());
        box->clear();
        for (int item = 0; item < count; ++item)
            box->addItem(LoadText(ids[item]));
        box->setCurrentIndex(chosen);
    };
    fill(m_field, kFieldCaptions, 5);
    fill(m_position, kPositionCaptions, 4);
    m_model->setHeaders({LoadText(400), QStringLiteral("CD"), LoadText(403), QStringLiteral("EXT"), LoadText(404),
                         LoadText(401), LoadText(402), QStringLiteral("DM"), QStringLiteral("Taillelng")});
    m_bookmarkModel->setHeaders(
        {LoadText(400), QStringLiteral("CD"), LoadText(403), QStringLiteral("EXT"), LoadText(637)});
    m_button->setText(LoadText(isRunning() ? 348 : (m_mode == SearchMode ? 329 : 636)));
    m_limit->setText(LoadText(m_mode == SearchMode ? 204 : 661));
    m_dates[0]->setPlaceholderText(QLocale().dateFormat(QLocale::ShortFormat));
    m_dates[1]->setPlaceholderText(m_dates[0]->placeholderText());
}

void SearchPane::applyOptions(qint32 options)
{
    m_members->setChecked(TestOption(options, Opt::SearchInArchives));
    m_latest->setChecked(TestOption(options, Opt::SearchLatestOnly));
}

void SearchPane::fillScope()
{
    fillScopeChoices();
    m_model->clear();
    m_bookmarkModel->setRows({});
    m_bookmarksListed = false;
    m_result->clear();
    m_resultTexts[0].clear();
    m_resultTexts[1].clear();
}

void SearchPane::fillScopeChoices()
{
    setFillingScope(true);
    const QString chosen = m_disc->currentData().toString();
    QList<int> selected;
    for (const QListWidgetItem *item : m_keywords->selectedItems())
        selected << item->data(Qt::UserRole).toInt();
    m_disc->clear();
    for (int position = 1; position <= m_catalogue.discCount(); ++position) {
        const DiscRecord &disc = m_catalogue.disc(position);
        m_disc->addItem(disc.name, QString(QStringLiteral("__") + disc.identifier));
    }
    m_disc->setCurrentIndex(m_disc->findData(chosen));
    m_keywords->clear();
    for (size_t k = 1; k < m_catalogue.keywords.size(); ++k) {
        const KeywordEntry &keyword = m_catalogue.keywords[k];
        if (keyword.number == 0)
            continue;
        auto *item = new QListWidgetItem(keyword.name, m_keywords);
        item->setData(Qt::UserRole, int(keyword.number));
        item->setSelected(selected.contains(int(keyword.number)));
    }
    setFillingScope(false);
}

void SearchPane::showPage(int page)
{
    for (int frame = 0; frame < 4; ++frame)
        m_frames[frame]->setVisible(frame == page);
}

void SearchPane::updateScopeControls()
{
    const bool limit = m_limit->isChecked();
    m_disc->setEnabled(limit && m_limitBy[0]->isChecked());
    m_keywords->setEnabled(limit && m_limitBy[1]->isChecked());
}

void SearchPane::limitClicked()
{
    const bool limit = m_limit->isChecked();
    m_limitBy[0]->setEnabled(limit);
    m_limitBy[1]->setEnabled(limit);
    if (limit && m_disc->currentText().isEmpty() && m_disc->count() > 0)
        m_disc->setCurrentIndex(0);
    updateScopeControls();
}

SearchFormValues SearchPane::formValues() const
{
    SearchFormValues values;
    values.files = m_kinds[0]->isChecked();
    values.folders = m_kinds[1]->isChecked();
    values.field = m_field->currentIndex();
    values.position = m_position->currentIndex();
    values.expression = m_expression->text();
    values.minimumKilobytes = m_sizes[0]->text();
    values.maximumKilobytes = m_sizes[1]->text();
    values.after = m_dates[0]->text();
    values.before = m_dates[1]->text();
    values.members = m_members->isChecked();
    values.latestOnly = m_latest->isChecked();
    for (int part = 0; part < 3; ++part)
        values.descriptionParts[part] = m_parts[part]->isChecked();
    return values;
}

DiscScope SearchPane::scope() const
{
    DiscScope scope;
    scope.keywordFilter = m_keywordFilter ? m_keywordFilter() : 0;
    if (!m_limit->isChecked())
        return scope;
    if (m_disc->isEnabled()) {
        scope.limit = DiscScope::Limit::ByDisc;
        scope.chosenDiscKey = m_disc->currentData().toString();
    } else if (m_keywords->isEnabled()) {
        scope.limit = DiscScope::Limit::ByKeywords;
        for (const QListWidgetItem *item : m_keywords->selectedItems())
            scope.keywordNumbers.push_back(item->data(Qt::UserRole).toInt());
    }
    return scope;
}

void SearchPane::startOrStop()
{
    if (m_observer) {
        m_observer->requestCancel();
        return;
    }
    if (m_mode == BookmarkMode)
        listBookmarks();
    else
        runSearch();
}

void SearchPane::setRunning(bool running)
{
    m_button->setText(LoadText(running ? 348 : 329));
    m_button->setDefault(!running);
    m_escape->setEnabled(running);
    m_pageTabs->setEnabled(!running);
    m_lists[0]->header()->setSectionsClickable(!running);
    for (QFrame *frame : m_frames)
        frame->setEnabled(!running);
    if (running)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
    emit runningChanged(running);
}

void SearchPane::runSearch()
{
    int badDate = 0;
    const std::optional<SearchCriteria> criteria = criteriaFromForm(formValues(), &badDate);
    if (!criteria) {
        m_pageTabs->setCurrentIndex(1);
        m_dates[badDate]->setFocus();
        m_dates[badDate]->selectAll();
        m_prompt.warn(LoadText(519));
        return;
    }
    // A long list of the last run is freed on a thread of its own while this one
    // shows its first rows.
    std::thread dropRows([rows = m_model->takeAll()]() mutable { rows.clear(); });
    m_result->clear();
    m_lists[0]->clearSortIndicator();
    m_rowDiscs[0] = discIdentifiers();
    RowBatcher rows(*m_model);
    Observer observer(m_prompt, *m_result, rows);
    m_observer = &observer;
    const DiscScope discScope = scope(); // before the pages are disabled
    setRunning(true);
    SearchOptions options;
    options.keywordFilter = discScope.keywordFilter;
    // The parts of the search index that are fresh spare reading their archives; the
    // window never waits for the index, which is built in the background.
    const SearchIndex index(m_catalogue.dataFolder);
    options.index = &index;
    const SearchOutcome outcome =
        vorn::runSearch(m_catalogue, *criteria, buildDiscSelection(m_catalogue, discScope), observer, rows, options);
    rows.flush();
    m_observer = nullptr;
    dropRows.join();
    m_lastOutcome = outcome;
    setRunning(false);
    if (outcome.status == SearchOutcome::Status::Completed)
        m_result->setText(outcome.summary + unreadableArchivesText(m_catalogue, outcome));
}

} // namespace vorn
