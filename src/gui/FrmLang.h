#pragma once

#include <QDialog>

namespace vorn {

// First-start language chooser: "Français" (index 0) or "English" (index 1).
// A click sets the language offset, stores it in "Opt"/"Langage" and closes.
class FrmLang : public QDialog
{
    Q_OBJECT
public:
    explicit FrmLang(QWidget *parent = nullptr);

private:
    void choose(int index);
};

// Shows the chooser when "Langage" is absent or empty; otherwise loads the stored
// offset. Returns the offset in force afterwards.
qint16 chooseLanguageAtStart();

} // namespace vorn
