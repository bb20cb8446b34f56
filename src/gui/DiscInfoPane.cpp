#include "gui/DiscInfoPane.h"

#include "common/UserPrompt.h"
#include "edit/DiscEdits.h"
#include "edit/HeldEdits.h"
#include "gui/EditReport.h"
#include "gui/MainMenus.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/KeywordCodes.h"
#include "store/KeywordCounts.h"
#include "store/KeywordList.h"

#include <QAction>
#include <QFont>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vorn {

namespace {

constexpr int NumberRole = Qt::UserRole + 1;

QString descriptionForBox(const QString &stored)
{
    return QString(stored).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString keywordCaption(const Catalogue &catalogue, const KeywordEntry &keyword)
{
    return keyword.name + QStringLiteral(" (") + QString::number(discsCarrying(catalogue, keyword.number)) + u')';
}

} // namespace

DiscInfoPane::DiscInfoPane(Catalogue &catalogue, UserPrompt &prompt, LowerPaneMenus &menus, QWidget *parent)
    : QWidget(parent), m_catalogue(catalogue), m_prompt(prompt)
{
    m_description = new QPlainTextEdit;
    m_description->setObjectName(QStringLiteral("TxtDesc"));
    m_description->setReadOnly(true);
    m_keywords = new QListWidget;
    m_keywords->setObjectName(QStringLiteral("ListMC"));
    m_keywords->setUniformItemSizes(true);
    m_fields = new QTreeWidget;
    m_fields->setObjectName(QStringLiteral("TvChamps"));
    m_fields->setHeaderHidden(true);
    m_fields->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked);
    m_fields->setContextMenuPolicy(Qt::CustomContextMenu);
    m_report = new QPlainTextEdit;
    m_report->setObjectName(QStringLiteral("TxtDesc_1"));

    m_tabs = new QTabBar;
    m_tabs->setObjectName(QStringLiteral("PictAffMC"));
    m_tabs->setDocumentMode(true);
    m_tabs->setExpanding(false);
    // Captions are never cut: the pane is at least as wide as its three tabs.
    m_tabs->setElideMode(Qt::ElideNone);
    m_tabs->setUsesScrollButtons(false);
    m_tabs->setContextMenuPolicy(Qt::CustomContextMenu);
    m_pages = new QStackedWidget;
    m_pages->setObjectName(QStringLiteral("LowerPages"));
    for (QWidget *page : {static_cast<QWidget *>(m_keywords), static_cast<QWidget *>(m_description),
                          static_cast<QWidget *>(m_fields)}) {
        m_tabs->addTab(QString());
        m_pages->addWidget(page);
    }
    // A report shows under a line naming it, in place of the three pages.
    m_reportCaption = new QLabel;
    m_reportCaption->setObjectName(QStringLiteral("LblReport"));
    m_reportCaption->setTextFormat(Qt::PlainText);
    m_reportCaption->setContentsMargins(4, 2, 4, 2);
    QFont bold = m_reportCaption->font();
    bold.setBold(true);
    m_reportCaption->setFont(bold);
    auto *reportPage = new QWidget;
    auto *reportLayout = new QVBoxLayout(reportPage);
    reportLayout->setContentsMargins(0, 0, 0, 0);
    reportLayout->setSpacing(0);
    reportLayout->addWidget(m_reportCaption);
    reportLayout->addWidget(m_report, 1);
    m_pages->addWidget(reportPage);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tabs);
    layout->addWidget(m_pages, 1);

    for (int page = 0; page < 3; ++page)
        connect(menus.page[page], &QAction::triggered, this, [this, page] { showPage(page); });
    // A click on the tab already current leaves a report too.
    connect(m_tabs, &QTabBar::tabBarClicked, this, &DiscInfoPane::showPage);
    connect(m_tabs, &QTabBar::currentChanged, this, &DiscInfoPane::showPage);
    connect(m_tabs, &QTabBar::customContextMenuRequested, this,
            [this, menu = menus.menu](const QPoint &pos) { menu->popup(m_tabs->mapToGlobal(pos)); });
    // A press on the header beside its three zones pops the same menu.
    m_selectorMenu = menus.menu;
    m_tabs->installEventFilter(this);
    connect(m_keywords, &QListWidget::itemChanged, this, &DiscInfoPane::keywordTicked);
    connect(m_description, &QPlainTextEdit::textChanged, this, &DiscInfoPane::descriptionEdited);
    connect(m_fields, &QTreeWidget::itemChanged, this, &DiscInfoPane::fieldEdited);
    connect(m_fields, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        // A click on a value or on the placeholder starts typing it; the tree stays open.
        const QString key = item->data(0, Qt::UserRole).toString();
        if (key.startsWith(u'V') || item->text(0) == LoadText(535))
            m_fields->editItem(item);
        m_fields->expandAll();
    });
    for (int index = 0; index < 5; ++index) {
        menus.report[index]->setEnabled(true);
        connect(menus.report[index], &QAction::triggered, this,
                [this, index, action = menus.report[index]] { showReport(index + 3, action->text().remove(u'&')); });
    }
}

