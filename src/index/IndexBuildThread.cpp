#include "index/IndexBuildThread.h"

#include "index/IndexObserver.h"

#include <QThread>

namespace vorn {

IndexBuildThread::IndexBuildThread(const SearchIndex &index, const QStringList &identifiers, IndexObserver &observer)
    : m_index(index), m_identifiers(identifiers), m_observer(observer)
{
}

IndexBuildThread::~IndexBuildThread()
{
    cancel();
}

void IndexBuildThread::start(std::function<void()> ended)
{
    if (m_thread)
        return;
    m_thread.reset(QThread::create([this, ended = std::move(ended)] {
        // Another copy building the same index is waited for, not raced.
        m_result = m_index.refresh(m_identifiers, m_observer, false, 30000);
        if (ended)
            ended();
    }));
    m_thread->start(QThread::IdlePriority);
}

bool IndexBuildThread::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

void IndexBuildThread::wait()
{
    if (m_thread)
        m_thread->wait();
}

void IndexBuildThread::cancel()
{
    m_observer.requestCancel();
    wait();
}

} // namespace vorn
