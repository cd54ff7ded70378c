#pragma once
// Process-wide, lazily created instances.
//
// Each type has its own creation lock, taken only while the engine root is alive: before it
// exists and after it is gone (static set-up and teardown) only one thread runs. A holder
// releases the instance at process end.
#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "engine/system/OxEngineState.h"
#include "engine/system/OxException.h"
#include "engine/thread/OxCriticalSection.h"
#include "engine/system/OxNeverDestroyed.h"

namespace Orvex::System {

template <typename T>
class singleton {
public:
    static T* instance() {
        (void)&holder_;  // instantiates the holder, so the instance is released at exit
        T* current = instance_.load(std::memory_order_acquire);
        if (current != nullptr) {
            return current;
        }
        if (!isEngineAlive()) {
            return create();
        }
        Thread::OxCriticalLock lock(creationLock());
        return create();
    }

    // The instance when it exists; never creates one (for code that runs during teardown).
    static T* existingInstance() { return instance_.load(std::memory_order_acquire); }

    static void release() {
        if (instance_.load(std::memory_order_acquire) == nullptr) {
            return;
        }
        if (!isEngineAlive()) {
            destroy();
            return;
        }
        Thread::OxCriticalLock lock(creationLock());
        destroy();
    }

private:
    static T* create() {
        T* current = instance_.load(std::memory_order_acquire);
        if (current == nullptr) {
            current = new T();
            instance_.store(current, std::memory_order_release);
        }
        return current;
    }

    static void destroy() {
        T* current = instance_.exchange(nullptr, std::memory_order_acq_rel);
        delete current;
    }

    // Never destroyed: a thread may still create or release an instance while the process ends.
    static Thread::OxCriticalSection& creationLock() {
        static OxNeverDestroyed<Thread::OxCriticalSection> lock;
        return lock.get();
    }

    struct Holder {
        ~Holder() {
            try {
                release();
            } catch (const Exception::OxException& e) {
                // Nothing can recover at process end: say why and stop abnormally.
                std::fprintf(stderr, "%s\n", e.getMessage().c_str());
                std::abort();
            }
        }
    };

    static inline std::atomic<T*> instance_{nullptr};
    static inline Holder holder_;
};

}  // namespace Orvex::System
