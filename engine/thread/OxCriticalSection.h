#pragma once
// Recursive lock with owner checking, and its scoped holder.
#include <atomic>
#include <cstdint>
#include <mutex>

namespace Orvex::Thread {

class OxCriticalSection {
public:
    OxCriticalSection() = default;
    OxCriticalSection(const OxCriticalSection&) = delete;
    OxCriticalSection& operator=(const OxCriticalSection&) = delete;
    // A section destroyed while still entered is reported on the debug output and stderr;
    // throwing from a destructor would end the process during unwinding instead.
    virtual ~OxCriticalSection();

    void enter();
    // Raises OxRuntimeException when the calling thread has not entered the section.
    void leave();
    bool isOwner() const;
    uint32_t getEnterCount() const { return enterCount_.load(std::memory_order_relaxed); }

private:
    std::recursive_mutex mutex_;
    std::atomic<uint32_t> owner_{0xFFFFFFFFu};
    std::atomic<uint32_t> enterCount_{0};
};

class OxCriticalLock {
public:
    explicit OxCriticalLock(OxCriticalSection& section);
    OxCriticalLock(const OxCriticalLock&) = delete;
    OxCriticalLock& operator=(const OxCriticalLock&) = delete;
    virtual ~OxCriticalLock();

    // For code that leaves the section by hand in the middle of the scope and enters it again.
    int32_t getHoldCount() const { return holdCount_; }
    void setHoldCount(int32_t count) { holdCount_ = count; }
    OxCriticalSection& getSection() const { return *section_; }

private:
    OxCriticalSection* section_;
    int32_t holdCount_;
};

}  // namespace Orvex::Thread
