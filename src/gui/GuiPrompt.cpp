#include "gui/GuiPrompt.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace vorn {

namespace {

const QString kTitle = QStringLiteral("VORN");

QMessageBox::Icon boxIcon(UserPrompt::Icon icon)
{
    switch (icon) {
    case UserPrompt::Icon::Information:
        return QMessageBox::Information;
    case UserPrompt::Icon::Exclamation:
        return QMessageBox::Warning;
    case UserPrompt::Icon::Critical:
        return QMessageBox::Critical;
    case UserPrompt::Icon::Question:
        return QMessageBox::Question;
    case UserPrompt::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

UserPrompt::Answer ask(QWidget *parent, const QString &text, UserPrompt::Icon icon,
                       QMessageBox::StandardButtons buttons)
{
    QMessageBox box(boxIcon(icon), kTitle, text, buttons, parent);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return UserPrompt::Answer::Yes;
    case QMessageBox::No:
        return UserPrompt::Answer::No;
    case QMessageBox::Ok:
        return UserPrompt::Answer::Ok;
    default:
        return UserPrompt::Answer::Cancel;
    }
}

void tell(QWidget *parent, const QString &text, QMessageBox::Icon icon)
{
    QMessageBox box(icon, kTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

UserPrompt::Answer GuiPrompt::askYesNo(const QString &text, Icon icon)
{
    return ask(m_parent, text, icon, QMessageBox::Yes | QMessageBox::No);
}

UserPrompt::Answer GuiPrompt::askYesNoCancel(const QString &text, Icon icon)
{
    return ask(m_parent, text, icon, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

UserPrompt::Answer GuiPrompt::askOkCancel(const QString &text, Icon icon)
{
    return ask(m_parent, text, icon, QMessageBox::Ok | QMessageBox::Cancel);
}

void GuiPrompt::inform(const QString &text)
{
    tell(m_parent, text, QMessageBox::Information);
}
void GuiPrompt::warn(const QString &text)
{
    tell(m_parent, text, QMessageBox::Warning);
}
void GuiPrompt::fail(const QString &text)
{
    tell(m_parent, text, QMessageBox::Critical);
}

QString GuiPrompt::inputText(const QString &prompt, const QString &title, const QString &initial)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_parent, title.isEmpty() ? kTitle : title, prompt, QLineEdit::Normal, initial, &ok);
    return ok ? text : QString();
}

QString GuiPrompt::chooseFolder(const QString &title)
{
    return QFileDialog::getExistingDirectory(m_parent, title);
}

QString GuiPrompt::chooseFile(const QString &title, const QString &filter, bool save)
{
    return save ? QFileDialog::getSaveFileName(m_parent, title, QString(), filter)
                : QFileDialog::getOpenFileName(m_parent, title, QString(), filter);
}

void GuiObserver::yield()
{
    QCoreApplication::processEvents();
}

} // namespace vorn
