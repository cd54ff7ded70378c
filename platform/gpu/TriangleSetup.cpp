#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gpu/RasterTriangle.h"
#include "platform/gpu/TextureSampling.h"

namespace Platform::Gpu {

using namespace Raster;

namespace {

constexpr double kCoordinateLimit = 1 << 20;  // pixels; farther vertices drop the triangle
constexpr uint32_t kWhite = 0xFFFFFFFFu;

// The value at (0, 0) of the plane through (x0, y0, a0) with those slopes.
double planeOffset(double a0, double x0, double y0, double dx, double dy) { return a0 - dx * x0 - dy * y0; }

// A texture coordinate in 1/256 texel, texel centres at multiples of 256.
double texelPosition(double coordinate, uint32_t size) { return coordinate * size * 256.0 - 128.0; }

// A multiple of 2^-20 below 2^30 plus 256 times a coordinate of the clip stays within the 53 bits
// of a double, so the sums in texelAt are exact and floor(c + 256 k + 0.5) is floor(c + 0.5) + 256 k.
bool shortFraction(double x) {
    const double scaled = x * 1048576.0;
    return std::fabs(x) < 1073741824.0 && double(int64_t(scaled)) == scaled;
}

// Whether the texel position of each pixel of a direct triangle follows from its first, and from where.
template <typename Triangle>
void placeTexels(Triangle& t, bool direct) {
    t.exactTexel = direct && shortFraction(t.pu.c) && shortFraction(t.pv.c);
    if (t.exactTexel) {
        t.tuBase = roundToInt(t.pu.c);
        t.tvBase = roundToInt(t.pv.c);
    }
}

Plane makePlane(const double* x, const double* y, const double* a, double det, Rasterizer::SlopeMemo* memo = nullptr) {
    const double key[7] = {a[1] - a[0], a[2] - a[0], x[1] - x[0], x[2] - x[0], y[1] - y[0], y[2] - y[0], det};
    Plane p;
    if (memo != nullptr && memo->valid && std::memcmp(key, memo->key, sizeof key) == 0) {
        p.dx = memo->dx;
        p.dy = memo->dy;
    } else {
        p.dx = (key[0] * key[5] - key[1] * key[4]) / det;
        p.dy = (key[1] * key[2] - key[0] * key[3]) / det;
        if (memo != nullptr) {
            std::memcpy(memo->key, key, sizeof key);
            memo->dx = p.dx;
            memo->dy = p.dy;
            memo->valid = true;
        }
    }
    p.c = planeOffset(a[0], x[0], y[0], p.dx, p.dy);
    return p;
}

// Vertex positions snapped to 1/256 pixel; false for one that is not finite or too far out.
bool snap(const RasterVertex* const* v, int count, int64_t* X, int64_t* Y) {
    for (int i = 0; i < count; ++i) {
        if (!std::isfinite(v[i]->x) || !std::isfinite(v[i]->y) || std::fabs(v[i]->x) > kCoordinateLimit ||
            std::fabs(v[i]->y) > kCoordinateLimit) {
            return false;
        }
        X[i] = roundToInt(v[i]->x * 256.0);
        Y[i] = roundToInt(v[i]->y * 256.0);
    }
    return true;
}

// The doubled area of a snapped triangle made positive by turning it clockwise (vertex 0, flat
// shading's colour, stays first); false when it is degenerate or culled.
bool orient(const PipelineState& s, const RasterVertex** v, int64_t* X, int64_t* Y, int64_t& area) {
    area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
    if (area == 0) {
        return false;
    }
    // Positive area is clockwise on the screen (y points down).
    if ((s.cullMode == kCullClockwise && area > 0) || (s.cullMode == kCullCounterClockwise && area < 0)) {
        return false;
    }
    if (area < 0) {
        std::swap(v[1], v[2]);
        std::swap(X[1], X[2]);
        std::swap(Y[1], Y[2]);
        area = -area;
    }
    return true;
}

// The texel-position planes (1/256 texel) of an oriented triangle.
void texturePlanes(const RasterVertex* const* v, const int64_t* X, const int64_t* Y, int64_t area,
                   const PixelImage& tex, Plane& pu, Plane& pv, Rasterizer::SlopeMemo* memo) {
    double xs[3], ys[3], tu[3], tv[3];
    for (int i = 0; i < 3; ++i) {
        xs[i] = double(X[i]) / 256.0;
        ys[i] = double(Y[i]) / 256.0;
        tu[i] = texelPosition(v[i]->u, tex.width);
        tv[i] = texelPosition(v[i]->v, tex.height);
    }
    const double det = double(area) / 65536.0;
    pu = makePlane(xs, ys, tu, det, memo);
    pv = makePlane(xs, ys, tv, det, memo + 1);
}

}  // namespace

const uint32_t* Rasterizer::combineTable(const PipelineState& s, uint32_t diffuse) {
    const uint32_t key[7] = {s.colorOp, s.colorArg1, s.colorArg2, s.alphaOp, s.alphaArg1, s.alphaArg2, diffuse};
    if (!tableValid_ || !std::equal(key, key + 7, tableKey_)) {
        // With a constant diffuse colour each output channel depends on its texel channel only.
        for (uint32_t k = 0; k < 4; ++k) {
            const uint32_t mask = 0xFFu << (8 * k);
            for (uint32_t x = 0; x < 256; ++x) {
                table_[k * 256 + x] = combine(s, x << (8 * k), diffuse) & mask;
            }
        }
        std::copy(key, key + 7, tableKey_);
        tableValid_ = true;
    }
    return table_;
}

bool Rasterizer::setUp(const PipelineState& s, const RasterVertex& a, const RasterVertex& b, const RasterVertex& c,
                       Triangle& t) {
    if (s.target == nullptr || s.clip.left >= s.clip.right || s.clip.top >= s.clip.bottom) {
        return false;
    }
    t.s = &s;
    const RasterVertex* v[3] = {&a, &b, &c};
    int64_t X[3];
    int64_t Y[3];
    int64_t area = 0;
    if (!snap(v, 3, X, Y) || !orient(s, v, X, Y, area)) {
        return false;
    }

    t.yMin = std::max<int64_t>(ceilDiv(std::min({Y[0], Y[1], Y[2]}), 256), s.clip.top);
    t.yMax = std::min<int64_t>(floorDiv(std::max({Y[0], Y[1], Y[2]}), 256), s.clip.bottom - 1);
    t.xMinFixed = std::max<int64_t>(ceilDiv(std::min({X[0], X[1], X[2]}), 256), s.clip.left);
    t.xMaxFixed = std::min<int64_t>(floorDiv(std::max({X[0], X[1], X[2]}), 256), s.clip.right - 1);
    if (t.yMin > t.yMax || t.xMinFixed > t.xMaxFixed) {
        return false;
    }

    // Edge i -> j covers the centre (px, py) when B - A' * px >= bias, with
    // B = dx * (py * 256 - ys) + dy * xs and A' = dy * 256 (top-left rule in the bias). Vertical
    // and horizontal edges bound every row or every column alike and are resolved here.
    struct Sloped {
        int64_t dx, dy, xs, ys, bias;
    } sloped[3];
    int slopedCount = 0;
    for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3;
        const int64_t dx = X[j] - X[i];
        const int64_t dy = Y[j] - Y[i];
        const bool topLeft = (dy == 0 && dx > 0) || dy < 0;
        const int64_t bias = topLeft ? 0 : 1;
        if (dx == 0) {
            const int64_t A = -dy * 256;
            const int64_t B = dy * X[i];
            if (A > 0) {
                t.xMinFixed = std::max(t.xMinFixed, ceilDiv(bias - B, A));
            } else {
                t.xMaxFixed = std::min(t.xMaxFixed, floorDiv(B - bias, -A));
            }
        } else if (dy == 0) {
            // dx * (py * 256 - ys) >= bias: below a top edge, above a bottom edge.
            if (dx > 0) {
                t.yMin = std::max(t.yMin, ceilDiv(Y[i], 256));
            } else {
                t.yMax = std::min(t.yMax, floorDiv(Y[i] - 1, 256));
            }
        } else {
            sloped[slopedCount++] = Sloped{dx, dy, X[i], Y[i], bias};
        }
    }
    if (t.yMin > t.yMax || t.xMinFixed > t.xMaxFixed) {
        return false;
    }
    t.edgeCount = 0;
    t.nextRow = t.yMin;
    for (int k = 0; k < slopedCount; ++k) {
        const Sloped& e = sloped[k];
        Triangle::Edge& out = t.edges[t.edgeCount++];
        out.bindsLeft = e.dy < 0;
        out.d = (e.dy < 0 ? -e.dy : e.dy) * 256;
        const int64_t m = e.dx * (t.yMin * 256 - e.ys) + e.dy * e.xs - e.bias;
        out.q = floorDiv(m, out.d);
        out.r = m - out.q * out.d;
        out.stepQ = floorDiv(e.dx * 256, out.d);
        out.stepR = e.dx * 256 - out.stepQ * out.d;
    }

