#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "engine/system/OxException.h"
#include "engine/thread/OxThread.h"
#include "platform/kernel/NativeThread.h"
#include "tests/engine/thread/ThreadFixture.h"

namespace {

using namespace Orvex::Thread;
using Orvex::Exception::OxInterruptedException;

// A body that counts its passes until it is told to stop.
class LoopingThread : public OxThread {
public:
    void run() override {
        while (keepRunning()) {
            ++passes;
            waitForStop(1);
        }
    }
    std::atomic<int> passes{0};
};

using OxThreadTest = ThreadFixture;

TEST_F(OxThreadTest, StartRunsTheBodyAndStopWaitsForItsEnd) {
    LoopingThread thread;
    EXPECT_EQ(thread.start(), 0);
    EXPECT_NE(thread.getThreadId(), 0u);
    EXPECT_TRUE(eventually([&] { return thread.passes > 2; }));
    EXPECT_EQ(thread.start(), 1);  // already running: nothing started
    EXPECT_EQ(thread.stop(), 0);
    EXPECT_EQ(thread.getThreadId(), 0u);
    EXPECT_FALSE(thread.getThreadData());
    EXPECT_FALSE(thread.isRunning());
}

TEST_F(OxThreadTest, AThreadCanBeStartedAgainOnceIdle) {
    std::atomic<int> runs{0};
    OxThread thread([&] { ++runs; });
    for (int i = 1; i <= 2; ++i) {
        ASSERT_EQ(thread.start(), 0);
        ASSERT_TRUE(eventually([&] { return !thread.getThreadData(); }));
        EXPECT_EQ(runs, i);
    }
}

TEST_F(OxThreadTest, StopFromTheThreadItselfOnlyRequestsTheStop) {
    std::atomic<int> result{99};
    std::atomic<bool> stillRunningAfter{false};
    OxThread thread;
    thread.setFunction([&] {
        result = thread.stop();
        stillRunningAfter = thread.getThreadData() != nullptr;
    });
    ASSERT_EQ(thread.start(), 0);
    ASSERT_TRUE(eventually([&] { return result != 99; }));
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(stillRunningAfter);
    EXPECT_TRUE(eventually([&] { return !thread.getThreadData(); }));
    EXPECT_FALSE(thread.isRunning());
}

TEST_F(OxThreadTest, StopOnAThreadThatAlreadyEndedReturnsZero) {
    OxThread thread([] {});
    ASSERT_EQ(thread.start(), 0);
    ASSERT_TRUE(eventually([&] { return !thread.getThreadData(); }));
    EXPECT_EQ(thread.stop(), 0);
}

TEST_F(OxThreadTest, SuspendCountsMustBeMatchedByResumes) {
    LoopingThread thread;
    EXPECT_FALSE(thread.suspend(0));
    EXPECT_TRUE(thread.suspend(0));
    ASSERT_EQ(thread.start(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(thread.passes, 0);  // parked in its first keepRunning
    thread.resume();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(thread.passes, 0);  // one resume is not enough
    thread.resume();
    EXPECT_TRUE(eventually([&] { return thread.passes > 0; }));
    EXPECT_EQ(thread.stop(), 0);
}

TEST_F(OxThreadTest, WaitUntilParkedReturnsOnceTheThreadHasParked) {
    LoopingThread thread;
    EXPECT_FALSE(thread.waitUntilParked(10));  // not running
    ASSERT_EQ(thread.start(), 0);
    ASSERT_TRUE(eventually([&] { return thread.passes > 0; }));
    thread.suspend(0);
    ASSERT_TRUE(thread.waitUntilParked(10000));
    const int parkedAt = thread.passes;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(thread.passes, parkedAt);  // nothing runs while parked
    thread.resume();
    EXPECT_TRUE(eventually([&] { return thread.passes > parkedAt; }));
    EXPECT_EQ(thread.stop(), 0);
}

TEST_F(OxThreadTest, ASuspendTimeOutLetsOnePassRunPerInterval) {
    LoopingThread thread;
    thread.suspend(20);
    ASSERT_EQ(thread.start(), 0);
    EXPECT_TRUE(eventually([&] { return thread.passes >= 3; }));
    EXPECT_TRUE(thread.isSuspended());
    EXPECT_EQ(thread.stop(), 0);  // a stop request ends the parked wait
}

TEST_F(OxThreadTest, InterruptRaisesOnceInKeepRunning) {
    OxThread thread;
    thread.interrupt();
    EXPECT_TRUE(thread.isInterrupted());
    EXPECT_THROW(thread.keepRunning(), OxInterruptedException);
    EXPECT_FALSE(thread.isInterrupted());
    EXPECT_TRUE(thread.keepRunning());
}

TEST_F(OxThreadTest, InterruptEndsSleepAndWaitWithTheException) {
    OxThread thread;
    thread.interrupt();
    EXPECT_THROW(thread.sleep(0), OxInterruptedException);
    thread.interrupt();
    EXPECT_THROW(thread.waitForStop(0), OxInterruptedException);
    thread.interrupt();
    OxCriticalLock lock(thread.getWaitSet().getMonitor());
    EXPECT_THROW(thread.wait(0), OxInterruptedException);
}

TEST_F(OxThreadTest, SleepAndWaitForStopReportTimeOutsOppositely) {
    OxThread thread;
    EXPECT_TRUE(thread.sleep(1));
    EXPECT_FALSE(thread.waitForStop(0));
    thread.requestStop();
    EXPECT_TRUE(thread.waitForStop(0));
    EXPECT_FALSE(thread.isRunning());
}

TEST_F(OxThreadTest, CallbacksRunInOrderAfterTheBodyOnTheEndingThread) {
    std::mutex lock;
    std::vector<std::string> order;
    std::atomic<uint32_t> bodyThread{0};
    std::atomic<uint32_t> callbackThread{0};
    auto note = [&](const std::string& what) {
        std::lock_guard guard(lock);
        order.push_back(what);
    };
    OxThread first([&] {
        bodyThread = Platform::Kernel::currentThreadId();
        note("body");
    });
    OxThread second;
    const uint32_t a = first.addCallback([&] {
        callbackThread = Platform::Kernel::currentThreadId();
        note("a");
    });
    const uint32_t other = second.addCallback([] {});
    const uint32_t removed = first.addCallback([&] { note("removed"); });
    const uint32_t b = first.addCallback([&] { note("b"); });
    EXPECT_LT(a, other);
    EXPECT_LT(other, removed);
    EXPECT_LT(removed, b);
    first.removeCallback(removed);
    first.removeCallback(12345678);  // unknown id: nothing changes

    ASSERT_EQ(first.start(), 0);
    ASSERT_TRUE(eventually([&] { return !first.getThreadData(); }));
    EXPECT_EQ(order, (std::vector<std::string>{"body", "a", "b"}));
    EXPECT_EQ(callbackThread.load(), bodyThread.load());
}

TEST_F(OxThreadTest, CallbackIdsAreUniqueAcrossThreadsAddingConcurrently) {
    OxThread first;
    OxThread second;
    std::vector<uint32_t> idsA, idsB;
    std::thread t1([&] {
        for (int i = 0; i < 2000; ++i) idsA.push_back(first.addCallback([] {}));
    });
    std::thread t2([&] {
        for (int i = 0; i < 2000; ++i) idsB.push_back(second.addCallback([] {}));
    });
    t1.join();
    t2.join();
    std::vector<uint32_t> all(idsA);
    all.insert(all.end(), idsB.begin(), idsB.end());
    std::sort(all.begin(), all.end());
    EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end());
    first.clearCallbacks();
    second.clearCallbacks();
}

TEST_F(OxThreadTest, AnEmptyBoundFunctionRaisesWhenInvoked) {
    OxThread thread;
    EXPECT_FALSE(thread.hasFunction());
    EXPECT_THROW(thread.invokeFunction(), std::bad_function_call);
    thread.setFunction([] {});
    EXPECT_TRUE(thread.hasFunction());
    thread.clearFunction();
    EXPECT_FALSE(thread.hasFunction());
}

}  // namespace
