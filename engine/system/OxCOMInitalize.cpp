#include "engine/system/OxCOMInitalize.h"

#include <algorithm>

#include "engine/thread/OxThreadManager.h"
#include "platform/kernel/ComStartup.h"
#include "platform/kernel/NativeThread.h"

namespace Orvex::Utility {

OxCOMInitalize::~OxCOMInitalize() = default;

int32_t OxCOMInitalize::initialize() {
    const uint32_t threadId = Platform::Kernel::currentThreadId();
    {
        Thread::OxCriticalLock lock(lock_);
        const auto it = std::find_if(records_.begin(), records_.end(),
                                     [threadId](const Record& r) { return r.threadId == threadId; });
        if (it != records_.end()) {
            ++it->count;
            return 0;
        }
        if (Platform::Kernel::comInitialize() != Platform::Kernel::kComOk) {
            return -1;
        }
        records_.push_back({threadId, 1});
    }
    // The thread manager is asked outside our lock: the main thread's end callbacks run under
    // the manager's registry lock and come back here, so holding ours while taking the
    // registry's could deadlock. Only this thread ever touches its own record, so nothing
    // changes in between.
    // Without a manager no thread is registered; asking for one must not create it here, on
    // whatever thread happens to call, which it would then take for the main thread.
    Thread::OxThreadManager* manager = Thread::OxThreadManager::existingInstance();
    Thread::IOrvexThread* thread = manager != nullptr ? manager->findThread(threadId) : nullptr;
    if (thread == nullptr) {
        return -2;
    }
    // Resolved when the thread ends rather than bound to this object, which may be gone by then.
    thread->addCallback([] {
        if (OxCOMInitalize* registry = System::singleton<OxCOMInitalize>::existingInstance()) {
            registry->uninitialize();
        }
    });
    return 0;
}

void OxCOMInitalize::uninitialize() {
    const uint32_t threadId = Platform::Kernel::currentThreadId();
    Thread::OxCriticalLock lock(lock_);
    const auto it =
        std::find_if(records_.begin(), records_.end(), [threadId](const Record& r) { return r.threadId == threadId; });
    if (it == records_.end()) {
        return;
    }
    records_.erase(it);
    Platform::Kernel::comUninitialize();
}

}  // namespace Orvex::Utility
