#pragma once
// Everything one set-up triangle needs to draw its rows, and the edge walker's position.
#include <algorithm>
#include <bit>
#include <cstdint>

#include "platform/gpu/RasterMath.h"
#include "platform/gpu/Rasterizer.h"
#include "platform/gpu/SpanWriter.h"

namespace Platform::Gpu {

// How the pixels of a span are made.
enum class SpanPath {
    Constant,    // no texture, one colour: the same source word everywhere
    Shaded,      // no texture, interpolated colour
    Direct,      // texel centres land on pixel centres: the texels are the samples (bilinear falls
                 // back to row sampling where a span starts off a texel centre)
    RowSampled,  // bilinear with a texel row that does not change along x, through blended columns
    Sampled,     // each pixel sampled on its own (the general path)
};

struct Rasterizer::Triangle {
    const PipelineState* s = nullptr;
    int64_t yMin = 0, yMax = 0;
    int64_t xMinFixed = 0, xMaxFixed = 0;
    // A sloped edge bounds x by floor(M / D) (M = B - bias, D = |dy| * 256, see setUp), stepped
    // row by row as a quotient and remainder: exactly the division, without dividing.
    struct Edge {
        bool bindsLeft;  // else it bounds the right end
        int64_t q, r, d, stepQ, stepR;
    } edges[3];
    int edgeCount = 0;
    int64_t nextRow = 0;  // the row the edges are at

    SpanPath path = SpanPath::Constant;
    const PixelImage* tex = nullptr;
    Raster::Plane pu, pv;
    bool linear = false;
    bool constantColor = false;
    uint32_t flatColor = 0;
    Raster::Plane pc[4];
    // Row sampling serves this triangle's bilinear spans (the fallback of the direct path).
    bool rowSampled = false;
    // On the direct path the texel position of (px, py) is (tuBase + 256 px, tvBase + 256 py) when
    // every sum of the planes is exact in a double, which holds for short binary fractions.
    bool exactTexel = false;
    int64_t tuBase = 0, tvBase = 0;
    // The stage passes texels through unchanged; else, with a constant colour, `table` gives it.
    bool identityCombine = false;
    const uint32_t* table = nullptr;
    uint32_t constantSource = 0;
    Raster::SpanContext context;
    Raster::SpanWrite write = nullptr;

    // The covered columns of row py (rows are visited in order); false when there are none.
    bool span(int64_t py, int64_t& left, int64_t& right) {
        left = xMinFixed;
        right = xMaxFixed;
        for (; nextRow <= py; ++nextRow) {
            const bool current = nextRow == py;
            for (int k = 0; k < edgeCount; ++k) {
                Edge& e = edges[k];
                if (current) {
                    if (e.bindsLeft) {
                        left = std::max(left, -e.q);
                    } else {
                        right = std::min(right, e.q);
                    }
                }
                e.q += e.stepQ;
                e.r += e.stepR;
                if (e.r >= e.d) {
                    e.r -= e.d;
                    ++e.q;
                }
            }
        }
        return py >= yMin && py <= yMax && left <= right;
    }

    uint32_t colorAt(double px, double py) const {
        uint32_t out = 0;
        for (int k = 0; k < 4; ++k) {
            const int64_t value = Raster::roundToInt(pc[k].c + pc[k].dx * px + pc[k].dy * py);
            out |= uint32_t(std::clamp<int64_t>(value, 0, 255)) << (8 * k);
        }
        return out;
    }
    uint32_t combineTexel(uint32_t texel, double px, double py) const {
        if (table != nullptr) {
            return table[texel & 0xFFu] | table[256 + ((texel >> 8) & 0xFFu)] | table[512 + ((texel >> 16) & 0xFFu)] |
                   table[768 + (texel >> 24)];
        }
        return Raster::combine(*s, texel, constantColor ? flatColor : colorAt(px, py));
    }
    // The texel-space position of pixel `left` of row py, in 1/256 texel.
    void texelAt(int64_t py, int64_t left, int64_t& tu, int64_t& tv) const {
        if (exactTexel) {
            tu = tuBase + 256 * left;
            tv = tvBase + 256 * py;
            return;
        }
        const double dpy = double(py);
        tu = Raster::roundToInt(pu.c + pu.dy * dpy + pu.dx * double(left));
        tv = Raster::roundToInt(pv.c + pv.dy * dpy + pv.dx * double(left));
    }
    // Whether the direct path serves a span starting at that texel position.
    bool directAt(int64_t tu, int64_t tv) const {
        return path == SpanPath::Direct && (!linear || ((tu & 0xFF) == 0 && (tv & 0xFF) == 0));
    }
    // The first texel (column, row) of a direct span starting at that texel position.
    uint32_t directColumn(int64_t tu) const {
        return Raster::wrapIndex(linear ? tu >> 8 : (tu + 128) >> 8, tex->width);
    }
    uint32_t directRow(int64_t tv) const { return Raster::wrapIndex(linear ? tv >> 8 : (tv + 128) >> 8, tex->height); }
    // Two triangles whose pixels come out of the same formulas, so that a row's two adjacent
    // spans can be drawn as one.
    bool sameShading(const Triangle& o) const {
        if (!constantColor || !o.constantColor || flatColor != o.flatColor || tex != o.tex) {
            return false;
        }
        if (tex == nullptr) {
            return true;
        }
        return path == SpanPath::Direct && o.path == SpanPath::Direct && linear == o.linear && pu == o.pu && pv == o.pv;
    }
};

// The stage and blend choices of the last triangle set up, and what they depend on.
struct Rasterizer::StageCache {
    struct Key {
        uint32_t colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2;
        bool alphaTest;
        uint32_t alphaFunc, alphaRef;
        bool alphaBlend;
        uint32_t srcBlend, destBlend, targetFormat, flatColor;
        bool constantColor, textured, direct;
        SpanWriter writer;

