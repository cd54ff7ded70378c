#include "platform/kernel/Waitable.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/kernel/NeverDestroyed.h"

namespace Platform::Kernel {
namespace {

// One lock and one condition for every kernel object keeps wait-any simple and free of
// lock-order problems; waits are rare enough (thread hand-offs, not per-pixel work) for this.
// Both outlive every thread: a thread may still wait or signal while the process ends.
std::mutex& waitLock() {
    static NeverDestroyed<std::mutex> lock;
    return lock.get();
}

std::condition_variable& waitCondition() {
    static NeverDestroyed<std::condition_variable> condition;
    return condition.get();
}

}  // namespace

Waitable::Waitable(bool manualReset, bool initiallySignalled)
    : manualReset_(manualReset), signalled_(initiallySignalled) {}

bool Waitable::isSignalled() const {
    std::lock_guard guard(waitLock());
    return signalled_;
}

void Waitable::signal() {
    {
        std::lock_guard guard(waitLock());
        signalled_ = true;
    }
    waitCondition().notify_all();
}

void Waitable::clear() {
    std::lock_guard guard(waitLock());
    signalled_ = false;
}

uint32_t waitForAny(std::span<Waitable* const> objects, uint32_t timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock guard(waitLock());
    // Takes the lowest-index signalled object, consuming it when it resets automatically.
    auto takeSignalled = [&]() -> int {
        for (size_t i = 0; i < objects.size(); ++i) {
            Waitable* object = objects[i];
            if (object->signalled_) {
                if (!object->manualReset_) {
                    object->signalled_ = false;
                }
                return static_cast<int>(i);
            }
        }
        return -1;
    };
    for (;;) {
        if (const int index = takeSignalled(); index >= 0) {
            return kWaitObject0 + static_cast<uint32_t>(index);
        }
        if (timeoutMs == kInfinite) {
            waitCondition().wait(guard);
        } else if (waitCondition().wait_until(guard, deadline) == std::cv_status::timeout) {
            // A set that raced the time-out still counts.
            const int index = takeSignalled();
            return index >= 0 ? kWaitObject0 + static_cast<uint32_t>(index) : kWaitTimeout;
        }
    }
}

uint32_t waitForAny(std::initializer_list<Waitable*> objects, uint32_t timeoutMs) {
    return waitForAny(std::span<Waitable* const>(objects.begin(), objects.size()), timeoutMs);
}

uint32_t waitForOne(Waitable& object, uint32_t timeoutMs) {
    Waitable* objects[] = {&object};
    return waitForAny(objects, timeoutMs);
}

}  // namespace Platform::Kernel