    shade(s, v, X, Y, area, t);
    return true;
}

void Rasterizer::shade(const PipelineState& s, const RasterVertex* const* v, const int64_t* X, const int64_t* Y,
                       int64_t area, Triangle& t) {
    t.s = &s;
    // Attribute planes over the snapped positions.
    double xs[3], ys[3];
    for (int i = 0; i < 3; ++i) {
        xs[i] = double(X[i]) / 256.0;
        ys[i] = double(Y[i]) / 256.0;
    }
    const double det = double(area) / 65536.0;

    t.tex = (s.texture != nullptr && usesTexture(s)) ? s.texture : nullptr;
    t.linear = false;
    if (t.tex != nullptr) {
        texturePlanes(v, X, Y, area, *t.tex, t.pu, t.pv, slopes_);
        const double texelsPerPixel = std::fabs(t.pu.dx * t.pv.dy - t.pu.dy * t.pv.dx) / 65536.0;
        const uint32_t filter = texelsPerPixel > 1.0 ? s.minFilter : s.magFilter;
        t.linear = filter == kFilterLinear || filter == kFilterAnisotropic;
    }

    t.constantColor = s.flatShading || (v[0]->color == v[1]->color && v[0]->color == v[2]->color);
    t.flatColor = v[0]->color;
    if (!t.constantColor) {
        for (int k = 0; k < 4; ++k) {
            double ch[3];
            for (int i = 0; i < 3; ++i) {
                ch[i] = double(channel(v[i]->color, 8 * k));
            }
            t.pc[k] = makePlane(xs, ys, ch, det);
        }
    }

    // The fast paths (all off when directEnabled_ is false): texels straight from the texture row
    // when texel centres land on pixel centres, row sampling for bilinear rows, a table for the
    // stage with a constant diffuse colour, and the wide span writer.
    const bool direct = directEnabled_ && t.tex != nullptr && t.constantColor && t.pu.dx == 256.0 && t.pu.dy == 0.0 &&
                        t.pv.dx == 0.0 && t.pv.dy == 256.0;
    placeTexels(t, direct);
    chooseStage(s, t);
    t.rowSampled = directEnabled_ && t.tex != nullptr && t.linear && t.constantColor && t.pv.dx == 0.0 &&
                   std::isfinite(t.pu.dx) && std::isfinite(t.pu.dy) && std::isfinite(t.pu.c) &&
                   std::isfinite(t.pv.dy) && std::isfinite(t.pv.c);
    if (t.tex == nullptr) {
        t.path = t.constantColor ? SpanPath::Constant : SpanPath::Shaded;
    } else {
        t.path = direct ? SpanPath::Direct : t.rowSampled ? SpanPath::RowSampled : SpanPath::Sampled;
    }
    t.context.constantSource = t.path == SpanPath::Constant;
}

