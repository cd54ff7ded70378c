#pragma once
#include <cstdint>

namespace Platform::Kernel {

// Milliseconds of a monotonic clock, truncated to 32 bits: it wraps, so callers take
// unsigned differences. Both clocks of the designed platform read the same source here.
uint32_t tickCount();
uint32_t multimediaTime();

struct TimerCaps {
    uint32_t periodMin;
    uint32_t periodMax;
};
// The monotonic clock always has millisecond resolution; periods are accepted and ignored.
TimerCaps timerDeviceCaps();
uint32_t beginTimerPeriod(uint32_t periodMs);
uint32_t endTimerPeriod(uint32_t periodMs);

}  // namespace Platform::Kernel
