#include "platform/kernel/NativeThread.h"

#include <semaphore>
#include <thread>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace Platform::Kernel {
namespace {

constexpr size_t kMinimumStack = 512 * 1024;
constexpr size_t kDefaultStack = 1024 * 1024;
constexpr int kLowestNice = 10;

std::atomic<int32_t> nextHandleValue{0x100};

struct StartBlock {
    std::shared_ptr<ThreadHandle> handle;
    std::binary_semaphore running{0};
};

}  // namespace

ThreadHandle::ThreadHandle(int32_t value, bool pseudo)
    : Waitable(/*manualReset=*/true, /*initiallySignalled=*/false), value_(value), pseudo_(pseudo) {}

ThreadHandle::~ThreadHandle() {
    if (!started_) {
        return;
    }
    // The last owner may be the thread itself, which cannot join itself.
    if (isSignalled() && !pthread_equal(thread_, pthread_self())) {
        pthread_join(thread_, nullptr);
    } else {
        pthread_detach(thread_);
    }
}

std::shared_ptr<ThreadHandle> ThreadHandle::currentThreadPseudo() {
    auto handle = std::shared_ptr<ThreadHandle>(new ThreadHandle(-2, true));
    handle->id_ = currentThreadId();
    return handle;
}

void* ThreadHandle::entry(void* arg) {
    auto* block = static_cast<StartBlock*>(arg);
    // Keep the handle alive until the body is done, whoever else drops it.
    std::shared_ptr<ThreadHandle> self = block->handle;
    self->id_ = currentThreadId();
    block->running.release();  // `block` belongs to the starter from here on
    self->body_();
    self->body_ = nullptr;
    self->signal();
    return nullptr;
}

std::shared_ptr<ThreadHandle> startThread(std::function<void()> body, size_t stackBytes) {
    auto handle = std::shared_ptr<ThreadHandle>(new ThreadHandle(nextHandleValue.fetch_add(4), false));
    handle->body_ = std::move(body);

    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, stackBytes == 0 ? kDefaultStack : std::max(stackBytes, kMinimumStack));
    StartBlock block{handle};
    const int error = pthread_create(&handle->thread_, &attributes, &ThreadHandle::entry, &block);
    pthread_attr_destroy(&attributes);
    if (error != 0) {
        return nullptr;
    }
    handle->started_ = true;
    block.running.acquire();
    return handle;
}

ThreadId currentThreadId() {
    // Asked on every lock and every script-module lookup: one system call per thread, not per
    // question. (A forked child that does not exec would see its parent's id; ours exec at once.)
    thread_local const ThreadId kId = static_cast<ThreadId>(::syscall(SYS_gettid));
    return kId;
}

void setThreadPriorityLowest(const ThreadHandle& thread) {
    // Linux keeps a nice value per thread; failure (no permission, thread gone) is harmless.
    if (thread.id() != 0) {
        (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(thread.id()), kLowestNice);
    }
}

void sleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace Platform::Kernel
