#include <gtest/gtest.h>

#include <cstdint>

#include "engine/timer/OxSystemClock.h"
#include "engine/timer/OxTimer.h"
#include "platform/kernel/Clock.h"

namespace {

using Orvex::Timer::OxSystemClock;
using Orvex::Timer::OxTimer;

class FakeTimeTimer : public OxTimer {
public:
    uint32_t getSystemTime() override { return now; }
    uint32_t now = 1000;
};

TEST(OxTimer, NeverStartedReadsZero) {
    FakeTimeTimer timer;
    timer.now = 123456;
    EXPECT_EQ(timer.getElapsed(), 0u);
    timer.pause();
    EXPECT_EQ(timer.getElapsed(), 0u);
}

TEST(OxTimer, NestedPausesHoldUntilTheLastResumeWhichTakesOutThePausedSpan) {
    FakeTimeTimer timer;
    timer.restart();
    timer.now += 100;
    EXPECT_EQ(timer.getElapsed(), 100u);

    timer.pause();
    timer.now += 50;
    timer.pause();  // the second pause keeps the first pause's time
    timer.now += 50;
    timer.resume();
    timer.now += 50;
    EXPECT_EQ(timer.getElapsed(), 100u);  // still paused
    timer.resume();                       // paused for 150 ms in all
    EXPECT_EQ(timer.getElapsed(), 100u);
    timer.now += 20;
    EXPECT_EQ(timer.getElapsed(), 120u);

    timer.resume();  // not paused: nothing to undo
    EXPECT_EQ(timer.getElapsed(), 120u);
}

TEST(OxTimer, SetTimeAndRestartClearThePause) {
    FakeTimeTimer timer;
    timer.pause();
    timer.setTime(400);
    timer.now = 1000;
    EXPECT_EQ(timer.getElapsed(), 600u);
    timer.pause();
    timer.restart();
    timer.now += 30;
    EXPECT_EQ(timer.getElapsed(), 30u);
}

TEST(OxSystemClock, RunsInHighResolutionOnTheMultimediaTime) {
    OxSystemClock* clock = OxSystemClock::instance();
    ASSERT_NE(clock, nullptr);
    EXPECT_TRUE(clock->isHighResolution());  // the timer device allows 1 ms periods
    const uint32_t before = Platform::Kernel::multimediaTime();
    const uint32_t now = clock->now();
    const uint32_t after = Platform::Kernel::multimediaTime();
    EXPECT_LE(now - before, after - before);

    OxTimer timer;
    timer.restart();
    EXPECT_LE(timer.getElapsed(), Platform::Kernel::multimediaTime() - before);
    OxSystemClock::release();
}

}  // namespace
