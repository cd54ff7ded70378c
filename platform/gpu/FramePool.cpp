#include "platform/gpu/FramePool.h"

#include <new>

namespace Platform::Gpu {

namespace {
constexpr size_t kKeptFrames = 4;  // the mailbox's, the window's, one being filled, one spare

// Gives the shared pointer of a frame its count block from the store, so that handing out a
// reused frame allocates nothing. Each block holds this allocator, and so the store, until it is
// given back.
template <class T>
struct BlockAllocator {
    using value_type = T;
    std::shared_ptr<FramePool::Store> store;

    explicit BlockAllocator(std::shared_ptr<FramePool::Store> home) : store(std::move(home)) {}
    template <class U>
    BlockAllocator(const BlockAllocator<U>& other) : store(other.store) {}

    T* allocate(size_t count) {
        static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);
        return static_cast<T*>(store->takeBlock(count * sizeof(T)));
    }
    void deallocate(T* block, size_t count) { store->giveBlock(block, count * sizeof(T)); }

    template <class U>
    bool operator==(const BlockAllocator<U>& other) const {
        return store == other.store;
    }
};

}  // namespace

FramePool::Store::Store() {
    free.reserve(kKeptFrames);
    freeBlocks.reserve(kKeptFrames);
}

FramePool::Store::~Store() {
    for (void* block : freeBlocks) {
        ::operator delete(block);
    }
}

void* FramePool::Store::takeBlock(size_t bytes) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (bytes == blockBytes && !freeBlocks.empty()) {
            void* block = freeBlocks.back();
            freeBlocks.pop_back();
            return block;
        }
        if (blockBytes == 0) {
            blockBytes = bytes;
        }
    }
    return ::operator new(bytes);
}

void FramePool::Store::giveBlock(void* block, size_t bytes) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (bytes == blockBytes && freeBlocks.size() < kKeptFrames) {
            freeBlocks.push_back(block);
            return;
        }
    }
    ::operator delete(block);
}

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
    Store* home = store_.get();
    // The deleter runs before the count block is given back, so the block's allocator still
    // keeps the store alive here.
    return std::shared_ptr<Frame>(
        frame.release(),
        [home](Frame* done) {
            std::unique_ptr<Frame> owned(done);
            std::lock_guard<std::mutex> lock(home->mutex);
            if (home->free.size() < kKeptFrames) {
                home->free.push_back(std::move(owned));
            }
        },
        BlockAllocator<Frame>(store_));
}

}  // namespace Platform::Gpu
