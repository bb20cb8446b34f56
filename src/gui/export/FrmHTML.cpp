#include "gui/export/FrmHTML.h"

#include "common/UserPrompt.h"
#include "gui/Form1.h"
#include "gui/export/ExportObserver.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vorn {

namespace {

constexpr int KeyRole = Qt::UserRole;
constexpr int ValueRole = Qt::UserRole + 1; // a disc's position, a keyword's number

QString columnsCaption(int columns)
{
    return LoadText(543) + QString::number(columns) + u')';
}

} // namespace

FrmHTML::FrmHTML(Form1 &owner, std::function<void(const QString &)> openIndex)
    : QDialog(&owner), m_owner(owner), m_openIndex(std::move(openIndex)), m_stored(htmlExportOptionsFromSettings())
{
    setObjectName(QStringLiteral("FrmHTML"));
    setWindowTitle(CaptionTitle(557));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowModality(Qt::ApplicationModal);
    m_columns = m_stored.columns;

    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("TVO"));
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    buildTree();
    connect(m_tree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item) { nodeChanged(item); });
    connect(m_tree, &QTreeWidget::itemPressed, this, [this] { m_tickJustChanged = false; });
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { nodeClicked(item); });

    m_tabs = new QTabBar;
    m_tabs->setObjectName(QStringLiteral("TabStrip2"));
    m_tabs->addTab(LoadText(780));
    m_tabs->setTabData(0, QStringLiteral("CD"));
    m_tabs->addTab(LoadText(128));
    m_tabs->setTabData(1, QStringLiteral("MC"));
    m_tabs->setExpanding(false);
    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    fillList();
    connect(m_tabs, &QTabBar::currentChanged, this, [this] { fillList(); });

    m_label = new QLabel;
    m_label->setObjectName(QStringLiteral("Label3"));
    m_label->setTextFormat(Qt::PlainText);
    m_bar = new QProgressBar;
    m_bar->setObjectName(QStringLiteral("Progression"));
    m_bar->setTextVisible(false);
    m_bar->setValue(0);
    m_bar->setVisible(false); // shown from the first export on
    m_observer = std::make_unique<ExportObserver>(owner.prompt(), m_label, m_bar);

    m_export = new QPushButton(LoadText(450));
    m_export->setObjectName(QStringLiteral("Bt1_0"));
    m_export->setDefault(true);
    m_close = new QPushButton(LoadText(513));
    m_close->setObjectName(QStringLiteral("Bt1_1"));
    connect(m_export, &QPushButton::clicked, this, &FrmHTML::runExport);
    connect(m_close, &QPushButton::clicked, this, &FrmHTML::stopAndClose);

    auto *chooser = new QVBoxLayout;
    chooser->setSpacing(0);
    chooser->addWidget(m_tabs);
    chooser->addWidget(m_list, 1);
    auto *panes = new QHBoxLayout;
    panes->addWidget(m_tree, 1);
    panes->addLayout(chooser, 1);
    m_bar->setFixedWidth(160);
    m_label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_label, 1);
    buttons->addWidget(m_bar);
    buttons->addWidget(m_export);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(panes, 1);
    layout->addLayout(buttons);
    resize(600, 380);
}

FrmHTML::~FrmHTML() = default;

void FrmHTML::buildTree()
{
    struct Node
    {
        const char *key;
        int caption;
        const char *parent;
        bool ticked;
    };
    const Node nodes[] = {
        {"KList", 130, nullptr, true},    {"kDesc", 539, "KList", false},
        {"kMC", 540, "KList", false},     {"KCD", 542, nullptr, true},
        {"KBordCD", 541, "KCD", false},   {"KColsCD", 543, "KCD", true},
        {"KAutres", 533, nullptr, false}, {"KIcones", 544, "KAutres", m_stored.icons},
    };
    const QSignalBlocker quiet(m_tree);
    for (const Node &n : nodes) {
        QTreeWidgetItem *parent = n.parent ? node(QLatin1String(n.parent)) : nullptr;
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
        item->setData(0, KeyRole, QLatin1String(n.key));
        item->setText(0, LoadText(n.caption));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, n.ticked ? Qt::Checked : Qt::Unchecked);
    }
    node(QStringLiteral("KColsCD"))->setText(0, columnsCaption(m_columns));
    m_tree->expandAll();
}

QTreeWidgetItem *FrmHTML::node(const QString &key) const
{
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if ((*it)->data(0, KeyRole).toString() == key)
            return *it;
    }
    return nullptr;
}

