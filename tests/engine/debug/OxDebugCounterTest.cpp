#include <gtest/gtest.h>

#include <iterator>

#include "engine/debug/OxDebugCounter.h"
#include "platform/kernel/NativeThread.h"

namespace {

using Orvex::DebugTool::OxDebugCounter;

class OxDebugCounterTest : public ::testing::Test {
protected:
    void TearDown() override { OxDebugCounter::release(); }
};

TEST_F(OxDebugCounterTest, IsOneInstanceUntilReleased) {
    OxDebugCounter::instance()->setCounterCount(3);
    EXPECT_FALSE(OxDebugCounter::instance()->tick(2, 5));
    EXPECT_EQ(OxDebugCounter::instance()->getCounterCount(), 3u);
    EXPECT_FALSE(OxDebugCounter::instance()->isZero(2));
    OxDebugCounter::release();
    EXPECT_EQ(OxDebugCounter::instance()->getCounterCount(), 0u);  // a fresh one
}

TEST_F(OxDebugCounterTest, TickIsTrueOnceEveryLimitTicks) {
    OxDebugCounter* counter = OxDebugCounter::instance();
    counter->setCounterCount(2);
    EXPECT_TRUE(counter->isZero(0));
    const bool expected[] = {false, false, true, false, false, true};
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(counter->tick(0, 3), expected[i]) << "tick " << i;
        EXPECT_EQ(counter->isZero(0), expected[i]) << "tick " << i;
    }
    EXPECT_TRUE(counter->isZero(1));  // counters are independent
    EXPECT_TRUE(counter->tick(1, 1));
    EXPECT_TRUE(counter->tick(1, 0));
}

TEST_F(OxDebugCounterTest, MissingCountersAreRefusedAndUntouched) {
    OxDebugCounter* counter = OxDebugCounter::instance();
    EXPECT_FALSE(counter->tick(0, 1));
    EXPECT_FALSE(counter->isZero(0));
    counter->setCounterCount(1);
    EXPECT_FALSE(counter->tick(1, 1));
    EXPECT_FALSE(counter->tick(0xFFFFFFFFu, 1));
    EXPECT_EQ(counter->getCounterCount(), 1u);
    EXPECT_TRUE(counter->isZero(0));
}

TEST_F(OxDebugCounterTest, ElapsedCountsFromStart) {
    OxDebugCounter* counter = OxDebugCounter::instance();
    counter->start();
    Platform::Kernel::sleepMs(20);
    EXPECT_GE(counter->getElapsed(), 20u);  // lower bound only: a loaded machine may be slow
}

}  // namespace
