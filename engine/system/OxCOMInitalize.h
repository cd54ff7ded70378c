#pragma once
// Starts the component runtime once per thread and stops it when that thread's OxThread ends.
//
// A thread may call initialize as often as it likes; no matching calls are needed: the
// runtime is stopped once, by an end callback registered on the thread's first call.
#include <cstdint>
#include <vector>

#include "engine/system/singleton.h"
#include "engine/thread/OxCriticalSection.h"

namespace Orvex::Utility {

class OxCOMInitalize {
public:
    static OxCOMInitalize* instance() { return System::singleton<OxCOMInitalize>::instance(); }
    static void release() { System::singleton<OxCOMInitalize>::release(); }

    OxCOMInitalize(const OxCOMInitalize&) = delete;
    OxCOMInitalize& operator=(const OxCOMInitalize&) = delete;
    virtual ~OxCOMInitalize();

    // 0 started (or already started on this thread); -1 the runtime refused; -2 the calling
    // thread is not known to the thread manager (the runtime stays started, nothing will
    // stop it).
    int32_t initialize();
    // Stops the runtime for the calling thread if initialize started it there.
    void uninitialize();

private:
    friend class System::singleton<OxCOMInitalize>;
    OxCOMInitalize() = default;

    struct Record {
        uint32_t threadId;
        uint32_t count;
    };

    Thread::OxCriticalSection lock_;
    std::vector<Record> records_;
};

}  // namespace Orvex::Utility
