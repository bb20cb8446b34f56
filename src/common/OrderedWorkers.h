#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace vorn {

// Runs job(0), job(1), ... job(count - 1) on a few long-lived threads, at most
// `ahead` results before the one the caller takes next, and hands the results out
// in order. Long-lived threads keep their thread_local buffers from job to job.
// The destructor waits for the jobs that are running and drops the rest.
//
// The taker and the workers wait on conditions of their own, and each is woken only
// when what it waits for may have come: a search hands out thousands of small
// results, and waking every thread for each of them cost more than a tenth of it.
template<typename Result> class OrderedWorkers
{
public:
    OrderedWorkers(size_t count, int threads, size_t ahead, std::function<Result(size_t)> job)
        : m_count(count), m_ahead(ahead < 1 ? 1 : ahead), m_job(std::move(job))
    {
        for (int t = 0; t < threads && size_t(t) < count; ++t)
            m_threads.emplace_back([this] { work(); });
    }
    ~OrderedWorkers()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_room.notify_all();
        for (std::thread &thread : m_threads)
            thread.join();
    }
    OrderedWorkers(const OrderedWorkers &) = delete;
    OrderedWorkers &operator=(const OrderedWorkers &) = delete;

    // The result of the next job in order, waiting for it.
    Result take()
    {
        std::unique_lock lock(m_mutex);
        m_ready.wait(lock, [this] { return frontReady(); });
        return popFront(lock);
    }

    // The same, waiting at most `timeout`: nullopt when the result is not ready by
    // then, so the caller can let its window breathe and wait again.
    std::optional<Result> takeFor(std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(m_mutex);
        if (!m_ready.wait_for(lock, timeout, [this] { return frontReady(); }))
            return std::nullopt;
        return popFront(lock);
    }

private:
    bool frontReady() const { return !m_done.empty() && m_done.front().has_value(); }
    // Hands out the next result, which is ready, and lets one worker claim a job more.
    Result popFront(std::unique_lock<std::mutex> &lock)
    {
        Result result = std::move(*m_done.front());
        m_done.pop_front();
        ++m_taken;
        lock.unlock();
        m_room.notify_one();
        return result;
    }

    void work()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_room.wait(lock, [this] { return m_stopping || (m_claimed < m_count && m_claimed < m_taken + m_ahead); });
            if (m_stopping)
                return;
            const size_t index = m_claimed++;
            m_done.emplace_back(); // the slot of `index` is m_done[index - m_taken]
            lock.unlock();
            Result result = m_job(index);
            lock.lock();
            m_done[index - m_taken] = std::move(result);
            // Only the result the taker waits for wakes it; the ones after it are
            // taken without waiting once it comes.
            if (index == m_taken)
                m_ready.notify_one();
        }
    }

    const size_t m_count;
    const size_t m_ahead;
    const std::function<Result(size_t)> m_job;
    std::mutex m_mutex;
    std::condition_variable m_ready; // the taker: the next result in order is done
    std::condition_variable m_room; // the workers: a job may be claimed, or stopping
    std::deque<std::optional<Result>> m_done;
    size_t m_claimed = 0;
    size_t m_taken = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

} // namespace vorn
