#pragma once
// Base of every device object: a thread-safe reference count. A new object starts at 1; the
// last release destroys it. Every operation is virtual so that a caller in another shared object
// always runs the code of the module that made the object.
#include <atomic>
#include <cstdint>

namespace Platform::Gpu {

class GpuObject {
public:
    GpuObject() = default;
    GpuObject(const GpuObject&) = delete;
    GpuObject& operator=(const GpuObject&) = delete;

    virtual uint32_t addRef() { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
    virtual uint32_t release() {
        const uint32_t left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    // For tests and diagnostics.
    virtual uint32_t refCount() const { return refs_.load(std::memory_order_relaxed); }

protected:
    virtual ~GpuObject() = default;

private:
    std::atomic<uint32_t> refs_{1};
};

// Releases a held object and clears the pointer.
template <typename T>
void safeRelease(T*& object) {
    if (object != nullptr) {
        object->release();
        object = nullptr;
    }
}

}  // namespace Platform::Gpu
