#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <latch>
#include <thread>

#include "engine/system/OxEngineState.h"
#include "engine/system/OxOrvexManager.h"
#include "engine/system/singleton.h"
#include "engine/thread/OxThreadManager.h"

namespace {

using Orvex::System::singleton;

std::atomic<int> constructed{0};
std::atomic<int> destroyed{0};

class SlowService {
public:
    ~SlowService() { ++destroyed; }

private:
    friend class singleton<SlowService>;
    // Slow enough that a second caller arrives while the first is still constructing.
    SlowService() {
        ++constructed;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
};

TEST(Singleton, TwoThreadsCreateOneInstanceWhileTheEngineRootLives) {
    constructed = 0;
    destroyed = 0;
    {
        Orvex::OxOrvexManager root;
        ASSERT_TRUE(Orvex::System::isEngineAlive());
        std::latch start(2);
        SlowService* seen[2] = {nullptr, nullptr};
        auto caller = [&](int slot) {
            start.arrive_and_wait();
            seen[slot] = singleton<SlowService>::instance();
        };
        std::thread first(caller, 0);
        std::thread second(caller, 1);
        first.join();
        second.join();
        EXPECT_EQ(constructed, 1);
        ASSERT_NE(seen[0], nullptr);
        EXPECT_EQ(seen[0], seen[1]);
        EXPECT_EQ(singleton<SlowService>::existingInstance(), seen[0]);
        singleton<SlowService>::release();
    }
    Orvex::Thread::OxThreadManager::release();
    EXPECT_EQ(destroyed, 1);
}

TEST(Singleton, ReleaseDestroysAndTheNextUseCreatesAgain) {
    constructed = 0;
    destroyed = 0;
    EXPECT_EQ(singleton<SlowService>::existingInstance(), nullptr);  // never creates
    EXPECT_EQ(constructed, 0);
    SlowService* first = singleton<SlowService>::instance();
    EXPECT_EQ(singleton<SlowService>::instance(), first);
    singleton<SlowService>::release();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(singleton<SlowService>::existingInstance(), nullptr);
    singleton<SlowService>::release();  // nothing left to release
    EXPECT_EQ(destroyed, 1);
    EXPECT_NE(singleton<SlowService>::instance(), nullptr);
    EXPECT_EQ(constructed, 2);
    singleton<SlowService>::release();
}

}  // namespace
