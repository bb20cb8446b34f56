#pragma once

#include "export/DiscExport.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;

namespace vorn {

class Form1;

// The disc export window: one checkable row per disc (`LVEx`, rows keyed "K" and the
// disc's position), the target folder `TxtExport` with its browser `BtBrowseExport`,
// `ChkDeplace` to move instead of copy, `BtExport`, and a menu bar to tick rows all
// at once or by keyword. The copy itself, its questions and its refusals are the core's.
class FrmExport : public QDialog
{
    Q_OBJECT
public:
    // `showFolder` opens a folder in the file manager (after a stopped export).
    FrmExport(Form1 &owner, std::function<void(const QString &)> showFolder);

    // The request the window's state makes: folder as typed, ticked discs in list
    // order, copy or move.
    DiscExportRequest request() const;
    // `BtExport` and `MnuExport`: runs the disc export; after a move the main window
    // reads its data folder again and the list follows it.
    DiscExportResult runExport();
    // Ticks (or unticks) every row, or the rows of the discs carrying keyword `number`.
    void tickAll(bool ticked);
    void tickKeyword(qint16 number, bool ticked);

private:
    void fillList();
    void buildMenus(QMenuBar *bar);
    void browse();

    Form1 &m_owner;
    std::function<void(const QString &)> m_showFolder;
    QListWidget *m_list;
    QLineEdit *m_folder;
    QPushButton *m_browse;
    QCheckBox *m_move;
    QPushButton *m_export;
};

} // namespace vorn
