#pragma once
// Saves chosen presented frames as PNG files, so that tests and tools can look at what a headless
// run showed. ORVEX_CAPTURE_FRAMES lists frame numbers (1 is the first frame presented, commas
// between) and ORVEX_CAPTURE_DIR names the folder; frame n is written as "frame<n>.png". The item
// "last" asks for the last frame presented before the device goes, written as "last.png": the
// state a run ended in, however many frames it took to get there.
#include <cstdint>
#include <set>
#include <string>

#include "platform/gpu/FrameMailbox.h"

namespace Platform::Gpu {

class FrameCapture {
public:
    FrameCapture() = default;
    FrameCapture(std::set<uint64_t> frames, std::string directory, bool last = false);
    // The capture the environment asks for; one that captures nothing when it asks for none.
    static FrameCapture fromEnvironment();

    bool wants(uint64_t sequence) const { return frames_.count(sequence) != 0; }
    // Writes the frame when its number was asked for; false when that write failed.
    bool offer(const Frame& frame) const;
    bool wantsLast() const { return last_; }
    // Writes the frame as the last one when that was asked for.
    bool offerLast(const Frame& frame) const;
    std::string pathFor(uint64_t sequence) const;

private:
    bool write(const Frame& frame, const std::string& path) const;

    std::set<uint64_t> frames_;
    std::string directory_;
    bool last_ = false;
};

}  // namespace Platform::Gpu
