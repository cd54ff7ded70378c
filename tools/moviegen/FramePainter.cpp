#include "tools/moviegen/FramePainter.h"

#include <cstddef>

namespace Orvex::Tools::MovieGen {

namespace {

// Hue in degrees, saturation and value in 0..255 -> RGB 0..255, integer only.
struct Color {
    int r, g, b;
};
Color hsv(uint32_t hue, int saturation, int value) {
    hue %= 360;
    const int sector = static_cast<int>(hue / 60);
    const int within = static_cast<int>(hue % 60) * 255 / 60;
    const int p = value * (255 - saturation) / 255;
    const int q = value * (255 - saturation * within / 255) / 255;
    const int t = value * (255 - saturation * (255 - within) / 255) / 255;
    switch (sector) {
        case 0:
            return {value, t, p};
        case 1:
            return {q, value, p};
        case 2:
            return {p, value, t};
        case 3:
            return {p, q, value};
        case 4:
            return {t, p, value};
        default:
            return {value, p, q};
    }
}

uint8_t lumaOf(int r, int g, int b) { return static_cast<uint8_t>(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16); }
uint8_t blueDifferenceOf(int r, int g, int b) {
    return static_cast<uint8_t>(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128);
}
uint8_t redDifferenceOf(int r, int g, int b) {
    return static_cast<uint8_t>(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128);
}

}  // namespace

FramePainter::FramePainter(uint32_t width, uint32_t height, uint32_t hue, bool still, bool backdrop)
    : width_(width), height_(height), still_(still), backdrop_(backdrop) {
    // A backdrop stays dim, so what is drawn over it reads.
    const int darkest = backdrop ? 12 : 40;
    const int range = backdrop ? 48 : 120;
    for (int i = 0; i < 256; ++i) {
        // From a dark shade of the hue to a brighter, slightly shifted one.
        const Color c = hsv(hue + static_cast<uint32_t>(i) * 40 / 255, 170, darkest + i * range / 255);
        gradient_[static_cast<size_t>(i)] = Rgb{c.r, c.g, c.b};
    }
    const Color light = hsv(hue, 40, 245);
    logo_ = Rgb{light.r, light.g, light.b};
    const Color accent = hsv(hue + 180, 200, 230);
    accent_ = Rgb{accent.r, accent.g, accent.b};
}

FramePainter::Rgb FramePainter::pixel(uint32_t x, uint32_t y, uint32_t index, uint32_t count) const {
    if (backdrop_) {
        return gradient_[background(x, y, index)];
    }
    const int64_t w = width_;
    const int64_t h = height_;
    // Progress bar along the bottom: (index + 1) / count of the width.
    const int64_t barHeight = h / 24 > 2 ? h / 24 : 2;
    if (static_cast<int64_t>(y) >= h - barHeight) {
        const int64_t filled = w * (index + 1) / count;
        return static_cast<int64_t>(x) < filled ? accent_ : Rgb{16, 16, 16};
    }
    // The logo: a ring with a vertical bar, gliding from a quarter to three quarters of the width.
    const int64_t travel = count > 1 ? static_cast<int64_t>(index) * (w / 2) / (count - 1) : w / 4;
    const int64_t cx = w / 4 + travel;
    const int64_t cy = h / 2;
    const int64_t outer = h / 5;
    const int64_t inner = outer * 3 / 4;
    const int64_t dx = static_cast<int64_t>(x) - cx;
    const int64_t dy = static_cast<int64_t>(y) - cy;
    const int64_t d2 = dx * dx + dy * dy;
    if (d2 <= outer * outer && d2 >= inner * inner) return logo_;
    if ((dx < 0 ? -dx : dx) <= outer / 8 && (dy < 0 ? -dy : dy) <= inner) return accent_;
    return gradient_[background(x, y, index)];
}

// The background: a triangle wave along the diagonal, moving with the frame index.
std::size_t FramePainter::background(uint32_t x, uint32_t y, uint32_t index) {
    const uint32_t phase = (2 * x + y + index * 6) % 512;
    return phase < 256 ? phase : 511 - phase;
}

void FramePainter::paint(uint32_t index, uint32_t count, YCbCrFrame& frame) const {
    if (still_) {
        index = 0;
    }
    frame.width = width_;
    frame.height = height_;
    // Each chroma sample is the mean colour of the block of pixels it covers.
    const uint32_t blockWidth = 1u << frame.chromaShiftX;
    const uint32_t blockHeight = 1u << frame.chromaShiftY;
    const int blockPixels = static_cast<int>(blockWidth * blockHeight);
    const uint32_t chromaWidth = width_ >> frame.chromaShiftX;
    const uint32_t chromaHeight = height_ >> frame.chromaShiftY;
    frame.y.assign(static_cast<size_t>(width_) * height_, 0);
    frame.cb.assign(static_cast<size_t>(chromaWidth) * chromaHeight, 0);
    frame.cr.assign(frame.cb.size(), 0);
    for (uint32_t cy = 0; cy < chromaHeight; ++cy) {
        for (uint32_t cx = 0; cx < chromaWidth; ++cx) {
            int sumR = 0, sumG = 0, sumB = 0;
            for (uint32_t dy = 0; dy < blockHeight; ++dy) {
                for (uint32_t dx = 0; dx < blockWidth; ++dx) {
                    const uint32_t x = cx * blockWidth + dx;
                    const uint32_t y = cy * blockHeight + dy;
                    const Rgb c = pixel(x, y, index, count);
                    frame.y[static_cast<size_t>(y) * width_ + x] = lumaOf(c.r, c.g, c.b);
                    sumR += c.r, sumG += c.g, sumB += c.b;
                }
            }
            const size_t at = static_cast<size_t>(cy) * chromaWidth + cx;
            frame.cb[at] = blueDifferenceOf(sumR / blockPixels, sumG / blockPixels, sumB / blockPixels);
            frame.cr[at] = redDifferenceOf(sumR / blockPixels, sumG / blockPixels, sumB / blockPixels);
        }
    }
}

}  // namespace Orvex::Tools::MovieGen
