#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "engine/system/OxCOMInitalize.h"
#include "engine/system/OxOrvexManager.h"
#include "engine/thread/OxThread.h"
#include "engine/thread/OxThreadManager.h"
#include "platform/kernel/ComStartup.h"
#include "platform/kernel/Waitable.h"

namespace {

using Orvex::Thread::OxThread;
using Orvex::Thread::OxThreadManager;
using Orvex::Utility::OxCOMInitalize;
namespace Kernel = Platform::Kernel;

TEST(OxCOMInitalize, WithoutAThreadManagerNoThreadIsKnownAndNoneIsCreated) {
    ASSERT_EQ(OxThreadManager::existingInstance(), nullptr);
    int result = 0;
    std::thread foreign([&result] {
        result = OxCOMInitalize::instance()->initialize();
        OxCOMInitalize::instance()->uninitialize();
    });
    foreign.join();
    EXPECT_EQ(result, -2);
    EXPECT_EQ(OxThreadManager::existingInstance(), nullptr);
}

class OxCOMInitalizeTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::make_unique<Orvex::OxOrvexManager>();
        OxThreadManager::instance();  // this thread becomes the registered main thread
    }
    void TearDown() override {
        root_.reset();
        OxThreadManager::release();
    }
    std::unique_ptr<Orvex::OxOrvexManager> root_;
};

TEST_F(OxCOMInitalizeTest, AnEngineThreadStartsOnceAndStopsOnceWhenItEnds) {
    std::atomic<int> results[2] = {-9, -9};
    std::atomic<int> startsWhileRunning{-1};
    std::atomic<int> startsAtEnd{-1};
    Kernel::KernelEvent ended(/*manualReset=*/true);
    OxThread thread;
    thread.setFunction([&] {
        results[0] = OxCOMInitalize::instance()->initialize();
        results[1] = OxCOMInitalize::instance()->initialize();
        // Another user starts the runtime on its own: it keeps its start after ours is undone.
        Kernel::comInitialize();
        startsWhileRunning = Kernel::comInitializeCount();
        // Added after the registry's callback, so it sees what that one left behind.
        OxThreadManager::instance()->currentThread()->addCallback([&] {
            startsAtEnd = Kernel::comInitializeCount();
            Kernel::comUninitialize();
            ended.set();
        });
    });
    ASSERT_EQ(thread.start(), 0);
    ASSERT_EQ(Kernel::waitForOne(ended, 10000), Kernel::kWaitObject0);
    EXPECT_EQ(results[0], 0);
    EXPECT_EQ(results[1], 0);
    EXPECT_EQ(startsWhileRunning, 2);
    EXPECT_EQ(startsAtEnd, 1);  // one stop for two initialize calls
}

TEST_F(OxCOMInitalizeTest, AThreadUnknownToTheManagerKeepsTheRuntimeStarted) {
    int first = 0;
    int second = 0;
    int startedCount = 0;
    int afterUninitialize = -1;
    std::thread foreign([&] {
        first = OxCOMInitalize::instance()->initialize();
        second = OxCOMInitalize::instance()->initialize();  // the record stayed
        startedCount = Kernel::comInitializeCount();
        OxCOMInitalize::instance()->uninitialize();
        afterUninitialize = Kernel::comInitializeCount();
        OxCOMInitalize::instance()->uninitialize();  // no record left: nothing happens
    });
    foreign.join();
    EXPECT_EQ(first, -2);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(startedCount, 1);
    EXPECT_EQ(afterUninitialize, 0);
}

TEST_F(OxCOMInitalizeTest, ARefusedStartRecordsNothing) {
    int results[2] = {0, 0};
    std::thread foreign([&] {
        Kernel::comInitialize();  // already started elsewhere: the runtime answers "already"
        results[0] = OxCOMInitalize::instance()->initialize();
        results[1] = OxCOMInitalize::instance()->initialize();
        Kernel::comUninitialize();
    });
    foreign.join();
    EXPECT_EQ(results[0], -1);
    EXPECT_EQ(results[1], -1);
}

TEST_F(OxCOMInitalizeTest, TheMainThreadStopsItsRuntimeWhenTheEngineRootEnds) {
    ASSERT_EQ(OxCOMInitalize::instance()->initialize(), 0);
    EXPECT_EQ(Kernel::comInitializeCount(), 1);
    root_.reset();  // ends the main thread, running its end callbacks
    EXPECT_EQ(Kernel::comInitializeCount(), 0);
}

}  // namespace
