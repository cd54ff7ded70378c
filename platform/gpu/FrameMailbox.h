#pragma once
// Where the device leaves finished frames. `post` replaces the waiting frame and never waits for
// the reader: the window thread (or a test) picks up the newest frame when it gets to it.
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/gpu/GpuTypes.h"

namespace Platform::Gpu {

struct Frame {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> pixels;  // 0xFFRRGGBB, rows without padding
    uint64_t sequence = 0;         // 1 for the first frame presented by the device
    bool hasDestination = false;   // a destination rectangle was given to present
    IntRect destination{};
    WindowHandle overrideWindow = 0;
};

class FrameMailbox {
public:
    virtual ~FrameMailbox() = default;
    virtual void post(std::shared_ptr<const Frame> frame);
    // The newest frame, which stays in the box; null before the first present.
    virtual std::shared_ptr<const Frame> latest() const;
    // The newest frame not taken yet, or null.
    virtual std::shared_ptr<const Frame> take();
    virtual uint64_t postedCount() const;

private:
    mutable std::mutex mutex_;
    std::shared_ptr<const Frame> latest_;
    bool taken_ = true;
    uint64_t posted_ = 0;
};

}  // namespace Platform::Gpu