// What the stage and the blend make of a triangle's colour, worked out again only when they change
// (draw after draw of sprites they stay the same).
void Rasterizer::chooseStage(const PipelineState& s, Triangle& t) {
    const StageCache::Key key{s.colorOp,        s.colorArg1,    s.colorArg2,      s.alphaOp,   s.alphaArg1,
                              s.alphaArg2,      s.alphaTest,    s.alphaFunc,      s.alphaRef,  s.alphaBlend,
                              s.srcBlend,       s.destBlend,    s.target->format, t.flatColor, t.constantColor,
                              t.tex != nullptr, directEnabled_, writer_};
    StageCache& cache = *stage_;
    if (!cache.valid || !(key == cache.key)) {
        StageCache& st = cache;
        st.identityCombine = t.constantColor && combine(s, 0x80402010u, t.flatColor) == 0x80402010u &&
                             combine(s, 0x10204080u, t.flatColor) == 0x10204080u;
        st.table = directEnabled_ && t.tex != nullptr && t.constantColor && !st.identityCombine
                       ? combineTable(s, t.flatColor)
                       : nullptr;
        st.constantSource = combine(s, kWhite, t.flatColor);
        st.context = SpanContext(s);
        st.write = chooseSpanWrite(blendKind(s), testKind(s), directEnabled_ ? writer_ : SpanWriter::Plain);
        st.key = key;
        st.valid = true;
    }
    t.identityCombine = cache.identityCombine;
    t.table = cache.table;
    t.constantSource = cache.constantSource;
    t.context = cache.context;
    t.write = cache.write;
}

