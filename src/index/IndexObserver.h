#pragma once

#include <atomic>

namespace vorn {

// What building the search index reports to whoever started it, and its cancel flag.
// Builds may run on a background thread: discDone is called on the building thread,
// and the flag may be set from any thread.
class IndexObserver
{
public:
    virtual ~IndexObserver() = default;

    // `done` of `total` discs that needed building are built.
    virtual void discDone(int done, int total) { (void)done, (void)total; }

    bool cancelled() const { return m_cancel.load(std::memory_order_relaxed); }
    void requestCancel() { m_cancel.store(true, std::memory_order_relaxed); }

private:
    std::atomic<bool> m_cancel{false};
};

} // namespace vorn
