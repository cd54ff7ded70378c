#pragma once
// Native threads with waitable handles.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include <pthread.h>

#include "platform/kernel/Waitable.h"

namespace Platform::Kernel {

using ThreadId = uint32_t;

// A running (or finished) thread. The handle is signalled once the thread's body has returned.
// Closing it joins the thread when it has finished and detaches it otherwise, so dropping a
// handle never blocks and never leaks a joinable thread.
class ThreadHandle final : public Waitable {
public:
    ~ThreadHandle() override;

    ThreadId id() const { return id_.load(); }
    // Small integer that identifies the handle in diagnostics ("h=%d").
    int32_t value() const { return value_; }
    bool isPseudo() const { return pseudo_; }

    // The calling thread's own handle (value -2). Waiting on it never succeeds; it is only a name.
    static std::shared_ptr<ThreadHandle> currentThreadPseudo();

private:
    friend std::shared_ptr<ThreadHandle> startThread(std::function<void()>, size_t);
    ThreadHandle(int32_t value, bool pseudo);
    static void* entry(void* arg);

    pthread_t thread_{};
    std::atomic<ThreadId> id_{0};
    int32_t value_;
    bool pseudo_;
    bool started_ = false;
    std::function<void()> body_;
};

// Starts `body` on a new thread and returns once the thread is running and its id is known.
// `stackBytes` 0 takes the default; smaller requests are raised to a size the codecs can live with.
// Returns null when the thread cannot be created.
std::shared_ptr<ThreadHandle> startThread(std::function<void()> body, size_t stackBytes = 0);

ThreadId currentThreadId();
// Best effort: the thread runs at a lowered priority where the system lets us lower it.
void setThreadPriorityLowest(const ThreadHandle& thread);
void sleepMs(uint32_t ms);

}  // namespace Platform::Kernel
