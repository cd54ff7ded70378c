#include "engine/thread/OxWaitSet.h"

#include <algorithm>

#include "engine/system/OxException.h"
#include "platform/kernel/NativeThread.h"

namespace Orvex::Thread {

void OxWaitSet::requireMonitor() const {
    if (!monitor_.isOwner()) {
        throw Exception::OxIllegalMonitorStateException(Exception::kExceptionBaseMessage);
    }
}

uint32_t OxWaitSet::wait(uint32_t ms) {
    requireMonitor();
    auto state = std::make_shared<CWaitState>();
    waiters_.push_back(state);
    state->threadId = Platform::Kernel::currentThreadId();
    monitor_.leave();
    const uint32_t result = state->event.wait(ms);
    monitor_.enter();
    waiters_.remove(state);
    return result;
}

void OxWaitSet::notify(uint32_t threadId) {
    requireMonitor();
    if (waiters_.empty()) {
        return;
    }
    if (threadId == 0xFFFFFFFFu) {
        waiters_.front()->event.set();
        return;
    }
    const auto it = std::find_if(waiters_.begin(), waiters_.end(),
                                 [threadId](const auto& state) { return state->threadId == threadId; });
    if (it != waiters_.end()) {
        (*it)->event.set();
    }
}

void OxWaitSet::notifyAll() {
    requireMonitor();
    for (const auto& state : waiters_) {
        state->event.set();
    }
}

}  // namespace Orvex::Thread
