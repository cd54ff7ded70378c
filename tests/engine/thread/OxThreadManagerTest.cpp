#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <type_traits>

#include "engine/system/OxEngineState.h"
#include "engine/system/OxException.h"
#include "engine/system/OxOrvexManager.h"
#include "engine/thread/OxThreadManager.h"
#include "platform/kernel/NativeThread.h"
#include "tests/engine/thread/DebugCapture.h"
#include "tests/engine/thread/ThreadFixture.h"

namespace {

using namespace Orvex::Thread;

class WorkerThread : public OxThread {
public:
    void run() override {
        while (keepRunning()) {
            waitForStop(0);
        }
    }
};

using OxThreadManagerTest = ThreadFixture;

TEST_F(OxThreadManagerTest, TheFirstUserBecomesTheMainThreadRecord) {
    DebugCapture capture;
    OxThreadManager* manager = OxThreadManager::instance();
    EXPECT_EQ(manager->getRecordCount(), 1u);
    IOrvexThread* main = manager->currentThread();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->getThreadId(), Platform::Kernel::currentThreadId());
    EXPECT_EQ(manager->findThread(0x7FFFFFF0u), nullptr);
}

TEST_F(OxThreadManagerTest, RegistryFollowsThreadsStartingAndEnding) {
    OxThreadManager* manager = OxThreadManager::instance();
    WorkerThread a, b;
    ASSERT_EQ(a.start(), 0);
    ASSERT_EQ(b.start(), 0);
    EXPECT_EQ(manager->getRecordCount(), 3u);
    EXPECT_EQ(manager->findThread(a.getThreadId()), &a);
    EXPECT_EQ(a.stop(), 0);
    EXPECT_EQ(manager->getRecordCount(), 2u);
    EXPECT_EQ(b.stop(), 0);
    EXPECT_EQ(manager->getRecordCount(), 1u);
}

TEST_F(OxThreadManagerTest, AThreadSeesItselfAsTheCurrentThread) {
    std::atomic<IOrvexThread*> seen{nullptr};
    OxThread thread;
    thread.setFunction([&] { seen = OxThreadManager::instance()->currentThread(); });
    ASSERT_EQ(thread.start(), 0);
    ASSERT_TRUE(eventually([&] { return !thread.getThreadData(); }));
    EXPECT_EQ(seen.load(), &thread);
}

TEST_F(OxThreadManagerTest, StopAllThreadStopsEveryOtherThreadAndOnlyOnce) {
    DebugCapture capture;
    OxThreadManager* manager = OxThreadManager::instance();
    WorkerThread a, b;
    ASSERT_EQ(a.start(), 0);
    ASSERT_EQ(b.start(), 0);
    EXPECT_TRUE(manager->stopAllThread());
    EXPECT_EQ(manager->getRecordCount(), 1u);
    EXPECT_FALSE(manager->stopAllThread());
    EXPECT_TRUE(capture.contains(u"OxThreadManager::stopAllThread() try while.\n"));
    EXPECT_TRUE(capture.contains(u"once main thread.\n"));
}

TEST_F(OxThreadManagerTest, StopAllFromAnotherThreadLeavesItsOwnRecord) {
    OxThreadManager* manager = OxThreadManager::instance();
    WorkerThread worker;
    ASSERT_EQ(worker.start(), 0);
    std::atomic<int> result{-1};
    OxThread stopper([&] { result = OxThreadManager::instance()->stopAllThread() ? 1 : 0; });
    ASSERT_EQ(stopper.start(), 0);
    ASSERT_TRUE(eventually([&] { return result != -1; }));
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(eventually([&] { return manager->getRecordCount() == 1u; }));
    EXPECT_FALSE(worker.isRunning());
}

