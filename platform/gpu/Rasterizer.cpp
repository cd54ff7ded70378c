#include "platform/gpu/Rasterizer.h"

#include <algorithm>

#include "platform/gpu/RasterTriangle.h"
#include "platform/gpu/TextureSampling.h"

namespace Platform::Gpu {

using namespace Raster;

namespace {
constexpr uint32_t kWhite = 0xFFFFFFFFu;
}  // namespace

Rasterizer::Rasterizer()
    : writer_(defaultSpanWriter()),
      stage_(std::make_unique<StageCache>()),
      rectangle_(std::make_unique<RectangleMemo>()) {}

Rasterizer::~Rasterizer() = default;

SpanWriter Rasterizer::setSpanWriter(SpanWriter writer) {
    writer_ = std::min(writer, processorSpanWriter());
    return writer_;
}

void Rasterizer::writeSpan(const Triangle& t, const uint32_t* src, uint32_t srcOr, uint32_t* dst, int32_t n) {
    t.write(t.context, src, 0, srcOr, dst, 0, n, 1);
}

uint32_t* Rasterizer::spanBuffer(size_t n) {
    if (span_.size() < n) {
        span_.resize(n);
    }
    spanConstantCount_ = 0;
    return span_.data();
}

const uint32_t* Rasterizer::constantSpan(const Triangle& t, size_t n) {
    // The same colour span after span: fill the buffer only when it grows or changes.
    if (spanConstantCount_ < n || spanConstant_ != t.constantSource) {
        uint32_t* fill = spanBuffer(n);
        std::fill(fill, fill + n, t.constantSource);
        spanConstant_ = t.constantSource;
        spanConstantCount_ = n;
    }
    return span_.data();
}

bool Rasterizer::sampleRowSpan(const Triangle& t, int64_t py, int64_t left, int32_t n, uint32_t* out) {
    const double dpy = double(py);
    return sampleRow(*t.tex, t.pu.c + t.pu.dy * dpy, t.pv.c + t.pv.dy * dpy, t.pu.dx, left, n,
                     writer_ != SpanWriter::Plain, columns_, out);
}

void Rasterizer::drawSpan(const Triangle& t, int64_t py, int64_t left, int64_t right) {
    const PipelineState& s = *t.s;
    const int32_t n = int32_t(right - left + 1);
    uint32_t* dst = s.target->row(uint32_t(py)) + left;
    const double dpy = double(py);
    if (t.path == SpanPath::Constant) {
        writeSpan(t, constantSpan(t, size_t(n)), 0, dst, n);
        return;
    }
    uint32_t* src = spanBuffer(size_t(n));
    if (t.path == SpanPath::Shaded) {
        for (int32_t i = 0; i < n; ++i) {
            src[i] = combine(s, kWhite, t.colorAt(double(left + i), dpy));
        }
        writeSpan(t, src, 0, dst, n);
        return;
    }
    const PixelImage& tex = *t.tex;
    if (t.path == SpanPath::Direct) {
        int64_t tu0, tv0;
        t.texelAt(py, left, tu0, tv0);
        if (t.directAt(tu0, tv0)) {
            // Texel centres land on pixel centres: the texels are the samples.
            const uint32_t* texels = tex.row(t.directRow(tv0));
            const uint32_t alphaFill = tex.hasAlpha() ? 0u : 0xFF000000u;
            uint32_t x = t.directColumn(tu0);
            for (int32_t i = 0; i < n;) {
                const int32_t run = std::min<int32_t>(n - i, int32_t(tex.width - x));
                if (t.identityCombine) {
                    writeSpan(t, texels + x, alphaFill, dst + i, run);
                } else {
                    for (int32_t k = 0; k < run; ++k) {
                        src[i + k] = t.combineTexel(texels[x + k] | alphaFill, 0, 0);
                    }
                }
                i += run;
                x = 0;
            }
            if (!t.identityCombine) {
                writeSpan(t, src, 0, dst, n);
            }
            ++directSpans_;
            return;
        }
    }
    if (t.rowSampled && sampleRowSpan(t, py, left, n, src)) {
        if (!t.identityCombine) {
            for (int32_t i = 0; i < n; ++i) {
                src[i] = t.combineTexel(src[i], 0, 0);
            }
        }
        writeSpan(t, src, 0, dst, n);
        ++directSpans_;
        return;
    }
    const double rowU = t.pu.c + t.pu.dy * dpy;
    const double rowV = t.pv.c + t.pv.dy * dpy;
    for (int32_t i = 0; i < n; ++i) {
        const double px = double(left + i);
        const int64_t tu = roundToInt(rowU + t.pu.dx * px);
        const int64_t tv = roundToInt(rowV + t.pv.dx * px);
        const uint32_t texel = t.linear ? sampleLinear(tex, tu, tv) : samplePoint(tex, tu, tv);
        src[i] = t.combineTexel(texel, px, dpy);
    }
    writeSpan(t, src, 0, dst, n);
}

void Rasterizer::drawRectangle(const Triangle& t, int64_t left, int64_t right, int64_t top, int64_t bottom) {
    const int32_t n = int32_t(right - left + 1);
    const size_t targetWidth = t.s->target->width;
    uint32_t* dst = t.s->target->row(uint32_t(top)) + left;
    if (t.path == SpanPath::Constant) {
        // One source row for every target row.
        t.write(t.context, constantSpan(t, size_t(n)), 0, 0, dst, targetWidth, n, int32_t(bottom - top + 1));
        return;
    }
    if (t.path == SpanPath::Direct && t.identityCombine) {
        drawTexelRectangle(t, left, right, top, bottom);
        return;
    }
    for (int64_t py = top; py <= bottom; ++py) {
        drawSpan(t, py, left, right);
    }
}

// Texel rows straight into the span writer: the rectangle's first texel is worked out once, then
// each row is the next texel row (wrapping) from the same column, as many rows at once as the
// texture has before it wraps.
void Rasterizer::drawTexelRectangle(const Triangle& t, int64_t left, int64_t right, int64_t top, int64_t bottom) {
    const PixelImage& tex = *t.tex;
    const uint32_t column = t.directColumn(t.tuBase + 256 * left);
    uint32_t texRow = t.directRow(t.tvBase + 256 * top);
    const uint32_t alphaFill = tex.hasAlpha() ? 0u : 0xFF000000u;
    const int32_t n = int32_t(right - left + 1);
    const bool wraps = int64_t(n) > int64_t(tex.width - column);
    const size_t targetWidth = t.s->target->width;
    uint32_t* dst = t.s->target->row(uint32_t(top)) + left;
    for (int64_t py = top; py <= bottom;) {
        const int32_t rows = int32_t(std::min<int64_t>(bottom - py + 1, tex.height - texRow));
        if (!wraps) {
            t.write(t.context, tex.row(texRow) + column, tex.width, alphaFill, dst, targetWidth, n, rows);
        } else {
            for (int32_t k = 0; k < rows; ++k) {
                const uint32_t* texels = tex.row(texRow + uint32_t(k));
                uint32_t* to = dst + size_t(k) * targetWidth;
                uint32_t x = column;
                for (int32_t i = 0; i < n;) {
                    const int32_t run = std::min<int32_t>(n - i, int32_t(tex.width - x));
                    writeSpan(t, texels + x, alphaFill, to + i, run);
                    i += run;
                    x = 0;
                }
            }
        }
        py += rows;
        dst += size_t(rows) * targetWidth;
        texRow = texRow + uint32_t(rows) == tex.height ? 0 : texRow + uint32_t(rows);
    }
    directSpans_ += uint64_t(bottom - top + 1);
}

void Rasterizer::drawRows(Triangle& t) {
    int64_t left, right;
    for (int64_t py = t.yMin; py <= t.yMax; ++py) {
        if (t.span(py, left, right)) {
            drawSpan(t, py, left, right);
        }
    }
}

void Rasterizer::drawTriangle(const PipelineState& s, const RasterVertex& a, const RasterVertex& b,
                              const RasterVertex& c) {
    Triangle t;
    if (setUp(s, a, b, c, t)) {
        drawRows(t);
    }
}

void Rasterizer::drawQuad(const PipelineState& s, const RasterVertex& a, const RasterVertex& b, const RasterVertex& c,
                          const RasterVertex& d) {
    if (drawRectangleQuad(s, a, b, c, d)) {
        return;
    }
    Triangle first, second;
    const bool hasFirst = setUp(s, a, b, c, first);
    const bool hasSecond = setUp(s, a, c, d, second);
    if (!hasFirst || !hasSecond || !directEnabled_ || !first.sameShading(second)) {
        if (hasFirst) {
            drawRows(first);
        }
        if (hasSecond) {
            drawRows(second);
        }
        return;
    }
    // Row by row, the first triangle's span before the second's: pixels of different rows do not
    // interact, so this is the order of drawing one triangle after the other. Two spans that meet
    // and map to the same texels in the same way are one span.
    int64_t l1, r1, l2, r2;
    for (int64_t py = std::min(first.yMin, second.yMin); py <= std::max(first.yMax, second.yMax); ++py) {
        const bool in1 = first.span(py, l1, r1);
        const bool in2 = second.span(py, l2, r2);
        if (in1 && in2 && (r1 + 1 == l2 || r2 + 1 == l1)) {
            bool joined = first.tex == nullptr;
            if (!joined) {
                int64_t tu1, tv1, tu2, tv2;
                first.texelAt(py, l1, tu1, tv1);
                second.texelAt(py, l2, tu2, tv2);
                joined =
                    first.directAt(tu1, tv1) && second.directAt(tu2, tv2) && tv1 == tv2 && tu2 - tu1 == (l2 - l1) * 256;
            }
            if (joined) {
                drawSpan(first, py, std::min(l1, l2), std::max(r1, r2));
                continue;
            }
        }
        if (in1) {
            drawSpan(first, py, l1, r1);
        }
        if (in2) {
            drawSpan(second, py, l2, r2);
        }
    }
}

}  // namespace Platform::Gpu
