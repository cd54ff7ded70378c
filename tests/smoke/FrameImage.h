#pragma once
// Frames the program captured, read back as RGB for comparison with checked-in references.
#include <filesystem>
#include <vector>

namespace SmokeTest {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

// Empty (width 0) when the file cannot be read.
Image loadPng(const std::filesystem::path& path);
// The mean absolute difference per channel of two images of one size.
double meanDifference(const Image& a, const Image& b);

}  // namespace SmokeTest
