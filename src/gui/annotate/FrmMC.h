#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QListWidgetItem;

namespace vorn {

class Form1;

// The keyword manager: the data folder's keywords `LVMCMC` (new, rename in place,
// delete) and the discs `LVCDMC`, ticked when they carry the selected keyword.
// "MC.txt" is written at each change of the list; the discs whose keywords changed
// are written when the window closes.
class FrmMC : public QDialog
{
    Q_OBJECT
public:
    explicit FrmMC(Form1 &owner);

    // Command1(0) new, (1) rename, (2) delete.
    void command1Click(int index);
    // Ticks the discs carrying the keyword of this row of `LVMCMC`.
    void selectKeyword(int row);
    QStringList changedDiscs() const { return m_changed; }

    // Writes the changed discs, then closes (Form_Unload).
    void done(int result) override;

signals:
    // The keyword list or a disc's keywords changed: captions, counts and the filter
    // menu are to be refreshed.
    void keywordsChanged(bool listChanged);

private:
    void fillKeywords(int selectNumber);
    void keywordRenamed(QListWidgetItem *item);
    void discTicked(QListWidgetItem *item);
    int selectedNumber() const;
    void remember(const std::vector<int> &positions);

    Form1 &m_owner;
    QListWidget *m_keywordList;
    QListWidget *m_discList;
    QStringList m_changed; // identifiers of the discs to write
    bool m_filling = false;
    bool m_written = false;
};

} // namespace vorn
