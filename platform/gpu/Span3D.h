#pragma once
// Pixels of the 3-D pipeline's triangles shaded eight at a time (AVX2 or AVX-512): depth test and
// write, perspective division, colours, texture sampling, stage 0, specular and alpha test, with
// the same double operations and integer formulas as the per-pixel path (see Pipeline3D.h), so
// every pixel comes out the same. Blending and storing stay with the span writers.
#include <cstdint>

#include "platform/gpu/Rasterizer.h"

namespace Platform::Gpu::Raster {

// A triangle's attribute planes: the value at pixel (x, y) is (dy * y + c) + dx * x, a product
// and a sum, then a product and a sum. Order: depth, q (1/w), then r, g, b, a, specular r, g, b,
// u, v, each times q.
constexpr int kPlaneValues = 11;
struct Planes3D {
    double dx[kPlaneValues];
    double dy[kPlaneValues];
    double c[kPlaneValues];
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
    // The blend is a plain copy: the shader stores passing pixels (or-ed with keepMask) into
    // state->target itself instead of handing them back.
    bool store = false;
    uint32_t keepMask = 0;
};

// Whether the wide row shader handles this draw: its texture (when read) must have power-of-two
// sides, which wrap by masking.
bool wideShadeSupported(const PipelineState& state, bool textured);

// Shades the n pixels (xs[i], ys[i]) of one triangle, each at most once: the colour of each into
// src (room for n + 8 words) and whether it passes the depth and alpha tests into pass (1 or
// 0), or, when the shade stores, passing pixels straight into the target (src and pass are
// then not used); the depth of passing pixels is stored when the draw writes depth. depth is the depth
// buffer (rows of depthWidth words, with one spare word after the last) or null when depth is
// neither tested nor written. Returns how many pixels it shaded, from the first: fewer than n
// when a texel position leaves the range it handles, and the rest are left to the per-pixel
// path. Needs a processor with AVX2.
int32_t shadePixels3DAvx2(const Shade3D& shade, const Planes3D& planes, const int32_t* xs, const int32_t* ys, int32_t n,
                          uint16_t* depth, uint32_t depthWidth, uint32_t* src, uint8_t* pass);
// The same, each double operation on eight lanes at once, with the same pixels. Needs a processor
// with AVX-512 F, BW and VL (as SpanWriter::Avx512).
int32_t shadePixels3DAvx512(const Shade3D& shade, const Planes3D& planes, const int32_t* xs, const int32_t* ys,
                            int32_t n, uint16_t* depth, uint32_t depthWidth, uint32_t* src, uint8_t* pass);

}  // namespace Platform::Gpu::Raster
