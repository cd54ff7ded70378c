#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/thread/OxEvent.h"

namespace {

using namespace Orvex::Thread;

TEST(OxEvent, FlagRemembersTheLastSetOrResetNotTheWaits) {
    OxEvent event;
    EXPECT_FALSE(event.isSet());
    event.set();
    EXPECT_EQ(event.wait(10), kWaitSignalled);
    EXPECT_TRUE(event.isSet());                // the wait consumed the event, not the flag
    EXPECT_EQ(event.wait(10), kWaitTimedOut);  // auto-reset: consumed
    event.reset();
    EXPECT_FALSE(event.isSet());
}

TEST(OxEvent, TimedWaitOnAnUnsignalledEventTimesOutAfterItsLimit) {
    OxEvent event;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(event.wait(10), kWaitTimedOut);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(10));
}

TEST(OxEvent, ZeroMeansNoLimit) {
    OxEvent event;
    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        event.set();
    });
    EXPECT_EQ(event.wait(0), kWaitSignalled);
    setter.join();
}

}  // namespace
