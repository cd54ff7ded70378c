#pragma once
// Where finished frames go: a "latest frame" mailbox per window. The drawing thread submits a
// frame and returns at once; the window thread takes the newest one when it wakes and shows it.
// A frame that is replaced before the window thread gets to it is dropped, never queued.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "platform/window/WindowTypes.h"

namespace Platform::Window {

// 32-bit pixels, 0xAARRGGBB, rows top to bottom without padding. The pixels are handed over, not
// copied: `owner` keeps them alive, and whoever made them writes them no more while it is held,
// so the window thread reads them while the drawing thread fills other frames.
struct FrameBuffer {
    uint32_t width = 0;
    uint32_t height = 0;
    std::span<const uint32_t> pixels;
    std::shared_ptr<const void> owner;

    // A frame whose owner is `pixels` itself.
    static FrameBuffer owning(uint32_t width, uint32_t height, std::vector<uint32_t> pixels);
};

struct PendingFrame {
    FrameBuffer frame;
    std::optional<Rect> source;       // part of the frame to show (whole frame when empty)
    std::optional<Rect> destination;  // part of the client area (whole area or letterbox when empty)
};

class PresentTarget {
public:
    // `wake` asks the window thread to look at the mailbox; it must not block.
    explicit PresentTarget(std::function<void()> wake);
    PresentTarget(const PresentTarget&) = delete;
    PresentTarget& operator=(const PresentTarget&) = delete;

    // False for a frame whose pixel count does not match its size. Wakes the window thread only
    // when no frame was already waiting, so a slow window thread gets one wake per frame it shows.
    bool submit(FrameBuffer frame, std::optional<Rect> source = {}, std::optional<Rect> destination = {});
    // Window thread: takes the waiting frame, if any.
    bool take(PendingFrame& out);
    void notePresented();
    uint64_t presentedCount() const;

private:
    std::function<void()> wake_;
    mutable std::mutex lock_;
    std::optional<PendingFrame> pending_;
    uint64_t presented_ = 0;
};

// The target of a window; null when the window does not exist. Thread-safe.
std::shared_ptr<PresentTarget> presentTarget(WindowHandle window);

// The largest rectangle of the source's aspect ratio centred in the destination size.
Rect letterboxRect(int32_t sourceWidth, int32_t sourceHeight, int32_t destWidth, int32_t destHeight);

}  // namespace Platform::Window
