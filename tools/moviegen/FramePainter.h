#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Orvex::Tools::MovieGen {

// One picture in Y'CbCr: full-size luma and two chroma planes, each dimension shifted right by
// its chroma shift (4:2:0 halves both, 4:2:2 only the width, 4:4:4 neither).
struct YCbCrFrame {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t chromaShiftX = 1;
    uint32_t chromaShiftY = 1;
    std::vector<uint8_t> y;
    std::vector<uint8_t> cb;
    std::vector<uint8_t> cr;
};

// Draws the generator's pictures: a diagonal gradient that scrolls with time, a ring with a
// bar (the logo) that glides from left to right, and a progress bar along the bottom that
// grows to the full width on the last frame. A backdrop (a picture behind a scene) has only
// the gradient, darker. Integer arithmetic only, so the same options give the same pictures
// everywhere.
class FramePainter {
public:
    // A still painter shows the first picture on every frame.
    FramePainter(uint32_t width, uint32_t height, uint32_t hue, bool still = false, bool backdrop = false);

    void paint(uint32_t index, uint32_t count, YCbCrFrame& frame) const;

private:
    struct Rgb {
        int r, g, b;
    };
    Rgb pixel(uint32_t x, uint32_t y, uint32_t index, uint32_t count) const;
    static std::size_t background(uint32_t x, uint32_t y, uint32_t index);

    uint32_t width_;
    uint32_t height_;
    bool still_;
    bool backdrop_;
    std::array<Rgb, 256> gradient_{};
    Rgb logo_{};
    Rgb accent_{};
};

}  // namespace Orvex::Tools::MovieGen
