#include "gui/DiscListPane.h"

#include "common/UserPrompt.h"
#include "edit/DiscEdits.h"
#include "edit/DiscNames.h"
#include "export/Reports.h"
#include "gui/AppIcons.h"
#include "gui/EditReport.h"
#include "gui/ListViewModes.h"
#include "gui/MainMenus.h"
#include "scan/cDrive.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/DiscOperations.h"
#include "store/DiscSort.h"
#include "store/KeywordList.h"
#include "store/RecordText.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QSet>
#include <QVBoxLayout>
#include <algorithm>

namespace vorn {

namespace {

// The status line: a long data-folder path gives up its middle, not its end; the
// whole text stays the label's text and tooltip.
class StatusLabel : public QLabel
{
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QRect area = contentsRect();
        painter.drawText(area, int(alignment()), fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
    }
};

// The in-place naming editor of a disc entry, with a frame so that the user sees
// where the name is typed.
class FramedEditorDelegate : public WrappedNameDelegate
{
public:
    using WrappedNameDelegate::WrappedNameDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *editor = WrappedNameDelegate::createEditor(parent, option, index);
        if (auto *line = qobject_cast<QLineEdit *>(editor))
            line->setFrame(true);
        return editor;
    }
};

} // namespace

DiscListPane::DiscListPane(Catalogue &catalogue, AppIcons &icons, cDrive &drive, UserPrompt &prompt,
                           DiscListMenus &menus, QWidget *parent)
    : QWidget(parent), m_catalogue(catalogue), m_icons(icons), m_drive(drive), m_prompt(prompt), m_menus(menus)
{
    m_view = new QListView;
    m_view->setObjectName(QStringLiteral("LVCD"));
    m_model = new DiscListModel(m_view);
    m_view->setModel(m_model);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    m_view->setItemDelegate(new FramedEditorDelegate(m_view));
    m_view->installEventFilter(this);

    m_status = new StatusLabel;
    m_status->setObjectName(QStringLiteral("LabelStatus"));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_status);

    m_model->setRenameHandler(
        [this](const QString &identifier, const QString &text) { renameDisc(m_model->rowOfDisc(identifier), text); });
    connect(m_view, &QListView::clicked, this, [this](const QModelIndex &index) { emit entryClicked(index.row()); });
    connect(m_view, &QListView::customContextMenuRequested, this, [this](const QPoint &pos) {
        const QModelIndex index = m_view->indexAt(pos);
        if (index.isValid()) {
            selectRow(index.row());
            emit entryClicked(index.row());
        }
        emit contextMenuRequested(m_view->viewport()->mapToGlobal(pos));
    });
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { emit selectionChanged(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { emit selectionChanged(); });

    connect(m_menus.showAll, &QAction::triggered, this, [this] { setFilter(0, false); });
    connect(m_menus.showAllButton, &QAction::triggered, this, [this] { setFilter(0, false); });
    connect(m_menus.invertFilter, &QAction::triggered, this, [this] {
        for (QAction *action : m_menus.filter->actions()) {
            if (action->isCheckable() && action->isChecked() && action != m_menus.invertFilter)
                setFilter(action->data().toInt(), m_menus.invertFilter->isChecked());
        }
    });
    connect(m_menus.filterButton, &QAction::triggered, this, [this] { m_menus.filter->popup(QCursor::pos()); });
    connect(m_menus.byName, &QAction::triggered, this, [this] { sortDiscs(0, m_catalogue.sortDescending); });
    connect(m_menus.byDate, &QAction::triggered, this, [this] { sortDiscs(1, m_catalogue.sortDescending); });
    connect(m_menus.descending, &QAction::triggered, this,
            [this] { sortDiscs(m_catalogue.sortKey, !m_catalogue.sortDescending); });
    connect(m_menus.toName, &QAction::triggered, this, [this] { sortDiscs(0, m_catalogue.sortDescending); });
    connect(m_menus.toDate, &QAction::triggered, this, [this] { sortDiscs(1, m_catalogue.sortDescending); });
    connect(m_menus.toAscending, &QAction::triggered, this, [this] { sortDiscs(m_catalogue.sortKey, false); });
    connect(m_menus.toDescending, &QAction::triggered, this, [this] { sortDiscs(m_catalogue.sortKey, true); });
    setViewMode(m_viewMode);
}

