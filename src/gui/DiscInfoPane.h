#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPlainTextEdit;
class QStackedWidget;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace vorn {

class UserPrompt;
struct Catalogue;
struct LowerPaneMenus;

// The lower-left pane of the main window: the header `PictAffMC` choosing between the
// keywords `ListMC`, the description `TxtDesc` and the fields `TvChamps` of the
// current disc, or showing a catalogue report in `TxtDesc_1`. Keyword ticks,
// description edits and field values are held in the disc array until the disc is
// left (saveCurrentDisc); renaming or deleting a field is written for every disc at once.
class DiscInfoPane : public QWidget
{
    Q_OBJECT
public:
    enum Page { Keywords, Description, Fields, Report };

    DiscInfoPane(Catalogue &catalogue, UserPrompt &prompt, LowerPaneMenus &menus, QWidget *parent = nullptr);

    void applyCaptions();
    void showPage(int page);

    // Refills every list from the catalogue's current disc (none: nothing to edit).
    void showCurrentDisc();
    // The keyword list with the number of discs carrying each keyword.
    void fillKeywords();
    // Writes the current disc's pending description and keyword edits to its record.
    // False when another copy kept the data folder busy: the edits stay in the pane.
    bool saveCurrentDisc();
    bool infoModified() const { return m_modified; }

    QListWidget *keywordList() const { return m_keywords; }
    QPlainTextEdit *description() const { return m_description; }
    QTreeWidget *fields() const { return m_fields; }
    QPlainTextEdit *report() const { return m_report; }

    // The field tree's pop-up menu on its current node: 0 rename, 1 delete (a field for
    // every disc, a value for the current disc). Offered on every node but the root
    // and the placeholder.
    bool offersFieldMenu(const QTreeWidgetItem *item) const;
    void fieldMenu(int index);

    // Shows report 3 to 7 of the catalogue instead of the pane's page, under a line
    // naming it (`caption`). Report 7 counts the discs the filter lets through.
    void showReport(int index, const QString &caption);
    void setKeywordFilter(std::function<int()> filter) { m_filter = std::move(filter); }

signals:
    // The description box's text changed by the user's typing.
    void descriptionTyped(const QString &text);
    // The keyword captions or counts changed (a tick, a refill).
    void keywordsChanged();
    // A field was renamed or deleted in the records of every disc that had it.
    void fieldsWritten();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool hasDisc() const;
    void tickCurrentDisc();
    void keywordTicked(QListWidgetItem *item);
    void fillFields();
    void descriptionEdited();
    void fieldEdited(QTreeWidgetItem *item);
    void setFieldValue(const QString &name, const QString &value);
    bool fieldNameTaken(const QString &name) const;

    Catalogue &m_catalogue;
    UserPrompt &m_prompt;
    QTabBar *m_tabs;
    QStackedWidget *m_pages;
    QListWidget *m_keywords;
    QPlainTextEdit *m_description;
    QTreeWidget *m_fields;
    QPlainTextEdit *m_report;
    QMenu *m_selectorMenu;
    QLabel *m_reportCaption;
    std::function<int()> m_filter;
    QStringList m_editedFields; // names of the fields whose value was typed
    bool m_modified = false;
    bool m_filling = false;
};

} // namespace vorn
