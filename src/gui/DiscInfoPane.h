#pragma once

#include <QWidget>

class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QStackedWidget;
class QTabBar;
class QTreeWidget;

namespace vorn {

class UserPrompt;
struct Catalogue;
struct LowerPaneMenus;

// The lower-left pane of the main window: the header `PictAffMC` choosing between the
// keywords `ListMC`, the description `TxtDesc` and the fields `TvChamps` of the
// current disc. Keyword ticks and description edits are held in the disc array until
// the disc is left (saveCurrentDisc).
class DiscInfoPane : public QWidget
{
    Q_OBJECT
public:
    enum Page { Keywords, Description, Fields };

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

signals:
    // The description box's text changed by the user's typing.
    void descriptionTyped(const QString &text);

private:
    bool hasDisc() const;
    void tickCurrentDisc();
    void keywordTicked(QListWidgetItem *item);
    void fillFields();
    void descriptionEdited();

    Catalogue &m_catalogue;
    UserPrompt &m_prompt;
    QTabBar *m_tabs;
    QStackedWidget *m_pages;
    QListWidget *m_keywords;
    QPlainTextEdit *m_description;
    QTreeWidget *m_fields;
    bool m_modified = false;
    bool m_filling = false;
};

} // namespace vorn
