#pragma once

#include <QString>
#include <QStringList>

namespace vorn {

// How core asks the user something. The desktop program answers with dialogs,
// tests with scripted answers, the command line from its flags.
class UserPrompt
{
public:
    enum class Answer { Yes, No, Cancel, Ok };
    enum class Icon { None, Information, Exclamation, Critical, Question };

    virtual ~UserPrompt() = default;

    virtual Answer askYesNo(const QString &text, Icon icon = Icon::Question) = 0;
    virtual Answer askYesNoCancel(const QString &text, Icon icon = Icon::Question) = 0;
    virtual Answer askOkCancel(const QString &text, Icon icon = Icon::Question) = 0;
    virtual void inform(const QString &text) = 0; // information icon
    virtual void warn(const QString &text) = 0; // exclamation icon: a refusal
    virtual void fail(const QString &text) = 0; // critical icon: an action stopped
    // Text input; nullopt-like empty QString() (isNull) when cancelled.
    virtual QString inputText(const QString &prompt, const QString &title, const QString &initial = QString()) = 0;
    virtual QString chooseFolder(const QString &title) = 0; // empty: cancelled
    virtual QString chooseFile(const QString &title, const QString &filter, bool save) = 0;
};

// Answers every question with the answer that changes nothing and ignores notices;
// collects the texts so a caller can print them.
class QuietPrompt : public UserPrompt
{
public:
    Answer askYesNo(const QString &text, Icon) override
    {
        m_said += text;
        return Answer::No;
    }
    Answer askYesNoCancel(const QString &text, Icon) override
    {
        m_said += text;
        return Answer::Cancel;
    }
    Answer askOkCancel(const QString &text, Icon) override
    {
        m_said += text;
        return Answer::Cancel;
    }
    void inform(const QString &text) override { m_said += text; }
    void warn(const QString &text) override { m_said += text; }
    void fail(const QString &text) override { m_said += text; }
    QString inputText(const QString &, const QString &, const QString &) override { return {}; }
    QString chooseFolder(const QString &) override { return {}; }
    QString chooseFile(const QString &, const QString &, bool) override { return {}; }

    const QStringList &said() const { return m_said; }

private:
    QStringList m_said;
};

} // namespace vorn