bool DiscInfoPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tabs && event->type() == QEvent::MouseButtonPress) {
        const QPoint pos = static_cast<QMouseEvent *>(event)->position().toPoint();
        if (m_tabs->tabAt(pos) < 0) {
            m_selectorMenu->popup(m_tabs->mapToGlobal(pos));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void DiscInfoPane::applyCaptions()
{
    const int captions[] = {128, 129, 536};
    for (int page = 0; page < 3; ++page)
        m_tabs->setTabText(page, LoadText(captions[page]));
}

void DiscInfoPane::showPage(int page)
{
    if (page < 0 || page > 2)
        return;
    m_tabs->setProperty("tag", QString::number(page));
    m_pages->setCurrentIndex(page);
    if (m_tabs->currentIndex() != page)
        m_tabs->setCurrentIndex(page);
}

bool DiscInfoPane::hasDisc() const
{
    return m_catalogue.current > 0 && m_catalogue.current <= m_catalogue.discCount();
}

void DiscInfoPane::showCurrentDisc()
{
    tickCurrentDisc();
    fillFields();
    m_filling = true;
    // Without a disc there is nowhere to keep typed words: the box is read-only then.
    m_description->setReadOnly(!hasDisc());
    m_description->setPlainText(hasDisc() ? descriptionForBox(m_catalogue.disc(m_catalogue.current).description)
                                          : QString());
    m_filling = false;
    m_modified = false;
    m_editedFields.clear();
}

void DiscInfoPane::fillKeywords()
{
    m_filling = true;
    m_keywords->clear();
    for (int k = 1; k < int(m_catalogue.keywords.size()); ++k) {
        const KeywordEntry &keyword = m_catalogue.keywords[size_t(k)];
        if (keyword.number == 0)
            continue;
        auto *item = new QListWidgetItem(keywordCaption(m_catalogue, keyword), m_keywords);
        item->setData(NumberRole, int(keyword.number));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    m_filling = false;
    tickCurrentDisc();
    emit keywordsChanged();
}

void DiscInfoPane::tickCurrentDisc()
{
    const QString codes = hasDisc() ? m_catalogue.disc(m_catalogue.current).keywordCodes : QString();
    m_filling = true;
    for (int i = 0; i < m_keywords->count(); ++i) {
        QListWidgetItem *item = m_keywords->item(i);
        const bool carried = carriesKeyword(codes, qint16(item->data(NumberRole).toInt()));
        item->setCheckState(carried ? Qt::Checked : Qt::Unchecked);
        Qt::ItemFlags flags = item->flags();
        flags.setFlag(Qt::ItemIsUserCheckable, hasDisc());
        item->setFlags(flags);
    }
    m_filling = false;
}

void DiscInfoPane::keywordTicked(QListWidgetItem *item)
{
    if (m_filling || !item || !hasDisc())
        return;
    // The ticks are held in the disc array (the counts follow them) until the disc is left.
    std::vector<int> numbers;
    for (int i = 0; i < m_keywords->count(); ++i) {
        if (m_keywords->item(i)->checkState() == Qt::Checked)
            numbers.push_back(m_keywords->item(i)->data(NumberRole).toInt());
    }
    m_catalogue.disc(m_catalogue.current).keywordCodes = keywordCodesOf(numbers);
    m_modified = true;
    const int at = KeywordList::findNumber(m_catalogue, qint16(item->data(NumberRole).toInt()));
    if (at > 0) {
        m_filling = true;
        item->setText(keywordCaption(m_catalogue, m_catalogue.keywords[size_t(at)]));
        m_filling = false;
    }
    m_keywords->setCurrentItem(item);
    emit keywordsChanged();
}

void DiscInfoPane::descriptionEdited()
{
    if (m_filling || !hasDisc())
        return;
    const QString text = m_description->toPlainText();
    if (vorn::descriptionEdited(m_catalogue.disc(m_catalogue.current).description, text))
        m_modified = true;
    emit descriptionTyped(text);
}

bool DiscInfoPane::saveCurrentDisc()
{
    if (!m_modified || !hasDisc())
        return true;
    edit::DiscInfoChanges changes;
    changes.description = m_description->toPlainText();
    QStringList keywords;
    for (int i = 0; i < m_keywords->count(); ++i) {
        const QListWidgetItem *item = m_keywords->item(i);
        const int at = KeywordList::findNumber(m_catalogue, qint16(item->data(NumberRole).toInt()));
        if (item->checkState() == Qt::Checked && at > 0)
            keywords << m_catalogue.keywords[size_t(at)].name;
    }
    changes.keywords = keywords;
    // Only the values typed here: another copy may have changed the others.
    for (const FieldPair &pair : m_catalogue.disc(m_catalogue.current).fields) {
        if (m_editedFields.contains(pair.name, Qt::CaseInsensitive))
            changes.fieldValues.push_back(pair);
    }
    const EditResult result = edit::changeDiscInfo(m_catalogue, m_catalogue.current, changes);
    reportEdit(m_prompt, result);
    // The typed text, ticks and values stay, to be written at the next leave: another
    // copy kept the data folder busy, or the description is too long to be stored.
    if (result.busy() || result.tooLong())
        return false;
    // Written or not, the edit is not offered again: a failure is said once.
    m_modified = false;
    m_editedFields.clear();
    // The keyword list may have followed "MC.txt" written by another copy.
    fillKeywords();
    return true;
}

} // namespace vorn
