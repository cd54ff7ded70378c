#include "engine/timer/OxSystemClock.h"

namespace Orvex::Timer {
namespace {
// Below this minimum period the finer clock is worth raising the resolution for.
constexpr uint32_t kHighResolutionLimitMs = 10;
}  // namespace

OxSystemClock::OxSystemClock() : caps_(Platform::Kernel::timerDeviceCaps()) {
    if (caps_.periodMin < kHighResolutionLimitMs) {
        Platform::Kernel::beginTimerPeriod(caps_.periodMin);
        highResolution_ = true;
    }
}

OxSystemClock::~OxSystemClock() {
    if (highResolution_) {
        Platform::Kernel::endTimerPeriod(caps_.periodMin);
    }
}

uint32_t OxSystemClock::now() const {
    return highResolution_ ? Platform::Kernel::multimediaTime() : Platform::Kernel::tickCount();
}

}  // namespace Orvex::Timer
