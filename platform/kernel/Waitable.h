#pragma once
// Kernel objects that threads can wait on: events (auto- or manual-reset) and thread handles.
// A wait may name several objects; it is satisfied by the lowest-index signalled object,
// and only that object is consumed when it resets automatically.
#include <cstdint>
#include <initializer_list>
#include <span>

namespace Platform::Kernel {

inline constexpr uint32_t kInfinite = 0xFFFFFFFFu;
inline constexpr uint32_t kWaitObject0 = 0;
inline constexpr uint32_t kWaitTimeout = 0x102;

class Waitable {
public:
    Waitable(const Waitable&) = delete;
    Waitable& operator=(const Waitable&) = delete;
    virtual ~Waitable() = default;

    bool isSignalled() const;

protected:
    Waitable(bool manualReset, bool initiallySignalled);
    void signal();
    void clear();

private:
    friend uint32_t waitForAny(std::span<Waitable* const>, uint32_t);
    bool manualReset_;
    bool signalled_;  // guarded by the kernel-wide wait lock
};

class KernelEvent final : public Waitable {
public:
    explicit KernelEvent(bool manualReset = false, bool initiallySignalled = false)
        : Waitable(manualReset, initiallySignalled) {}
    void set() { signal(); }
    void reset() { clear(); }
};

// Waits up to `timeoutMs` (kInfinite = no limit) for any of `objects`.
// Returns kWaitObject0 + index of the object that satisfied the wait, or kWaitTimeout.
uint32_t waitForAny(std::span<Waitable* const> objects, uint32_t timeoutMs);
uint32_t waitForAny(std::initializer_list<Waitable*> objects, uint32_t timeoutMs);
uint32_t waitForOne(Waitable& object, uint32_t timeoutMs);

}  // namespace Platform::Kernel
