#pragma once

#include <QString>
#include <atomic>

namespace vorn {

class UserPrompt;

// What a long engine run reports to, and asks of, whoever started it: progress text,
// a yield at the fixed points where the interface may breathe, a cancel flag, and
// the prompt for questions. The window's yield processes pending events; the command
// line and tests do nothing there.
class RunObserver
{
public:
    virtual ~RunObserver() = default;

    virtual void progress(const QString &text) { (void)text; }
    virtual void yield() {}
    virtual UserPrompt &prompt() = 0;

    bool cancelled() const { return m_cancel.load(std::memory_order_relaxed); }
    void requestCancel() { m_cancel.store(true, std::memory_order_relaxed); }
    void clearCancel() { m_cancel.store(false, std::memory_order_relaxed); }

private:
    std::atomic<bool> m_cancel{false};
};

} // namespace vorn
