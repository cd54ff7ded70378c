#pragma once
// Frames the real program captured (ORVEX_CAPTURE_FRAMES) and reference pictures, as RGB.
#include <filesystem>
#include <vector>

namespace SmokeTest {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

// The picture as 8-bit RGB; an empty image when the file is missing or unreadable.
Image loadPng(const std::filesystem::path& path);

// The mean absolute difference per colour channel (0 to 255); images of one size only.
double meanDifference(const Image& a, const Image& b);

}  // namespace SmokeTest
