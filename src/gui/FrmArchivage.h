#pragma once

#include "capture/FilterTable.h"

#include <QDialog>
#include <QString>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabBar;
class QToolButton;
class QWidget;

namespace vorn {

class Form1;

// The cataloguing options dialog: the disc's name, icon and keywords, the exclusion
// from searches, the eject option and, under "Avancé", the capture options and the
// capture filters of each kind. "Archiver" hands the choices to the main window,
// which runs the cataloguing.
class FrmArchivage : public QDialog
{
    Q_OBJECT
public:
    // `identifier` and `label` are those of the disc in drive `letter`; `proposedName`
    // fills the name box.
    FrmArchivage(Form1 &owner, QChar letter, const QString &identifier, const QString &label,
                 const QString &proposedName);

    // The request bits of the boxes: 1, 2, 4, 8, 16, 32, 256, 1024.
    qint32 requestOptions() const;
    // The names of the ticked keywords.
    QStringList keywordNames() const;
    // The key of the icon chosen when it is a key of the icon folder ("K..."), else "".
    QString iconKey() const;
    const FilterTable &filters() const { return m_filters; }
    bool optionsShown() const { return m_optionsShown; }

    // The user's actions.
    void bt1Click(int index); // 0 Archiver, 1 Annuler, 2 Avancé/Masquer
    void btAjoutFiltreClick(int index); // 0 add, 1 remove
    void btDefautClick();
    void mnuMCClick(int index);
    void tabChanged();

private:
    QWidget *buildOptions();
    void fillIcons();
    void buildKeywordMenu();
    void refreshEnabled();
    int selectedKind() const;
    QCheckBox *captureBoxOfKind(int kind) const;
    bool archiver();

    Form1 &m_owner;
    QChar m_letter;
    QString m_identifier;
    QString m_label;
    FilterTable m_filters;
    bool m_optionsShown = false;

    QLineEdit *m_name = nullptr; // TxtNomCD
    QComboBox *m_icons = nullptr; // IC1
    QToolButton *m_arrow = nullptr; // ImgFleche
    QLabel *m_keywordsLabel = nullptr; // Label3
    QMenu *m_keywordMenu = nullptr; // MnuMotsClés
    QCheckBox *m_excluded = nullptr; // CheckExclu
    QCheckBox *m_eject = nullptr; // ChkEject
    QPushButton *m_buttons[3] = {}; // Bt1
    QWidget *m_options = nullptr;
    QTabBar *m_tabs = nullptr; // TabStrip1
    QComboBox *m_patterns = nullptr; // Combo1
    QPushButton *m_addRemove[2] = {}; // BtAjoutFiltre
    QCheckBox *m_text = nullptr; // ChkTxt
    QCheckBox *m_firstLine = nullptr; // ChK1Ligne
    QLineEdit *m_maxSize = nullptr; // TxtTaillemax
    QCheckBox *m_zip[3] = {}; // ChKZip 1, 4, 8
    QCheckBox *m_textInArchives = nullptr; // ChKTxtDsZip 1
    QPushButton *m_defaults = nullptr; // BtDéfaut

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace vorn