// A thread that does not honour its stop: every shutdown wait gives up at the limit with a line
// instead of hanging, and the thread is released afterwards so that it can end.
TEST_F(OxThreadManagerTest, ShutdownWaitsGiveUpAtTheirLimitWhenAThreadDoesNotEnd) {
    OxThreadManager* manager = OxThreadManager::instance();
    manager->setShutdownLimit(200);
    Platform::Kernel::KernelEvent release{/*manualReset=*/true};
    OxThread stubborn;
    stubborn.setFunction([&] { Platform::Kernel::waitForOne(release, Platform::Kernel::kInfinite); });
    ASSERT_EQ(stubborn.start(), 0);
    OxThread other;
    other.setFunction([&] { Platform::Kernel::waitForOne(release, Platform::Kernel::kInfinite); });
    ASSERT_EQ(other.start(), 0);

    // The limit counts from the request to stop, not while the program still runs.
    std::thread asker([manager] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        manager->requestStopAll();  // asked to stop, they do not
    });
    const auto start = std::chrono::steady_clock::now();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(manager->waitForOtherThreads());
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(700));
    asker.join();
    EXPECT_EQ(stubborn.stop(), 1);  // the wait failed
    const std::string lines = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(lines.find("Engine shutdown: the other engine threads did not end within 200 ms."), std::string::npos)
        << lines;
    EXPECT_NE(lines.find("Engine shutdown: a stopped thread did not end within 200 ms."), std::string::npos) << lines;

    release.set();
    manager->setShutdownLimit(OxThreadManager::kDefaultShutdownLimitMs);
    EXPECT_TRUE(eventually([&] { return manager->getRecordCount() == 1u; }));
    EXPECT_TRUE(manager->waitForOtherThreads());
}

// The program's own start-up and shutdown: the application thread is owned by the manager's
// record, the root's destruction waits for it, and the thread's end callback is the last word.
TEST(OxThreadManagerLifecycle, RootDestructionWaitsForTheApplicationThread) {
    std::atomic<bool> ended{false};
    std::atomic<bool> objectDestroyed{false};
    struct AppThread : OxThread {
        std::atomic<bool>* destroyed;
        explicit AppThread(std::atomic<bool>* d) : destroyed(d) {}
        ~AppThread() override { *destroyed = true; }
        void run() override { sleep(30); }
    };
    {
        Orvex::OxOrvexManager root;
        auto app = std::make_shared<AppThread>(&objectDestroyed);
        app->addCallback([&] { ended = true; });
        EXPECT_EQ(OxThreadManager::instance()->runApplicationThread(app), 0);
        EXPECT_EQ(OxThreadManager::instance()->runApplicationThread(app), 1);  // already running
        app.reset();                                                           // the manager's record keeps it alive
        EXPECT_FALSE(objectDestroyed);
    }
    EXPECT_TRUE(ended);
    EXPECT_TRUE(objectDestroyed);
    EXPECT_FALSE(Orvex::System::isEngineAlive());
    OxThreadManager::release();
}

TEST(OxThreadManagerLifecycle, EndMainThreadRunsTheMainThreadsCallbacks) {
    std::atomic<int> calls{0};
    {
        Orvex::OxOrvexManager root;
        IOrvexThread* main = OxThreadManager::instance()->currentThread();
        ASSERT_NE(main, nullptr);
        main->addCallback([&] { ++calls; });
    }
    EXPECT_EQ(calls, 1);
    OxThreadManager::release();
}

// Destroying the manager with records left says so but never throws (it runs at process end);
// releasing it on purpose still raises the error.
TEST(OxThreadManagerLifecycle, ReleasingAManagerWithRecordsLeftIsAnError) {
    static_assert(std::is_nothrow_destructible_v<OxThreadManager>);
    OxThreadManager::instance();
    try {
        OxThreadManager::release();
        FAIL() << "no exception";
    } catch (const Orvex::Exception::OxRuntimeException& e) {
        EXPECT_EQ(e.getMessage(), "WinMain()またはmain()から抜ける前にendMainThread()を呼び出さなければなりません。");
    }
    EXPECT_EQ(OxThreadManager::existingInstance(), nullptr);
}

}  // namespace
