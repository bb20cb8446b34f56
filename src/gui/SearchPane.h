#pragma once

#include "search/SearchForm.h"
#include "search/SearchRun.h"

#include <QWidget>
#include <functional>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QShortcut;
class QTabBar;

namespace vorn {

class AppIcons;
class BookmarkListModel;
class ResultListStack;
class ResultListView;
class RunObserver;
class SearchResultModel;
class UserPrompt;
struct Catalogue;

// The search and bookmarks tabs' pane: the criteria pages of `TabStripRecherche`
// (`FrmFind_0` to `FrmFind_3`), the button `BtRechercher`, the summary `LblResult`
// and the two result lists, `ListResult_0` (search rows) and `ListResult_1`
// (bookmarks). The pane's content sits on the tab it serves; on the search tab the
// button starts and stops a run, on the bookmarks tab it lists the bookmarks of the
// selected discs. The run happens on the window's thread; the engine's yields let
// the window repaint, take new rows and see a stop.
class SearchPane : public QWidget
{
    Q_OBJECT
public:
    enum Mode { SearchMode, BookmarkMode };

    SearchPane(Catalogue &catalogue, AppIcons &icons, UserPrompt &prompt, QWidget *parent = nullptr);
    ~SearchPane() override;

    void applyCaptions();
    // The start-up states of the options word: search in archives, latest only.
    void applyOptions(qint32 options);
    // The scope page's disc chooser and keyword list from the catalogue; empties the
    // results (a data folder was opened).
    void fillScope();
    // The same choices again, their selection kept: a disc or keyword came or went.
    void fillScopeChoices();
    // Where the disc list's keyword filter is read at the start of a run.
    void setKeywordFilter(std::function<int()> filter) { m_keywordFilter = std::move(filter); }

    // What the criteria controls hold now.
    SearchFormValues formValues() const;
    DiscScope scope() const;

    // `BtRechercher`: starts a run, or asks the running one to stop; on the
    // bookmarks tab, lists the bookmarks.
    void startOrStop();
    bool isRunning() const { return m_observer != nullptr; }
    SearchResultModel *results() const { return m_model; }
    BookmarkListModel *bookmarks() const { return m_bookmarkModel; }
    ResultListView *list(int index) const { return m_lists[index]; }
    // The view mode (ListViewMode) of list 0 (results) or 1 (bookmarks).
    void setViewMode(int index, int mode);
    int viewMode(int index) const;
    // What the last run found and how it read the discs.
    const SearchOutcome &lastOutcome() const { return m_lastOutcome; }

    // Puts the pane's content on `page` (this pane for the search tab) and switches
    // the button, the limit box, the list and the scope page to that tab's.
    void showOn(QWidget *page, Mode mode);
    Mode mode() const { return m_mode; }
    // Fills `ListResult_1` with the bookmarks of the selected discs.
    void listBookmarks();
    // The identifier of the disc a row of list 0 or 1 came from (empty when unknown).
    QString discOfRow(int list, int row) const;
    void saveLayout() const;
    void restoreLayout();

public slots:
    // The bookmarks changed somewhere: a list already shown is made again.
    void refreshBookmarks();

signals:
    void runningChanged(bool running);
    // A row of list 0 or 1 is to be opened in the browser.
    void rowOpened(int list, int row);
    void listMenuRequested(int list, const QPoint &globalPos);

private:
    class Observer;
    class RowBatcher;

    QWidget *buildCriteriaPage();
    QWidget *buildSizeDatePage();
    QWidget *buildScopePage();
    QWidget *buildOtherPage();
    void showPage(int page);
    void updateScopeControls();
    void limitClicked();
    void setRunning(bool running);
    void runSearch();
    // The scope page's state, one record per tab, written whenever one of its
    // controls changes unless the page is being filled by code (its tag "X").
    struct ScopeRecord
    {
        bool limit = false;
        bool byKeyword = false;
        QString discKey;
        quint32 keywordBits = 0; // the first 31 keywords of the list
    };
    void writeScopeRecord();
    void applyScopeRecord(const ScopeRecord &record);
    DiscScope scopeOf(const ScopeRecord &record) const;
    bool fillingScope() const;
    void setFillingScope(bool filling);
    std::vector<QString> discIdentifiers() const;

    Catalogue &m_catalogue;
    SearchOutcome m_lastOutcome;
    UserPrompt &m_prompt;
    std::function<int()> m_keywordFilter;
    RunObserver *m_observer = nullptr;

    QTabBar *m_pageTabs;
    QFrame *m_frames[4] = {};
    QCheckBox *m_kinds[2] = {}; // Check1: files, folders
    QComboBox *m_field = nullptr; // Combo1
    QComboBox *m_position = nullptr; // CbPos
    QLineEdit *m_expression = nullptr; // Text1
    QLineEdit *m_sizes[2] = {}; // TxtTaille
    QLineEdit *m_dates[2] = {}; // Txtdate
    QCheckBox *m_limit = nullptr; // ChkLimRech
    QRadioButton *m_limitBy[2] = {}; // Option1: by disc, by keyword
    QComboBox *m_disc = nullptr; // CbRecherche
    QListWidget *m_keywords = nullptr; // ListFindMC
    QCheckBox *m_members = nullptr; // ChkRechDsZip
    QCheckBox *m_latest = nullptr; // ChkDoublons
    QRadioButton *m_parts[3] = {}; // OptRechDesc
    QPushButton *m_button; // BtRechercher
    QLabel *m_result; // LblResult
    QWidget *m_body;
    SearchResultModel *m_model;
    BookmarkListModel *m_bookmarkModel;
    ResultListView *m_lists[2] = {};
    ResultListStack *m_stacks[2] = {}; // each list in its view modes
    QShortcut *m_escape;
    Mode m_mode = SearchMode;
    ScopeRecord m_scopes[2];
    QString m_resultTexts[2]; // LblResult of each tab
    std::vector<QString> m_rowDiscs[2]; // disc identifiers by position when each list was made
    bool m_bookmarksListed = false;
};

} // namespace vorn
