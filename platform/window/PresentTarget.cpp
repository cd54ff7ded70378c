#include "platform/window/PresentTarget.h"

namespace Platform::Window {

FrameBuffer FrameBuffer::owning(uint32_t width, uint32_t height, std::vector<uint32_t> pixels) {
    auto held = std::make_shared<const std::vector<uint32_t>>(std::move(pixels));
    return FrameBuffer{width, height, *held, held};
}

PresentTarget::PresentTarget(std::function<void()> wake) : wake_(std::move(wake)) {}

bool PresentTarget::submit(FrameBuffer frame, std::optional<Rect> source, std::optional<Rect> destination) {
    if (static_cast<size_t>(frame.width) * frame.height != frame.pixels.size()) {
        return false;
    }
    std::optional<PendingFrame> replaced;
    bool wasWaiting = false;
    {
        std::lock_guard guard(lock_);
        wasWaiting = pending_.has_value();
        replaced.swap(pending_);
        pending_.emplace(PendingFrame{std::move(frame), source, destination});
    }
    // The dropped frame is let go here, outside the lock the window thread also takes: its owner
    // may run code of its own (the device's frame goes back to its pool).
    replaced.reset();
    if (!wasWaiting && wake_) {
        wake_();
    }
    return true;
}

bool PresentTarget::take(PendingFrame& out) {
    std::lock_guard guard(lock_);
    if (!pending_) {
        return false;
    }
    out = std::move(*pending_);
    pending_.reset();
    return true;
}

void PresentTarget::notePresented() {
    std::lock_guard guard(lock_);
    ++presented_;
}

uint64_t PresentTarget::presentedCount() const {
    std::lock_guard guard(lock_);
    return presented_;
}

Rect letterboxRect(int32_t sourceWidth, int32_t sourceHeight, int32_t destWidth, int32_t destHeight) {
    if (sourceWidth <= 0 || sourceHeight <= 0 || destWidth <= 0 || destHeight <= 0) {
        return {};
    }
    // Compare the aspect ratios in 64-bit integers so that exact fits stay exact.
    const int64_t widthBySource = int64_t(destWidth) * sourceHeight;
    const int64_t heightBySource = int64_t(destHeight) * sourceWidth;
    int32_t width = destWidth;
    int32_t height = destHeight;
    if (widthBySource > heightBySource) {
        width = static_cast<int32_t>(int64_t(destHeight) * sourceWidth / sourceHeight);
    } else if (widthBySource < heightBySource) {
        height = static_cast<int32_t>(int64_t(destWidth) * sourceHeight / sourceWidth);
    }
    const int32_t left = (destWidth - width) / 2;
    const int32_t top = (destHeight - height) / 2;
    return {left, top, left + width, top + height};
}

}  // namespace Platform::Window
