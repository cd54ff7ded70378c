#include "platform/window/PresentTarget.h"

#include <gtest/gtest.h>

namespace Platform::Window {
namespace {

FrameBuffer frameOf(uint32_t width, uint32_t height, uint32_t colour) {
    return FrameBuffer::owning(width, height, std::vector<uint32_t>(size_t(width) * height, colour));
}

TEST(PresentTargetTest, KeepsOnlyTheNewestFrameAndWakesOncePerWaitingFrame) {
    int wakes = 0;
    PresentTarget target([&wakes] { ++wakes; });
    EXPECT_TRUE(target.submit(frameOf(4, 3, 1)));
    EXPECT_TRUE(target.submit(frameOf(4, 3, 2)));
    EXPECT_TRUE(target.submit(frameOf(2, 2, 3), Rect{0, 0, 1, 1}));
    EXPECT_EQ(wakes, 1);

    PendingFrame taken;
    ASSERT_TRUE(target.take(taken));
    EXPECT_EQ(taken.frame.width, 2u);
    EXPECT_EQ(taken.frame.pixels.front(), 3u);
    ASSERT_TRUE(taken.source.has_value());
    EXPECT_EQ(taken.source->right, 1);
    EXPECT_FALSE(target.take(taken));

    EXPECT_TRUE(target.submit(frameOf(4, 3, 4)));
    EXPECT_EQ(wakes, 2);  // the mailbox was empty again
}

// The window thread reads the submitted pixels themselves, and the target lets go of a frame as
// soon as it is dropped or taken, so that its maker can fill it again once the window has shown it.
TEST(PresentTargetTest, HandsOverThePixelsAndLetsGoOfDroppedAndTakenFrames) {
    PresentTarget target([] {});
    auto first = std::make_shared<const std::vector<uint32_t>>(12, 1u);
    auto second = std::make_shared<const std::vector<uint32_t>>(12, 2u);
    ASSERT_TRUE(target.submit(FrameBuffer{4, 3, *first, first}));
    ASSERT_TRUE(target.submit(FrameBuffer{4, 3, *second, second}));
    EXPECT_EQ(first.use_count(), 1);  // dropped
    PendingFrame taken;
    ASSERT_TRUE(target.take(taken));
    EXPECT_EQ(taken.frame.pixels.data(), second->data());
    EXPECT_EQ(taken.frame.pixels.size(), 12u);
    EXPECT_EQ(second.use_count(), 2);  // only the window thread's
    taken = PendingFrame{};
    EXPECT_EQ(second.use_count(), 1);
}

TEST(PresentTargetTest, RejectsAFrameWhosePixelsDoNotMatchItsSize) {
    int wakes = 0;
    PresentTarget target([&wakes] { ++wakes; });
    FrameBuffer bad = frameOf(4, 3, 0);
    bad.pixels = bad.pixels.first(bad.pixels.size() - 1);
    EXPECT_FALSE(target.submit(std::move(bad)));
    PendingFrame taken;
    EXPECT_FALSE(target.take(taken));
    EXPECT_EQ(wakes, 0);
}

TEST(PresentTargetTest, LetterboxKeepsTheShapeCentred) {
    struct Case {
        int32_t srcW, srcH, dstW, dstH;
        Rect expected;
    };
    const Case cases[] = {
        {800, 600, 800, 600, {0, 0, 800, 600}},        // exact
        {800, 600, 1920, 1080, {240, 0, 1680, 1080}},  // wider screen: bars left and right
        {800, 600, 1280, 1024, {0, 32, 1280, 992}},    // taller screen: bars top and bottom
        {800, 600, 400, 300, {0, 0, 400, 300}},        // smaller, same shape
        {800, 600, 0, 600, {0, 0, 0, 0}},              // nothing to draw into
    };
    for (const Case& c : cases) {
        const Rect r = letterboxRect(c.srcW, c.srcH, c.dstW, c.dstH);
        EXPECT_EQ(r.left, c.expected.left) << c.dstW << "x" << c.dstH;
        EXPECT_EQ(r.top, c.expected.top) << c.dstW << "x" << c.dstH;
        EXPECT_EQ(r.right, c.expected.right) << c.dstW << "x" << c.dstH;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.dstW << "x" << c.dstH;
    }
}

}  // namespace
}  // namespace Platform::Window
