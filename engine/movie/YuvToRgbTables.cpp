#include "engine/movie/YuvToRgbTables.h"

#include <cstddef>

namespace Theora {

YuvToRgbTables::YuvToRgbTables() {
    // 16.16 fixed point of 1.164, 1.596, 0.391, 0.813 and 2.018 with the offsets 16 and 128
    // folded in (and 32767 added to the chroma terms); shifts of negative values are arithmetic.
    for (int32_t i = 0; i < 256; ++i) {
        y_[i] = (76284 * i - 1220544) >> 16;
        rv_[i] = (104596 * i - 13355521) >> 16;
        gu_[i] = (25625 * i - 3247233) >> 16;
        gv_[i] = (53281 * i - 6787201) >> 16;
        bu_[i] = (132250 * i - 16895233) >> 16;
    }
    for (int32_t k = -kClampBias; k < 1024 - kClampBias; ++k) {
        clamp_[k + kClampBias] = static_cast<uint8_t>(k < 0 ? 0 : (k > 255 ? 255 : k));
    }
}

const YuvToRgbTables& YuvToRgbTables::instance() {
    static const YuvToRgbTables tables;
    return tables;
}

uint32_t YuvToRgbTables::pixel(uint8_t y, uint8_t u, uint8_t v) const {
    const int32_t c = y_[y];
    const uint32_t red = clamp_[c + rv_[v] + kClampBias];
    const uint32_t green = clamp_[c - gu_[u] - gv_[v] + kClampBias];
    const uint32_t blue = clamp_[c + bu_[u] + kClampBias];
    return 0xFF000000u | red << 16 | green << 8 | blue;
}

void YuvToRgbTables::convert(const YuvPlanes& planes, uint32_t offsetX, uint32_t offsetY, uint32_t width,
                             uint32_t height, uint32_t* out, uint32_t rowPixels) const {
    const uint8_t* clamp = clamp_.data() + kClampBias;
    for (uint32_t row = 0; row < height; ++row) {
        const uint32_t lumaRow = offsetY + row;
        const uint8_t* y = planes.y + static_cast<intptr_t>(lumaRow) * planes.yStride + offsetX;
        const intptr_t chromaRow = static_cast<intptr_t>(lumaRow >> planes.chromaShiftY) * planes.uvStride;
        const uint8_t* u = planes.u + chromaRow;
        const uint8_t* v = planes.v + chromaRow;
        uint32_t* target = out + static_cast<std::size_t>(row) * rowPixels;
        for (uint32_t column = 0; column < width; ++column) {
            const uint32_t chroma = (offsetX + column) >> planes.chromaShiftX;
            const int32_t c = y_[y[column]];
            const int32_t vv = v[chroma];
            const int32_t uu = u[chroma];
            const uint32_t red = clamp[c + rv_[vv]];
            const uint32_t green = clamp[c - gu_[uu] - gv_[vv]];
            const uint32_t blue = clamp[c + bu_[uu]];
            target[column] = 0xFF000000u | red << 16 | green << 8 | blue;
        }
    }
}

}  // namespace Theora
