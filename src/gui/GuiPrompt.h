#pragma once

#include "common/RunObserver.h"
#include "common/UserPrompt.h"

#include <QPointer>
#include <QWidget>

namespace vorn {

// Asks the user with Qt's standard dialogs, parented to a window.
class GuiPrompt : public UserPrompt
{
public:
    explicit GuiPrompt(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    Answer askYesNo(const QString &text, Icon icon) override;
    Answer askYesNoCancel(const QString &text, Icon icon) override;
    Answer askOkCancel(const QString &text, Icon icon) override;
    void inform(const QString &text) override;
    void warn(const QString &text) override;
    void fail(const QString &text) override;
    QString inputText(const QString &prompt, const QString &title, const QString &initial) override;
    QString chooseFolder(const QString &title) override;
    QString chooseFile(const QString &title, const QString &filter, bool save) override;

private:
    QPointer<QWidget> m_parent;
};

// The window's observer of long runs: a yield processes pending events.
class GuiObserver : public RunObserver
{
public:
    explicit GuiObserver(UserPrompt &prompt) : m_prompt(&prompt) {}
    void yield() override;
    UserPrompt &prompt() override { return *m_prompt; }

private:
    UserPrompt *m_prompt;
};

} // namespace vorn
