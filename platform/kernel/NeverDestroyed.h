#pragma once
// Storage for a process-wide object that is built on first use and never destroyed. Locks and
// conditions that engine threads may still use while the process ends (an exit from another
// thread, a static destructor running late) must outlive every thread, so they are never torn
// down; the operating system takes them back with the process.
#include <new>
#include <utility>

namespace Platform::Kernel {

template <typename T>
class NeverDestroyed {
public:
    template <typename... Args>
    explicit NeverDestroyed(Args&&... args) {
        new (storage_) T(std::forward<Args>(args)...);
    }
    NeverDestroyed(const NeverDestroyed&) = delete;
    NeverDestroyed& operator=(const NeverDestroyed&) = delete;
    ~NeverDestroyed() = default;  // deliberately leaves the object alive

    T& get() { return *std::launder(reinterpret_cast<T*>(storage_)); }

private:
    alignas(T) unsigned char storage_[sizeof(T)];
};

}  // namespace Platform::Kernel
