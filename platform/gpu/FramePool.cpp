#include "platform/gpu/FramePool.h"

namespace Platform::Gpu {

namespace {
constexpr size_t kKeptFrames = 4;  // the mailbox's, the window's, one being filled, one spare
}  // namespace

FramePool::FramePool() : store_(std::make_shared<Store>()) {}

std::shared_ptr<Frame> FramePool::acquire(uint32_t width, uint32_t height) {
    std::unique_ptr<Frame> frame;
    {
        std::lock_guard<std::mutex> lock(store_->mutex);
        if (!store_->free.empty()) {
            frame = std::move(store_->free.back());
            store_->free.pop_back();
        }
    }
    if (frame == nullptr) {
        frame = std::make_unique<Frame>();
    }
    std::vector<uint32_t> pixels = std::move(frame->pixels);
    *frame = Frame{};
    frame->width = width;
    frame->height = height;
    pixels.resize(size_t(width) * height);
    frame->pixels = std::move(pixels);
    std::weak_ptr<Store> home = store_;
    return std::shared_ptr<Frame>(frame.release(), [home](Frame* done) {
        std::unique_ptr<Frame> owned(done);
        if (const std::shared_ptr<Store> store = home.lock()) {
            std::lock_guard<std::mutex> lock(store->mutex);
            if (store->free.size() < kKeptFrames) {
                store->free.push_back(std::move(owned));
            }
        }
    });
}

}  // namespace Platform::Gpu
