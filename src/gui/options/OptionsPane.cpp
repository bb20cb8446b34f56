#include "gui/options/OptionsPane.h"

#include "common/UserPrompt.h"
#include "settings/OptionsWord.h"
#include "settings/StringTable.h"

#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace vorn {

namespace {

constexpr int KeyRole = Qt::UserRole;

QString captionOf(const OptionNode &node)
{
    return node.label ? LoadText(node.label) : node.text;
}

// A colour node shows its colour as its background, and as a framed swatch too, so a
// background close to the tree's own still reads.
void showColour(QTreeWidgetItem *item, const QColor &colour)
{
    item->setBackground(0, colour);
    QPixmap swatch(14, 14);
    swatch.fill(colour);
    QPainter painter(&swatch);
    painter.setPen(Qt::darkGray);
    painter.drawRect(0, 0, 13, 13);
    painter.end();
    item->setIcon(0, QIcon(swatch));
}

} // namespace

QColor OptionsPane::colourFromNumber(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

quint32 OptionsPane::numberFromColour(const QColor &colour)
{
    return quint32(colour.red()) | quint32(colour.green()) << 8 | quint32(colour.blue()) << 16;
}

OptionsPane::OptionsPane(UserPrompt &prompt, QMenu *treeMenu, QAction *rename, QAction *remove, QWidget *parent)
    : QFrame(parent), m_prompt(prompt), m_treeMenu(treeMenu), m_rename(rename), m_remove(remove)
{
    setObjectName(QStringLiteral("FrameOpt"));
    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("TVOpt"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);

    m_label = new QLabel;
    m_label->setObjectName(QStringLiteral("LblValue"));
    m_number = new QLineEdit;
    m_number->setObjectName(QStringLiteral("TxtOPTNew"));
    m_number->setMaximumWidth(120);
    m_number->installEventFilter(this);
    m_choice = new QComboBox;
    m_choice->setObjectName(QStringLiteral("CbOPT"));
    m_choice->setMinimumWidth(140);
    for (int index = 0; index < 2; ++index) {
        m_buttons[index] = new QPushButton;
        m_buttons[index]->setObjectName(QStringLiteral("BtValidOPT_%1").arg(index));
    }

    auto *editors = new QHBoxLayout;
    editors->addWidget(m_label);
    editors->addWidget(m_number);
    editors->addWidget(m_choice);
    editors->addStretch(1);
    editors->addWidget(m_buttons[0]);
    editors->addWidget(m_buttons[1]);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tree, 1);
    layout->addLayout(editors);

    m_chooseColour = [this](const QColor &initial) -> std::optional<QColor> {
        const QColor chosen = QColorDialog::getColor(initial, this, LoadText(659));
        return chosen.isValid() ? std::optional<QColor>(chosen) : std::nullopt;
    };

    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { showEditor(item); });
    connect(m_tree, &QTreeWidget::itemChanged, this, &OptionsPane::itemEdited);
    connect(m_tree, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QTreeWidgetItem *item = m_tree->itemAt(pos);
        const OptionNode *node = item ? m_options.node(item->data(0, KeyRole).toString()) : nullptr;
        if (!node || node->kind != OptionKind::Filter || node->placeholder || !m_treeMenu)
            return;
        m_tree->setCurrentItem(item);
        m_treeMenu->popup(m_tree->viewport()->mapToGlobal(pos));
    });
    connect(m_choice, &QComboBox::activated, this, &OptionsPane::choiceMade);
    connect(m_number, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (m_filling || m_editingKey.isEmpty())
            return;
        m_options.type(m_editingKey, text);
        setPending(true);
    });
    connect(m_buttons[0], &QPushButton::clicked, this, &OptionsPane::applyOptions);
    connect(m_buttons[1], &QPushButton::clicked, this, &OptionsPane::cancelOptions);
    if (m_rename) {
        m_rename->setEnabled(true);
        connect(m_rename, &QAction::triggered, this, &OptionsPane::renameFilter);
    }
    if (m_remove) {
        m_remove->setEnabled(true);
        connect(m_remove, &QAction::triggered, this, &OptionsPane::removeFilter);
    }
    applyCaptions();
    hideEditors();
    m_buttons[0]->setEnabled(false);
}

void OptionsPane::setColourChooser(std::function<std::optional<QColor>(const QColor &)> chooser)
{
    m_chooseColour = std::move(chooser);
}

void OptionsPane::applyCaptions()
{
    m_buttons[0]->setText(LoadText(820));
    m_buttons[1]->setText(LoadText(821));
}

bool OptionsPane::applyEnabled() const
{
    return m_buttons[0]->isEnabled();
}

void OptionsPane::build()
{
    const qint32 word = m_window.optionsWord ? m_window.optionsWord() : ReadOptionsWord();
    const ListColours colours = m_window.colours ? m_window.colours() : ListColours{};
    m_options = OptionsTree::build(word, LanguageOffset(), colours);
    fillTree();
    hideEditors();
    setPending(false);
}

void OptionsPane::fillTree(const QString &selectKey)
{
    m_filling = true;
    m_tree->clear();
    QHash<QString, QTreeWidgetItem *> items;
    QTreeWidgetItem *selected = nullptr;
    for (const OptionNode &node : m_options.nodes()) {
        QTreeWidgetItem *parent = items.value(node.parent);
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
        item->setText(0, captionOf(node));
        item->setData(0, KeyRole, node.key);
        if (node.kind == OptionKind::Filter)
            item->setFlags(item->flags() | Qt::ItemIsEditable);
        if (node.kind == OptionKind::Colour)
            showColour(item, colourFromNumber(node.colour));
        items.insert(node.key, item);
        if (node.key == selectKey)
            selected = item;
    }
    m_tree->expandAll();
    if (selected)
        m_tree->setCurrentItem(selected);
    m_filling = false;
    refreshMarks();
}

