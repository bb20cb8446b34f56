#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabBar;

namespace vorn {

class Form1;

// The properties dialog: the facts about the shown disc, one of its folders or one of
// its files, and what the user may change: the description of a folder or a file, the
// description, name and icon of a disc. Nothing is written until "Appliquer", except
// the disc's name, which is renamed as soon as its box is left.
class FrmProprietes : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Disc, Folder, File }; // "C", "D", "F"

    // `number` is the folder (0 the root) or file number of the shown disc; unused for
    // a disc.
    FrmProprietes(Form1 &owner, Mode mode, int number);

    Mode mode() const { return m_mode; }
    bool changed() const { return m_changed; }

    // The user's actions.
    void descriptionChanged(); // Text1_Change
    void nameEdited(); // Text2_LostFocus
    void iconChosen(); // IC1_Click
    // Command1(0): writes the changes and closes; a refusal or a failure is said and
    // the dialog stays open with the user's text.
    bool apply();

private:
    void fillIcons(const QString &chosen);
    bool applyDisc();
    bool applyFolder();
    bool applyFile();

    Form1 &m_owner;
    Mode m_mode;
    int m_number;
    QString m_identifier;
    QString m_name; // the disc's name as last accepted
    bool m_changed = false;
    bool m_filling = false;
    QTabBar *m_tabs;
    QPlainTextEdit *m_facts;
    QLabel *m_descriptionLabel;
    QPlainTextEdit *m_description;
    QLineEdit *m_nameBox = nullptr;
    QComboBox *m_icons = nullptr;
};

} // namespace vorn
