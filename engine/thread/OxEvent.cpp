#include "engine/thread/OxEvent.h"

namespace Orvex::Thread {

void OxEvent::set() {
    signalled_ = true;
    handle_.set();
}

void OxEvent::reset() {
    signalled_ = false;
    handle_.reset();
}

uint32_t OxEvent::wait(uint32_t ms) {
    const uint32_t result = Platform::Kernel::waitForOne(handle_, ms == 0 ? Platform::Kernel::kInfinite : ms);
    if (result == Platform::Kernel::kWaitObject0) {
        return kWaitSignalled;
    }
    return result == Platform::Kernel::kWaitTimeout ? kWaitTimedOut : kWaitFailed;
}

}  // namespace Orvex::Thread
