#pragma once
// The fixed-function pixel pipeline for pre-transformed triangles.
//
// Rounding rules (the one documented rounding every test compares against):
// - Pixel (px, py) is covered and shaded at its centre (px, py). Vertex positions are snapped to
//   1/256 pixel (round to nearest). Coverage uses the top-left rule: a centre exactly on a top or
//   left edge is inside, on a right or bottom edge outside.
// - Attributes are interpolated linearly in screen space (pre-transformed vertices have rhw 1).
//   Vertex colours are interpolated per channel and rounded to the nearest of 0..255.
// - Texture coordinates are converted to texel space (u * width - 0.5) and rounded to the nearest
//   1/256 texel. Point sampling takes texel floor(u * width); bilinear sampling weighs the four
//   neighbours with the 8-bit fractions: (sum of c * wx * wy + 32768) >> 16, wx, wy in 0..256.
//   Addressing wraps. A texel centre hit exactly reproduces the texel.
// - Stage arithmetic on 8-bit channels: MODULATE = round(a * b / 255), ADD = min(255, a + b).
// - Blend: min(255, round((src * srcFactor + dst * dstFactor) / 255)) per channel, alpha
//   included; a target without alpha reads as alpha 255 and keeps 0xFF in its top byte.
// - The alpha test compares the stage's final alpha with ALPHAREF & 0xFF.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gpu/PixelImage.h"

namespace Platform::Gpu {

struct RasterVertex {
    double x = 0;
    double y = 0;
    uint32_t color = 0xFFFFFFFFu;
    double u = 0;
    double v = 0;
};

struct PipelineState {
    PixelImage* target = nullptr;
    IntRect clip{};  // inside the target; right and bottom exclusive

    const PixelImage* texture = nullptr;  // null reads as opaque white
    uint32_t magFilter = kFilterPoint;
    uint32_t minFilter = kFilterPoint;

    uint32_t colorOp = kOpModulate;
    uint32_t colorArg1 = kArgTexture;
    uint32_t colorArg2 = kArgCurrent;
    uint32_t alphaOp = kOpSelectArg1;
    uint32_t alphaArg1 = kArgTexture;
    uint32_t alphaArg2 = kArgCurrent;

