#pragma once
// Frames for present to fill, reused once every reader has let go of them, so that a steady
// stream of frames of one size allocates nothing: neither the frame and its pixels nor the count
// block of the shared pointer that hands it out.
#include <cstddef>
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

    // Outlives the pool while frames are still held after the device is gone: every frame's
    // count block keeps it alive.
    struct Store {
        Store();
        ~Store();
        Store(const Store&) = delete;
        Store& operator=(const Store&) = delete;
        // Memory for a count block of `bytes` bytes: a returned one when there is one.
        void* takeBlock(size_t bytes);
        void giveBlock(void* block, size_t bytes);

        std::mutex mutex;
        std::vector<std::unique_ptr<Frame>> free;
        std::vector<void*> freeBlocks;  // all of `blockBytes` bytes
        size_t blockBytes = 0;
    };

private:
    std::shared_ptr<Store> store_;
};

}  // namespace Platform::Gpu
