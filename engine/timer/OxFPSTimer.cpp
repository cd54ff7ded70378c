#include "engine/timer/OxFPSTimer.h"

#include <utility>

#include "engine/timer/OxSystemClock.h"
#include "platform/kernel/NativeThread.h"

namespace Orvex::Timer {

OxFPSTimer::OxFPSTimer()
    : OxFPSTimer([] { return OxSystemClock::instance()->now(); }, [](uint32_t ms) { Platform::Kernel::sleepMs(ms); }) {}

OxFPSTimer::OxFPSTimer(ClockFunction clock, SleepFunction sleep) : clock_(std::move(clock)), sleep_(std::move(sleep)) {}

void OxFPSTimer::clearSchedule() {
    accumulator_ = 0;
    lastTime_ = 0;
    scheduleBase_ = 0;
    lastDuration_ = 0;
    durations_.fill(0);
    durationIndex_ = 0;
    late_ = false;
    lateSince_ = 0;
}

bool OxFPSTimer::setFrameRate(uint32_t rate) {
    if (rate == 0) {
        return false;
    }
    rate_ = rate;
    period_ = 65536000u / rate;
    clearSchedule();
    passes_ = 0;
    drawn_ = 0;
    nextSecond_ = 0;
    secondElapsed_ = false;
    lastSecondPasses_ = rate;
    lastSecondDrawn_ = rate;
    return true;
}

void OxFPSTimer::reset() {
    clearSchedule();
    lastSecondPasses_ = 0;
    drawn_ = 0;
}

void OxFPSTimer::countPass(uint32_t now) {
    // Compared as a signed difference so the millisecond counter may wrap.
    if (nextSecond_ == 0 || static_cast<int32_t>(now - nextSecond_) >= 0) {
        nextSecond_ = (nextSecond_ != 0 ? nextSecond_ : now) + 1000;
        secondElapsed_ = true;
    } else {
        secondElapsed_ = false;
    }
    ++passes_;
    ++drawn_;
    // The step that crosses the boundary counts toward the second that ends.
    if (secondElapsed_) {
        lastSecondPasses_ = std::exchange(passes_, 0);
        lastSecondDrawn_ = std::exchange(drawn_, 0);
    }
    durations_[durationIndex_] = now - lastTime_;
    durationIndex_ = (durationIndex_ + 1) % durations_.size();
}

void OxFPSTimer::wait() {
    const uint32_t now = clock_();
    countPass(now);

    accumulator_ = (accumulator_ % kOneMsFixed) + period_;
    const uint32_t target = accumulator_ / kOneMsFixed;
    const uint32_t elapsed = now - scheduleBase_;

    if (target > elapsed) {
        late_ = false;
        sleep_(target - elapsed);
        lastDuration_ = clock_() - lastTime_;
        scheduleBase_ += target;
        lastTime_ = clock_();
        return;
    }
    if (scheduleBase_ == 0) {
        scheduleBase_ = now;
        lastTime_ = now;
        return;
    }

    if (elapsed >= 2 * target) {
        if (!late_) {
            lateSince_ = now;
        }
        late_ = true;
    } else {
        late_ = false;
    }
    // Never skip drawing for a whole stretch of a quarter second: one frame gets through.
    if (late_ && now - lateSince_ >= kLateStretchLimitMs) {
        late_ = false;
    }
    if (late_) {
        --drawn_;  // unsigned: may wrap for one frame just after a second boundary
    }
    lastDuration_ = clock_() - lastTime_;
    scheduleBase_ += target;
    lastTime_ = now;
}

}  // namespace Orvex::Timer
