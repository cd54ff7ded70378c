#include "platform/gpu/FrameMailbox.h"

namespace Platform::Gpu {

void FrameMailbox::post(std::shared_ptr<const Frame> frame) {
    std::shared_ptr<const Frame> old;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        old = std::move(latest_);
        latest_ = std::move(frame);
        taken_ = false;
        ++posted_;
    }
    // `old` is freed outside the lock.
}

std::shared_ptr<const Frame> FrameMailbox::latest() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return latest_;
}

std::shared_ptr<const Frame> FrameMailbox::take() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (taken_) {
        return nullptr;
    }
    taken_ = true;
    return latest_;
}

uint64_t FrameMailbox::postedCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return posted_;
}

}  // namespace Platform::Gpu
