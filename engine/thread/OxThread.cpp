#include "engine/thread/OxThread.h"

#include <algorithm>
#include <vector>

#include "engine/system/OxException.h"
#include "engine/thread/OxThreadManager.h"

namespace Orvex::Thread {
namespace {

// Callback ids are unique across all thread objects, so the counter is one atomic for the
// process rather than something guarded by a particular thread's monitor.
std::atomic<uint32_t> callbackIdCounter{0};

}  // namespace

OxThread::OxThread(const OxThreadFunction& function) { setFunction(function); }

OxThread::~OxThread() {
    // During teardown the manager may already be gone; it must not be created again here.
    if (OxThreadManager* manager = OxThreadManager::existingInstance()) {
        manager->stopThread(this);
    } else {
        requestStop();
    }
}

void OxThread::throwIfInterrupted() {
    if (interrupted()) {
        throw Exception::OxInterruptedException(Exception::kExceptionBaseMessage);
    }
}

bool OxThread::waitForEvents(std::initializer_list<OxEvent*> events, uint32_t kernelMs) {
    Platform::Kernel::Waitable* handles[3] = {};
    size_t count = 0;
    for (OxEvent* event : events) {
        handles[count++] = event->getHandle();
    }
    const uint32_t result =
        Platform::Kernel::waitForAny(std::span<Platform::Kernel::Waitable* const>(handles, count), kernelMs);
    return result != Platform::Kernel::kWaitTimeout;
}

bool OxThread::keepRunning() {
    throwIfInterrupted();
    if (isSuspended()) {
        // A time-out only ends this wait: the thread runs one more pass and parks again.
        const uint32_t limit = suspendTimeout_ == 0 ? Platform::Kernel::kInfinite : suspendTimeout_;
        parkedEvent_.set();
        waitForEvents({&stopEvent_, &interruptEvent_, &resumeEvent_}, limit);
        parkedEvent_.reset();
    }
    {
        OxCriticalLock lock(monitor_);
        resumeEvent_.reset();
    }
    throwIfInterrupted();
    return isRunning();
}

void OxThread::requestStop() { stopEvent_.set(); }

bool OxThread::isRunning() { return !stopEvent_.isSet(); }

bool OxThread::waitForStop(uint32_t ms) {
    throwIfInterrupted();
    const bool signalled = waitForEvents({&stopEvent_, &interruptEvent_}, ms);
    throwIfInterrupted();
    return signalled;
}

bool OxThread::sleep(uint32_t ms) {
    throwIfInterrupted();
    const bool signalled = waitForEvents({&stopEvent_, &interruptEvent_}, ms == 0 ? Platform::Kernel::kInfinite : ms);
    throwIfInterrupted();
    return !signalled;
}

void OxThread::interrupt() {
    OxCriticalLock lock(monitor_);
    interruptEvent_.set();
}

bool OxThread::isInterrupted() { return interruptEvent_.isSet(); }

bool OxThread::interrupted() {
    OxCriticalLock lock(monitor_);
    const bool flag = interruptEvent_.isSet();
    if (flag) {
        interruptEvent_.reset();
    }
    return flag;
}

uint32_t OxThread::wait(uint32_t ms) {
    throwIfInterrupted();
    const uint32_t result = waitSet_.wait(ms);
    throwIfInterrupted();
    return result;
}

void OxThread::notify(uint32_t threadId) { waitSet_.notify(threadId); }

void OxThread::notifyAll() { waitSet_.notifyAll(); }

bool OxThread::suspend(uint32_t ms) {
    OxCriticalLock lock(monitor_);
    if (suspendCount_ > 0) {
        ++suspendCount_;
        return true;
    }
    suspendCount_ = 1;
    suspendTimeout_ = ms;
    resumeEvent_.reset();
    return false;
}

void OxThread::resume() {
    OxCriticalLock lock(monitor_);
    if (suspendCount_ > 0 && --suspendCount_ == 0) {
        resumeEvent_.set();
    }
}

bool OxThread::isSuspended() { return suspendCount_ > 0; }

void OxThread::clearFunction() {
    OxCriticalLock lock(monitor_);
    function_ = nullptr;
}

void OxThread::setFunction(const OxThreadFunction& function) {
    OxCriticalLock lock(monitor_);
    function_ = function;
}

bool OxThread::hasFunction() {
    OxCriticalLock lock(monitor_);
    return static_cast<bool>(function_);
}

void OxThread::clearCallbacks() {
    OxCriticalLock lock(monitor_);
    callbacks_.clear();
}

uint32_t OxThread::addCallback(const OxThreadFunction& function) {
    OxCriticalLock lock(monitor_);
    const uint32_t id = callbackIdCounter.fetch_add(1) + 1;
    callbacks_.push_back({function, id});
    return id;
}

void OxThread::removeCallback(uint32_t id) {
    OxCriticalLock lock(monitor_);
    const auto it = std::find_if(callbacks_.begin(), callbacks_.end(), [id](const Callback& c) { return c.id == id; });
    if (it != callbacks_.end()) {
        callbacks_.erase(it);
    }
}

OxThreadHandle OxThread::getThreadData() {
    std::lock_guard guard(handleLock_);
    return threadData_;
}

uint32_t OxThread::getThreadId() { return threadId_; }

void OxThread::setThreadData(OxThreadHandle handle) {
    std::lock_guard guard(handleLock_);
    threadData_ = std::move(handle);
}

void OxThread::setThreadId(uint32_t id) { threadId_ = id; }

void OxThread::invokeFunction() {
    OxThreadFunction body;
    {
        OxCriticalLock lock(monitor_);
        body = function_;
    }
    body();  // an empty body raises std::bad_function_call
}

void OxThread::invokeCallbacks() {
    OxCriticalLock lock(monitor_);
    const std::vector<Callback> copies(callbacks_.begin(), callbacks_.end());
    for (const Callback& callback : copies) {
        callback.function();
    }
}

bool OxThread::waitUntilParked(uint32_t ms) {
    const OxThreadHandle handle = getThreadData();
    if (!handle || handle->isPseudo()) {
        return false;
    }
    // The thread's end also ends the wait: a thread that stops instead of parking never parks.
    Platform::Kernel::Waitable* objects[] = {&parkedEvent_, handle.get()};
    return Platform::Kernel::waitForAny(objects, ms) == Platform::Kernel::kWaitObject0;
}

void OxThread::setLowestPriority() {
    const OxThreadHandle handle = getThreadData();
    if (handle && !handle->isPseudo()) {
        Platform::Kernel::setThreadPriorityLowest(*handle);
    }
}

int OxThread::start() { return OxThreadManager::instance()->startRegistered(this); }

int OxThread::stop() { return OxThreadManager::instance()->stopThread(this); }

}  // namespace Orvex::Thread
