#pragma once
// Frames the program captured, read back as RGB for comparison with checked-in references.
#include <filesystem>
#include <string>
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
// when none is left. The closest frame is offered for renewal as `reference` (see below).
double closestFrame(const std::filesystem::path& folder, const std::vector<int>& numbers, const Image& expected,
                    const Region& region, const std::string& reference = {});
// The same for a reference that holds only `area` of the screen: each frame is cut to it first,
// and the cut part is what is offered for renewal.
double closestCutFrame(const std::filesystem::path& folder, const std::vector<int>& numbers, const Image& expected,
                       const Region& area, const std::string& reference);
// The part of `image` inside `region`; empty (width 0) when the region reaches outside it.
Image cut(const Image& image, const Region& region);
// When ORVEX_SMOKE_RENEW_DIR names a folder, `closest` (the picture that came closest to the
// reference named `reference`) is written there under that name. A change that alters every
// frame, a new font say, is followed by one run that takes the references again, to be looked
// over and copied in. Nothing happens otherwise, or when either is empty.
void offerForRenewal(const std::string& reference, const Image& closest);

}  // namespace SmokeTest