void OptionsPane::refreshMarks()
{
    m_filling = true;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        const OptionNode *node = m_options.node((*it)->data(0, KeyRole).toString());
        if (!node)
            continue;
        QFont font = (*it)->font(0);
        font.setBold(node->bold());
        (*it)->setFont(0, font);
    }
    m_filling = false;
}

QTreeWidgetItem *OptionsPane::item(const QString &key) const
{
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if ((*it)->data(0, KeyRole).toString() == key)
            return *it;
    }
    return nullptr;
}

QString OptionsPane::selectedKey() const
{
    const QTreeWidgetItem *current = m_tree->currentItem();
    return current ? current->data(0, KeyRole).toString() : QString();
}

void OptionsPane::selectNode(const QString &key)
{
    if (QTreeWidgetItem *found = item(key)) {
        m_tree->setCurrentItem(found);
        showEditor(found);
    }
}

void OptionsPane::hideEditors()
{
    m_label->hide();
    m_number->hide();
    m_choice->hide();
    m_editingKey.clear();
}

void OptionsPane::setPending(bool pending)
{
    if (m_buttons[0]->isEnabled() == pending)
        return;
    m_buttons[0]->setEnabled(pending);
    emit pendingChanged(pending);
}

void OptionsPane::showEditor(QTreeWidgetItem *item)
{
    hideEditors();
    const OptionNode *node = item ? m_options.node(item->data(0, KeyRole).toString()) : nullptr;
    if (!node)
        return;
    m_filling = true;
    m_choice->clear();
    switch (node->kind) {
    case OptionKind::Language:
        m_choice->addItem(QStringLiteral("Français"), 0);
        m_choice->addItem(QStringLiteral("English"), 1000);
        break;
    case OptionKind::Flag:
    case OptionKind::Filter:
        m_choice->addItem(LoadText(617), 0);
        m_choice->addItem(LoadText(616), 1);
        break;
    case OptionKind::Number:
        m_number->setText(node->tag);
        break;
    case OptionKind::Colour: {
        m_filling = false;
        const std::optional<QColor> chosen = m_chooseColour(colourFromNumber(node->colour));
        if (chosen) {
            m_options.setColour(node->key, numberFromColour(*chosen));
            m_filling = true;
            showColour(item, *chosen);
            m_filling = false;
            setPending(true);
        }
        return;
    }
    case OptionKind::Group:
    case OptionKind::FilterGroup:
        m_filling = false;
        return;
    }
    m_editingKey = node->key;
    m_label->setText(LoadText(node->kind == OptionKind::Filter ? 531 : 530));
    m_label->show();
    if (node->kind == OptionKind::Number) {
        m_number->show();
    } else {
        m_choice->setCurrentIndex(qMax(0, m_choice->findData(node->tag.toInt())));
        m_choice->show();
    }
    m_filling = false;
}

void OptionsPane::choiceMade(int index)
{
    if (m_filling || m_editingKey.isEmpty() || index < 0)
        return;
    m_options.choose(m_editingKey, m_choice->itemData(index).toInt());
    refreshMarks();
    setPending(true);
}

bool OptionsPane::numberBoxLeft()
{
    if (m_editingKey.isEmpty() || m_warning || m_options.acceptsNumber(m_editingKey, m_number->text()))
        return true;
    m_warning = true;
    m_prompt.warn(LoadText(519));
    m_warning = false;
    m_number->setFocus();
    return false;
}

bool OptionsPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_number && event->type() == QEvent::FocusOut && m_number->isVisible())
        numberBoxLeft();
    return QFrame::eventFilter(watched, event);
}

void OptionsPane::renameFilter()
{
    if (QTreeWidgetItem *current = m_tree->currentItem())
        m_tree->editItem(current, 0);
}

void OptionsPane::itemEdited(QTreeWidgetItem *item)
{
    if (m_filling)
        return;
    const QString key = item->data(0, KeyRole).toString();
    const OptionNode *node = m_options.node(key);
    if (!node || node->kind != OptionKind::Filter)
        return;
    QString text = item->text(0).trimmed();
    if (node->placeholder && text == LoadText(532))
        text.clear();
    if (!text.isEmpty()) {
        m_options.editFilter(key, text);
        setPending(true);
    }
    // The tree is refilled once the editor that sent the change has let go of the item;
    // an empty text puts the caption back.
    QMetaObject::invokeMethod(
        this, [this, key] { fillTree(key); }, Qt::QueuedConnection);
}

void OptionsPane::removeFilter()
{
    const QString key = selectedKey();
    const OptionNode *node = m_options.node(key);
    if (!node || node->kind != OptionKind::Filter || node->placeholder)
        return;
    if (m_prompt.askOkCancel(LoadText(546), UserPrompt::Icon::Question) != UserPrompt::Answer::Ok)
        return;
    m_options.removeFilter(key);
    hideEditors();
    fillTree();
    setPending(true);
}

void OptionsPane::applyOptions()
{
    if (!m_editingKey.isEmpty() && m_number->isVisible() && !numberBoxLeft())
        return;
    const qint32 viewerBits = m_window.viewerBits ? m_window.viewerBits() : 0;
    const OptionsTree::Applied result = m_options.apply(viewerBits, LanguageOffset());
    if (result.message) {
        m_prompt.warn(LoadText(result.message));
        return;
    }
    if (result.languageChanged)
        m_prompt.warn(LoadText(452));
    emit applied(result);
    hideEditors();
    setPending(false);
}

void OptionsPane::cancelOptions()
{
    build();
}

} // namespace vorn
