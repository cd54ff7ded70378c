#pragma once
// Auto-reset event with a remembered signalled flag: the flag records the last set or reset,
// and a wait that consumes the event leaves it as it is.
#include <atomic>
#include <cstdint>

#include "platform/kernel/Waitable.h"

namespace Orvex::Thread {

inline constexpr uint32_t kWaitSignalled = 0;
inline constexpr uint32_t kWaitTimedOut = 1;
inline constexpr uint32_t kWaitFailed = 0x80000008u;

class OxEvent {
public:
    OxEvent() = default;
    OxEvent(const OxEvent&) = delete;
    OxEvent& operator=(const OxEvent&) = delete;
    virtual ~OxEvent() = default;

    void set();
    void reset();
    // 0 ms waits without limit. Returns kWaitSignalled, kWaitTimedOut or kWaitFailed.
    uint32_t wait(uint32_t ms);
    Platform::Kernel::KernelEvent* getHandle() { return &handle_; }
    bool isSet() const { return signalled_.load(); }

private:
    Platform::Kernel::KernelEvent handle_{/*manualReset=*/false};
    std::atomic<bool> signalled_{false};
};

}  // namespace Orvex::Thread
