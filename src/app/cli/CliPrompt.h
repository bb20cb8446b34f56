#pragma once

#include "common/RunObserver.h"
#include "common/UserPrompt.h"

#include <QTextStream>

namespace vorn::cli {

// Answers every question with the answer that changes nothing (or Yes with --yes)
// and writes notices to standard error.
class CliPrompt : public UserPrompt
{
public:
    CliPrompt(QTextStream &err, bool yes) : m_err(err), m_yes(yes) {}

    Answer askYesNo(const QString &text, Icon) override { return answer(text, Answer::No); }
    Answer askYesNoCancel(const QString &text, Icon) override { return answer(text, Answer::Cancel); }
    Answer askOkCancel(const QString &text, Icon) override
    {
        return m_yes ? Answer::Ok : answer(text, Answer::Cancel);
    }
    void inform(const QString &text) override { say(text); }
    void warn(const QString &text) override { say(text); }
    void fail(const QString &text) override { say(text); }
    QString inputText(const QString &, const QString &, const QString &) override { return {}; }
    QString chooseFolder(const QString &) override { return {}; }
    QString chooseFile(const QString &, const QString &, bool) override { return {}; }

private:
    Answer answer(const QString &text, Answer unchanged)
    {
        if (m_yes)
            return Answer::Yes;
        say(text);
        return unchanged;
    }
    void say(const QString &text)
    {
        m_err << "vorn-cli: " << QString(text).replace(u'\r', QString()) << '\n';
        m_err.flush();
    }

    QTextStream &m_err;
    bool m_yes;
};

class CliObserver : public RunObserver
{
public:
    explicit CliObserver(CliPrompt &prompt) : m_prompt(prompt) {}
    UserPrompt &prompt() override { return m_prompt; }

private:
    CliPrompt &m_prompt;
};

} // namespace vorn::cli
