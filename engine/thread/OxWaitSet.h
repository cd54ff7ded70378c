#pragma once
// A monitor's wait set: condition-variable style waiting with one event per waiter, so a
// notify issued after a waiter released the monitor is never lost.
#include <cstdint>
#include <list>
#include <memory>

#include "engine/thread/OxCriticalSection.h"
#include "engine/thread/OxEvent.h"

namespace Orvex::Thread {

class OxWaitSet {
public:
    struct CWaitState {
        uint32_t threadId = 0xFFFFFFFFu;
        OxEvent event;
    };

    OxWaitSet() = default;
    OxWaitSet(const OxWaitSet&) = delete;
    OxWaitSet& operator=(const OxWaitSet&) = delete;
    virtual ~OxWaitSet() = default;

    // All three require the caller to hold the monitor, else OxIllegalMonitorStateException.
    // `wait` releases the monitor once while it waits (0 ms = no limit) and returns
    // kWaitSignalled, kWaitTimedOut or kWaitFailed.
    uint32_t wait(uint32_t ms);
    // 0xFFFFFFFF wakes the oldest waiter; another id wakes the first waiter of that thread.
    void notify(uint32_t threadId);
    void notifyAll();

    OxCriticalSection& getMonitor() { return monitor_; }

private:
    void requireMonitor() const;

    OxCriticalSection monitor_;
    std::list<std::shared_ptr<CWaitState>> waiters_;
};

}  // namespace Orvex::Thread
