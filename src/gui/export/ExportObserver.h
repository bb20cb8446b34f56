#pragma once

#include "common/RunObserver.h"

#include <QElapsedTimer>
#include <QPointer>

class QLabel;
class QProgressBar;

namespace vorn {

// The observer of an export run from the window: each progress text (one per disc)
// goes to the label and advances the bar; a yield lets the window process its events,
// at most every few milliseconds so that pages of many small folders stay fast.
class ExportObserver : public RunObserver
{
public:
    ExportObserver(UserPrompt &prompt, QLabel *label, QProgressBar *bar);

    // A run over `total` discs begins.
    void start(int total);
    void progress(const QString &text) override;
    void yield() override;
    UserPrompt &prompt() override { return m_prompt; }

private:
    UserPrompt &m_prompt;
    QPointer<QLabel> m_label;
    QPointer<QProgressBar> m_bar;
    QElapsedTimer m_sinceEvents;
};

} // namespace vorn
