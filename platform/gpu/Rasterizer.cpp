#include "platform/gpu/Rasterizer.h"

#include <algorithm>
#include <cmath>

namespace Platform::Gpu {
namespace {

constexpr double kCoordinateLimit = 1 << 20;  // pixels; farther vertices drop the triangle
constexpr uint32_t kWhite = 0xFFFFFFFFu;

int64_t floorDiv(int64_t a, int64_t b) {  // b > 0
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}
int64_t ceilDiv(int64_t a, int64_t b) {  // b > 0
    return -floorDiv(-a, b);
}
int64_t roundToInt(double v) {
    return static_cast<int64_t>(std::floor(v + 0.5));
}
uint32_t wrapIndex(int64_t i, uint32_t n) {
    int64_t r = i % int64_t(n);
    return uint32_t(r < 0 ? r + n : r);
}

// An attribute as a linear function of the pixel centre.
struct Plane {
    double dx = 0;
    double dy = 0;
    double c = 0;
};

Plane makePlane(const double* x, const double* y, const double* a, double det) {
    Plane p;
    p.dx = ((a[1] - a[0]) * (y[2] - y[0]) - (a[2] - a[0]) * (y[1] - y[0])) / det;
    p.dy = ((a[2] - a[0]) * (x[1] - x[0]) - (a[1] - a[0]) * (x[2] - x[0])) / det;
    p.c = a[0] - p.dx * x[0] - p.dy * y[0];
    return p;
}

uint32_t channel(uint32_t v, int shift) {
    return (v >> shift) & 0xFFu;
}

uint32_t applyOp(uint32_t op, uint32_t a1, uint32_t a2) {
    switch (op) {
        case kOpSelectArg2:
            return a2;
        case kOpModulate:
            return div255(a1 * a2);
        case kOpAdd:
            return std::min<uint32_t>(255, a1 + a2);
        default:
            return a1;
    }
}

uint32_t pickArg(uint32_t arg, uint32_t texel, uint32_t diffuse) {
    return arg == kArgTexture ? texel : diffuse;
}

// Stage 0: colour and alpha from the texel and the diffuse colour.
uint32_t combine(const PipelineState& s, uint32_t texel, uint32_t diffuse) {
    if (s.colorOp == kOpDisable) {
        return diffuse;
    }
    const uint32_t c1 = pickArg(s.colorArg1, texel, diffuse);
    const uint32_t c2 = pickArg(s.colorArg2, texel, diffuse);
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        out |= applyOp(s.colorOp, channel(c1, shift), channel(c2, shift)) << shift;
    }
    uint32_t alpha = channel(diffuse, 24);
    if (s.alphaOp != kOpDisable) {
        alpha = applyOp(s.alphaOp, channel(pickArg(s.alphaArg1, texel, diffuse), 24),
                        channel(pickArg(s.alphaArg2, texel, diffuse), 24));
    }
    return out | (alpha << 24);
}

bool alphaPasses(uint32_t func, uint32_t alpha, uint32_t ref) {
    switch (func) {
        case kCmpNever:
            return false;
        case kCmpLess:
            return alpha < ref;
        case kCmpEqual:
            return alpha == ref;
        case kCmpLessEqual:
            return alpha <= ref;
        case kCmpGreater:
            return alpha > ref;
        case kCmpNotEqual:
            return alpha != ref;
        case kCmpGreaterEqual:
            return alpha >= ref;
        default:
            return true;
    }
}

uint32_t blendFactor(uint32_t factor, uint32_t srcAlpha) {
    switch (factor) {
        case kBlendZero:
            return 0;
        case kBlendSrcAlpha:
            return srcAlpha;
        case kBlendInvSrcAlpha:
            return 255 - srcAlpha;
        default:
            return 255;
    }
}

uint32_t blendChannel(uint32_t s, uint32_t d, uint32_t sf, uint32_t df) {
    const uint32_t x = s * sf + d * df;
    return x >= 255u * 255u ? 255u : div255(x);
}

enum class BlendKind { Copy, Over, Additive, Generic };
enum class TestKind { None, GreaterEqual, Generic };

BlendKind blendKind(const PipelineState& s) {
    if (!s.alphaBlend || (s.srcBlend == kBlendOne && s.destBlend == kBlendZero)) {
        return BlendKind::Copy;
    }
    if (s.srcBlend == kBlendSrcAlpha && s.destBlend == kBlendInvSrcAlpha) {
        return BlendKind::Over;
    }
    if (s.srcBlend == kBlendSrcAlpha && s.destBlend == kBlendOne) {
        return BlendKind::Additive;
    }
    return BlendKind::Generic;
}

TestKind testKind(const PipelineState& s) {
    if (!s.alphaTest || s.alphaFunc == kCmpAlways) {
        return TestKind::None;
    }
    return s.alphaFunc == kCmpGreaterEqual ? TestKind::GreaterEqual : TestKind::Generic;
}

// Two channels at once in the 16-bit lanes of a word (bits 0-7 and 16-23); every step stays
// below 65536 per lane, so the results equal the per-channel formulas exactly.
inline uint32_t div255Lanes(uint32_t x) {
    x += 0x00800080u;
    return ((x + ((x >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

inline uint32_t blendOver(uint32_t sp, uint32_t dp) {
    const uint32_t sa = sp >> 24;
    const uint32_t ia = 255 - sa;
    const uint32_t rb = div255Lanes((sp & 0x00FF00FFu) * sa + (dp & 0x00FF00FFu) * ia);
    const uint32_t ag = div255Lanes(((sp >> 8) & 0x00FF00FFu) * sa + ((dp >> 8) & 0x00FF00FFu) * ia);
    return rb | ag << 8;
}

// round((s * sa + d * 255) / 255) = round(s * sa / 255) + d, saturated.
inline uint32_t blendAdditive(uint32_t sp, uint32_t dp) {
    const uint32_t sa = sp >> 24;
    uint32_t rb = div255Lanes((sp & 0x00FF00FFu) * sa) + (dp & 0x00FF00FFu);
    uint32_t ag = div255Lanes(((sp >> 8) & 0x00FF00FFu) * sa) + ((dp >> 8) & 0x00FF00FFu);
    rb = (rb | (((rb >> 8) & 0x00010001u) * 0xFFu)) & 0x00FF00FFu;
    ag = (ag | (((ag >> 8) & 0x00010001u) * 0xFFu)) & 0x00FF00FFu;
    return rb | ag << 8;
}

// Alpha test, blend and store of one span of shaded source pixels, written per blend and test
// kind as branch-free loops that the compiler can vectorise.
template <BlendKind kKind, TestKind kTest>
void writeSpan(const PipelineState& s, const uint32_t* __restrict src, uint32_t* __restrict dst, int32_t n,
               bool destAlpha) {
    const uint32_t ref = s.alphaRef & 0xFFu;
    const uint32_t keepMask = destAlpha ? 0u : 0xFF000000u;
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t sp = src[i];
        const uint32_t old = dst[i];
        const uint32_t dp = old | keepMask;
        uint32_t out;
        if constexpr (kKind == BlendKind::Copy) {
            out = sp;
        } else if constexpr (kKind == BlendKind::Over) {
            out = blendOver(sp, dp);
        } else if constexpr (kKind == BlendKind::Additive) {
            out = blendAdditive(sp, dp);
        } else {
            const uint32_t sa = sp >> 24;
            const uint32_t sf = blendFactor(s.srcBlend, sa);
            const uint32_t df = blendFactor(s.destBlend, sa);
            out = blendChannel(channel(sp, 0), channel(dp, 0), sf, df) |
                  blendChannel(channel(sp, 8), channel(dp, 8), sf, df) << 8 |
                  blendChannel(channel(sp, 16), channel(dp, 16), sf, df) << 16 |
                  blendChannel(sp >> 24, channel(dp, 24), sf, df) << 24;
        }
        bool pass = true;
        if constexpr (kTest == TestKind::GreaterEqual) {
            pass = (sp >> 24) >= ref;
        } else if constexpr (kTest == TestKind::Generic) {
            pass = alphaPasses(s.alphaFunc, sp >> 24, ref);
        }
        dst[i] = pass ? (out | keepMask) : old;
    }
}

template <BlendKind kKind>
void writeSpanTested(const PipelineState& s, const uint32_t* src, uint32_t* dst, int32_t n, bool destAlpha) {
    switch (testKind(s)) {
        case TestKind::None:
            writeSpan<kKind, TestKind::None>(s, src, dst, n, destAlpha);
            break;
        case TestKind::GreaterEqual:
            writeSpan<kKind, TestKind::GreaterEqual>(s, src, dst, n, destAlpha);
            break;
        case TestKind::Generic:
            writeSpan<kKind, TestKind::Generic>(s, src, dst, n, destAlpha);
            break;
    }
}

// Built twice, for the baseline instruction set and for AVX2, and chosen when the program loads;
// both versions compute the same integers.
__attribute__((target_clones("avx2", "default"), flatten)) void writeSpanFor(const PipelineState& s,
                                                                             const uint32_t* src, uint32_t* dst,
                                                                             int32_t n, bool destAlpha) {
    switch (blendKind(s)) {
        case BlendKind::Copy:
            writeSpanTested<BlendKind::Copy>(s, src, dst, n, destAlpha);
            break;
        case BlendKind::Over:
            writeSpanTested<BlendKind::Over>(s, src, dst, n, destAlpha);
            break;
        case BlendKind::Additive:
            writeSpanTested<BlendKind::Additive>(s, src, dst, n, destAlpha);
            break;
        case BlendKind::Generic:
            writeSpanTested<BlendKind::Generic>(s, src, dst, n, destAlpha);
            break;
    }
}

uint32_t samplePoint(const PixelImage& t, int64_t tu, int64_t tv) {
    return t.read(wrapIndex((tu + 128) >> 8, t.width), wrapIndex((tv + 128) >> 8, t.height));
}

uint32_t sampleLinear(const PixelImage& t, int64_t tu, int64_t tv) {
    const uint32_t fx = uint32_t(tu & 0xFF);
    const uint32_t fy = uint32_t(tv & 0xFF);
    const uint32_t x0 = wrapIndex(tu >> 8, t.width);
    const uint32_t y0 = wrapIndex(tv >> 8, t.height);
    if (fx == 0 && fy == 0) {
        return t.read(x0, y0);
    }
    const uint32_t x1 = x0 + 1 == t.width ? 0 : x0 + 1;
    const uint32_t y1 = y0 + 1 == t.height ? 0 : y0 + 1;
    const uint32_t c00 = t.read(x0, y0), c10 = t.read(x1, y0), c01 = t.read(x0, y1), c11 = t.read(x1, y1);
    uint32_t out = 0;
    for (int shift = 0; shift <= 24; shift += 8) {
        const uint32_t top = channel(c00, shift) * (256 - fx) + channel(c10, shift) * fx;
        const uint32_t bottom = channel(c01, shift) * (256 - fx) + channel(c11, shift) * fx;
        out |= ((top * (256 - fy) + bottom * fy + 32768) >> 16) << shift;
    }
    return out;
}

bool usesTexture(const PipelineState& s) {
    if (s.colorOp == kOpDisable) {
        return false;
    }
    return s.colorArg1 == kArgTexture || s.colorArg2 == kArgTexture ||
           (s.alphaOp != kOpDisable && (s.alphaArg1 == kArgTexture || s.alphaArg2 == kArgTexture));
}

}  // namespace

void Rasterizer::fill(PixelImage& target, const IntRect& rect, uint32_t argb) {
    const uint32_t value = target.hasAlpha() ? argb : (argb | 0xFF000000u);
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        std::fill(target.row(uint32_t(y)) + rect.left, target.row(uint32_t(y)) + rect.right, value);
    }
}

void Rasterizer::drawTriangle(const PipelineState& s, const RasterVertex& a, const RasterVertex& b,
                              const RasterVertex& c) {
    if (s.target == nullptr || s.clip.left >= s.clip.right || s.clip.top >= s.clip.bottom) {
        return;
    }
    const RasterVertex* v[3] = {&a, &b, &c};
    int64_t X[3];
    int64_t Y[3];
    for (int i = 0; i < 3; ++i) {
        if (!std::isfinite(v[i]->x) || !std::isfinite(v[i]->y) || std::fabs(v[i]->x) > kCoordinateLimit ||
            std::fabs(v[i]->y) > kCoordinateLimit) {
            return;
        }
        X[i] = roundToInt(v[i]->x * 256.0);
        Y[i] = roundToInt(v[i]->y * 256.0);
    }
    int64_t area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
    if (area == 0) {
        return;
    }
    // Positive area is clockwise on the screen (y points down).
    if ((s.cullMode == kCullClockwise && area > 0) || (s.cullMode == kCullCounterClockwise && area < 0)) {
        return;
    }
    if (area < 0) {  // make the winding clockwise; vertex 0 (flat shading's colour) stays first
        std::swap(v[1], v[2]);
        std::swap(X[1], X[2]);
        std::swap(Y[1], Y[2]);
        area = -area;
    }

    const int64_t yMin = std::max<int64_t>(ceilDiv(std::min({Y[0], Y[1], Y[2]}), 256), s.clip.top);
    const int64_t yMax = std::min<int64_t>(floorDiv(std::max({Y[0], Y[1], Y[2]}), 256), s.clip.bottom - 1);
    const int64_t xMinAll = std::max<int64_t>(ceilDiv(std::min({X[0], X[1], X[2]}), 256), s.clip.left);
    const int64_t xMaxAll = std::min<int64_t>(floorDiv(std::max({X[0], X[1], X[2]}), 256), s.clip.right - 1);
    if (yMin > yMax || xMinAll > xMaxAll) {
        return;
    }

    struct Edge {
        int64_t dx, dy, xs, ys, bias;
    } edges[3];
    int edgeCount = 0;
    int64_t xMinFixed = xMinAll;
    int64_t xMaxFixed = xMaxAll;
    for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3;
        Edge e{X[j] - X[i], Y[j] - Y[i], X[i], Y[i], 0};
        const bool topLeft = (e.dy == 0 && e.dx > 0) || e.dy < 0;
        e.bias = topLeft ? 0 : 1;
        if (e.dx == 0) {
            // A vertical edge bounds every row alike: resolve it once.
            const int64_t A = -e.dy * 256;
            const int64_t B = e.dy * e.xs;
            if (A > 0) {
                xMinFixed = std::max(xMinFixed, ceilDiv(e.bias - B, A));
            } else {
                xMaxFixed = std::min(xMaxFixed, floorDiv(B - e.bias, -A));
            }
            continue;
        }
        edges[edgeCount++] = e;
    }

    // Attribute planes over the snapped positions.
    double xs[3], ys[3];
    for (int i = 0; i < 3; ++i) {
        xs[i] = double(X[i]) / 256.0;
        ys[i] = double(Y[i]) / 256.0;
    }
    const double det = double(area) / 65536.0;

    const PixelImage* tex = (s.texture != nullptr && usesTexture(s)) ? s.texture : nullptr;
    Plane pu, pv;
    bool linear = false;
    if (tex != nullptr) {
        double tu[3], tv[3];
        for (int i = 0; i < 3; ++i) {
            tu[i] = v[i]->u * tex->width * 256.0 - 128.0;
            tv[i] = v[i]->v * tex->height * 256.0 - 128.0;
        }
        pu = makePlane(xs, ys, tu, det);
        pv = makePlane(xs, ys, tv, det);
        const double texelsPerPixel = std::fabs(pu.dx * pv.dy - pu.dy * pv.dx) / 65536.0;
        const uint32_t filter = texelsPerPixel > 1.0 ? s.minFilter : s.magFilter;
        linear = filter == kFilterLinear || filter == kFilterAnisotropic;
    }

    const bool constantColor = s.flatShading || (v[0]->color == v[1]->color && v[0]->color == v[2]->color);
    const uint32_t flatColor = s.flatShading ? a.color : v[0]->color;
    Plane pc[4];
    if (!constantColor) {
        for (int k = 0; k < 4; ++k) {
            double ch[3];
            for (int i = 0; i < 3; ++i) {
                ch[i] = double(channel(v[i]->color, 8 * k));
            }
            pc[k] = makePlane(xs, ys, ch, det);
        }
    }
    auto colorAt = [&](double px, double py) {
        uint32_t out = 0;
        for (int k = 0; k < 4; ++k) {
            const int64_t value = roundToInt(pc[k].c + pc[k].dx * px + pc[k].dy * py);
            out |= uint32_t(std::clamp<int64_t>(value, 0, 255)) << (8 * k);
        }
        return out;
    };

    const bool direct = directEnabled_ && tex != nullptr && constantColor && pu.dx == 256.0 && pu.dy == 0.0 &&
                        pv.dx == 0.0 && pv.dy == 256.0;
    const bool identityCombine = constantColor && combine(s, 0x80402010u, flatColor) == 0x80402010u &&
                                 combine(s, 0x10204080u, flatColor) == 0x10204080u;
    const uint32_t constantSource = combine(s, kWhite, flatColor);
    const bool destAlpha = s.target->hasAlpha();

    for (int64_t py = yMin; py <= yMax; ++py) {
        int64_t left = xMinFixed;
        int64_t right = xMaxFixed;
        const int64_t Py = py * 256;
        for (int k = 0; k < edgeCount; ++k) {
            const Edge& e = edges[k];
            const int64_t A = -e.dy * 256;
            const int64_t B = e.dx * (Py - e.ys) + e.dy * e.xs;
            if (A > 0) {
                left = std::max(left, ceilDiv(e.bias - B, A));
            } else if (A < 0) {
                right = std::min(right, floorDiv(B - e.bias, -A));
            } else if (B < e.bias) {
                right = left - 1;
            }
        }
        if (left > right) {
            continue;
        }
        const int32_t n = int32_t(right - left + 1);
        if (span_.size() < size_t(n)) {
            span_.resize(size_t(n));
        }
        uint32_t* src = span_.data();
        const double dpy = double(py);

        if (tex == nullptr) {
            if (constantColor) {
                std::fill(src, src + n, constantSource);
            } else {
                for (int32_t i = 0; i < n; ++i) {
                    src[i] = combine(s, kWhite, colorAt(double(left + i), dpy));
                }
            }
        } else {
            const double rowU = pu.c + pu.dy * dpy;
            const double rowV = pv.c + pv.dy * dpy;
            bool done = false;
            if (direct) {
                const int64_t tu0 = roundToInt(rowU + pu.dx * double(left));
                const int64_t tv0 = roundToInt(rowV + pv.dx * double(left));
                if (!linear || ((tu0 & 0xFF) == 0 && (tv0 & 0xFF) == 0)) {
                    // Texel centres land on pixel centres: the texels are the samples.
                    const int64_t column = linear ? tu0 >> 8 : (tu0 + 128) >> 8;
                    const uint32_t texRow = wrapIndex(linear ? tv0 >> 8 : (tv0 + 128) >> 8, tex->height);
                    const uint32_t* texels = tex->row(texRow);
                    const uint32_t alphaFill = tex->hasAlpha() ? 0u : 0xFF000000u;
                    uint32_t x = wrapIndex(column, tex->width);
                    int32_t i = 0;
                    while (i < n) {
                        const int32_t run = std::min<int32_t>(n - i, int32_t(tex->width - x));
                        for (int32_t k = 0; k < run; ++k) {
                            src[i + k] = texels[x + k] | alphaFill;
                        }
                        i += run;
                        x = 0;
                    }
                    if (!identityCombine) {
                        for (int32_t k = 0; k < n; ++k) {
                            src[k] = combine(s, src[k], flatColor);
                        }
                    }
                    ++directSpans_;
                    done = true;
                }
            }
            if (!done) {
                for (int32_t i = 0; i < n; ++i) {
                    const double px = double(left + i);
                    const int64_t tu = roundToInt(rowU + pu.dx * px);
                    const int64_t tv = roundToInt(rowV + pv.dx * px);
                    const uint32_t texel = linear ? sampleLinear(*tex, tu, tv) : samplePoint(*tex, tu, tv);
                    src[i] = combine(s, texel, constantColor ? flatColor : colorAt(px, dpy));
                }
            }
        }
        writeSpanFor(s, src, s.target->row(uint32_t(py)) + left, n, destAlpha);
    }
}

}  // namespace Platform::Gpu
