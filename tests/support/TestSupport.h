#pragma once

#include <QString>
#include <QTemporaryDir>

#include <ostream>

// Readable test failure output for Qt texts.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray &bytes, std::ostream *out)
{
    *out << '"' << bytes.toStdString() << '"';
}

namespace vorn::test {

// Points the settings store at a fresh temporary folder for the life of the object,
// so a test never reads or writes the user's own settings.
class IsolatedSettings
{
public:
    IsolatedSettings();
    ~IsolatedSettings();
    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_cacheHome;
    bool m_cacheHomeSet = false;
};

// Writes bytes to a file, creating its folders; returns false on failure.
bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

} // namespace vorn::test

#include "common/RunObserver.h"
#include "common/UserPrompt.h"

#include <deque>

namespace vorn::test {

// A prompt that answers from a script and records every text it was shown.
class ScriptedPrompt : public UserPrompt
{
public:
    std::deque<Answer> answers;        // taken in order; when empty, `fallback`
    Answer fallback = Answer::No;
    std::deque<QString> inputs;        // answers to inputText / chooseFolder / chooseFile
    QStringList questions;
    QStringList notices;               // inform, warn and fail texts, in order
    QStringList warnings;
    QStringList failures;

    Answer askYesNo(const QString &text, Icon) override { return next(text); }
    Answer askYesNoCancel(const QString &text, Icon) override { return next(text); }
    Answer askOkCancel(const QString &text, Icon) override { return next(text); }
    void inform(const QString &text) override { notices << text; }
    void warn(const QString &text) override { notices << text; warnings << text; }
    void fail(const QString &text) override { notices << text; failures << text; }
    QString inputText(const QString &prompt, const QString &, const QString &) override
    {
        questions << prompt;
        return nextInput();
    }
    QString chooseFolder(const QString &title) override { questions << title; return nextInput(); }
    QString chooseFile(const QString &title, const QString &, bool) override
    {
        questions << title;
        return nextInput();
    }

private:
    Answer next(const QString &text)
    {
        questions << text;
        if (answers.empty())
            return fallback;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString nextInput()
    {
        if (inputs.empty())
            return {};
        QString value = inputs.front();
        inputs.pop_front();
        return value;
    }
};

// An observer that records progress texts and counts yields; it can cancel itself
// after a given number of yields.
class RecordingObserver : public RunObserver
{
public:
    ScriptedPrompt scripted;
    QStringList progressTexts;
    int yields = 0;
    int cancelAtYield = -1;

    void progress(const QString &text) override { progressTexts << text; }
    void yield() override
    {
        if (++yields == cancelAtYield)
            requestCancel();
    }
    UserPrompt &prompt() override { return scripted; }
};

} // namespace vorn::test
