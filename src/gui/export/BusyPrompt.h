#pragma once

#include "common/UserPrompt.h"

namespace vorn {

// The busy pointer for the life of the object, lifted while a question or a message
// is on screen, so that a long action can still ask and tell through it.
class BusyPrompt final : public UserPrompt
{
public:
    explicit BusyPrompt(UserPrompt &prompt);
    ~BusyPrompt() override;

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
    UserPrompt &m_prompt;
};

} // namespace vorn
