#pragma once
// Saves chosen presented frames as PNG files, so that tests and tools can look at what a headless
// run showed. ORVEX_CAPTURE_FRAMES lists frame numbers (1 is the first frame presented, commas
// between) and ORVEX_CAPTURE_DIR names the folder; frame n is written as "frame<n>.png".
#include <cstdint>
#include <set>
#include <string>

#include "platform/gpu/FrameMailbox.h"

namespace Platform::Gpu {

class FrameCapture {
public:
    FrameCapture() = default;
    FrameCapture(std::set<uint64_t> frames, std::string directory);
    // The capture the environment asks for; one that captures nothing when it asks for none.
    static FrameCapture fromEnvironment();

    bool wants(uint64_t sequence) const { return frames_.count(sequence) != 0; }
    // Writes the frame when its number was asked for; false when that write failed.
    bool offer(const Frame& frame) const;
    std::string pathFor(uint64_t sequence) const;

private:
    std::set<uint64_t> frames_;
    std::string directory_;
};

}  // namespace Platform::Gpu