bool DiscListPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit propertiesWanted();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool DiscListPane::passesFilter(int position) const
{
    return Reports::passesKeywordFilter(m_catalogue.disc(position).keywordCodes, m_filter);
}

DiscListEntry DiscListPane::driveEntry(const DriveEntry &drive) const
{
    DiscListEntry entry;
    entry.kind = DiscListEntry::Kind::Drive;
    entry.letter = drive.key[0];
    entry.identifier = drive.key.mid(2);
    entry.state = drive.state;
    entry.label = drive.label;
    entry.text = drive.text;
    // A name given to a disc not yet catalogued is the one its cataloguing proposes.
    if (drive.state == DriveState::NotCatalogued) {
        const QString given = givenDriveName(entry.letter);
        if (!given.isEmpty())
            entry.text = drive.text.left(4) + given + u']';
    }
    if (drive.image.startsWith(u'I')) {
        const QString id = drive.image.mid(1);
        entry.icon = m_icons.discIcon(id, m_catalogue.discIcons.value(id));
    } else {
        entry.icon = m_icons.icon(drive.image);
    }
    if (drive.state == DriveState::Catalogued) {
        entry.toolTip = m_catalogue.disc(drive.position).description;
        entry.excluded = m_catalogue.disc(drive.position).excluded != 0;
    }
    return entry;
}

std::vector<DiscListEntry> DiscListPane::drives() const
{
    std::vector<DiscListEntry> drives;
    for (const DiscListEntry &entry : m_model->entries()) {
        if (entry.isDrive())
            drives.push_back(entry);
    }
    return drives;
}

QStringList DiscListPane::driveKeys() const
{
    QStringList keys;
    for (const DriveEntry &drive : m_drives)
        keys << drive.key;
    return keys;
}

QString DiscListPane::separatorText() const
{
    if (m_filter == 0)
        return QStringLiteral("..........");
    const int at = KeywordList::findNumber(m_catalogue, qint16(qAbs(m_filter)));
    return u'>' + LoadText(m_filter > 0 ? 502 : 510) + QStringLiteral(": ")
        + (at ? m_catalogue.keywords[size_t(at)].name : QString()) + u'<';
}

void DiscListPane::fill()
{
    for (int position = m_catalogue.discCount(); position >= 1; --position) {
        if (m_catalogue.disc(position).name.isEmpty())
            removeDiscFromArray(m_catalogue, position);
    }
    const DiscFilter passes = [this](int position) { return passesFilter(position); };
    m_drives = readDrives(m_drive, m_letters, m_catalogue, passes);

    std::vector<DiscListEntry> entries;
    entries.reserve(size_t(m_catalogue.discCount()) + m_drives.size() + 1);
    QSet<int> inDrive;
    for (const DriveEntry &drive : m_drives) {
        if (drive.state == DriveState::Catalogued)
            inDrive.insert(drive.position);
        entries.push_back(driveEntry(drive));
    }
    DiscListEntry separator;
    separator.kind = DiscListEntry::Kind::Separator;
    separator.text = separatorText();
    entries.push_back(std::move(separator));
    const QIcon discIcon = m_icons.icon(QStringLiteral("CD"));
    for (int position = 1; position <= m_catalogue.discCount(); ++position) {
        if (inDrive.contains(position) || !passesFilter(position))
            continue;
        const DiscRecord &disc = m_catalogue.disc(position);
        DiscListEntry entry;
        entry.identifier = disc.identifier;
        entry.text = disc.name;
        entry.toolTip = disc.description;
        entry.excluded = disc.excluded != 0;
        // A stock icon chosen for the disc, else its own icon, else the generic one.
        if (!disc.icon.isEmpty() && m_icons.stockKeys().contains(disc.icon))
            entry.icon = m_icons.icon(disc.icon);
        else if (m_catalogue.discIcons.contains(disc.identifier))
            entry.icon = m_icons.discIcon(disc.identifier, m_catalogue.discIcons.value(disc.identifier));
        else
            entry.icon = discIcon;
        entries.push_back(std::move(entry));
    }
    m_model->setEntries(std::move(entries));

    if (m_catalogue.current > 0)
        selectRow(m_model->rowShowing(m_catalogue.disc(m_catalogue.current).identifier));
    updateStatus();
    updateSortState();
    emit filled();
}