// The shading of a rectangle quad from its first triangle (a, b, c); the second (a, c, d), of the
// same winding, must map to the same texels. False when it does not take the rectangle path.
bool Rasterizer::shadeRectangle(const PipelineState& s, const RasterVertex* const* corners, const int64_t* X,
                                const int64_t* Y, Triangle& t) {
    const RasterVertex* first[3] = {corners[0], corners[1], corners[2]};
    int64_t X1[3] = {X[0], X[1], X[2]}, Y1[3] = {Y[0], Y[1], Y[2]}, area = 0;
    if (!orient(s, first, X1, Y1, area)) {
        return false;
    }
    shade(s, first, X1, Y1, area, t);
    if (t.tex == nullptr) {
        return true;
    }
    if (!t.exactTexel || !t.directAt(t.tuBase, t.tvBase)) {
        return false;
    }
    const RasterVertex* second[3] = {corners[0], corners[2], corners[3]};
    int64_t X2[3] = {X[0], X[2], X[3]}, Y2[3] = {Y[0], Y[2], Y[3]}, area2 = 0;
    Plane pu, pv;
    if (!orient(s, second, X2, Y2, area2)) {
        return false;
    }
    texturePlanes(second, X2, Y2, area2, *t.tex, pu, pv, slopes_ + 2);
    if (!(pu == t.pu && pv == t.pv)) {
        return false;
    }
    keepRectangle(s, corners, X, Y, t);
    return true;
}

// The differences texturePlanes takes of a quad's two triangles, (0, 1, 2) and (0, 2, 3), in
// whichever order they are turned: the same subtractions of the same positions.
Rasterizer::TexelSteps Rasterizer::texelSteps(const RasterVertex* const* corners, const PixelImage& texture) {
    TexelSteps steps;
    const double u0 = texelPosition(corners[0]->u, texture.width);
    const double v0 = texelPosition(corners[0]->v, texture.height);
    for (int i = 0; i < 3; ++i) {
        steps.u[i] = texelPosition(corners[i + 1]->u, texture.width) - u0;
        steps.v[i] = texelPosition(corners[i + 1]->v, texture.height) - v0;
    }
    return steps;
}

