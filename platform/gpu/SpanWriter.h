#pragma once
// Alpha test, blend and store of rows of shaded source pixels: one plain writer for every blend
// and test, and wide writers (AVX2, AVX-512) for the common ones, all giving the same integers.
// Which wide writer runs is decided once, by a processor check when a rasterizer is made.
#include <cstddef>
#include <cstdint>

#include "platform/gpu/Rasterizer.h"

namespace Platform::Gpu::Raster {

enum class BlendKind { Copy, Over, Additive, Generic };
enum class TestKind { None, GreaterEqual, Generic };

BlendKind blendKind(const PipelineState& s);
// An alpha test every pixel passes (ALWAYS, or GREATEREQUAL 0) counts as none.
TestKind testKind(const PipelineState& s);

// What a writer needs besides the pixels.
struct SpanContext {
    uint32_t keepMask = 0;  // 0xFF000000 for targets without alpha, whose top byte stays 0xFF
    uint32_t ref = 0;       // the alpha reference, 0..255
    uint32_t alphaFunc = kCmpAlways;
    uint32_t srcBlend = kBlendOne;
    uint32_t destBlend = kBlendZero;
    bool constantSource = false;  // every source word of the span is the same (one colour)

    SpanContext() = default;
    explicit SpanContext(const PipelineState& s);
};

// Writes `rows` rows of n pixels: source row k at src + k * srcStride (each word or-ed with
// srcOr), target row k at dst + k * dstStride. Strides count words.
using SpanWrite = void (*)(const SpanContext& c, const uint32_t* src, size_t srcStride, uint32_t srcOr, uint32_t* dst,
                           size_t dstStride, int32_t n, int32_t rows);

// The writer for a blend and test kind, no wider than `widest`.
SpanWrite chooseSpanWrite(BlendKind kind, TestKind test, SpanWriter widest);

}  // namespace Platform::Gpu::Raster
