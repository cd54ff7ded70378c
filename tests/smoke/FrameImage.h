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

// A rectangle of a frame, in pixels; the whole of an 800 x 600 frame by default.
struct Region {
    int x = 0;
    int y = 0;
    int width = 800;
    int height = 600;
};

// Empty (width 0) when the file cannot be read.
Image loadPng(const std::filesystem::path& path);
// The mean absolute difference per channel of two images of one size.
double meanDifference(const Image& a, const Image& b);
// The same over `region` alone (clipped to the images); 255 when nothing of it is left.
double meanDifference(const Image& a, const Image& b, const Region& region);
// How far the closest of the frames "frame<N>.png" in `folder` is from `expected` over
// `region`: the frame numbers of a state vary a little with the machine's speed, so a state is
// looked for among several frames. Frames of another size, or not taken, are passed over; 255
// when none is left.
double closestFrame(const std::filesystem::path& folder, const std::vector<int>& numbers, const Image& expected,
                    const Region& region);
// The part of `image` inside `region`; empty (width 0) when the region reaches outside it.
Image cut(const Image& image, const Region& region);

}  // namespace SmokeTest
