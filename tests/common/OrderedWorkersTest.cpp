#include "common/OrderedWorkers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>

namespace vorn {
namespace {

// Results come out in job order whatever order the threads finish in, and no job
// starts more than `ahead` places before the result taken next.
TEST(OrderedWorkers, ResultsInOrderWithBoundedLookAhead)
{
    for (const size_t ahead : {size_t(1), size_t(3), size_t(8)}) {
        std::atomic<size_t> taken{0};
        std::atomic<size_t> furthest{0};
        std::atomic<bool> tooFar{false};
        OrderedWorkers<size_t> workers(40, 3, ahead, [&](size_t index) {
            // `taken` is counted just after take() returns, so it may lag by one.
            if (index > taken + ahead)
                tooFar = true;
            size_t seen = furthest;
            while (index > seen && !furthest.compare_exchange_weak(seen, index)) {
            }
            std::mt19937 random{unsigned(index)};
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 500));
            return index * 10;
        });
        for (size_t i = 0; i < 40; ++i) {
            ASSERT_EQ(workers.take(), i * 10);
            ++taken;
        }
        EXPECT_FALSE(tooFar) << "ahead " << ahead;
        EXPECT_EQ(furthest, 39u);
    }
}

// Stopping early (a search stopped by the user) waits for running jobs only.
TEST(OrderedWorkers, DestroyedEarlyRunsNoMoreJobs)
{
    std::atomic<int> started{0};
    {
        OrderedWorkers<int> workers(1000, 2, 4, [&](size_t index) {
            ++started;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return int(index);
        });
        EXPECT_EQ(workers.take(), 0);
        EXPECT_EQ(workers.take(), 1);
    }
    EXPECT_LE(started, 2 + 4);
}

} // namespace
} // namespace vorn