        bool operator==(const Key&) const = default;
    } key{};
    bool valid = false;
    bool identityCombine = false;
    const uint32_t* table = nullptr;
    uint32_t constantSource = 0;
    Raster::SpanContext context;
    Raster::SpanWrite write = nullptr;
};

// The texel positions (1/256 texel) of a quad's corners 1 to 3 less those of corner 0, as the
// slopes of its texture planes are made from them.
struct Rasterizer::TexelSteps {
    double u[3], v[3];
};

// The last textured rectangle set up on the direct path. Its slopes, stage and path depend on the
// differences between its corners, between their texel positions (the slopes are made of those
// differences alone) and on their colour, the texture's size and the states; only the planes'
// offsets depend on where it is drawn and which texels it starts at, so glyph after glyph of one
// size from one font texture share it. The key is compared bit for bit.
struct Rasterizer::RectangleMemo {
    struct Key {
        uint64_t texture, textureWidth, textureHeight, magFilter, minFilter;
        uint64_t colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2, flatShading, cullMode;
        uint64_t color;
        TexelSteps steps;
        int64_t dX[3], dY[3];
    };
    bool valid = false;
    Key key{};
    Triangle t;

    // Whether the key of these states and corners is `key`, bit for bit: field by field from where
    // they are, since a key built on the stack only to be compared costs more than the compare.
    bool matches(const PipelineState& s, const RasterVertex* const* corners, const TexelSteps& steps, const int64_t* X,
                 const int64_t* Y) const {
        const Key& k = key;
        if (k.texture != reinterpret_cast<uintptr_t>(s.texture) || k.textureWidth != s.texture->width ||
            k.textureHeight != s.texture->height || k.magFilter != s.magFilter || k.minFilter != s.minFilter ||
            k.colorOp != s.colorOp || k.colorArg1 != s.colorArg1 || k.colorArg2 != s.colorArg2 ||
            k.alphaOp != s.alphaOp || k.alphaArg1 != s.alphaArg1 || k.alphaArg2 != s.alphaArg2 ||
            k.flatShading != uint64_t(s.flatShading) || k.cullMode != s.cullMode || k.color != corners[0]->color) {
            return false;
        }
        for (int i = 0; i < 3; ++i) {
            if (std::bit_cast<uint64_t>(k.steps.u[i]) != std::bit_cast<uint64_t>(steps.u[i]) ||
                std::bit_cast<uint64_t>(k.steps.v[i]) != std::bit_cast<uint64_t>(steps.v[i])) {
                return false;
            }
        }
        for (int i = 0; i < 3; ++i) {
            if (k.dX[i] != X[i + 1] - X[0] || k.dY[i] != Y[i + 1] - Y[0]) {
                return false;
            }
        }
        return true;
    }
    static Key of(const PipelineState& s, const RasterVertex* const* corners, const TexelSteps& steps, const int64_t* X,
                  const int64_t* Y) {
        Key k{};
        k.texture = reinterpret_cast<uintptr_t>(s.texture);
        k.textureWidth = s.texture != nullptr ? s.texture->width : 0;
        k.textureHeight = s.texture != nullptr ? s.texture->height : 0;
        k.magFilter = s.magFilter;
        k.minFilter = s.minFilter;
        k.colorOp = s.colorOp;
        k.colorArg1 = s.colorArg1;
        k.colorArg2 = s.colorArg2;
        k.alphaOp = s.alphaOp;
        k.alphaArg1 = s.alphaArg1;
        k.alphaArg2 = s.alphaArg2;
        k.flatShading = s.flatShading;
        k.cullMode = s.cullMode;
        k.color = corners[0]->color;  // the rectangle path has one colour
        k.steps = steps;
        for (int i = 0; i < 3; ++i) {
            k.dX[i] = X[i + 1] - X[0];
            k.dY[i] = Y[i + 1] - Y[0];
        }
        return k;
    }
};

}  // namespace Platform::Gpu
