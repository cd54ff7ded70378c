#pragma once
// Rows of the 3-D pipeline's triangles shaded eight pixels at a time (AVX2): depth test and
// write, perspective division, colours, texture sampling, stage 0, specular and alpha test, with
// the same double operations and integer formulas as the per-pixel path (see Pipeline3D.h), so
// every pixel comes out the same. Blending and storing stay with the span writers.
#include <cstdint>

#include "platform/gpu/Rasterizer.h"

namespace Platform::Gpu::Raster {

// The values of a triangle's attribute planes along one row: the value at column x is
// base + dx * x (a product, then a sum). Order: depth, q (1/w), then r, g, b, a, specular r, g,
// b, u, v, each times q.
constexpr int kRowValues = 11;
struct Row3D {
    double base[kRowValues];
    double dx[kRowValues];
};

// What the rows of one draw share.
struct Shade3D {
    const PipelineState* state = nullptr;
    bool specular = false;    // add the specular colour after the stage
    bool textured = false;    // stage 0 reads a texture (state->texture is set)
    bool linear = false;      // bilinear sampling
    bool depthTest = false;   // with a depth row: test against it
    bool depthWrite = false;  // with a depth row: store the depth of passing pixels
    uint32_t depthFunc = kCmpLessEqual;
};

// Whether the wide row shader handles this draw: its texture (when read) must have power-of-two
// sides, which wrap by masking.
bool wideShadeSupported(const PipelineState& state, bool textured);

// Shades the n pixels of a row from column x0: the colour of each into src and whether it passes
// the depth and alpha tests into pass (1 or 0); the depth of passing pixels is stored in depth
// (the row's words from x0 on) when the draw writes depth. Returns how many pixels it shaded,
// from the first: fewer than n when a texel position leaves the range it handles, and the rest
// are left to the per-pixel path. Needs a processor with AVX2.
int32_t shadeRow3DAvx2(const Shade3D& shade, const Row3D& row, int64_t x0, int32_t n, uint16_t* depth, uint32_t* src,
                       uint8_t* pass);

}  // namespace Platform::Gpu::Raster
