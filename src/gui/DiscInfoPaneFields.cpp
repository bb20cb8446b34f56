// The lower-left pane's user fields `TvChamps` (adding, renaming and deleting a field,
// setting and clearing the current disc's value) and the catalogue reports it shows.
#include "common/RunObserver.h"
#include "common/UserPrompt.h"
#include "edit/DiscEdits.h"
#include "edit/DiscNames.h"
#include "export/Reports.h"
#include "gui/DiscInfoPane.h"
#include "gui/EditReport.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabBar>
#include <QTreeWidget>

namespace vorn {

namespace {

// Node data: its key ("Champs" the root, "K" & 2n field n, "V" & 2n its value, "K" &
// an odd number the placeholder) and the text it had before an edit.
constexpr int KeyRole = Qt::UserRole;
constexpr int PreviousRole = Qt::UserRole + 1;
constexpr qsizetype FieldTextLimit = 100;

struct BusyCursor
{
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

QTreeWidgetItem *node(QTreeWidgetItem *parent, const QString &text, const QString &key, bool editable)
{
    auto *item = new QTreeWidgetItem(parent, {text});
    item->setData(0, KeyRole, key);
    item->setData(0, PreviousRole, text);
    if (editable)
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    return item;
}

bool isPlaceholder(const QTreeWidgetItem *item)
{
    const QString key = item->data(0, KeyRole).toString();
    return key.startsWith(u'K') && key.mid(1).toInt() % 2 == 1;
}

// The question before a field changes for every disc: 547, then 548 or 549, then 550.
QString everyDiscQuestion(int what)
{
    return LoadText(547) + LoadText(what) + LoadText(550);
}

// Shows the running text of the totals report as each disc is counted.
class ReportObserver : public RunObserver
{
public:
    ReportObserver(QPlainTextEdit *box, UserPrompt &prompt) : m_box(box), m_prompt(prompt) {}
    void progress(const QString &text) override
    {
        m_box->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }
    void yield() override { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }
    UserPrompt &prompt() override { return m_prompt; }

private:
    QPlainTextEdit *m_box;
    UserPrompt &m_prompt;
};

} // namespace

void DiscInfoPane::fillFields()
{
    m_filling = true;
    m_fields->clear();
    auto *root = new QTreeWidgetItem(m_fields, {LoadText(536)});
    root->setData(0, KeyRole, QStringLiteral("Champs"));
    QFont bold = m_fields->font();
    bold.setBold(true);
    for (int n = 1; n < m_catalogue.fieldNames.size(); ++n) {
        const QString &name = m_catalogue.fieldNames[n];
        if (name.isEmpty() || name == LoadText(535))
            continue;
        QString value;
        if (hasDisc()) {
            for (const FieldPair &pair : m_catalogue.disc(m_catalogue.current).fields) {
                if (pair.name.compare(name, Qt::CaseInsensitive) == 0)
                    value = pair.value;
            }
        }
        QTreeWidgetItem *field = node(root, name, u'K' + QString::number(2 * n), true);
        node(field, value.isEmpty() ? LoadText(538) : value, u'V' + QString::number(2 * n), hasDisc());
        if (!value.isEmpty())
            field->setFont(0, bold);
    }
    node(root, LoadText(535), u'K' + QString::number(2 * m_catalogue.fieldNames.size() + 1), true);
    m_fields->expandAll();
    m_filling = false;
}

bool DiscInfoPane::fieldNameTaken(const QString &name) const
{
    for (int n = 1; n < m_catalogue.fieldNames.size(); ++n) {
        if (m_catalogue.fieldNames[n].compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void DiscInfoPane::setFieldValue(const QString &name, const QString &value)
{
    if (!m_editedFields.contains(name, Qt::CaseInsensitive))
        m_editedFields << name;
    std::vector<FieldPair> &fields = m_catalogue.disc(m_catalogue.current).fields;
    for (FieldPair &pair : fields) {
        if (pair.name.compare(name, Qt::CaseInsensitive) == 0) {
            pair.value = value;
            return;
        }
    }
    fields.push_back({name, value});
}

void DiscInfoPane::fieldEdited(QTreeWidgetItem *item)
{
    if (m_filling || !item)
        return;
    const QString previous = item->data(0, PreviousRole).toString();
    const QString typed = item->text(0);
    if (typed == previous)
        return;
    BusyCursor busy;
    auto show = [this, item](const QString &text) {
        m_filling = true;
        item->setText(0, text);
        item->setData(0, PreviousRole, text);
        m_filling = false;
    };
    const QString text = DiscName::cleaned(typed).left(FieldTextLimit);
    if (text.isEmpty() || text == LoadText(535) || text == LoadText(538)) {
        show(previous);
        return;
    }
    if (text.contains(u';')) {
        m_prompt.warn(LoadText(521));
        show(previous);
        return;
    }
    const QString key = item->data(0, KeyRole).toString();
    QTreeWidgetItem *field = key.startsWith(u'V') ? item->parent() : item;
    if (key.startsWith(u'V')) {
        if (!hasDisc() || !field) {
            show(previous);
            return;
        }
        setFieldValue(field->text(0), text);
        show(text);
    } else if (isPlaceholder(item)) {
        if (fieldNameTaken(text)) {
            m_prompt.warn(LoadText(537));
            show(previous);
            return;
        }
        // The placeholder becomes the new field; a new placeholder follows it.
        m_catalogue.fieldNames << text;
        const int count = int(m_catalogue.fieldNames.size()) - 1;
        show(text);
        m_filling = true;
        item->setData(0, KeyRole, QString(u'K' + QString::number(2 * count)));
        node(item, LoadText(538), u'V' + QString::number(2 * count), hasDisc());
        node(item->parent(), LoadText(535), u'K' + QString::number(2 * count + 1), true);
        m_filling = false;
    } else {
        if (text.compare(previous, Qt::CaseInsensitive) != 0 && fieldNameTaken(text)) {
            m_prompt.warn(LoadText(537));
            show(previous);
            return;
        }
        if (m_prompt.askOkCancel(everyDiscQuestion(549), UserPrompt::Icon::Exclamation) != UserPrompt::Answer::Ok) {
            show(previous);
            return;
        }
        // The current disc's pending values are written first, under the old name.
        saveCurrentDisc();
        const EditResult result = edit::renameField(m_catalogue, previous, text);
        reportEdit(m_prompt, result);
        show(result.ok() ? text : previous);
        if (!result.ok())
            return;
        emit fieldsWritten();
    }
    if (hasDisc())
        m_modified = true;
    QFont font = m_fields->font();
    const QTreeWidgetItem *value = field->childCount() ? field->child(0) : nullptr;
    font.setBold(value && value->text(0) != LoadText(538));
    m_filling = true;
    field->setFont(0, font);
    m_filling = false;
    m_fields->expandAll();
}

bool DiscInfoPane::offersFieldMenu(const QTreeWidgetItem *item) const
{
    return item && item->parent() && !isPlaceholder(item);
}

void DiscInfoPane::fieldMenu(int index)
{
    QTreeWidgetItem *item = m_fields->currentItem();
    if (!offersFieldMenu(item))
        return;
    const QString key = item->data(0, KeyRole).toString();
    if (index == 0) {
        m_fields->editItem(item);
        return;
    }
    if (index != 1)
        return;
    if (key.startsWith(u'V')) {
        // Deleting a value gives the disc back its "[Valeur]".
        if (!hasDisc())
            return;
        setFieldValue(item->parent()->text(0), QString());
        m_modified = true;
        fillFields();
        return;
    }
    if (m_prompt.askOkCancel(everyDiscQuestion(548), UserPrompt::Icon::Exclamation) != UserPrompt::Answer::Ok)
        return;
    BusyCursor busy;
    const QString name = item->text(0);
    saveCurrentDisc();
    const EditResult result = edit::deleteField(m_catalogue, name);
    reportEdit(m_prompt, result);
    if (!result.ok())
        return;
    fillFields();
    emit fieldsWritten();
}

void DiscInfoPane::showReport(int index, const QString &caption)
{
    if (index < Reports::DataFolderInfo || index > Reports::Totals)
        return;
    m_reportCaption->setText(caption);
    m_tabs->setProperty("tag", QString::number(index));
    m_pages->setCurrentIndex(Report);
    m_report->clear();
    BusyCursor busy;
    ReportObserver observer(m_report, m_prompt);
    const QString text = Reports::build(index, m_catalogue, m_filter ? m_filter() : 0, &observer);
    m_report->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_report->moveCursor(QTextCursor::Start);
}

} // namespace vorn
