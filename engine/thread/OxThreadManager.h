#pragma once
// The registry of running engine threads and the shutdown protocol.
//
// Every manager operation takes the registry lock (the monitor of the manager's wait set).
// Lock order: the registry lock before any thread object's monitor, never the reverse.
#include <atomic>
#include <chrono>
#include <list>
#include <memory>

#include "engine/system/singleton.h"
#include "engine/thread/OxEvent.h"
#include "engine/thread/OxThread.h"
#include "engine/thread/OxWaitSet.h"
#include "platform/kernel/Waitable.h"

namespace Orvex::Thread {

class OxThreadManager {
public:
    struct OxThreadData {
        IOrvexThread* plainThread = nullptr;
        std::shared_ptr<IOrvexThread> sharedThread;
        std::atomic<bool> running{true};
        // Set once the starter has recorded the new thread's handle and id, so the body never
        // runs before its thread object knows who it is.
        Platform::Kernel::KernelEvent recorded{/*manualReset=*/true};

        IOrvexThread* thread() const { return plainThread != nullptr ? plainThread : sharedThread.get(); }
    };
    using Record = std::shared_ptr<OxThreadData>;

    static OxThreadManager* instance() { return System::singleton<OxThreadManager>::instance(); }
    // Raises OxRuntimeException when threads were still registered (endMainThread not called);
    // the manager is gone either way.
    static void release();
    static OxThreadManager* existingInstance() { return System::singleton<OxThreadManager>::existingInstance(); }

    OxThreadManager(const OxThreadManager&) = delete;
    OxThreadManager& operator=(const OxThreadManager&) = delete;
    // Writes a line when threads are still registered; never throws.
    ~OxThreadManager();

    int runApplicationThread(const std::shared_ptr<IOrvexThread>& thread);
    int startRegistered(IOrvexThread* thread);
    int startThread(const Record& record);
    void addThreadRecord(const Record& record);
    void removeThreadRecord(OxThreadData* record);
    // 0 stopped (or nothing to stop), -1 the caller is the thread itself, 1 the wait failed.
    int stopThread(IOrvexThread* thread);
    void requestStopAll();
    // False when a stop of all threads is already under way or done, or when the threads did
    // not end within the shutdown limit (with a line on stderr).
    bool stopAllThread();
    // Waits for the other threads to end: without limit while the program runs, and for the
    // shutdown limit once a stop is under way (stopAllThread or requestStopAll); false, with a
    // line on stderr, when they did not end by then.
    bool waitForOtherThreads();
    void endMainThread();
    IOrvexThread* findThread(uint32_t id);
    IOrvexThread* currentThread();

    size_t getRecordCount();
    // Every shutdown wait (a stopped thread, the others' end) gives up after this long.
    static constexpr uint32_t kDefaultShutdownLimitMs = 10000;
    void setShutdownLimit(uint32_t ms) { shutdownLimitMs_ = ms; }
    OxWaitSet& getWaitSet() { return waitSet_; }

private:
    friend class System::singleton<OxThreadManager>;
    OxThreadManager();

    static void threadEntry(OxThreadData* record);
    int startRecord(const Record& record, IOrvexThread* thread);
    bool isMainThreadCaller();
    size_t othersDoneCount();
    // One wait of the registry's wait set, cut at `deadline`; false once the deadline passed.
    bool waitUntil(std::chrono::steady_clock::time_point deadline);

    OxWaitSet waitSet_;
    std::list<Record> registry_;
    OxEvent startEvent_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> stopRequested_{false};
    static constexpr uint32_t kRunningPollMs = 100;
    std::shared_ptr<OxThread> mainThread_;
    std::atomic<uint32_t> shutdownLimitMs_{kDefaultShutdownLimitMs};
};

}  // namespace Orvex::Thread
