#pragma once
// Fixed-point Y'CbCr (video range) to RGB conversion of 4:2:0, 4:2:2 and 4:4:4 pictures.
#include <array>
#include <cstdint>

namespace Theora {

// One picture as the decoder hands it out: full-size luma and chroma planes whose coordinates
// are the luma ones shifted right by the chroma shifts (1 and 1 for 4:2:0, 1 and 0 for 4:2:2,
// 0 and 0 for 4:4:4).
struct YuvPlanes {
    const uint8_t* y = nullptr;
    const uint8_t* u = nullptr;
    const uint8_t* v = nullptr;
    int32_t yStride = 0;
    int32_t uvStride = 0;
    uint32_t chromaShiftX = 1;
    uint32_t chromaShiftY = 1;
};

class YuvToRgbTables {
public:
    // The process-wide tables, built on first use.
    static const YuvToRgbTables& instance();

    // Converts the width x height picture that starts at (offsetX, offsetY) of the planes into
    // 0xAARRGGBB pixels (alpha 0xFF), row by row, rowPixels apart.
    void convert(const YuvPlanes& planes, uint32_t offsetX, uint32_t offsetY, uint32_t width, uint32_t height,
                 uint32_t* out, uint32_t rowPixels) const;

    // One pixel, for tests and for callers that convert a few samples.
    uint32_t pixel(uint8_t y, uint8_t u, uint8_t v) const;

    int32_t luma(uint8_t i) const { return y_[i]; }
    int32_t redV(uint8_t i) const { return rv_[i]; }
    int32_t greenU(uint8_t i) const { return gu_[i]; }
    int32_t greenV(uint8_t i) const { return gv_[i]; }
    int32_t blueU(uint8_t i) const { return bu_[i]; }
    // k in -384..639; 0 below 0, 255 from 255 up.
    uint8_t clamp(int32_t k) const { return clamp_[static_cast<uint32_t>(k + kClampBias)]; }

private:
    static constexpr int32_t kClampBias = 384;
    YuvToRgbTables();

    std::array<int32_t, 256> y_{};
    std::array<int32_t, 256> rv_{};
    std::array<int32_t, 256> gu_{};
    std::array<int32_t, 256> gv_{};
    std::array<int32_t, 256> bu_{};
    std::array<uint8_t, 1024> clamp_{};
};

}  // namespace Theora
