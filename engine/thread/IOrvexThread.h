#pragma once
// The interface of every long-lived engine thread.
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/kernel/NativeThread.h"

namespace Orvex::Thread {

class OxCriticalSection;
class OxEvent;
class OxWaitSet;

using OxThreadFunction = std::function<void()>;
using OxThreadHandle = std::shared_ptr<Platform::Kernel::ThreadHandle>;

class IOrvexThread {
public:
    virtual ~IOrvexThread() = default;

    virtual void run() = 0;
    virtual bool keepRunning() = 0;
    virtual void requestStop() = 0;
    virtual bool isRunning() = 0;
    virtual bool waitForStop(uint32_t ms) = 0;
    virtual bool sleep(uint32_t ms) = 0;
    virtual void interrupt() = 0;
    virtual bool isInterrupted() = 0;
    virtual bool interrupted() = 0;
    virtual uint32_t wait(uint32_t ms) = 0;
    virtual void notify(uint32_t threadId) = 0;
    virtual void notifyAll() = 0;
    virtual bool suspend(uint32_t ms) = 0;
    virtual void resume() = 0;
    virtual bool isSuspended() = 0;
    virtual void clearFunction() = 0;
    virtual void setFunction(const OxThreadFunction& function) = 0;
    virtual bool hasFunction() = 0;
    virtual void clearCallbacks() = 0;
    virtual uint32_t addCallback(const OxThreadFunction& function) = 0;
    virtual void removeCallback(uint32_t id) = 0;
    virtual OxThreadHandle getThreadData() = 0;
    virtual uint32_t getThreadId() = 0;
    virtual OxEvent& getStopEvent() = 0;
    virtual OxCriticalSection& getMonitor() = 0;
    virtual OxWaitSet& getWaitSet() = 0;
    virtual void setThreadData(OxThreadHandle handle) = 0;
    virtual void setThreadId(uint32_t id) = 0;
    virtual void invokeFunction() = 0;
    virtual void invokeCallbacks() = 0;
    virtual int start() = 0;
    virtual int stop() = 0;
};

}  // namespace Orvex::Thread
