#pragma once

#include "search/SearchForm.h"

#include <QWidget>
#include <functional>

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
class QTreeView;

namespace vorn {

class AppIcons;
class RunObserver;
class SearchResultModel;
class UserPrompt;
struct Catalogue;

// The search tab: the criteria pages of `TabStripRecherche` (`FrmFind_0` to
// `FrmFind_3`), the button `BtRechercher` that starts and stops a run, the summary
// `LblResult` and the result list `ListResult_0`. The run happens on the window's
// thread; the engine's yields let the window repaint, take new rows and see a stop.
class SearchPane : public QWidget
{
    Q_OBJECT
public:
    SearchPane(Catalogue &catalogue, AppIcons &icons, UserPrompt &prompt, QWidget *parent = nullptr);
    ~SearchPane() override;

    void applyCaptions();
    // The start-up states of the options word: search in archives, latest only.
    void applyOptions(qint32 options);
    // The scope page's disc chooser and keyword list from the catalogue; empties the
    // results (a data folder was opened).
    void fillScope();
    // Where the disc list's keyword filter is read at the start of a run.
    void setKeywordFilter(std::function<int()> filter) { m_keywordFilter = std::move(filter); }

    // What the criteria controls hold now.
    SearchFormValues formValues() const;
    DiscScope scope() const;

    // `BtRechercher`: starts a run, or asks the running one to stop.
    void startOrStop();
    bool isRunning() const { return m_observer != nullptr; }
    SearchResultModel *results() const { return m_model; }

signals:
    void runningChanged(bool running);

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

    Catalogue &m_catalogue;
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
    QTreeView *m_list; // ListResult_0
    SearchResultModel *m_model;
    QShortcut *m_escape;
    Qt::SortOrder m_sortOrder = Qt::DescendingOrder; // the first click sorts ascending
};

} // namespace vorn