void Rasterizer::keepRectangle(const PipelineState& s, const RasterVertex* const* corners, const int64_t* X,
                               const int64_t* Y, const Triangle& t) {
    rectangle_->key = RectangleMemo::of(s, corners, texelSteps(corners, *t.tex), X, Y);
    rectangle_->t = t;
    rectangle_->valid = true;
}

Rasterizer::Triangle* Rasterizer::reuseRectangle(const PipelineState& s, const RasterVertex* const* corners,
                                                 const int64_t* X, const int64_t* Y) {
    RectangleMemo& memo = *rectangle_;
    if (!memo.valid || s.texture == nullptr) {
        return nullptr;
    }
    if (!memo.matches(s, corners, texelSteps(corners, *s.texture), X, Y)) {
        return nullptr;
    }
    // What depends on the position is made again in place, as shade makes it (the first vertex
    // stays first when a triangle is turned).
    Triangle& t = memo.t;
    t.s = &s;
    const double x0 = double(X[0]) / 256.0, y0 = double(Y[0]) / 256.0;
    t.pu.c = planeOffset(texelPosition(corners[0]->u, t.tex->width), x0, y0, t.pu.dx, t.pu.dy);
    t.pv.c = planeOffset(texelPosition(corners[0]->v, t.tex->height), x0, y0, t.pv.dx, t.pv.dy);
    placeTexels(t, true);
    chooseStage(s, t);  // its table may have been remade for other triangles since
    return &t;
}

// The diagonal gives each pixel centre to exactly one of the two triangles (the edge functions of the
// diagonal in the two are exact negatives, and the top-left rule counts the zero on one side only),
// so the pixels drawn are the rectangle's own under the top-left rule: from the left and top sides
// inclusive to the right and bottom sides exclusive, within the clip.
void Rasterizer::drawRectangleArea(const Triangle& t, const int64_t* X, const int64_t* Y) {
    const IntRect& clip = t.s->clip;
    const int64_t left = std::max<int64_t>(ceilDiv(std::min(X[0], X[2]), 256), clip.left);
    const int64_t right = std::min<int64_t>(ceilDiv(std::max(X[0], X[2]), 256) - 1, clip.right - 1);
    const int64_t top = std::max<int64_t>(ceilDiv(std::min(Y[0], Y[2]), 256), clip.top);
    const int64_t bottom = std::min<int64_t>(ceilDiv(std::max(Y[0], Y[2]), 256) - 1, clip.bottom - 1);
    if (left <= right && top <= bottom) {
        drawRectangle(t, left, right, top, bottom);
    }
}

bool Rasterizer::drawRectangleQuad(const PipelineState& s, const RasterVertex& a, const RasterVertex& b,
                                   const RasterVertex& c, const RasterVertex& d) {
    if (!directEnabled_ || s.target == nullptr || s.clip.left >= s.clip.right || s.clip.top >= s.clip.bottom ||
        !(s.flatShading || (a.color == b.color && a.color == c.color && a.color == d.color))) {
        return false;
    }
    const RasterVertex* corners[4] = {&a, &b, &c, &d};
    int64_t X[4], Y[4];
    if (!snap(corners, 4, X, Y)) {
        return false;
    }
    const bool rectangle = (Y[0] == Y[1] && X[1] == X[2] && Y[2] == Y[3] && X[3] == X[0]) ||
                           (X[0] == X[1] && Y[1] == Y[2] && X[2] == X[3] && Y[3] == Y[0]);
    if (!rectangle) {
        return false;
    }
    // A rectangle like the last one drawn takes its shading from the memo: no triangle is made.
    if (const Triangle* reused = reuseRectangle(s, corners, X, Y)) {
        if (!reused->exactTexel || !reused->directAt(reused->tuBase, reused->tvBase)) {
            return false;
        }
        drawRectangleArea(*reused, X, Y);
        return true;
    }
    Triangle made;
    if (!shadeRectangle(s, corners, X, Y, made)) {
        return false;
    }
    drawRectangleArea(made, X, Y);
    return true;
}

}  // namespace Platform::Gpu
