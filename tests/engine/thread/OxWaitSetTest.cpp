#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "engine/system/OxException.h"
#include "engine/thread/OxWaitSet.h"
#include "platform/kernel/NativeThread.h"

namespace {

using namespace Orvex::Thread;
using Orvex::Exception::OxIllegalMonitorStateException;

constexpr uint32_t kLimitMs = 10000;

// A waiter thread that records which thread id it has and whether it was notified.
struct Waiter {
    std::atomic<uint32_t> id{0};
    std::atomic<uint32_t> result{0xFFu};
    std::thread thread;

    void start(OxWaitSet& set, uint32_t limit) {
        thread = std::thread([this, &set, limit] {
            OxCriticalLock lock(set.getMonitor());
            id = Platform::Kernel::currentThreadId();
            result = set.wait(limit);
        });
    }
};

// Waits (bounded) until `count` threads are queued in the wait set.
void waitForQueued(OxWaitSet& set, Waiter* waiters, int count) {
    for (int spin = 0; spin < 5000; ++spin) {
        int queued = 0;
        for (int i = 0; i < count; ++i) queued += waiters[i].id != 0 ? 1 : 0;
        if (queued == count) {
            // The waiter publishes its id just before it queues; taking the monitor once
            // more ensures it has released it inside wait.
            OxCriticalLock lock(set.getMonitor());
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    FAIL() << "waiters did not queue";
}

TEST(OxWaitSet, OperationsWithoutTheMonitorRaise) {
    OxWaitSet set;
    EXPECT_THROW(set.wait(1), OxIllegalMonitorStateException);
    EXPECT_THROW(set.notify(0xFFFFFFFFu), OxIllegalMonitorStateException);
    EXPECT_THROW(set.notifyAll(), OxIllegalMonitorStateException);
}

TEST(OxWaitSet, TimedWaitReturnsOneAndKeepsTheMonitor) {
    OxWaitSet set;
    OxCriticalLock lock(set.getMonitor());
    EXPECT_EQ(set.wait(5), kWaitTimedOut);
    EXPECT_TRUE(set.getMonitor().isOwner());
}

TEST(OxWaitSet, NotifyMinusOneWakesTheOldestWaiterAndAnUnknownIdNobody) {
    OxWaitSet set;
    Waiter waiters[2];
    waiters[0].start(set, kLimitMs);
    waitForQueued(set, waiters, 1);
    waiters[1].start(set, 300);
    waitForQueued(set, waiters, 2);
    {
        OxCriticalLock lock(set.getMonitor());
        set.notify(0x7FFFFFF0u);  // not waiting: nothing happens
        set.notify(0xFFFFFFFFu);
    }
    waiters[0].thread.join();
    waiters[1].thread.join();
    EXPECT_EQ(waiters[0].result, kWaitSignalled);
    EXPECT_EQ(waiters[1].result, kWaitTimedOut);
}

TEST(OxWaitSet, NotifyAllWakesEveryWaiter) {
    OxWaitSet set;
    Waiter waiters[3];
    for (auto& waiter : waiters) waiter.start(set, kLimitMs);
    waitForQueued(set, waiters, 3);
    {
        OxCriticalLock lock(set.getMonitor());
        set.notifyAll();
    }
    for (auto& waiter : waiters) {
        waiter.thread.join();
        EXPECT_EQ(waiter.result, kWaitSignalled);
    }
}

}  // namespace