void DiscListPane::showNotice(const QString &text)
{
    m_status->setText(QString(7, u' ') + text);
    m_status->repaint();
}

void DiscListPane::updateStatus()
{
    QString status = QString(7, u' ') + LoadText(388) + QStringLiteral(" : ")
        + QDir::toNativeSeparators(m_catalogue.dataFolder) + QStringLiteral(" ; Nb CD : ")
        + QString::number(m_catalogue.discCount());
    QString caption = LoadText(200);
    if (m_filter != 0) {
        status += u' ' + LoadText(503);
        caption += u' ' + LoadText(503);
    }
    m_status->setText(status);
    m_status->setToolTip(status);
    emit captionChanged(caption);
}

void DiscListPane::updateSortState()
{
    // Exactly one button of each pair shows: the one that switches to the other order.
    m_menus.toDate->setVisible(m_catalogue.sortKey == 0);
    m_menus.toName->setVisible(m_catalogue.sortKey != 0);
    m_menus.toDescending->setVisible(!m_catalogue.sortDescending);
    m_menus.toAscending->setVisible(m_catalogue.sortDescending);
    m_menus.byName->setChecked(m_catalogue.sortKey == 0);
    m_menus.byDate->setChecked(m_catalogue.sortKey != 0);
    m_menus.descending->setChecked(m_catalogue.sortDescending);
}

void DiscListPane::selectRow(int row)
{
    if (!m_model->isRow(row)) {
        m_view->clearSelection();
        return;
    }
    const QModelIndex index = m_model->index(row);
    m_view->setCurrentIndex(index);
    m_view->scrollTo(index);
}

int DiscListPane::selectedRow() const
{
    const QModelIndex index = m_view->currentIndex();
    return index.isValid() ? index.row() : -1;
}

const DiscListEntry *DiscListPane::selected() const
{
    const int row = selectedRow();
    return m_model->isRow(row) ? &m_model->entry(row) : nullptr;
}

int DiscListPane::selectedPosition() const
{
    const DiscListEntry *entry = selected();
    return entry && entry->holdsCatalogued() ? findDisc(m_catalogue, entry->identifier) : 0;
}

void DiscListPane::sortDiscs(int key, bool descending)
{
    emit pendingEditsNeeded();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_catalogue.sortKey = key;
    m_catalogue.sortDescending = descending;
    sortDiscArray(m_catalogue);
    QApplication::restoreOverrideCursor();
    fill();
    if (m_catalogue.current > 0 && selectedRow() >= 0)
        emit showAgain(selectedRow(), true);
}

void DiscListPane::rebuildFilterMenu()
{
    for (QAction *action : m_menus.filter->actions()) {
        if (action->isCheckable() && action != m_menus.showAll && action != m_menus.invertFilter) {
            m_menus.filter->removeAction(action);
            action->deleteLater();
        }
    }
    // Entries in name order, ignoring case; the list itself keeps its order.
    std::vector<int> order;
    for (int k = 1; k < int(m_catalogue.keywords.size()); ++k) {
        if (m_catalogue.keywords[size_t(k)].number != 0)
            order.push_back(k);
    }
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return m_catalogue.keywords[size_t(a)].name.compare(m_catalogue.keywords[size_t(b)].name, Qt::CaseInsensitive)
            < 0;
    });
    for (int k : order) {
        const KeywordEntry &keyword = m_catalogue.keywords[size_t(k)];
        auto *entry = new QAction(keyword.name, m_menus.filter);
        entry->setObjectName(QStringLiteral("MnuFiltre_%1").arg(k));
        entry->setCheckable(true);
        entry->setData(int(keyword.number));
        m_menus.filter->insertAction(m_menus.filterSeparator, entry);
        connect(entry, &QAction::triggered, this,
                [this, entry] { setFilter(entry->data().toInt(), m_menus.invertFilter->isChecked()); });
    }
    m_filter = 0;
    m_menus.showAll->setChecked(true);
}

