#pragma once
// Frames for present to fill, reused once every reader has let go of them, so that a steady
// stream of frames of one size allocates nothing.
#include <memory>
#include <mutex>
#include <vector>

#include "platform/gpu/FrameMailbox.h"

namespace Platform::Gpu {

class FramePool {
public:
    FramePool();
    // A frame of width x height pixels whose other fields are reset; its pixels are left as they
    // were (the caller overwrites them all). When the last holder releases it, it comes back here.
    std::shared_ptr<Frame> acquire(uint32_t width, uint32_t height);

private:
    // Outlives the pool when frames are still held after the device is gone.
    struct Store {
        std::mutex mutex;
        std::vector<std::unique_ptr<Frame>> free;
    };
    std::shared_ptr<Store> store_;
};

}  // namespace Platform::Gpu
