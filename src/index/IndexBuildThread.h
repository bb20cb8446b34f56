#pragma once

#include "index/SearchIndex.h"

#include <QStringList>
#include <functional>
#include <memory>

class QThread;

namespace vorn {

class IndexObserver;

// Brings a data folder's search index up to date on a thread of its own, at idle
// priority, as the window does after a data folder opens. The observer hears of
// each disc on that thread; searches meanwhile read the discs already built from
// the index and the others from their archives. Cancelling stops the build after
// the disc in hand and waits for the thread; so does the destructor.
class IndexBuildThread
{
public:
    IndexBuildThread(const SearchIndex &index, const QStringList &identifiers, IndexObserver &observer);
    ~IndexBuildThread();
    IndexBuildThread(const IndexBuildThread &) = delete;
    IndexBuildThread &operator=(const IndexBuildThread &) = delete;

    // `ended` is called on the building thread once the build has ended, cancelled or not.
    void start(std::function<void()> ended = {});
    bool isRunning() const;
    // Waits for the build to end by itself.
    void wait();
    void cancel();
    // What the build did, once it has ended.
    const IndexRefresh &result() const { return m_result; }

private:
    const SearchIndex m_index;
    const QStringList m_identifiers;
    IndexObserver &m_observer;
    IndexRefresh m_result;
    std::unique_ptr<QThread> m_thread;
};

} // namespace vorn
