#include "gui/export/BusyPrompt.h"

#include <QApplication>
#include <QScopeGuard>

namespace vorn {

namespace {

// Asks with the busy pointer lifted, so that a question or a message looks as usual.
template<typename Ask> auto lifted(Ask ask)
{
    QApplication::restoreOverrideCursor();
    const auto restore = qScopeGuard([] { QApplication::setOverrideCursor(Qt::WaitCursor); });
    return ask();
}

} // namespace

BusyPrompt::BusyPrompt(UserPrompt &prompt) : m_prompt(prompt)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyPrompt::~BusyPrompt()
{
    QApplication::restoreOverrideCursor();
}

UserPrompt::Answer BusyPrompt::askYesNo(const QString &text, Icon icon)
{
    return lifted([&] { return m_prompt.askYesNo(text, icon); });
}

UserPrompt::Answer BusyPrompt::askYesNoCancel(const QString &text, Icon icon)
{
    return lifted([&] { return m_prompt.askYesNoCancel(text, icon); });
}

UserPrompt::Answer BusyPrompt::askOkCancel(const QString &text, Icon icon)
{
    return lifted([&] { return m_prompt.askOkCancel(text, icon); });
}

void BusyPrompt::inform(const QString &text)
{
    lifted([&] { m_prompt.inform(text); });
}

void BusyPrompt::warn(const QString &text)
{
    lifted([&] { m_prompt.warn(text); });
}

void BusyPrompt::fail(const QString &text)
{
    lifted([&] { m_prompt.fail(text); });
}

QString BusyPrompt::inputText(const QString &prompt, const QString &title, const QString &initial)
{
    return lifted([&] { return m_prompt.inputText(prompt, title, initial); });
}

QString BusyPrompt::chooseFolder(const QString &title)
{
    return lifted([&] { return m_prompt.chooseFolder(title); });
}

QString BusyPrompt::chooseFile(const QString &title, const QString &filter, bool save)
{
    return lifted([&] { return m_prompt.chooseFile(title, filter, save); });
}

} // namespace vorn
