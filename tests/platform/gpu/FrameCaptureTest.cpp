#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <stb_image.h>

#include "platform/gpu/FrameCapture.h"
#include "platform/kernel/NativeFile.h"

namespace {

using namespace Platform::Gpu;

Frame makeFrame(uint64_t sequence) {
    Frame frame;
    frame.width = 2;
    frame.height = 1;
    frame.pixels = {0xFF112233u, 0xFFA0B0C0u};
    frame.sequence = sequence;
    return frame;
}

TEST(FrameCapture, WritesOnlyTheAskedFramesWithTheirColours) {
    const std::string directory = Platform::Kernel::makeTemporaryDirectory("capture");
    ASSERT_FALSE(directory.empty());
    const FrameCapture capture({2}, directory);
    EXPECT_TRUE(capture.offer(makeFrame(1)));
    EXPECT_TRUE(capture.offer(makeFrame(2)));
    EXPECT_TRUE(std::filesystem::exists(capture.pathFor(2)));
    EXPECT_FALSE(std::filesystem::exists(capture.pathFor(1)));

    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load(capture.pathFor(2).c_str(), &width, &height, &channels, 3);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 1);
    const unsigned char expected[] = {0x11, 0x22, 0x33, 0xA0, 0xB0, 0xC0};
    EXPECT_EQ(std::string(pixels, pixels + 6), std::string(expected, expected + 6));
    stbi_image_free(pixels);
    std::remove(capture.pathFor(2).c_str());
    std::filesystem::remove(directory);
}

// A folder that does not exist yet is made, parents included; one that cannot be made is
// reported and nothing is written.
TEST(FrameCapture, MakesTheFolderOrSaysWhyItCannot) {
    const std::string root = Platform::Kernel::makeTemporaryDirectory("capture");
    ASSERT_FALSE(root.empty());
    const FrameCapture nested({1}, root + "/new/deeper");
    EXPECT_TRUE(nested.offer(makeFrame(1)));
    EXPECT_TRUE(std::filesystem::exists(nested.pathFor(1)));

    std::fclose(std::fopen((root + "/file").c_str(), "w"));
    const FrameCapture impossible({1}, root + "/file/below");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(impossible.offer(makeFrame(1)));
    EXPECT_NE(
        ::testing::internal::GetCapturedStderr().find("Could not make the capture folder " + root + "/file/below"),
        std::string::npos);
    std::filesystem::remove_all(root);
}

// The last frame goes to "last.png" only when it was asked for.
TEST(FrameCapture, WritesTheLastFrameWhenAskedFor) {
    const std::string directory = Platform::Kernel::makeTemporaryDirectory("capture");
    ASSERT_FALSE(directory.empty());
    EXPECT_TRUE(FrameCapture({}, directory).offerLast(makeFrame(7)));
    EXPECT_FALSE(std::filesystem::exists(directory + "/last.png"));
    EXPECT_TRUE(FrameCapture({}, directory, true).offerLast(makeFrame(7)));
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load((directory + "/last.png").c_str(), &width, &height, &channels, 3);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(width, 2);
    EXPECT_EQ(pixels[3], 0xA0);
    stbi_image_free(pixels);
    std::filesystem::remove_all(directory);
}

TEST(FrameCapture, TheEnvironmentChoosesFramesAndFolder) {
    ::setenv("ORVEX_CAPTURE_FRAMES", "3,x,0,10", 1);
    ::setenv("ORVEX_CAPTURE_DIR", "/nowhere", 1);
    const FrameCapture capture = FrameCapture::fromEnvironment();
    EXPECT_TRUE(capture.wants(3));
    EXPECT_TRUE(capture.wants(10));
    EXPECT_FALSE(capture.wants(0));
    EXPECT_FALSE(capture.wantsLast());
    ::setenv("ORVEX_CAPTURE_FRAMES", "last,3", 1);
    const FrameCapture withLast = FrameCapture::fromEnvironment();
    EXPECT_TRUE(withLast.wantsLast());
    EXPECT_TRUE(withLast.wants(3));
    ::unsetenv("ORVEX_CAPTURE_DIR");
    EXPECT_FALSE(FrameCapture::fromEnvironment().wants(3));
    ::unsetenv("ORVEX_CAPTURE_FRAMES");
}

}  // namespace
