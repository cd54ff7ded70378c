#pragma once
// The process-wide millisecond clock. It raises the OS timer resolution for its lifetime when
// the timer device allows periods under 10 ms, and then reads the finer multimedia time.
#include <cstdint>

#include "engine/system/singleton.h"
#include "platform/kernel/Clock.h"

namespace Orvex::Timer {

class OxSystemClock {
public:
    static OxSystemClock* instance() { return System::singleton<OxSystemClock>::instance(); }
    static void release() { System::singleton<OxSystemClock>::release(); }

    OxSystemClock(const OxSystemClock&) = delete;
    OxSystemClock& operator=(const OxSystemClock&) = delete;
    ~OxSystemClock();

    uint32_t now() const;
    bool isHighResolution() const { return highResolution_; }

private:
    friend class System::singleton<OxSystemClock>;
    OxSystemClock();

    Platform::Kernel::TimerCaps caps_{};
    bool highResolution_ = false;
};

}  // namespace Orvex::Timer
