#pragma once
// Integer and plane helpers shared by the rasterizer's set-up, sampling and span code.
#include <cstdint>

#include "platform/gpu/Rasterizer.h"

namespace Platform::Gpu::Raster {

inline int64_t floorDiv(int64_t a, int64_t b) {  // b > 0
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}
inline int64_t ceilDiv(int64_t a, int64_t b) {  // b > 0
    return -floorDiv(-a, b);
}
// floor(v + 0.5) without a library call: truncation, one down for negative fractions.
inline int64_t roundToInt(double v) {
    const double x = v + 0.5;
    const int64_t t = static_cast<int64_t>(x);
    return double(t) > x ? int64_t(uint64_t(t) - 1) : t;
}
inline uint32_t wrapIndex(int64_t i, uint32_t n) {
    if (i >= 0 && i < int64_t(n)) {
        return uint32_t(i);
    }
    int64_t r = i % int64_t(n);
    return uint32_t(r < 0 ? r + n : r);
}
inline uint32_t channel(uint32_t v, int shift) { return (v >> shift) & 0xFFu; }

// An attribute as a linear function of the pixel centre.
struct Plane {
    double dx = 0;
    double dy = 0;
    double c = 0;

    bool operator==(const Plane&) const = default;
};

// Stage 0: colour and alpha from the texel and the diffuse colour.
uint32_t combine(const PipelineState& s, uint32_t texel, uint32_t diffuse);
// Whether stage 0 reads the texture at all.
bool usesTexture(const PipelineState& s);

}  // namespace Platform::Gpu::Raster
