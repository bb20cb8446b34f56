#pragma once

#include <QDialog>
#include <QString>

class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace vorn {

class Form1;

// The disc picker: lists the catalogued discs (`LVEx`) so the user can say which one
// the unrecognised disc in a drive is; `Command1` confirms and moves the picked
// disc's archive to the inserted disc's identifier.
class FrmListeCD : public QDialog
{
    Q_OBJECT
public:
    // `identifier` and `insertedLabel` are those of the unrecognised disc in a drive,
    // `insertedName` the name it goes by (the one the user gave it, else its label).
    FrmListeCD(Form1 &owner, const QString &identifier, const QString &insertedName, const QString &insertedLabel);

    // The confirmation text for the disc picked at `position`.
    QString confirmation(int position) const;
    void command1Click();

private:
    Form1 &m_owner;
    QString m_identifier;
    QString m_insertedName;
    QString m_insertedLabel;
    QListWidget *m_list;
    QPlainTextEdit *m_text;
    QPushButton *m_ok;
};

} // namespace vorn
