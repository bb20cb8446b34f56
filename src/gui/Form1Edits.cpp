// What the user edits about a disc from the main window: its name (in place, or
// through the input box for the disc in a drive), its keyword ticks, and the fields
// shown beside them.
#include "gui/BrowsePane.h"
#include "gui/DiscListModel.h"
#include "gui/Form1.h"
#include "gui/MainMenus.h"
#include "settings/StringTable.h"
#include "store/DiscSort.h"
#include "store/KeywordList.h"
#include "store/RecordText.h"

#include <QApplication>
#include <QFont>
#include <QListView>
#include <QListWidget>
#include <QStackedWidget>
#include <QTabBar>
#include <QTreeWidget>

namespace vorn {

namespace {

constexpr int NumberRole = Qt::UserRole + 1;

bool isDriveKey(const QString &key)
{
    return key.size() >= 2 && key[1] == u':';
}

// Position of another disc of the array named `name` (ignoring case), or 0.
int discNamed(const Catalogue &catalogue, const QString &name, int except)
{
    for (int position = 1; position <= catalogue.discCount(); ++position) {
        if (position != except && catalogue.disc(position).name.compare(name, Qt::CaseInsensitive) == 0)
            return position;
    }
    return 0;
}

int keywordCount(const Catalogue &catalogue, qint16 number)
{
    const QString code = u'|' + QString::number(number) + u'|';
    int count = 0;
    for (int position = 1; position <= catalogue.discCount(); ++position) {
        if (catalogue.disc(position).keywordCodes.contains(code))
            ++count;
    }
    return count;
}

QString keywordCaption(const Catalogue &catalogue, const KeywordEntry &keyword)
{
    return keyword.name + QStringLiteral(" (") + QString::number(keywordCount(catalogue, keyword.number)) + u')';
}

} // namespace

void Form1::renameSelected()
{
    const QModelIndex index = m_discList->currentIndex();
    if (!index.isValid())
        return;
    const QString key = m_discModel->keyAt(index.row());
    if (isDriveKey(key))
        nameDriveDisc(index.row());
    else if (key.startsWith(QLatin1String("__")))
        m_discList->edit(index);
}

bool Form1::renameDisc(int row, const QString &newName)
{
    const QString key = m_discModel->keyAt(row);
    if (!key.startsWith(QLatin1String("__")))
        return false;
    const int position = findDisc(m_catalogue, key.mid(2));
    if (position == 0 || newName.isEmpty())
        return false;
    if (newName.contains(u'\\')) {
        m_prompt->warn(LoadText(343));
        return false;
    }
    DiscRecord &record = m_catalogue.disc(position);
    if (record.name.compare(newName, Qt::CaseInsensitive) != 0
        && discNamed(m_catalogue, newName, position) != 0) {
        m_prompt->warn(LoadText(300));
        return false;
    }
    if (record.name == newName)
        return true;
    // A pending description edit of this disc goes into the same write.
    if (position == m_catalogue.current)
        saveCurrentDisc();
    const QString identifier = record.identifier;
    const QString previous = record.name;
    record.name = newName;
    QString error;
    const int flags = m_catalogue.memberFlags;
    m_catalogue.memberFlags = 0;
    if (!writeRecord(m_catalogue, record, 4, &error)) {
        m_catalogue.memberFlags = flags;
        record.name = previous;
        m_prompt->fail(error);
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool shown = m_browse->shown().identifier == identifier;
    sortDiscArray(m_catalogue);
    giveDuplicateSuffixes(m_catalogue);
    QApplication::restoreOverrideCursor();
    fillDiscList();
    const int newRow = m_discModel->rowOfKey(QStringLiteral("__") + identifier);
    selectRow(newRow);
    if (newRow >= 0)
        showEntry(newRow, shown);
    if (shown)
        m_browse->setRootText(m_catalogue.disc(findDisc(m_catalogue, identifier)).name);
    return true;
}

void Form1::nameDriveDisc(int row)
{
    if (row < 0 || row >= m_discModel->rowCount())
        return;
    const DiscListEntry &entry = m_discModel->entry(row);
    if (!isDriveKey(entry.key))
        return;
    const QChar letter = entry.key[0];
    const QString identifier = entry.key.mid(2);
    if (identifier == QLatin1String("0"))
        return;   // an empty drive has no disc to name
    const QString name = m_prompt->inputText(QStringLiteral("Entrez le nouveau nom du CD"), QString(), QString());
    if (name.isEmpty())
        return;
    if (name.contains(u'\\')) {
        m_prompt->warn(LoadText(343));
        return;
    }
    if (discNamed(m_catalogue, name, findDisc(m_catalogue, identifier)) != 0) {
        m_prompt->warn(LoadText(344));
        return;
    }
    m_driveNames.insert(letter, {identifier, name});
    const QString text = entry.text.left(4) + name + u']';
    m_discModel->setText(row, text);
    if (m_browse->shown().identifier == identifier && findDisc(m_catalogue, identifier) > 0)
        m_browse->setRootText(text);
}

QString Form1::givenDriveName(QChar letter) const
{
    const auto found = m_driveNames.constFind(letter.toUpper());
    if (found == m_driveNames.constEnd())
        return {};
    for (const DriveEntry &entry : m_driveEntries) {
        if (entry.key[0] == found.key())
            return entry.key.mid(2) == found->first ? found->second : QString();
    }
    return {};
}

void Form1::RemplitListMC()
{
    m_fillingKeywords = true;
    m_keywordList->clear();
    for (int k = 1; k < int(m_catalogue.keywords.size()); ++k) {
        const KeywordEntry &keyword = m_catalogue.keywords[size_t(k)];
        if (keyword.number == 0)
            continue;
        auto *item = new QListWidgetItem(keywordCaption(m_catalogue, keyword), m_keywordList);
        item->setData(Qt::UserRole, QString(u'K' + QString::number(keyword.number)));
        item->setData(NumberRole, int(keyword.number));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    m_fillingKeywords = false;
    CocheMCduCDEnCours();
}

void Form1::CocheMCduCDEnCours()
{
    const bool hasDisc = m_catalogue.current > 0 && m_catalogue.current <= m_catalogue.discCount();
    const QString codes = hasDisc ? m_catalogue.disc(m_catalogue.current).keywordCodes : QString();
    m_fillingKeywords = true;
    for (int i = 0; i < m_keywordList->count(); ++i) {
        QListWidgetItem *item = m_keywordList->item(i);
        const QString code = u'|' + QString::number(item->data(NumberRole).toInt()) + u'|';
        item->setCheckState(codes.contains(code) ? Qt::Checked : Qt::Unchecked);
        Qt::ItemFlags flags = item->flags();
        flags.setFlag(Qt::ItemIsUserCheckable, hasDisc);
        item->setFlags(flags);
    }
    m_fillingKeywords = false;
}

void Form1::ListMC_ItemCheck(QListWidgetItem *item)
{
    if (m_fillingKeywords || !item || m_catalogue.current <= 0 || m_catalogue.current > m_catalogue.discCount())
        return;
    QString codes;
    for (int i = 0; i < m_keywordList->count(); ++i) {
        const QListWidgetItem *each = m_keywordList->item(i);
        if (each->checkState() == Qt::Checked)
            codes += u'|' + QString::number(each->data(NumberRole).toInt());
    }
    codes += u'|';
    m_catalogue.disc(m_catalogue.current).keywordCodes = codes;
    m_infoModified = true;
    const int at = KeywordList::findNumber(m_catalogue, qint16(item->data(NumberRole).toInt()));
    if (at > 0) {
        m_fillingKeywords = true;
        item->setText(keywordCaption(m_catalogue, m_catalogue.keywords[size_t(at)]));
        m_fillingKeywords = false;
    }
    m_keywordList->setCurrentItem(item);
}

void Form1::fillFields()
{
    m_fields->clear();
    auto *root = new QTreeWidgetItem(m_fields, {LoadText(536)});
    root->setData(0, Qt::UserRole, QStringLiteral("Champs"));
    const bool hasDisc = m_catalogue.current > 0 && m_catalogue.current <= m_catalogue.discCount();
    QFont bold = m_fields->font();
    bold.setBold(true);
    for (int n = 1; n < m_catalogue.fieldNames.size(); ++n) {
        const QString &name = m_catalogue.fieldNames[n];
        if (name.isEmpty() || name == LoadText(535))
            continue;
        QString value;
        if (hasDisc) {
            for (const FieldPair &pair : m_catalogue.disc(m_catalogue.current).fields) {
                if (pair.name.compare(name, Qt::CaseInsensitive) == 0)
                    value = pair.value;
            }
        }
        auto *field = new QTreeWidgetItem(root, {name});
        field->setData(0, Qt::UserRole, QString(u'K' + QString::number(2 * n)));
        auto *valueItem = new QTreeWidgetItem(field, {value.isEmpty() ? LoadText(538) : value});
        valueItem->setData(0, Qt::UserRole, QString(u'V' + QString::number(2 * n)));
        if (!value.isEmpty())
            field->setFont(0, bold);
    }
    auto *placeholder = new QTreeWidgetItem(root, {LoadText(535)});
    placeholder->setData(0, Qt::UserRole, QString(u'K' + QString::number(2 * m_catalogue.fieldNames.size() + 1)));
    m_fields->expandAll();
}

void Form1::showLowerPane(int index)
{
    if (index < 0 || index > 2)
        return;
    // The pages are: keywords, description, fields.
    m_lowerPages->setCurrentIndex(index);
    if (m_lowerTabs->currentIndex() != index)
        m_lowerTabs->setCurrentIndex(index);
}

} // namespace vorn
