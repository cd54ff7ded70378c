#include "platform/kernel/Clock.h"

#include <ctime>

namespace Platform::Kernel {

uint32_t tickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

uint32_t multimediaTime() { return tickCount(); }

TimerCaps timerDeviceCaps() { return {1, 1000000}; }

uint32_t beginTimerPeriod(uint32_t) { return 0; }

uint32_t endTimerPeriod(uint32_t) { return 0; }

}  // namespace Platform::Kernel
