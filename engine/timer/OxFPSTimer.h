#pragma once
// Frame pacer: called once per frame, it sleeps away what is left of the frame's period and
// tells the frame loop when it has fallen so far behind that drawing should be skipped.
//
// Periods are kept in 16.16 fixed-point milliseconds; the fraction carries from frame to
// frame, so a 60 Hz schedule alternates 16 and 17 ms frames and stays close to exact.
// The schedule advances by exactly one period per frame and is never moved to the present:
// a stall is worked off by frames that run back to back.
#include <array>
#include <cstdint>
#include <functional>

namespace Orvex::Timer {

class OxFPSTimer {
public:
    using ClockFunction = std::function<uint32_t()>;
    using SleepFunction = std::function<void(uint32_t)>;

    // Paces on the system clock and sleeps the calling thread.
    OxFPSTimer();
    // Paces on the given millisecond clock and sleep (tests drive it with a fake clock).
    OxFPSTimer(ClockFunction clock, SleepFunction sleep);
    virtual ~OxFPSTimer() = default;

    // False for 0, which has no period; the timer is left as it was.
    bool setFrameRate(uint32_t rate);
    // Starts the schedule afresh at the next wait, after a long stall (load, device reset).
    void reset();
    // The per-frame step, after the frame's work.
    void wait();

    uint32_t getFrameRate() const { return rate_; }
    uint32_t getLastFrameDuration() const { return lastDuration_; }
    bool isLate() const { return late_; }
    uint32_t getLastSecondPassCount() const { return lastSecondPasses_; }
    uint32_t getLastSecondDrawnCount() const { return lastSecondDrawn_; }

private:
    static constexpr uint32_t kOneMsFixed = 65536;
    static constexpr uint32_t kLateStretchLimitMs = 250;
    static constexpr uint32_t kDefaultRate = 60;

    void clearSchedule();
    void countPass(uint32_t now);

    ClockFunction clock_;
    SleepFunction sleep_;

    uint32_t rate_ = kDefaultRate;
    uint32_t period_ = 65536000u / kDefaultRate;
    uint32_t accumulator_ = 0;
    uint32_t lastTime_ = 0;
    uint32_t scheduleBase_ = 0;  // 0 = not started
    uint32_t lastDuration_ = 0;
    std::array<uint32_t, 16> durations_{};
    uint32_t durationIndex_ = 0;
    uint32_t passes_ = 0;
    uint32_t lastSecondPasses_ = kDefaultRate;
    uint32_t drawn_ = 0;
    uint32_t lastSecondDrawn_ = kDefaultRate;
    bool late_ = false;
    uint32_t lateSince_ = 0;
    uint32_t nextSecond_ = 0;  // 0 = not started
    bool secondElapsed_ = false;
};

}  // namespace Orvex::Timer
