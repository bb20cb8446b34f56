#pragma once

#include "gui/DiscListModel.h"

#include <QHash>
#include <QPair>
#include <QWidget>
#include <vector>

class QLabel;
class QListView;

namespace vorn {

class AppIcons;
class UserPrompt;
class cDrive;
struct Catalogue;
struct DiscListMenus;

// The disc list `LVCD` with its status line `LabelStatus`: the drive entries, the
// separator and the discs of the open data folder, sorted and filtered by keyword,
// and the naming of discs (in place, or through the input box for a drive's disc).
// Showing the disc of an entry is the window's: the pane says which entry was chosen.
class DiscListPane : public QWidget
{
    Q_OBJECT
public:
    DiscListPane(Catalogue &catalogue, AppIcons &icons, cDrive &drive, UserPrompt &prompt, DiscListMenus &menus,
                 QWidget *parent = nullptr);

    void setDriveLetters(const QString &letters) { m_letters = letters; }
    const QString &driveLetters() const { return m_letters; }

    // Clears and fills the list, then selects the current disc's entry.
    void fill();
    void selectRow(int row);
    int selectedRow() const;
    // The selected entry; nullptr when none is selected.
    const DiscListEntry *selected() const;
    // Position in the disc array of the catalogued disc the selected entry shows; 0 for none.
    int selectedPosition() const;
    DiscListModel *model() const { return m_model; }
    QListView *view() const { return m_view; }
    // The drive entries now listed, in drive-letter order, and their keys for the
    // drive watch.
    std::vector<DiscListEntry> drives() const;
    QStringList driveKeys() const;

    // Sorting and the keyword filter.
    void sortDiscs(int key, bool descending);
    int filter() const { return m_filter; }
    void setFilter(int keywordNumber, bool inverted);
    // One filter entry per keyword of the list, in name order.
    void rebuildFilterMenu();
    // The same after the keyword list changed, applying the filter in force again (all
    // discs when its keyword is gone).
    void refreshFilterMenu();

    // Naming: a catalogued disc in place or from its drive entry (false when refused), the disc in a drive
    // through the input box, and the name given to the disc in drive `letter` (empty
    // when none was given or the disc changed since).
    bool renameDisc(int row, const QString &newName);
    void nameDriveDisc(int row);
    void renameSelected();
    QString givenDriveName(QChar letter) const;

    // View modes: 0 large icons, 1 small icons, 2 list, 3 details.
    void setViewMode(int mode);
    int viewMode() const { return m_viewMode; }

    // Shows a passing notice in the status line at once (the window may be inside a
    // long call): another copy of VORN writing in the data folder, for example.
    void showNotice(const QString &text);

signals:
    void entryClicked(int row);
    // The shown disc's pending edits must be written now (before a sort or a rename).
    void pendingEditsNeeded();
    // The list was refilled after a sort or a rename: show this entry again.
    void showAgain(int row, bool force);
    // The disc in a drive was given a name; its entry now reads `text`.
    void driveDiscNamed(const QString &identifier, const QString &text);
    void captionChanged(const QString &caption);
    void selectionChanged();
    void contextMenuRequested(const QPoint &globalPos);
    // The list was filled again: a disc was catalogued, updated, renamed or removed,
    // the sort or the filter changed, or a data folder was opened.
    void filled();
    // Enter was pressed in the list: the selected disc's properties are wanted.
    void propertiesWanted();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool passesFilter(int position) const;
    DiscListEntry driveEntry(const DriveEntry &drive) const;
    QString separatorText() const;
    void updateStatus();
    void updateSortState();

    Catalogue &m_catalogue;
    AppIcons &m_icons;
    cDrive &m_drive;
    UserPrompt &m_prompt;
    DiscListMenus &m_menus;
    QListView *m_view;
    DiscListModel *m_model;
    QLabel *m_status;
    QString m_letters;
    std::vector<DriveEntry> m_drives;
    QHash<QChar, QPair<QString, QString>> m_driveNames; // letter: (disc identifier, name)
    int m_filter = 0;
    int m_viewMode = 3;
};

} // namespace vorn
