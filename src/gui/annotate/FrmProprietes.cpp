#include "gui/annotate/FrmProprietes.h"

#include "common/UserPrompt.h"
#include "edit/DiscEdits.h"
#include "edit/DiscNames.h"
#include "edit/TreeEdits.h"
#include "export/ItemFacts.h"
#include "gui/BrowsePane.h"
#include "gui/DiscInfoPane.h"
#include "gui/DiscListModel.h"
#include "gui/DiscListPane.h"
#include "gui/EditReport.h"
#include "gui/Form1.h"
#include "settings/StringTable.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTextCursor>
#include <QTreeView>
#include <QVBoxLayout>

namespace vorn {

namespace {

QString forBox(const QString &stored)
{
    return QString(stored).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

FrmProprietes::FrmProprietes(Form1 &owner, Mode mode, int number)
    : QDialog(&owner), m_owner(owner), m_mode(mode), m_number(number)
{
    setObjectName(QStringLiteral("FrmProprietes"));
    setWindowTitle(LoadText(397));
    setAttribute(Qt::WA_DeleteOnClose);
    Catalogue &catalogue = owner.catalogue();
    ShownDisc &shown = owner.browser()->shown();
    m_identifier = shown.identifier;
    const int position = findDisc(catalogue, m_identifier);
    // The counts and the files of every folder need the whole file list.
    shown.loader.load(catalogue, shown.tree, FileListLoader::WholeFile, position);
    const DiscTree &tree = shown.tree;

    m_tabs = new QTabBar;
    m_tabs->setObjectName(QStringLiteral("TabStrip1"));
    m_facts = new QPlainTextEdit;
    m_facts->setObjectName(QStringLiteral("TxtInfos"));
    m_facts->setReadOnly(true);
    m_facts->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_descriptionLabel = new QLabel;
    m_descriptionLabel->setObjectName(QStringLiteral("LblDescFichier"));
    m_description = new QPlainTextEdit;
    m_description->setObjectName(QStringLiteral("Text1"));
    m_description->setTabChangesFocus(true);

    auto *page = new QGridLayout;
    QString description;
    const DiscRecord &disc = catalogue.disc(position);
    switch (mode) {
    case Mode::Disc: {
        m_name = withoutDisplaySuffix(disc.name);
        m_tabs->addTab(m_name);
        m_nameBox = new QLineEdit(m_name);
        m_nameBox->setObjectName(QStringLiteral("Text2"));
        m_icons = new QComboBox;
        m_icons->setObjectName(QStringLiteral("IC1"));
        m_icons->setIconSize(QSize(32, 32));
        fillIcons(disc.icon);
        page->addWidget(new QLabel(LoadText(395)), 0, 0);
        page->addWidget(m_nameBox, 0, 1);
        page->addWidget(new QLabel(LoadText(470)), 1, 0);
        page->addWidget(m_icons, 1, 1, Qt::AlignLeft);
        m_facts->setPlainText(forBox(ItemFacts::disc(catalogue, position, int(tree.folders.size()) - 1)));
        m_descriptionLabel->setText(LoadText(129));
        description = forBox(disc.description);
        connect(m_nameBox, &QLineEdit::editingFinished, this, &FrmProprietes::nameEdited);
        connect(m_icons, &QComboBox::activated, this, &FrmProprietes::iconChosen);
        break;
    }
    case Mode::Folder:
        m_tabs->addTab(LoadText(388));
        m_facts->setPlainText(forBox(ItemFacts::folder(catalogue, position, tree, number)));
        m_descriptionLabel->setText(LoadText(637));
        if (number > 0 && number < int(tree.folders.size()))
            description = tree.folders[size_t(number)].description;
        else
            m_description->setReadOnly(true); // the root has no record to hold a text
        break;
    case Mode::File:
        m_tabs->addTab(LoadText(387));
        m_facts->setPlainText(forBox(ItemFacts::file(catalogue, position, tree, number)));
        m_descriptionLabel->setText(LoadText(386));
        if (number >= 0 && number < int(tree.files.size()))
            description = TreeFiles::displayDescription(tree.files[size_t(number)].descriptions);
        break;
    }
    m_filling = true;
    m_description->setPlainText(description);
    m_filling = false;
    connect(m_description, &QPlainTextEdit::textChanged, this, &FrmProprietes::descriptionChanged);

    auto *apply = new QPushButton(LoadText(398));
    apply->setObjectName(QStringLiteral("Command1_0"));
    apply->setDefault(true);
    auto *close = new QPushButton(LoadText(399));
    close->setObjectName(QStringLiteral("Command1_1"));
    connect(apply, &QPushButton::clicked, this, &FrmProprietes::apply);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(apply);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(page);
    layout->addWidget(m_facts);
    layout->addWidget(m_descriptionLabel);
    layout->addWidget(m_description, 1);
    layout->addLayout(buttons);
    // Every fact line shows without scrolling: the box is as tall as its lines and as
    // wide as the longest.
    const QStringList lines = m_facts->toPlainText().split(u'\n');
    int factsWidth = 0;
    for (const QString &each : lines)
        factsWidth = qMax(factsWidth, m_facts->fontMetrics().horizontalAdvance(each));
    m_facts->setFixedHeight(m_facts->fontMetrics().lineSpacing() * int(lines.size() + 1));
    m_description->setMinimumHeight(m_description->fontMetrics().lineSpacing() * 5);
    resize(qBound(480, factsWidth + 60, 900), sizeHint().height());
}

void FrmProprietes::fillIcons(const QString &chosen)
{
    AppIcons &icons = m_owner.icons();
    m_icons->addItem(icons.icon(QStringLiteral("CD")), QStringLiteral("CD"), QStringLiteral("CD"));
    for (const QString &key : icons.stockKeys())
        m_icons->addItem(icons.icon(key), key.mid(1), key);
    const Catalogue &catalogue = m_owner.catalogue();
    if (catalogue.discIcons.contains(m_identifier))
        m_icons->addItem(icons.discIcon(m_identifier, catalogue.discIcons.value(m_identifier)), QString(),
                         QString(u'I' + m_identifier));
    // The stock icon chosen before, else the disc's own icon, else the generic one.
    int selected = m_icons->findData(chosen.isEmpty() ? QString(u'I' + m_identifier) : chosen);
    m_icons->setCurrentIndex(qMax(0, selected));
}

void FrmProprietes::descriptionChanged()
{
    if (m_filling)
        return;
    m_changed = true;
    const QString text = m_description->toPlainText();
    if (!text.contains(u'"'))
        return;
    // The tree files keep texts between double quotes: a typed quote is made an
    // apostrophe at once, and the whole text one line, the caret staying in place.
    const int caret = m_description->textCursor().position();
    m_filling = true;
    m_description->setPlainText(edit::lineText(text));
    m_filling = false;
    QTextCursor cursor = m_description->textCursor();
    cursor.setPosition(qMin(caret, int(m_description->toPlainText().size())));
    m_description->setTextCursor(cursor);
}

void FrmProprietes::nameEdited()
{
    if (!m_nameBox)
        return;
    const QString typed = m_nameBox->text();
    if (DiscName::normalised(typed).isEmpty() || DiscName::normalised(typed) == m_name) {
        m_nameBox->setText(m_name);
        return;
    }
    DiscListPane *list = m_owner.discList();
    // The list says why a name is refused (343, 300, 706).
    if (!list->renameDisc(list->model()->rowShowing(m_identifier), typed)) {
        m_nameBox->setText(m_name);
        return;
    }
    const int position = findDisc(m_owner.catalogue(), m_identifier);
    m_name = withoutDisplaySuffix(m_owner.catalogue().disc(position).name);
    m_nameBox->setText(m_name);
    m_tabs->setTabText(0, m_name);
}

void FrmProprietes::iconChosen()
{
    m_changed = true;
}

bool FrmProprietes::apply()
{
    if (m_nameBox && m_nameBox->text() != m_name)
        nameEdited();
    if (m_changed && !(m_mode == Mode::Disc ? applyDisc() : m_mode == Mode::Folder ? applyFolder() : applyFile()))
        return false;
    accept();
    return true;
}

bool FrmProprietes::applyDisc()
{
    Catalogue &catalogue = m_owner.catalogue();
    const int position = findDisc(catalogue, m_identifier);
    if (position == 0)
        return true;
    // The panel's own pending edits of this disc go first, so neither overwrites the other.
    if (position == catalogue.current && !m_owner.saveCurrentDisc())
        return false;
    edit::DiscInfoChanges changes;
    changes.description = m_description->toPlainText();
    const QString key = m_icons->currentData().toString();
    changes.icon = key.startsWith(u'K') ? key : QString();
    const EditResult result = edit::changeDiscInfo(catalogue, position, changes);
    reportEdit(m_owner.prompt(), result);
    if (!result.ok())
        return false;
    m_owner.discList()->fill();
    m_owner.info()->showCurrentDisc();
    return true;
}

bool FrmProprietes::applyFolder()
{
    Catalogue &catalogue = m_owner.catalogue();
    BrowsePane *browser = m_owner.browser();
    const int position = findDisc(catalogue, m_identifier);
    if (position == 0 || m_number <= 0 || browser->shown().identifier != m_identifier)
        return true;
    const QString text = m_description->toPlainText();
    const EditResult result = edit::setFolderDescription(catalogue, position, m_number, text);
    reportEdit(m_owner.prompt(), result);
    if (!result.ok())
        return false;
    DiscTree &tree = browser->shown().tree;
    if (m_number < int(tree.folders.size()))
        tree.folders[size_t(m_number)].description = edit::lineText(text);
    browser->showNode(browser->shownNodeKey(), true);
    return true;
}

bool FrmProprietes::applyFile()
{
    Catalogue &catalogue = m_owner.catalogue();
    BrowsePane *browser = m_owner.browser();
    const int position = findDisc(catalogue, m_identifier);
    if (position == 0 || browser->shown().identifier != m_identifier)
        return true;
    const QString text = m_description->toPlainText();
    const EditResult result = edit::setFileDescription(catalogue, position, m_number, text);
    reportEdit(m_owner.prompt(), result);
    if (!result.ok())
        return false;
    DiscTree &tree = browser->shown().tree;
    if (m_number >= 0 && m_number < int(tree.files.size()))
        tree.files[size_t(m_number)].descriptions.user = edit::lineText(text);
    // The row shows the new display description in its column and its tooltip.
    const QString rowKey = u'K' + QString::number(m_number);
    browser->showNode(browser->shownNodeKey(), true);
    const int row = browser->fileModel()->rowOfKey(rowKey);
    if (row >= 0)
        browser->files()->setCurrentIndex(browser->fileModel()->index(row, 0));
    return true;
}

} // namespace vorn