void DiscListPane::refreshFilterMenu()
{
    const int before = m_filter;
    rebuildFilterMenu();
    const bool kept = before != 0 && KeywordList::findNumber(m_catalogue, qint16(qAbs(before))) > 0;
    setFilter(kept ? qAbs(before) : 0, kept && before < 0);
}

void DiscListPane::setFilter(int keywordNumber, bool inverted)
{
    m_filter = inverted ? -keywordNumber : keywordNumber;
    fill();
    for (QAction *action : m_menus.filter->actions()) {
        if (action->isCheckable() && action != m_menus.invertFilter)
            action->setChecked(action->data().toInt() == keywordNumber);
    }
}

void DiscListPane::renameSelected()
{
    const DiscListEntry *entry = selected();
    if (!entry)
        return;
    if (entry->isDrive())
        nameDriveDisc(selectedRow());
    else if (entry->isDisc())
        m_view->edit(m_view->currentIndex());
}

bool DiscListPane::renameDisc(int row, const QString &newName)
{
    if (!m_model->isRow(row) || !m_model->entry(row).holdsCatalogued())
        return false;
    const QString identifier = m_model->entry(row).identifier;
    const int position = findDisc(m_catalogue, identifier);
    if (position == 0)
        return false;
    const bool shown = position == m_catalogue.current;
    // A pending description edit of this disc is written before its name changes.
    if (shown)
        emit pendingEditsNeeded();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const EditResult result = edit::renameDisc(m_catalogue, findDisc(m_catalogue, identifier), newName, 300);
    QApplication::restoreOverrideCursor();
    if (result.outcome == EditResult::Outcome::Refused) {
        // A refused name gets the message alone: the user has just typed the name.
        m_prompt.warn(LoadText(result.message));
        return false;
    }
    if (!result.ok()) {
        reportEdit(m_prompt, result);
        return false;
    }
    fill();
    const int newRow = m_model->rowShowing(identifier);
    selectRow(newRow);
    if (newRow >= 0)
        emit showAgain(newRow, shown);
    return true;
}

void DiscListPane::nameDriveDisc(int row)
{
    if (!m_model->isRow(row) || !m_model->entry(row).isDrive())
        return;
    const DiscListEntry &entry = m_model->entry(row);
    if (entry.state == DriveState::Empty)
        return; // an empty drive has no disc to name
    const QChar letter = entry.letter;
    const QString identifier = entry.identifier;
    const QString name = DiscName::normalised(m_prompt.inputText(LoadText(870), QString(), QString()));
    const DiscName::Problem problem = DiscName::check(m_catalogue, name, findDisc(m_catalogue, identifier));
    if (problem == DiscName::Problem::Empty)
        return;
    if (problem != DiscName::Problem::None) {
        m_prompt.warn(LoadText(DiscName::message(problem, 344)));
        return;
    }
    m_driveNames.insert(letter, {identifier, name});
    const QString text = entry.text.left(4) + name + u']';
    m_model->setText(row, text);
    emit driveDiscNamed(identifier, text);
}

QString DiscListPane::givenDriveName(QChar letter) const
{
    const auto found = m_driveNames.constFind(letter.toUpper());
    if (found == m_driveNames.constEnd())
        return {};
    for (const DriveEntry &entry : m_drives) {
        if (entry.key[0] == found.key())
            return entry.key.mid(2) == found->first ? found->second : QString();
    }
    return {};
}

void DiscListPane::setViewMode(int mode)
{
    if (mode < 0 || mode > 3)
        return;
    m_viewMode = mode;
    applyListViewMode(m_view, mode);
}

} // namespace vorn
