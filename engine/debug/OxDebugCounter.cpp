#include "engine/debug/OxDebugCounter.h"

#include "platform/kernel/Clock.h"

namespace Orvex::DebugTool {

uint32_t OxDebugCounter::start() {
    startTime_ = Platform::Kernel::multimediaTime();
    return startTime_;
}

uint32_t OxDebugCounter::getElapsed() const { return Platform::Kernel::multimediaTime() - startTime_; }

void OxDebugCounter::setCounterCount(uint32_t count) { counters_.resize(count, 0); }

bool OxDebugCounter::tick(uint32_t index, uint32_t limit) {
    if (index >= counters_.size()) {
        return false;
    }
    uint32_t& counter = counters_[index];
    ++counter;
    if (counter < limit) {
        return false;
    }
    counter = 0;
    return true;
}

bool OxDebugCounter::isZero(uint32_t index) const { return index < counters_.size() && counters_[index] == 0; }

}  // namespace Orvex::DebugTool
