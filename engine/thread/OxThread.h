#pragma once
// The engine's thread object: stop, interrupt and resume events, a monitor with its wait set,
// an optional bound body and end callbacks. Started and stopped through OxThreadManager.
#include <atomic>
#include <list>
#include <mutex>

#include "engine/thread/IOrvexThread.h"
#include "engine/thread/OxCriticalSection.h"
#include "engine/thread/OxEvent.h"
#include "engine/thread/OxWaitSet.h"

namespace Orvex::Thread {

class OxThread : public IOrvexThread {
public:
    OxThread() = default;
    explicit OxThread(const OxThreadFunction& function);
    OxThread(const OxThread&) = delete;
    OxThread& operator=(const OxThread&) = delete;
    ~OxThread() override;

    void run() override {}
    bool keepRunning() override;
    void requestStop() override;
    bool isRunning() override;
    bool waitForStop(uint32_t ms) override;
    bool sleep(uint32_t ms) override;
    void interrupt() override;
    bool isInterrupted() override;
    bool interrupted() override;
    uint32_t wait(uint32_t ms) override;
    void notify(uint32_t threadId) override;
    void notifyAll() override;
    bool suspend(uint32_t ms) override;
    void resume() override;
    bool isSuspended() override;
    void clearFunction() override;
    void setFunction(const OxThreadFunction& function) override;
    bool hasFunction() override;
    void clearCallbacks() override;
    uint32_t addCallback(const OxThreadFunction& function) override;
    void removeCallback(uint32_t id) override;
    OxThreadHandle getThreadData() override;
    uint32_t getThreadId() override;
    OxEvent& getStopEvent() override { return stopEvent_; }
    OxCriticalSection& getMonitor() override { return monitor_; }
    OxWaitSet& getWaitSet() override { return waitSet_; }
    void setThreadData(OxThreadHandle handle) override;
    void setThreadId(uint32_t id) override;
    void invokeFunction() override;
    void invokeCallbacks() override;
    int start() override;
    int stop() override;

    // Waits up to `ms` until the thread has parked itself in keepRunning after a suspend, so a
    // caller can touch what the thread uses without racing the pass in progress. False when the
    // time ran out or the thread is not running.
    bool waitUntilParked(uint32_t ms);
    // Gives this thread the lowest scheduling priority, for background work that must never
    // take time from the frame; nothing happens while it has no thread of its own.
    void setLowestPriority();

private:
    struct Callback {
        OxThreadFunction function;
        uint32_t id;
    };

    // Waits for any of the events (a kernel wait-any); true when one of them was signalled.
    bool waitForEvents(std::initializer_list<OxEvent*> events, uint32_t kernelMs);
    void throwIfInterrupted();

    // The handle is written by the manager and read by other threads, so it has a lock of its own.
    std::mutex handleLock_;
    OxThreadHandle threadData_;
    std::atomic<uint32_t> threadId_{0};
    OxEvent stopEvent_;
    OxCriticalSection monitor_;
    OxThreadFunction function_;
    std::list<Callback> callbacks_;
    OxWaitSet waitSet_;
    OxEvent interruptEvent_;
    std::atomic<int32_t> suspendCount_{0};
    uint32_t suspendTimeout_ = 0;
    OxEvent resumeEvent_;
    // Signalled while the thread waits in keepRunning because it is suspended.
    Platform::Kernel::KernelEvent parkedEvent_{/*manualReset=*/true};
};

}  // namespace Orvex::Thread