void FrmHTML::fillList()
{
    m_list->clear();
    const Catalogue &catalogue = m_owner.catalogue();
    if (m_tabs->currentIndex() == 0) {
        auto *every = new QListWidgetItem(LoadText(512), m_list);
        every->setData(ValueRole, 0);
        every->setSelected(true);
        for (int position = 1; position <= catalogue.discCount(); ++position) {
            auto *item = new QListWidgetItem(catalogue.disc(position).name, m_list);
            item->setData(ValueRole, position);
        }
        return;
    }
    for (size_t k = 1; k < catalogue.keywords.size(); ++k) {
        auto *item = new QListWidgetItem(catalogue.keywords[k].name, m_list);
        item->setData(ValueRole, int(catalogue.keywords[k].number));
    }
}

void FrmHTML::nodeChanged(QTreeWidgetItem *item)
{
    m_tickJustChanged = true;
    // The index page is always written.
    if (item->data(0, KeyRole).toString() == QLatin1String("KList") && item->checkState(0) != Qt::Checked)
        item->setCheckState(0, Qt::Checked);
}

void FrmHTML::nodeClicked(QTreeWidgetItem *item)
{
    // A click on the tick box itself only changes the tick.
    const bool tickClick = std::exchange(m_tickJustChanged, false);
    if (tickClick || item->data(0, KeyRole).toString() != QLatin1String("KColsCD"))
        return;
    QString prompt = LoadText(543);
    if (prompt.endsWith(u'('))
        prompt.chop(1);
    const QString answer = m_owner.prompt().inputText(prompt.trimmed(), windowTitle(), QString::number(m_columns));
    bool numeric = false;
    const int columns = answer.trimmed().toInt(&numeric);
    if (numeric)
        setColumns(columns);
}

void FrmHTML::setColumns(int columns)
{
    // At least one column; more than a page can hold make no sense either.
    m_columns = qBound(1, columns, 99);
    QTreeWidgetItem *item = node(QStringLiteral("KColsCD"));
    const QSignalBlocker quiet(m_tree);
    item->setText(0, columnsCaption(m_columns));
    item->setCheckState(0, Qt::Checked);
}

HtmlExportOptions FrmHTML::options() const
{
    auto ticked = [this](const char *key) { return node(QLatin1String(key))->checkState(0) == Qt::Checked; };
    HtmlExportOptions options = m_stored;
    options.descriptions = ticked("kDesc");
    options.keywords = ticked("kMC");
    options.contents = ticked("KCD");
    options.borders = ticked("KBordCD");
    options.icons = ticked("KIcones");
    options.columns = m_columns;
    return options;
}

DiscChoice FrmHTML::choice() const
{
    DiscChoice choice;
    choice.byKeyword = m_tabs->currentIndex() == 1;
    for (const QListWidgetItem *item : m_list->selectedItems()) {
        const int value = item->data(ValueRole).toInt();
        if (choice.byKeyword)
            choice.keywords.push_back(qint16(value));
        else if (value == 0)
            choice.everyDisc = true;
        else
            choice.positions.push_back(value);
    }
    return choice;
}

void FrmHTML::runExport()
{
    if (m_running)
        return;
    const Catalogue &catalogue = m_owner.catalogue();
    const std::vector<int> positions = chosenDiscs(catalogue, choice());
    m_running = true;
    m_owner.setBusy(true);
    m_export->setEnabled(false);
    m_tree->setEnabled(false);
    m_tabs->setEnabled(false);
    m_list->setEnabled(false);
    setCursor(Qt::BusyCursor);
    m_label->clear();
    m_bar->setVisible(true);
    m_observer->start(int(positions.size()));

    const HtmlExportResult result = runHtmlExport(catalogue, positions, options(), *m_observer);

    unsetCursor();
    m_export->setEnabled(true);
    m_tree->setEnabled(true);
    m_tabs->setEnabled(true);
    m_list->setEnabled(true);
    m_owner.setBusy(false);
    m_running = false;
    if (result.written) {
        m_label->setText(QString::number(result.discsExported) + LoadText(466));
        m_bar->setValue(m_bar->maximum());
        if (m_openIndex)
            m_openIndex(result.indexPath);
    }
    if (m_closeAfterRun)
        close();
}

void FrmHTML::stopAndClose()
{
    m_observer->requestCancel();
    close();
}

void FrmHTML::closeEvent(QCloseEvent *event)
{
    if (m_running) {
        hideWhileRunning();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void FrmHTML::reject()
{
    if (m_running) {
        hideWhileRunning();
        return;
    }
    QDialog::reject();
}

void FrmHTML::hideWhileRunning()
{
    // The export is on the stack below this event: it stops after the disc in hand,
    // and the window closes once it has returned.
    m_observer->requestCancel();
    m_closeAfterRun = true;
    hide();
}

} // namespace vorn
