#include "gui/TranslateCaptions.h"

#include "settings/StringTable.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QWidget>

namespace vorn {

namespace {

// The text of a numeric caption, or nothing when the caption is not a number.
bool translated(const QString &caption, QString *text)
{
    bool ok = false;
    const int id = caption.trimmed().toInt(&ok);
    if (!ok || caption.trimmed().isEmpty())
        return false;
    *text = LoadText(id);
    return true;
}

} // namespace

void TranslateCaptions(QWidget *window)
{
    if (!window)
        return;
    QString text;
    if (translated(window->windowTitle(), &text))
        window->setWindowTitle(text);
    for (QAction *action : window->findChildren<QAction *>()) {
        if (translated(action->text(), &text))
            action->setText(text);
    }
    for (QMenu *menu : window->findChildren<QMenu *>()) {
        if (translated(menu->title(), &text))
            menu->setTitle(text);
    }
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (translated(label->text(), &text))
            label->setText(text);
    }
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (translated(button->text(), &text))
            button->setText(text);
    }
    for (QGroupBox *box : window->findChildren<QGroupBox *>()) {
        if (translated(box->title(), &text))
            box->setTitle(text);
    }
}

} // namespace vorn
