#include "gui/annotate/FrmMC.h"

#include "common/UserPrompt.h"
#include "edit/KeywordEdits.h"
#include "gui/EditReport.h"
#include "gui/Form1.h"
#include "settings/StringTable.h"
#include "store/KeywordCodes.h"
#include "store/KeywordList.h"
#include "store/RecordText.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace vorn {

namespace {

constexpr int NumberRole = Qt::UserRole + 1;
constexpr int NameRole = Qt::UserRole + 2;
constexpr int IdentifierRole = Qt::UserRole + 3;

} // namespace

FrmMC::FrmMC(Form1 &owner) : QDialog(&owner), m_owner(owner)
{
    setObjectName(QStringLiteral("FrmMC"));
    setWindowTitle(LoadText(368));
    setAttribute(Qt::WA_DeleteOnClose);

    m_keywordList = new QListWidget;
    m_keywordList->setObjectName(QStringLiteral("LVMCMC"));
    m_keywordList->setEditTriggers(QAbstractItemView::EditKeyPressed);
    m_discList = new QListWidget;
    m_discList->setObjectName(QStringLiteral("LVCDMC"));
    m_discList->setUniformItemSizes(true);
    m_discList->setIconSize(QSize(16, 16));

    auto *layout = new QGridLayout(this);
    layout->addWidget(new QLabel(LoadText(128)), 0, 0);
    layout->addWidget(new QLabel(LoadText(367)), 0, 1);
    layout->addWidget(m_keywordList, 1, 0);
    layout->addWidget(m_discList, 1, 1);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    auto *buttons = new QHBoxLayout;
    const int captions[] = {363, 364, 365};
    for (int index = 0; index < 3; ++index) {
        auto *button = new QPushButton(LoadText(captions[index]));
        button->setObjectName(QStringLiteral("Command1_%1").arg(index));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, index] { command1Click(index); });
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    auto *close = new QPushButton(LoadText(366));
    close->setObjectName(QStringLiteral("Command1_3"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(close);
    layout->addLayout(buttons, 2, 0, 1, 2);

    const Catalogue &catalogue = owner.catalogue();
    AppIcons &icons = owner.icons();
    for (int position = 1; position <= catalogue.discCount(); ++position) {
        const DiscRecord &disc = catalogue.disc(position);
        auto *item = new QListWidgetItem(disc.name, m_discList);
        item->setIcon(catalogue.discIcons.contains(disc.identifier)
                          ? icons.discIcon(disc.identifier, catalogue.discIcons.value(disc.identifier))
                          : icons.icon(QStringLiteral("CD")));
        item->setData(IdentifierRole, disc.identifier);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    connect(m_keywordList, &QListWidget::currentRowChanged, this, &FrmMC::selectKeyword);
    connect(m_keywordList, &QListWidget::itemChanged, this, &FrmMC::keywordRenamed);
    connect(m_discList, &QListWidget::itemChanged, this, &FrmMC::discTicked);
    fillKeywords(0);
    resize(560, 400);
}

void FrmMC::fillKeywords(int selectNumber)
{
    const Catalogue &catalogue = m_owner.catalogue();
    m_filling = true;
    m_keywordList->clear();
    int selected = 0;
    for (int k = 1; k < int(catalogue.keywords.size()); ++k) {
        const KeywordEntry &keyword = catalogue.keywords[size_t(k)];
        if (keyword.number == 0)
            continue;
        auto *item = new QListWidgetItem(keyword.name, m_keywordList);
        item->setData(NumberRole, int(keyword.number));
        item->setData(NameRole, keyword.name);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        if (keyword.number == selectNumber)
            selected = m_keywordList->count() - 1;
    }
    m_filling = false;
    m_keywordList->setCurrentRow(m_keywordList->count() ? selected : -1);
    selectKeyword(m_keywordList->currentRow());
}

int FrmMC::selectedNumber() const
{
    const QListWidgetItem *item = m_keywordList->currentItem();
    return item ? item->data(NumberRole).toInt() : 0;
}

void FrmMC::selectKeyword(int row)
{
    if (m_filling)
        return;
    const QListWidgetItem *item = m_keywordList->item(row);
    const int number = item ? item->data(NumberRole).toInt() : 0;
    const Catalogue &catalogue = m_owner.catalogue();
    m_filling = true;
    for (int i = 0; i < m_discList->count(); ++i) {
        QListWidgetItem *disc = m_discList->item(i);
        const int position = findDisc(catalogue, disc->data(IdentifierRole).toString());
        const bool carried =
            number != 0 && position > 0 && carriesKeyword(catalogue.disc(position).keywordCodes, number);
        disc->setCheckState(carried ? Qt::Checked : Qt::Unchecked);
        disc->setFlags(number ? (Qt::ItemIsEnabled | Qt::ItemIsUserCheckable) : Qt::NoItemFlags);
    }
    m_filling = false;
}

void FrmMC::discTicked(QListWidgetItem *item)
{
    const int number = selectedNumber();
    if (m_filling || number == 0)
        return;
    Catalogue &catalogue = m_owner.catalogue();
    const QString identifier = item->data(IdentifierRole).toString();
    const int position = findDisc(catalogue, identifier);
    if (position == 0)
        return;
    QString &codes = catalogue.disc(position).keywordCodes;
    const bool ticked = item->checkState() == Qt::Checked;
    if (ticked == carriesKeyword(codes, number))
        return;
    codes = edit::codesWithKeyword(codes, number, ticked);
    if (!m_changed.contains(identifier))
        m_changed << identifier;
    emit keywordsChanged(false);
}

void FrmMC::remember(const std::vector<int> &positions)
{
    for (int position : positions) {
        const QString &identifier = m_owner.catalogue().disc(position).identifier;
        if (!m_changed.contains(identifier))
            m_changed << identifier;
    }
}

void FrmMC::command1Click(int index)
{
    UserPrompt &prompt = m_owner.prompt();
    Catalogue &catalogue = m_owner.catalogue();
    switch (index) {
    case 0: {
        const QString name = prompt.inputText(LoadText(370), LoadText(368));
        if (name.trimmed().isEmpty())
            return;
        int position = 0;
        const EditResult result = edit::addKeyword(catalogue, name, &position);
        if (result.message == 305)
            prompt.inform(LoadText(305));
        else
            reportEdit(prompt, result);
        if (!result.ok() || position == 0)
            return;
        fillKeywords(catalogue.keywords[size_t(position)].number);
        emit keywordsChanged(true);
        return;
    }
    case 1:
        if (QListWidgetItem *item = m_keywordList->currentItem())
            m_keywordList->editItem(item);
        return;
    case 2: {
        const QListWidgetItem *item = m_keywordList->currentItem();
        if (!item)
            return;
        if (prompt.askYesNo(LoadText(306) + u'\n' + item->data(NameRole).toString()) != UserPrompt::Answer::Yes)
            return;
        std::vector<int> carriers;
        const EditResult result = edit::deleteKeyword(catalogue, item->data(NumberRole).toInt(), false, &carriers);
        reportEdit(prompt, result);
        remember(carriers);
        fillKeywords(0);
        emit keywordsChanged(true);
        return;
    }
    default:
        return;
    }
}

void FrmMC::keywordRenamed(QListWidgetItem *item)
{
    if (m_filling || !item)
        return;
    const QString oldName = item->data(NameRole).toString();
    const QString typed = item->text();
    if (typed == oldName)
        return;
    std::vector<int> carriers;
    const EditResult result =
        edit::renameKeyword(m_owner.catalogue(), item->data(NumberRole).toInt(), typed, false, &carriers);
    reportEdit(m_owner.prompt(), result);
    remember(carriers);
    // A refused name gives the old one back; an accepted one shows as it was stored.
    const Catalogue &catalogue = m_owner.catalogue();
    const int at = KeywordList::findNumber(catalogue, qint16(item->data(NumberRole).toInt()));
    const QString shown = result.ok() && at > 0 ? catalogue.keywords[size_t(at)].name : oldName;
    m_filling = true;
    item->setText(shown);
    item->setData(NameRole, shown);
    m_filling = false;
    if (result.ok())
        emit keywordsChanged(true);
}

void FrmMC::done(int result)
{
    if (!m_written) {
        m_written = true;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const EditResult written = edit::writeDiscKeywords(m_owner.catalogue(), m_changed);
        QApplication::restoreOverrideCursor();
        reportEdit(m_owner.prompt(), written);
    }
    QDialog::done(result);
}

} // namespace vorn
