// A program of its own: it replaces the global operator new to count allocations, which would
// count for every other test in a shared program too.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "platform/window/PresentTarget.h"
#include "tests/platform/gpu/GpuTestSupport.h"

namespace {
std::atomic<bool> counting{false};
std::atomic<size_t> allocations{0};

void* allocate(size_t bytes) {
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* block = std::malloc(bytes == 0 ? 1 : bytes)) {
        return block;
    }
    throw std::bad_alloc();
}
}  // namespace

// Every form that can pair with the replaced deletes goes through the same allocator, the
// non-throwing ones too (the device makes its objects with them).
void* allocateOrNull(size_t bytes) noexcept {
    try {
        return allocate(bytes);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new(size_t bytes) { return allocate(bytes); }
void* operator new[](size_t bytes) { return allocate(bytes); }
void* operator new(size_t bytes, const std::nothrow_t&) noexcept { return allocateOrNull(bytes); }
void* operator new[](size_t bytes, const std::nothrow_t&) noexcept { return allocateOrNull(bytes); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t) noexcept { std::free(block); }

namespace Platform::Gpu::Test {
namespace {

using PresentAllocationTest = DeviceFixture;

// Once the first frames have been made, a frame allocates nothing on its way from present through
// the window's frame sink to the window thread, whether the window thread shows every frame or
// falls behind so that a waiting frame is replaced.
TEST_F(PresentAllocationTest, SteadyFramesAllocateNothingFromPresentToTheWindow) {
    createDevice(800, 600);
    Window::PresentTarget target([] {});
    device->setFrameSink([&target](const std::shared_ptr<const Frame>& frame) {
        target.submit(Window::FrameBuffer{frame->width, frame->height, frame->pixels, frame});
    });
    auto mailbox = device->getFrameMailbox();
    // The window thread's part: it takes the waiting frame and holds it, as it would while
    // showing it, until it takes the next.
    Window::PendingFrame shown;
    auto show = [&] {
        Window::PendingFrame next;
        if (target.take(next)) {
            shown = std::move(next);
        }
    };
    struct Case {
        const char* name;
        int presentsPerShow;
    } cases[] = {{"every frame shown", 1}, {"a waiting frame replaced", 2}};
    for (const Case& c : cases) {
        for (int warmUp = 0; warmUp < 3; ++warmUp) {
            for (int i = 0; i < c.presentsPerShow; ++i) {
                ASSERT_EQ(kOk, device->present(nullptr, nullptr, 0));
            }
            mailbox->take();
            show();
        }
        allocations = 0;
        counting = true;
        for (int frame = 0; frame < 8; ++frame) {
            for (int i = 0; i < c.presentsPerShow; ++i) {
                device->present(nullptr, nullptr, 0);
            }
            mailbox->take();
            show();
        }
        counting = false;
        EXPECT_EQ(0u, allocations.load()) << c.name;
    }
    device->setFrameSink({});
}

}  // namespace
}  // namespace Platform::Gpu::Test
