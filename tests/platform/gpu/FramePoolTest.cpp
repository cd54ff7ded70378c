#include <gtest/gtest.h>

#include <algorithm>

#include "platform/gpu/FramePool.h"

namespace Platform::Gpu::Test {
namespace {

// A frame comes back for reuse (same pixel storage, fields reset) only when nobody holds it; one
// still held is never handed out again, and frames may outlive their pool.
TEST(FramePoolTest, ReusesOnlyFramesNobodyHolds) {
    auto pool = std::make_unique<FramePool>();
    std::shared_ptr<Frame> first = pool->acquire(4, 2);
    const uint32_t* firstPixels = first->pixels.data();
    std::fill(first->pixels.begin(), first->pixels.end(), 7u);
    first->sequence = 9;
    first->hasDestination = true;

    std::shared_ptr<Frame> second = pool->acquire(4, 2);
    EXPECT_NE(firstPixels, second->pixels.data());
    EXPECT_EQ(std::vector<uint32_t>(8, 7u), first->pixels);

    first.reset();
    std::shared_ptr<Frame> again = pool->acquire(4, 2);
    EXPECT_EQ(firstPixels, again->pixels.data());
    EXPECT_EQ(0u, again->sequence);
    EXPECT_FALSE(again->hasDestination);
    EXPECT_EQ(4u, again->width);
    EXPECT_EQ(8u, again->pixels.size());

    std::shared_ptr<Frame> larger = pool->acquire(16, 16);
    EXPECT_EQ(256u, larger->pixels.size());
    pool.reset();  // the frames still held are freed on their own
    larger.reset();
    again.reset();
}

}  // namespace
}  // namespace Platform::Gpu::Test
