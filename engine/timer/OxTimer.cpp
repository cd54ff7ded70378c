#include "engine/timer/OxTimer.h"

#include "engine/timer/OxSystemClock.h"

namespace Orvex::Timer {

void OxTimer::restart() {
    startTime_ = getSystemTime();
    pauseCount_ = 0;
}

uint32_t OxTimer::getElapsed() {
    if (startTime_ == kNeverStarted) {
        return 0;
    }
    if (pauseCount_ > 0) {
        return pauseTime_ - startTime_;
    }
    return getSystemTime() - startTime_;
}

void OxTimer::setTime(uint32_t startTime) {
    startTime_ = startTime;
    pauseCount_ = 0;
}

void OxTimer::pause() {
    if (++pauseCount_ == 1) {
        pauseTime_ = getSystemTime();
    }
}

void OxTimer::resume() {
    if (pauseCount_ < 1) {
        return;
    }
    if (--pauseCount_ == 0) {
        startTime_ += getSystemTime() - pauseTime_;
    }
}

uint32_t OxTimer::getSystemTime() { return OxSystemClock::instance()->now(); }

}  // namespace Orvex::Timer
