#pragma once

#include "cli/TerminalProgress.h"
#include "common/RunObserver.h"
#include "common/UserPrompt.h"
#include "settings/StringTable.h"

#include <QTextStream>
#include <functional>
#include <memory>

namespace vorn::cli {

// Answers every question with the answer that changes nothing (or Yes with --yes)
// and writes notices to standard error. A question is never printed as one: what was
// not done is said, and that --yes would do it when the command takes --yes.
class CliPrompt : public UserPrompt
{
public:
    CliPrompt(QTextStream &err, bool yes, bool offersYes = false) : m_err(err), m_yes(yes), m_offersYes(offersYes) {}

    Answer askYesNo(const QString &text, Icon) override { return answer(text, Answer::No); }
    Answer askYesNoCancel(const QString &text, Icon) override { return answer(text, Answer::Cancel); }
    Answer askOkCancel(const QString &text, Icon) override { return m_yes ? Answer::Ok : answer(text, Answer::Cancel); }
    void inform(const QString &text) override { say(text); }
    void warn(const QString &text) override { say(text); }
    void fail(const QString &text) override { say(text); }
    QString inputText(const QString &, const QString &, const QString &) override { return {}; }
    QString chooseFolder(const QString &) override { return {}; }
    QString chooseFile(const QString &, const QString &, bool) override { return {}; }

    // Called before each message, so a progress line can make room for it.
    void setBeforeSaying(std::function<void()> hook) { m_beforeSaying = std::move(hook); }

private:
    Answer answer(const QString &text, Answer unchanged)
    {
        if (m_yes)
            return Answer::Yes;
        say(LoadText(m_offersYes ? 726 : 727) + u'\n' + withoutQuestionMark(text));
        return unchanged;
    }
    static QString withoutQuestionMark(QString text)
    {
        text = text.trimmed();
        while (text.endsWith(u'?'))
            text = text.chopped(1).trimmed();
        return text;
    }
    // One line per line of the text, each its own sentence; later lines indented.
    void say(const QString &text)
    {
        if (m_beforeSaying)
            m_beforeSaying();
        QString lines = text;
        lines.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
        bool first = true;
        for (QStringView line : QStringView(lines).split(u'\n', Qt::SkipEmptyParts)) {
            m_err << (first ? "vorn-cli: " : "  ") << line.trimmed() << '\n';
            first = false;
        }
        m_err.flush();
    }

    QTextStream &m_err;
    bool m_yes;
    bool m_offersYes;
    std::function<void()> m_beforeSaying;
};

class CliObserver : public RunObserver
{
public:
    explicit CliObserver(CliPrompt &prompt) : m_prompt(prompt) {}
    ~CliObserver() override { endProgress(); }
    CliObserver(const CliObserver &) = delete;
    CliObserver &operator=(const CliObserver &) = delete;
    UserPrompt &prompt() override { return m_prompt; }
    void progress(const QString &text) override
    {
        if (m_progress)
            m_progress->show(text);
    }
    // Shows progress on standard error from now on (when it is a terminal).
    void showProgressOn(QTextStream &err)
    {
        m_progress = std::make_unique<TerminalProgress>(err);
        m_prompt.setBeforeSaying([this] { m_progress->finish(); });
    }
    void endProgress()
    {
        m_prompt.setBeforeSaying({});
        m_progress.reset();
    }

private:
    CliPrompt &m_prompt;
    std::unique_ptr<TerminalProgress> m_progress;
};

// A search run from the command line: the long-search warning is answered No without
// being printed (it never stops a search there); other notices go to standard error
// as CliPrompt writes them.
class CliSearchObserver : public RunObserver
{
public:
    explicit CliSearchObserver(QTextStream &err) : m_prompt(err) {}
    UserPrompt &prompt() override { return m_prompt; }

private:
    class SearchPrompt : public CliPrompt
    {
    public:
        explicit SearchPrompt(QTextStream &err) : CliPrompt(err, false) {}
        Answer askYesNo(const QString &, Icon) override { return Answer::No; }
    };
    SearchPrompt m_prompt;
};

} // namespace vorn::cli
