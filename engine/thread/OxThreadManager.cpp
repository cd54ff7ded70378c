#include "engine/thread/OxThreadManager.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <optional>

#include "engine/system/OxWideFormat.h"
#include "platform/kernel/DebugOutput.h"

namespace Orvex::Thread {
namespace {

void debugLine(std::u16string_view format, const OxThreadHandle& handle) {
    Platform::Kernel::debugOutput(System::formatWide(format, handle ? handle->value() : 0));
}

void debugLine(std::u16string_view text) { Platform::Kernel::debugOutput(text); }

constexpr char kRecordsLeftMessage[] =
    "WinMain()またはmain()から抜ける前にendMainThread()を呼び出さなければなりません。";

// Writes why a shutdown wait gave up; the caller decides what the failure means.
void reportWaitLimit(const char* what, uint32_t limitMs) {
    std::fprintf(stderr, "Engine shutdown: %s did not end within %u ms.\n", what, static_cast<unsigned>(limitMs));
    std::fflush(stderr);
}

// An exception that leaves a thread body has nowhere to go: report it and end the process.
[[noreturn]] void endAbnormally(const std::string& what) {
    std::fprintf(stderr, "Unhandled exception in an engine thread: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

template <typename Body>
void guarded(Body body) {
    try {
        body();
    } catch (const Exception::OxException& e) {
        endAbnormally(e.getMessage());
    } catch (const std::exception& e) {
        endAbnormally(e.what());
    } catch (...) {
        endAbnormally("(unknown exception)");
    }
}

}  // namespace

OxThreadManager::OxThreadManager() : mainThread_(std::make_shared<OxThread>()) {
    mainThread_->setThreadData(Platform::Kernel::ThreadHandle::currentThreadPseudo());
    mainThread_->setThreadId(Platform::Kernel::currentThreadId());
    debugLine(u"MainThread h=%d\n", mainThread_->getThreadData());
    auto record = std::make_shared<OxThreadData>();
    record->sharedThread = mainThread_;
    registry_.push_back(record);
}

OxThreadManager::~OxThreadManager() {
    if (!registry_.empty()) {
        std::fprintf(stderr, "%s\n", kRecordsLeftMessage);
        std::fflush(stderr);
    }
}

void OxThreadManager::release() {
    OxThreadManager* manager = existingInstance();
    const bool recordsLeft = manager != nullptr && manager->getRecordCount() != 0;
    System::singleton<OxThreadManager>::release();
    if (recordsLeft) {
        throw Exception::OxRuntimeException(kRecordsLeftMessage);
    }
}

int OxThreadManager::runApplicationThread(const std::shared_ptr<IOrvexThread>& thread) {
    OxCriticalLock lock(waitSet_.getMonitor());
    auto record = std::make_shared<OxThreadData>();
    record->sharedThread = thread;
    return startRecord(record, thread.get());
}

int OxThreadManager::startRegistered(IOrvexThread* thread) {
    OxCriticalLock lock(waitSet_.getMonitor());
    auto record = std::make_shared<OxThreadData>();
    record->plainThread = thread;
    return startRecord(record, thread);
}

int OxThreadManager::startRecord(const Record& record, IOrvexThread* thread) {
    if (thread->getThreadData()) {
        return 1;  // already running
    }
    thread->getStopEvent().reset();
    return startThread(record);
}

int OxThreadManager::startThread(const Record& record) {
    OxCriticalLock lock(waitSet_.getMonitor());
    startEvent_.reset();
    // The new thread gets the record without owning it: the registry entry is its only owner,
    // so removing the entry at the thread's end releases a thread object held by it there and then.
    OxThreadHandle handle = Platform::Kernel::startThread([raw = record.get()] { threadEntry(raw); });
    if (!handle) {
        return -1;
    }
    IOrvexThread* thread = record->thread();
    thread->setThreadData(handle);
    thread->setThreadId(handle->id());
    addThreadRecord(record);
    record->recorded.set();
    // The registry lock stays held: the new thread signals without taking it.
    return static_cast<int>(startEvent_.wait(0));
}

void OxThreadManager::threadEntry(OxThreadData* record) {
    OxThreadManager* manager = instance();
    manager->startEvent_.set();
    Platform::Kernel::waitForOne(record->recorded, Platform::Kernel::kInfinite);
    IOrvexThread* thread = record->thread();
    guarded([thread] {
        if (thread->hasFunction()) {
            thread->invokeFunction();
        } else {
            thread->run();
        }
    });
    thread->requestStop();
    record->running = false;
    guarded([thread] { thread->invokeCallbacks(); });
    manager->removeThreadRecord(record);
}

void OxThreadManager::addThreadRecord(const Record& record) {
    OxCriticalLock lock(waitSet_.getMonitor());
    registry_.push_back(record);
    waitSet_.notifyAll();
}

void OxThreadManager::removeThreadRecord(OxThreadData* record) {
    OxCriticalLock lock(waitSet_.getMonitor());
    const auto it =
        std::find_if(registry_.begin(), registry_.end(), [record](const Record& r) { return r.get() == record; });
    if (it != registry_.end()) {
        (*it)->thread()->setThreadData(nullptr);
        (*it)->thread()->setThreadId(0);
        registry_.erase(it);
    }
    waitSet_.notifyAll();
}

int OxThreadManager::stopThread(IOrvexThread* thread) {
    if (thread == nullptr) {
        return 0;
    }
    OxCriticalLock lock(waitSet_.getMonitor());
    thread->requestStop();
    OxThreadHandle handle = thread->getThreadData();
    if (!handle) {
        return 0;
    }
    if (thread->getThreadId() == Platform::Kernel::currentThreadId()) {
        return -1;
    }
    thread->setThreadData(nullptr);
    thread->setThreadId(0);

    // Release the registry completely so the ending thread can remove its record.
    OxCriticalSection& registryLock = waitSet_.getMonitor();
    const uint32_t depth = registryLock.getEnterCount();
    for (uint32_t i = 0; i < depth; ++i) {
        registryLock.leave();
    }
    lock.setHoldCount(0);
    debugLine(u"stopThread() WaitForSingleObject() h=%d\n", handle);
    // A pseudo handle names a thread without being one: waiting on it would never end.
    const uint32_t result =
        handle->isPseudo() ? Platform::Kernel::kWaitTimeout : Platform::Kernel::waitForOne(*handle, shutdownLimitMs_);
    if (!handle->isPseudo() && result != Platform::Kernel::kWaitObject0) {
        reportWaitLimit("a stopped thread", shutdownLimitMs_);
    }
    debugLine(u"stopThread() wait end. h=%d\n", handle);
    for (uint32_t i = 0; i < depth; ++i) {
        registryLock.enter();
    }
    lock.setHoldCount(static_cast<int32_t>(depth));
    debugLine(u"stopThread() enter ok. h=%d\n", handle);

    if (result != Platform::Kernel::kWaitObject0) {
        debugLine(u"stopThread() WAIT_OBJECT_0. h=%d\n", handle);
        return 1;
    }
    handle.reset();  // closes the handle: the thread has ended, so this joins it
    return 0;
}

void OxThreadManager::requestStopAll() {
    OxCriticalLock lock(waitSet_.getMonitor());
    stopRequested_ = true;
    for (const Record& record : registry_) {
        record->thread()->requestStop();
    }
}

bool OxThreadManager::isMainThreadCaller() {
    return mainThread_ && Platform::Kernel::currentThreadId() == mainThread_->getThreadId();
}

size_t OxThreadManager::othersDoneCount() {
    // The main thread waits until only its own record is left; any other thread also leaves
    // its own record standing.
    return isMainThreadCaller() ? 1 : 2;
}

bool OxThreadManager::stopAllThread() {
    if (stopping_) {
        return false;
    }
    OxCriticalLock lock(waitSet_.getMonitor());
    if (stopping_.exchange(true)) {
        return false;
    }
    const bool fromMain = isMainThreadCaller();
    debugLine(u"OxThreadManager::stopAllThread() try while.\n");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(shutdownLimitMs_);
    for (;;) {
        requestStopAll();
        debugLine(fromMain ? u"once main thread.\n" : u"two thread.\n");
        if (registry_.size() == (fromMain ? 1u : 2u)) {
            return true;
        }
        debugLine(u"wait.\n");
        if (!waitUntil(deadline)) {
            reportWaitLimit("the engine threads asked to stop", shutdownLimitMs_);
            return false;
        }
    }
}

bool OxThreadManager::waitForOtherThreads() {
    OxCriticalLock lock(waitSet_.getMonitor());
    // The program's whole run passes in this wait: only once a stop is under way does the
    // shutdown limit start to count.
    std::optional<std::chrono::steady_clock::time_point> deadline;
    while (registry_.size() != othersDoneCount()) {
        if (!deadline && (stopping_ || stopRequested_)) {
            deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(shutdownLimitMs_);
        }
        if (!deadline) {
            waitSet_.wait(kRunningPollMs);
        } else if (!waitUntil(*deadline)) {
            reportWaitLimit("the other engine threads", shutdownLimitMs_);
            return false;
        }
    }
    return true;
}

bool OxThreadManager::waitUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
        return false;
    }
    waitSet_.wait(static_cast<uint32_t>(left.count()));
    return true;
}

void OxThreadManager::endMainThread() {
    // Stop the others before taking the registry lock: waiting inside a second level of the
    // lock would keep it held, and the ending threads could never remove their records.
    stopAllThread();
    OxCriticalLock lock(waitSet_.getMonitor());
    if (mainThread_) {
        mainThread_->invokeCallbacks();
        mainThread_->clearCallbacks();
    }
    registry_.clear();
    waitSet_.notifyAll();
    std::shared_ptr<OxThread> mainThread = std::move(mainThread_);
    mainThread_.reset();
    // The main-thread object is dropped last; its destructor asks this manager to stop it,
    // which finds the calling thread and returns at once.
    mainThread.reset();
}

IOrvexThread* OxThreadManager::findThread(uint32_t id) {
    OxCriticalLock lock(waitSet_.getMonitor());
    for (const Record& record : registry_) {
        if (record->thread()->getThreadId() == id) {
            return record->thread();
        }
    }
    return nullptr;
}

IOrvexThread* OxThreadManager::currentThread() { return findThread(Platform::Kernel::currentThreadId()); }

size_t OxThreadManager::getRecordCount() {
    OxCriticalLock lock(waitSet_.getMonitor());
    return registry_.size();
}

}  // namespace Orvex::Thread