    bool alphaTest = false;
    uint32_t alphaFunc = kCmpAlways;
    uint32_t alphaRef = 0;
    bool alphaBlend = false;
    uint32_t srcBlend = kBlendOne;
    uint32_t destBlend = kBlendZero;
    uint32_t cullMode = kCullCounterClockwise;
    bool flatShading = false;
};

// Rounded a * b / 255 for bytes, and rounded x / 255 for x in 0..65534.
inline uint32_t div255(uint32_t x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// The span writers, narrowest first: plain loops, eight pixels at a time (AVX2), sixteen at a time
// (AVX-512). All give the same pixels.
enum class SpanWriter { Plain, Avx2, Avx512 };
// The widest writer this processor runs (one processor check, made once).
SpanWriter processorSpanWriter();
// The processor's writer, or a narrower one named by ORVEX_GPU_SPAN_WRITER ("plain", "avx2",
// "avx512"), which lets a machine with AVX-512 measure the AVX2 writer.
SpanWriter defaultSpanWriter();
const char* spanWriterName(SpanWriter writer);

class Rasterizer {
public:
    Rasterizer();
    ~Rasterizer();
    Rasterizer(const Rasterizer&) = delete;
    Rasterizer& operator=(const Rasterizer&) = delete;

    // Draws one triangle; culled, degenerate or non-finite triangles draw nothing.
    void drawTriangle(const PipelineState& state, const RasterVertex& a, const RasterVertex& b, const RasterVertex& c);
    // Draws the triangles (a, b, c) and (a, c, d), with the same pixels as two drawTriangle calls;
    // rows where the two meet are drawn as one span when their pixels come out of the same
    // formulas, and an axis-aligned rectangle whose texels map one to one is drawn row by row
    // without walking its edges.
    void drawQuad(const PipelineState& state, const RasterVertex& a, const RasterVertex& b, const RasterVertex& c,
                  const RasterVertex& d);

    // Number of spans that took the direct texel path or the row-sampled bilinear path (for tests
    // of path equality).
    uint64_t directSpans() const { return directSpans_; }
    // When false, every span takes the general per-pixel path and the plain span writer (the
    // reference the fast paths are tested against).
    void setDirectPathEnabled(bool enabled) { directEnabled_ = enabled; }
    // The span writer of the fast paths (defaultSpanWriter() at first); a writer the processor
    // does not run is lowered to the widest it does. Returns the writer now in use.
    SpanWriter setSpanWriter(SpanWriter writer);
    SpanWriter spanWriter() const { return writer_; }

    // The slopes of the last attribute plane made in one place. They depend only on the
    // differences between the vertices (and their attribute values), which sprites of one size
    // and one source size share, so the divisions are made once for them all.
    struct SlopeMemo {
        bool valid = false;
        double key[7];
        double dx, dy;
    };

private:
    struct Triangle;
    struct StageCache;
    struct TexelSteps;
    struct RectangleMemo;
    // Everything of a triangle but its edges: attribute planes, filter, colour and span path.
    void shade(const PipelineState& state, const RasterVertex* const* v, const int64_t* X, const int64_t* Y,
               int64_t area, Triangle& t);
    void chooseStage(const PipelineState& state, Triangle& t);
    // Draws a quad that is an axis-aligned rectangle of one shading on the direct or constant
    // path without setting up its triangles; false (nothing drawn) for any other quad.
    bool drawRectangleQuad(const PipelineState& state, const RasterVertex& a, const RasterVertex& b,
                           const RasterVertex& c, const RasterVertex& d);
    // The shading of a rectangle quad (snapped corners X, Y) worked out from its first triangle
    // and kept for the next; false when it does not take the rectangle path.
    bool shadeRectangle(const PipelineState& state, const RasterVertex* const* corners, const int64_t* X,
                        const int64_t* Y, Triangle& t);
    static TexelSteps texelSteps(const RasterVertex* const* corners, const PixelImage& texture);
    // Draws the pixels of a rectangle quad (snapped corners X, Y) with t's shading.
    void drawRectangleArea(const Triangle& t, const int64_t* X, const int64_t* Y);
    // The shading of a textured rectangle quad on the direct path taken from the last one of the
    // same shape, texel steps, colour and states, drawn elsewhere or from other texels: only what
    // depends on the position and the first texel is worked out; null when there is no such one.
    Triangle* reuseRectangle(const PipelineState& state, const RasterVertex* const* corners, const int64_t* X,
                             const int64_t* Y);
    void keepRectangle(const PipelineState& state, const RasterVertex* const* corners, const int64_t* X,
                       const int64_t* Y, const Triangle& t);
    bool setUp(const PipelineState& state, const RasterVertex& a, const RasterVertex& b, const RasterVertex& c,
               Triangle& out);
    void drawRows(Triangle& t);
    // Rows top..bottom, columns left..right of a rectangle drawn with t's shading.
    void drawRectangle(const Triangle& t, int64_t left, int64_t right, int64_t top, int64_t bottom);
    void drawSpan(const Triangle& t, int64_t py, int64_t left, int64_t right);
    void drawTexelRectangle(const Triangle& t, int64_t left, int64_t right, int64_t top, int64_t bottom);
    void writeSpan(const Triangle& t, const uint32_t* src, uint32_t srcOr, uint32_t* dst, int32_t n);
    uint32_t* spanBuffer(size_t n);
    // The constant source colour of t in the span buffer, at least n words of it.
    const uint32_t* constantSpan(const Triangle& t, size_t n);
    // Bilinear samples of a span whose texel row is the same for every pixel; false (nothing
    // written) when the span's texel positions are out of the range it handles.
    bool sampleRowSpan(const Triangle& t, int64_t py, int64_t left, int32_t n, uint32_t* out);
    // The stage's output for a constant diffuse colour, per texel channel (4 x 256 words, each
    // holding its channel in place); rebuilt only when the stage or the colour changes.
    const uint32_t* combineTable(const PipelineState& state, uint32_t diffuse);

    std::vector<uint32_t> span_;
    std::vector<uint32_t> columns_;  // blended texel columns of sampleRowSpan
    size_t spanConstantCount_ = 0;   // leading words of span_ known to hold spanConstant_
    uint32_t spanConstant_ = 0;
    uint32_t table_[4 * 256] = {};
    uint32_t tableKey_[7] = {};
    bool tableValid_ = false;
    uint64_t directSpans_ = 0;
    bool directEnabled_ = true;
    SpanWriter writer_;
    std::unique_ptr<StageCache> stage_;
    SlopeMemo slopes_[4];  // u and v of a first and of a second triangle
    std::unique_ptr<RectangleMemo> rectangle_;
};

}  // namespace Platform::Gpu
