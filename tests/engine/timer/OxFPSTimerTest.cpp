#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include "engine/timer/OxFPSTimer.h"

namespace {

using Orvex::Timer::OxFPSTimer;

// Milliseconds that pass only when the test says so; sleeping moves the clock forward.
struct FakeClock {
    uint32_t now = 0;
    std::vector<uint32_t> sleeps;

    OxFPSTimer makeTimer() {
        return OxFPSTimer([this] { return now; },
                          [this](uint32_t ms) {
                              sleeps.push_back(ms);
                              now += ms;
                          });
    }
};

TEST(OxFPSTimer, StartsAtSixtyFramesPerSecond) {
    FakeClock clock;
    OxFPSTimer timer = clock.makeTimer();
    EXPECT_EQ(timer.getFrameRate(), 60u);
    EXPECT_EQ(timer.getLastSecondPassCount(), 60u);
    EXPECT_EQ(timer.getLastSecondDrawnCount(), 60u);
    EXPECT_FALSE(timer.isLate());
}

TEST(OxFPSTimer, FramePeriodsCarryTheirFractionSoASecondStaysWhole) {
    const struct {
        uint32_t rate;
        std::vector<uint32_t> firstTargets;
        uint32_t sumOverRateFrames;
    } cases[] = {
        {60, {16, 17, 16, 17, 17, 16}, 999},  // 65536000 / 60 rounds down: 999, not 1000
        {30, {33, 33, 33, 34}, 999},
        {100, {10, 10, 10}, 1000},
    };
    for (const auto& c : cases) {
        FakeClock clock;  // at 0 the first frame is early too, so every target is slept
        OxFPSTimer timer = clock.makeTimer();
        ASSERT_TRUE(timer.setFrameRate(c.rate));
        EXPECT_EQ(timer.getLastSecondPassCount(), c.rate);
        for (uint32_t frame = 0; frame < c.rate; ++frame) {
            timer.wait();
        }
        ASSERT_EQ(clock.sleeps.size(), c.rate) << c.rate;
        EXPECT_EQ(std::vector<uint32_t>(clock.sleeps.begin(), clock.sleeps.begin() + c.firstTargets.size()),
                  c.firstTargets)
            << c.rate;
        EXPECT_EQ(std::accumulate(clock.sleeps.begin(), clock.sleeps.end(), 0u), c.sumOverRateFrames) << c.rate;
        EXPECT_EQ(timer.getLastFrameDuration(), clock.sleeps.back());
    }
}

TEST(OxFPSTimer, ARateOfZeroIsRefused) {
    FakeClock clock;
    OxFPSTimer timer = clock.makeTimer();
    ASSERT_TRUE(timer.setFrameRate(100));
    EXPECT_FALSE(timer.setFrameRate(0));
    EXPECT_EQ(timer.getFrameRate(), 100u);
    timer.wait();
    timer.wait();
    EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{10, 10}));
}

// 100 frames per second, so every target is 10 ms. After a 300 ms stall, frames of 5 ms work
// off the backlog 5 ms at a time without sleeping.
TEST(OxFPSTimer, AStallIsWorkedOffBackToBackSkippingDrawsForAtMostAQuarterSecond) {
    FakeClock clock;
    clock.now = 1000;
    OxFPSTimer timer = clock.makeTimer();
    ASSERT_TRUE(timer.setFrameRate(100));
    timer.wait();  // first frame: the schedule starts here, nothing slept
    EXPECT_TRUE(clock.sleeps.empty());
    EXPECT_EQ(timer.getLastSecondPassCount(), 1u);  // that step opened the first second

    clock.now += 300;
    for (uint32_t k = 0; k < 60; ++k) {
        if (k > 0) {
            clock.now += 5;
        }
        timer.wait();
        if (k == 0) {
            EXPECT_EQ(timer.getLastFrameDuration(), 300u);
        }
        // 300 - 5k ms behind: late while two periods behind, but a stretch that began at
        // k = 0 is cut at 250 ms (k = 50) for one frame; a new one runs to k = 56.
        const bool expectLate = k <= 49 || (k >= 51 && k <= 56);
        EXPECT_EQ(timer.isLate(), expectLate) << "frame " << k;
        const std::vector<uint32_t> expectSleeps = k < 59 ? std::vector<uint32_t>{} : std::vector<uint32_t>{5};
        EXPECT_EQ(clock.sleeps, expectSleeps) << "frame " << k;
    }
    EXPECT_EQ(clock.now, 1600u);  // caught up: the schedule was never moved to the present

    // On schedule again up to the step at 2000, which closes the second that began at 1000:
    // 60 frames of the stall and 41 at 1600, 1610, ... 2000; 56 of them were not drawn.
    while (clock.now <= 2000) {
        timer.wait();
        EXPECT_FALSE(timer.isLate());
    }
    EXPECT_EQ(clock.sleeps.size(), 1u + 41u);
    EXPECT_EQ(timer.getLastSecondPassCount(), 101u);
    EXPECT_EQ(timer.getLastSecondDrawnCount(), 45u);
}

TEST(OxFPSTimer, ResetStartsTheScheduleAfreshInsteadOfCatchingUp) {
    FakeClock clock;
    clock.now = 5000;
    OxFPSTimer timer = clock.makeTimer();
    ASSERT_TRUE(timer.setFrameRate(100));
    timer.wait();
    clock.now += 2000;  // a long load
    timer.wait();
    EXPECT_TRUE(timer.isLate());

    timer.reset();
    EXPECT_FALSE(timer.isLate());
    EXPECT_EQ(timer.getLastFrameDuration(), 0u);
    timer.wait();  // starts the schedule at the present
    EXPECT_TRUE(clock.sleeps.empty());
    clock.now += 3;
    timer.wait();  // a full period from the new start
    EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{7}));
    EXPECT_FALSE(timer.isLate());
}

}  // namespace
