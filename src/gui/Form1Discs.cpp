// The disc list of the main window: filling, showing a disc, sorting, filtering,
// the description and the drive watch's changes.
#include "gui/BrowsePane.h"
#include "gui/DiscListModel.h"
#include "gui/Form1.h"
#include "gui/MainMenus.h"
#include "scan/DriveLayer.h"
#include "scan/cDrive.h"
#include "settings/StringTable.h"
#include "store/DiscOperations.h"
#include "store/DiscSort.h"
#include "store/RecordText.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSet>
#include <QToolBar>
#include <algorithm>
#include <optional>

namespace vorn {

namespace {

bool isDriveKey(const QString &key)
{
    return key.size() >= 2 && key[1] == u':';
}

// The identifier a key carries, or nothing for the separator.
std::optional<QString> identifierOfKey(const QString &key)
{
    const QString id = key.mid(2);
    bool number = false;
    id.toLongLong(&number);
    if (!number)
        return std::nullopt;
    return id;
}

QString descriptionForBox(const QString &stored)
{
    return QString(stored).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

bool Form1::passesFilter(int position) const
{
    if (m_filter == 0)
        return true;
    const QString code = u'|' + QString::number(qAbs(m_filter)) + u'|';
    const bool has = m_catalogue.disc(position).keywordCodes.contains(code);
    return m_filter > 0 ? has : !has;
}

void Form1::fillDiscList()
{
    for (int position = m_catalogue.discCount(); position >= 1; --position) {
        if (m_catalogue.disc(position).name.isEmpty())
            removeDiscFromArray(m_catalogue, position);
    }
    const DiscFilter passes = [this](int position) { return passesFilter(position); };
    m_driveEntries = readDrives(*m_drive, m_cdLetters, m_catalogue, passes);

    auto iconOf = [this](const QString &image) {
        if (image.startsWith(u'I')) {
            const QString id = image.mid(1);
            return m_icons.discIcon(id, m_catalogue.discIcons.value(id));
        }
        return m_icons.icon(image);
    };

    std::vector<DiscListEntry> entries;
    entries.reserve(size_t(m_catalogue.discCount()) + m_driveEntries.size() + 1);
    QSet<int> inDrive;
    for (const DriveEntry &drive : m_driveEntries) {
        DiscListEntry entry;
        entry.key = drive.key;
        entry.text = drive.text;
        if (drive.state != DriveState::Empty) {
            const QString given = givenDriveName(drive.key[0]);
            if (!given.isEmpty())
                entry.text = drive.text.left(4) + given + u']';
        }
        entry.icon = iconOf(drive.image);
        if (drive.state == DriveState::Catalogued) {
            inDrive.insert(drive.position);
            entry.toolTip = m_catalogue.disc(drive.position).description;
            entry.excluded = m_catalogue.disc(drive.position).excluded != 0;
        }
        entries.push_back(std::move(entry));
    }
    DiscListEntry separator;
    separator.key = LoadText(502);
    separator.text = QStringLiteral("..........");
    if (m_filter != 0) {
        const int at = [this] {
            for (int k = 1; k < int(m_catalogue.keywords.size()); ++k) {
                if (m_catalogue.keywords[size_t(k)].number == qAbs(m_filter))
                    return k;
            }
            return 0;
        }();
        separator.text = u'>' + LoadText(m_filter > 0 ? 502 : 510) + QStringLiteral(": ")
            + (at ? m_catalogue.keywords[size_t(at)].name : QString()) + u'<';
    }
    entries.push_back(std::move(separator));
    const QIcon discIcon = m_icons.icon(QStringLiteral("CD"));
    for (int position = 1; position <= m_catalogue.discCount(); ++position) {
        if (inDrive.contains(position) || !passesFilter(position))
            continue;
        const DiscRecord &disc = m_catalogue.disc(position);
        DiscListEntry entry;
        entry.key = QStringLiteral("__") + disc.identifier;
        entry.text = disc.name;
        entry.toolTip = disc.description;
        entry.excluded = disc.excluded != 0;
        entry.icon = m_catalogue.discIcons.contains(disc.identifier)
            ? m_icons.discIcon(disc.identifier, m_catalogue.discIcons.value(disc.identifier))
            : discIcon;
        entries.push_back(std::move(entry));
    }
    m_discModel->setEntries(std::move(entries));

    if (m_catalogue.current > 0) {
        const QString id = m_catalogue.disc(m_catalogue.current).identifier;
        int row = m_discModel->rowOfKey(QStringLiteral("__") + id);
        for (const DriveEntry &drive : m_driveEntries) {
            if (row < 0 && drive.position == m_catalogue.current)
                row = m_discModel->rowOfKey(drive.key);
        }
        selectRow(row);
    }
    updateStatus();
    updateToolbar();
}

void Form1::updateStatus()
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
    setWindowTitle(caption);
}

void Form1::selectRow(int row)
{
    if (row < 0 || row >= m_discModel->rowCount()) {
        m_discList->clearSelection();
        return;
    }
    const QModelIndex index = m_discModel->index(row);
    m_discList->setCurrentIndex(index);
    m_discList->scrollTo(index);
}

int Form1::selectedRow() const
{
    const QModelIndex index = m_discList->currentIndex();
    return index.isValid() ? index.row() : -1;
}

void Form1::updateToolbar()
{
    const bool drive = isDriveKey(m_discModel->keyAt(selectedRow()));
    auto show = [this](const char *name, bool visible) {
        if (QAction *action = findAction(this, QString::fromLatin1(name)))
            action->setVisible(visible);
    };
    show("EjectCD", drive);
    show("CloseCD", drive);
    show("TriDate", m_catalogue.sortKey == 0);
    show("TriNom", m_catalogue.sortKey != 0);
    show("TriDesc", !m_catalogue.sortDescending);
    show("TriAsc", m_catalogue.sortDescending);
    findAction(this, QStringLiteral("mnuTrie_0"))->setChecked(m_catalogue.sortKey == 0);
    findAction(this, QStringLiteral("mnuTrie_1"))->setChecked(m_catalogue.sortKey != 0);
    findAction(this, QStringLiteral("mnuTrieDecroiss"))->setChecked(m_catalogue.sortDescending);
}

bool Form1::showEntryByKey(const QString &key, bool force)
{
    const int row = m_discModel->rowOfKey(key);
    if (row < 0)
        return false;
    selectRow(row);
    showEntry(row, force);
    return true;
}

void Form1::showEntry(int row, bool force)
{
    if (row < 0 || row >= m_discModel->rowCount())
        return;
    const QString key = m_discModel->keyAt(row);
    std::optional<QString> identifier = identifierOfKey(key);
    if (!identifier) {
        if (row > 0) {
            selectRow(row - 1);
            showEntry(row - 1, force);
        }
        return;
    }
    m_browse->clearInfo();
    const QString shownId = m_browse->shown().identifier;
    int position = isDriveKey(key) ? findDisc(m_catalogue, *identifier) : findDisc(m_catalogue, *identifier);
    if (!force && !shownId.isEmpty() && position > 0 && m_catalogue.disc(position).identifier == shownId) {
        updateToolbar();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    saveCurrentDisc();
    const int previous = m_catalogue.current;
    if (!shownId.isEmpty() && findDisc(m_catalogue, shownId) > 0)
        deleteWorkingCopies(m_catalogue, shownId);
    if (isDriveKey(key) && position == 0) {
        m_browse->clear();
        m_catalogue.current = 0;
        m_loadingDescription = true;
        m_description->clear();
        m_loadingDescription = false;
        CocheMCduCDEnCours();
        fillFields();
        fillDiscList();
        selectRow(m_discModel->rowOfKey(key.left(2)) >= 0 ? m_discModel->rowOfKey(key.left(2)) : row);
        for (int r = 0; r < m_discModel->rowCount(); ++r) {
            if (m_discModel->keyAt(r).startsWith(key.left(2)))
                selectRow(r);
        }
        updateToolbar();
        QApplication::restoreOverrideCursor();
        return;
    }
    m_catalogue.current = position;
    const QString rootText = isDriveKey(key) ? m_discModel->entry(row).text : m_catalogue.disc(position).name;
    if (position == 0 || !m_browse->showDisc(position, rootText)) {
        QApplication::restoreOverrideCursor();
        m_prompt->fail(LoadText(376));
        m_catalogue.current = 0;
        m_browse->clear();
        m_loadingDescription = true;
        m_description->clear();
        m_loadingDescription = false;
        m_infoModified = false;
        CocheMCduCDEnCours();
        fillFields();
        if (previous > 0 && previous <= m_catalogue.discCount() && previous != position) {
            const QString previousId = m_catalogue.disc(previous).identifier;
            int back = m_discModel->rowOfKey(QStringLiteral("__") + previousId);
            for (const DriveEntry &drive : m_driveEntries) {
                if (back < 0 && drive.position == previous)
                    back = m_discModel->rowOfKey(drive.key);
            }
            if (back >= 0) {
                selectRow(back);
                showEntry(back, true);
            }
        }
        return;
    }
    CocheMCduCDEnCours();
    fillFields();
    m_loadingDescription = true;
    m_description->setPlainText(descriptionForBox(m_catalogue.disc(position).description));
    m_loadingDescription = false;
    m_infoModified = false;
    updateToolbar();
    QApplication::restoreOverrideCursor();
}

void Form1::descriptionEdited()
{
    if (m_loadingDescription || m_catalogue.current <= 0)
        return;
    const QString text = m_description->toPlainText();
    const QString stored = descriptionForBox(m_catalogue.disc(m_catalogue.current).description);
    if (text.compare(stored, Qt::CaseInsensitive) != 0)
        m_infoModified = true;
    m_discModel->setToolTip(selectedRow(), text);
}

void Form1::saveCurrentDisc()
{
    if (!m_infoModified || m_catalogue.current <= 0 || m_catalogue.current > m_catalogue.discCount())
        return;
    DiscRecord &record = m_catalogue.disc(m_catalogue.current);
    record.description = m_description->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
    QString error;
    if (writeRecord(m_catalogue, record, 4, &error))
        m_infoModified = false;
    else
        m_prompt->fail(error);
}

void Form1::sortDiscs(int key, bool descending)
{
    saveCurrentDisc();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_catalogue.sortKey = key;
    m_catalogue.sortDescending = descending;
    sortDiscArray(m_catalogue);
    QApplication::restoreOverrideCursor();
    const int current = m_catalogue.current;
    fillDiscList();
    if (current > 0) {
        const int row = selectedRow();
        if (row >= 0)
            showEntry(row, true);
    }
    updateToolbar();
}

void Form1::rebuildFilterMenu()
{
    QMenu *menu = findMenu(this, QStringLiteral("MnuFiltre_T"));
    QAction *separator = nullptr;
    for (QAction *action : menu->actions()) {
        if (action->objectName() == QLatin1String("MnuFiltreSep"))
            separator = action;
        else if (action->objectName().startsWith(QLatin1String("MnuFiltre_"))
                 && action->objectName() != QLatin1String("MnuFiltre_0")) {
            menu->removeAction(action);
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
        return m_catalogue.keywords[size_t(a)].name.compare(m_catalogue.keywords[size_t(b)].name, Qt::CaseInsensitive) < 0;
    });
    for (int k : order) {
        const KeywordEntry &keyword = m_catalogue.keywords[size_t(k)];
        auto *entry = new QAction(keyword.name, menu);
        entry->setObjectName(QStringLiteral("MnuFiltre_%1").arg(k));
        entry->setCheckable(true);
        entry->setData(int(keyword.number));
        menu->insertAction(separator, entry);
        connect(entry, &QAction::triggered, this, [this, entry] {
            setFilter(entry->data().toInt(), findAction(this, QStringLiteral("MnuInvertFiltre"))->isChecked());
        });
    }
    for (QAction *action : menu->actions()) {
        if (action->isCheckable() && action->objectName().startsWith(QLatin1String("MnuFiltre_")))
            action->setChecked(action->objectName() == QLatin1String("MnuFiltre_0"));
    }
}

void Form1::setFilter(int keywordNumber, bool inverted)
{
    m_filter = inverted ? -keywordNumber : keywordNumber;
    fillDiscList();
    const QMenu *menu = findMenu(this, QStringLiteral("MnuFiltre_T"));
    for (QAction *action : menu->actions()) {
        if (action->isCheckable() && action->objectName().startsWith(QLatin1String("MnuFiltre_")))
            action->setChecked(action->data().toInt() == keywordNumber);
    }
}

void Form1::onDriveChanged(QChar letter)
{
    const QString selected = m_discModel->keyAt(selectedRow());
    fillDiscList();
    int row = -1;
    if (isDriveKey(selected)) {
        for (int r = 0; r < m_discModel->rowCount() && row < 0; ++r) {
            if (m_discModel->keyAt(r).startsWith(selected.left(2)))
                row = r;
        }
    } else {
        row = m_discModel->rowOfKey(selected);
    }
    if (row >= 0)
        selectRow(row);
    updateToolbar();
    (void)letter;
}

void Form1::moveInHistory(int delta)
{
    const auto [identifier, node] = m_browse->stepHistory(delta);
    if (identifier.isEmpty())
        return;
    if (m_browse->shown().identifier != identifier) {
        int row = m_discModel->rowOfKey(QStringLiteral("__") + identifier);
        for (const DriveEntry &drive : m_driveEntries) {
            if (row < 0 && drive.key.mid(2) == identifier)
                row = m_discModel->rowOfKey(drive.key);
        }
        if (row < 0)
            return;
        selectRow(row);
        showEntry(row);
    }
    m_browse->showNode(node, true);
}

} // namespace vorn
