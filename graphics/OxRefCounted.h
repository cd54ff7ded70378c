#pragma once
// The reference counting every object of the library shares: atomic, starts at 1, destroys the
// object when it reaches 0.
#include <atomic>
#include <cstdint>

namespace Orvex::Graphics {

template <typename Interface>
class OxRefCounted : public Interface {
public:
    uint32_t retain() override { return count_.fetch_add(1, std::memory_order_relaxed) + 1; }
    uint32_t release() override {
        const uint32_t left = count_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    uint32_t getRefCount() const override { return count_.load(std::memory_order_acquire); }

protected:
    ~OxRefCounted() override = default;

private:
    std::atomic<uint32_t> count_{1};
};

}  // namespace Orvex::Graphics
