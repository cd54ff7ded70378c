#include "engine/thread/OxCriticalSection.h"

#include <cstdio>

#include "engine/system/OxException.h"
#include "engine/system/OxStringConvert.h"
#include "platform/kernel/DebugOutput.h"
#include "platform/kernel/NativeThread.h"

namespace Orvex::Thread {
namespace {
constexpr uint32_t kNoOwner = 0xFFFFFFFFu;
constexpr const char* kLeaveNotEntered = "OxCriticalSectionをEnterしていないのにLeaveしている.";
constexpr const char* kDestroyedEntered = "OxCriticalSectionをEnterした回数だけLeaveしないまま終了している.";
}  // namespace

OxCriticalSection::~OxCriticalSection() {
    uint32_t count = enterCount_.load();
    if (count == 0) {
        return;
    }
    Platform::Kernel::debugOutput(System::widen(kDestroyedEntered));
    std::fprintf(stderr, "%s\n", kDestroyedEntered);
    // The owner may release its hold so the mutex is not destroyed locked.
    if (isOwner()) {
        while (count-- > 0) {
            mutex_.unlock();
        }
    }
}

void OxCriticalSection::enter() {
    mutex_.lock();
    owner_.store(Platform::Kernel::currentThreadId(), std::memory_order_relaxed);
    enterCount_.fetch_add(1, std::memory_order_relaxed);
}

void OxCriticalSection::leave() {
    // Only the holder may leave; from any other thread the section counts as not entered.
    if (enterCount_.load(std::memory_order_relaxed) == 0 || !isOwner()) {
        throw Exception::OxRuntimeException(kLeaveNotEntered);
    }
    if (enterCount_.fetch_sub(1, std::memory_order_relaxed) == 1) {
        owner_.store(kNoOwner, std::memory_order_relaxed);
    }
    mutex_.unlock();
}

bool OxCriticalSection::isOwner() const {
    return owner_.load(std::memory_order_relaxed) == Platform::Kernel::currentThreadId();
}

OxCriticalLock::OxCriticalLock(OxCriticalSection& section) : section_(&section), holdCount_(1) { section_->enter(); }

OxCriticalLock::~OxCriticalLock() {
    while (holdCount_ > 0) {
        --holdCount_;
        section_->leave();
    }
    --holdCount_;
}

}  // namespace Orvex::Thread
