#include "platform/gpu/Pipeline3D.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <cstring>

#include "platform/gpu/RasterMath.h"
#include "platform/gpu/Span3D.h"
#include "platform/gpu/SpanWriter.h"
#include "platform/gpu/TextureSampling.h"

namespace Platform::Gpu {

using namespace Raster;

namespace {

// A clipped polygon has at most the triangle's three corners plus one per plane.
constexpr int kMaxPolygon = 9;

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            float s = 0;
            for (int k = 0; k < 4; ++k) {
                s += a.m[i][k] * b.m[k][j];
            }
            r.m[i][j] = s;
        }
    }
    return r;
}

Vector3 normalized(Vector3 v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0) {
        return v;
    }
    return {v.x / length, v.y / length, v.z / length};
}

Vector3 direction(const Vector3& v, const Matrix& m) {
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0], v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

float dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

ColorValue unpack(uint32_t argb) {
    return {((argb >> 16) & 0xFF) / 255.0f, ((argb >> 8) & 0xFF) / 255.0f, (argb & 0xFF) / 255.0f,
            (argb >> 24) / 255.0f};
}

// v > 0 ? v : 0, then v < 1 ? v : 1: a NaN becomes 0, as in the wide row shader.
double clampUnit(double v) {
    v = v > 0 ? v : 0;
    return v < 1 ? v : 1;
}

// Round to nearest of a value clamped to 0..1 (truncation of x + 0.5 is that rounding for x >= 0).
uint32_t toByte(double v) { return uint32_t(clampUnit(v) * 255.0 + 0.5); }

bool compare(uint32_t func, uint32_t value, uint32_t reference) {
    switch (func) {
        case kCmpNever:
            return false;
        case kCmpLess:
            return value < reference;
        case kCmpEqual:
            return value == reference;
        case kCmpLessEqual:
            return value <= reference;
        case kCmpGreater:
            return value > reference;
        case kCmpNotEqual:
            return value != reference;
        case kCmpGreaterEqual:
            return value >= reference;
        default:
            return true;
    }
}

ClipVertex lerp(const ClipVertex& a, const ClipVertex& b, double t) {
    ClipVertex r;
    r.x = a.x + (b.x - a.x) * t;
    r.y = a.y + (b.y - a.y) * t;
    r.z = a.z + (b.z - a.z) * t;
    r.w = a.w + (b.w - a.w) * t;
    for (int i = 0; i < 4; ++i) {
        r.color[i] = a.color[i] + (b.color[i] - a.color[i]) * t;
    }
    for (int i = 0; i < 3; ++i) {
        r.specular[i] = a.specular[i] + (b.specular[i] - a.specular[i]) * t;
    }
    r.u = a.u + (b.u - a.u) * t;
    r.v = a.v + (b.v - a.v) * t;
    return r;
}

// Signed distance to the six planes of the view volume: inside when all are >= 0.
double planeDistance(const ClipVertex& v, int plane) {
    switch (plane) {
        case 0:
            return v.z;  // near
        case 1:
            return v.w - v.z;  // far
        case 2:
            return v.w + v.x;
        case 3:
            return v.w - v.x;
        case 4:
            return v.w + v.y;
        default:
            return v.w - v.y;
    }
}

// Clips a convex polygon against the view volume; returns the number of corners left.
int clipPolygon(ClipVertex* poly, int count) {
    ClipVertex scratch[kMaxPolygon];
    for (int plane = 0; plane < 6 && count > 0; ++plane) {
        int out = 0;
        for (int i = 0; i < count; ++i) {
            const ClipVertex& a = poly[i];
            const ClipVertex& b = poly[(i + 1) % count];
            const double da = planeDistance(a, plane), db = planeDistance(b, plane);
            if (da >= 0) {
                scratch[out++] = a;
            }
            if ((da >= 0) != (db >= 0) && out < kMaxPolygon) {
                scratch[out++] = lerp(a, b, da / (da - db));
            }
        }
        count = std::min(out, kMaxPolygon);
        std::copy(scratch, scratch + count, poly);
    }
    return count;
}

bool inside(const ClipVertex& v) {
    for (int plane = 0; plane < 6; ++plane) {
        if (!(planeDistance(v, plane) >= 0)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool untransformedLayout(uint32_t fvf, VertexLayout* out) {
    constexpr uint32_t kKnown = kFvfXyz | kFvfNormal | kFvfDiffuse | kFvfTex1;
    if ((fvf & 0x00E) != kFvfXyz || (fvf & ~kKnown) != 0) {
        return false;
    }
    VertexLayout l;
    l.fvf = fvf;
    uint32_t offset = 12;
    if ((fvf & kFvfNormal) != 0) {
        l.normalOffset = int(offset);
        offset += 12;
    }
    if ((fvf & kFvfDiffuse) != 0) {
        l.colorOffset = int(offset);
        offset += 4;
    }
    if ((fvf & kFvfTex1) != 0) {
        l.texOffset = int(offset);
        offset += 8;
    }
    l.stride = offset;
    *out = l;
    return true;
}

VertexProcessor::VertexProcessor(const Transform3D& transform, const Lighting3D& lighting)
    : worldView_(multiply(transform.world, transform.view)),
      worldViewProjection_(multiply(worldView_, transform.projection)),
      view_(transform.view),
      lighting_(lighting) {
    for (const Light& light : lighting.lights) {
        const Vector3 d = normalized(direction(light.direction, view_));
        lightDirections_.push_back({-d.x, -d.y, -d.z});
    }
}

ClipVertex VertexProcessor::process(const unsigned char* vertex, const VertexLayout& layout) const {
    float p[3];
    std::memcpy(p, vertex, sizeof p);
    const Matrix& m = worldViewProjection_;
    ClipVertex out;
    out.x = p[0] * m.m[0][0] + p[1] * m.m[1][0] + p[2] * m.m[2][0] + m.m[3][0];
    out.y = p[0] * m.m[0][1] + p[1] * m.m[1][1] + p[2] * m.m[2][1] + m.m[3][1];
    out.z = p[0] * m.m[0][2] + p[1] * m.m[1][2] + p[2] * m.m[2][2] + m.m[3][2];
    out.w = p[0] * m.m[0][3] + p[1] * m.m[1][3] + p[2] * m.m[2][3] + m.m[3][3];
    ColorValue vertexColor{1, 1, 1, 1};  // a format without colour reads as opaque white
    if (layout.colorOffset >= 0) {
        uint32_t argb = 0;
        std::memcpy(&argb, vertex + layout.colorOffset, 4);
        vertexColor = unpack(argb);
    }
    if (layout.texOffset >= 0) {
        float uv[2];
        std::memcpy(uv, vertex + layout.texOffset, sizeof uv);
        out.u = uv[0];
        out.v = uv[1];
    }
    if (!lighting_.enabled) {
        out.color[0] = vertexColor.r, out.color[1] = vertexColor.g, out.color[2] = vertexColor.b;
        out.color[3] = vertexColor.a;
        return out;
    }
    const Material& mat = lighting_.material;
    auto pick = [&](uint32_t source, const ColorValue& own) {
        return source == kMaterialSourceColor1 && layout.colorOffset >= 0 ? vertexColor : own;
    };
    const ColorValue md = pick(lighting_.diffuseSource, mat.diffuse);
    const ColorValue ma = pick(lighting_.ambientSource, mat.ambient);
    const ColorValue me = pick(lighting_.emissiveSource, mat.emissive);
    const ColorValue ms = pick(lighting_.specularSource, mat.specular);
    Vector3 normal{0, 0, 0};
    if (layout.normalOffset >= 0) {
        float n[3];
        std::memcpy(n, vertex + layout.normalOffset, sizeof n);
        normal = normalized(direction({n[0], n[1], n[2]}, worldView_));
    }
    const Matrix& wv = worldView_;
    const Vector3 position{p[0] * wv.m[0][0] + p[1] * wv.m[1][0] + p[2] * wv.m[2][0] + wv.m[3][0],
                           p[0] * wv.m[0][1] + p[1] * wv.m[1][1] + p[2] * wv.m[2][1] + wv.m[3][1],
                           p[0] * wv.m[0][2] + p[1] * wv.m[1][2] + p[2] * wv.m[2][2] + wv.m[3][2]};
    const Vector3 toEye = normalized({-position.x, -position.y, -position.z});
    float ambient[3] = {lighting_.globalAmbient.r, lighting_.globalAmbient.g, lighting_.globalAmbient.b};
    float diffuse[3] = {0, 0, 0}, specular[3] = {0, 0, 0};
    for (size_t i = 0; i < lighting_.lights.size(); ++i) {
        const Light& light = lighting_.lights[i];
        ambient[0] += light.ambient.r, ambient[1] += light.ambient.g, ambient[2] += light.ambient.b;
        const Vector3& toLight = lightDirections_[i];
        const float nl = dot(normal, toLight);
        if (nl <= 0) {
            continue;
        }
        diffuse[0] += light.diffuse.r * nl, diffuse[1] += light.diffuse.g * nl, diffuse[2] += light.diffuse.b * nl;
        if (lighting_.specularEnabled && mat.power > 0) {
            const Vector3 half = normalized({toLight.x + toEye.x, toLight.y + toEye.y, toLight.z + toEye.z});
            const float nh = dot(normal, half);
            if (nh > 0) {
                const float f = std::pow(nh, mat.power);
                specular[0] += light.specular.r * f, specular[1] += light.specular.g * f;
                specular[2] += light.specular.b * f;
            }
        }
    }
    out.color[0] = me.r + ma.r * ambient[0] + md.r * diffuse[0];
    out.color[1] = me.g + ma.g * ambient[1] + md.g * diffuse[1];
    out.color[2] = me.b + ma.b * ambient[2] + md.b * diffuse[2];
    out.color[3] = md.a;
    out.specular[0] = ms.r * specular[0], out.specular[1] = ms.g * specular[1], out.specular[2] = ms.b * specular[2];
    for (double& c : out.color) {
        c = std::clamp(c, 0.0, 1.0);
    }
    for (double& c : out.specular) {
        c = std::clamp(c, 0.0, 1.0);
    }
    return out;
}

// A vertex on the screen: snapped position, depth, 1/w and the attributes divided by w.

namespace {

uint16_t depthValue(double z) { return uint16_t(clampUnit(z) * 65535.0 + 0.5); }

bool passesDepth(const DepthState& depth, double z, uint16_t stored) {
    return compare(depth.func, depthValue(z), stored);
}

// The depth word of a pixel, or null when depth is neither tested nor written.
uint16_t* depthSlot(const DepthState& depth, int64_t px, int64_t py) {
    if (depth.buffer == nullptr || (!depth.test && !depth.write)) {
        return nullptr;
    }
    return &(*depth.buffer)[size_t(py) * depth.width + size_t(px)];
}

bool toScreen(const ClipVertex& c, const Viewport& vp, int64_t* snappedX, int64_t* snappedY, double* z, double* q) {
    if (!(c.w > 0)) {
        return false;
    }
    *q = 1.0 / c.w;
    const double sx = vp.x + (c.x * *q + 1.0) * 0.5 * vp.width;
    const double sy = vp.y + (1.0 - c.y * *q) * 0.5 * vp.height;
    if (!std::isfinite(sx) || !std::isfinite(sy) || std::fabs(sx) > 1e7 || std::fabs(sy) > 1e7) {
        return false;
    }
    *snappedX = roundToInt(sx * 256.0);
    *snappedY = roundToInt(sy * 256.0);
    *z = vp.minZ + c.z * *q * (vp.maxZ - vp.minZ);
    return true;
}

// Four column or row numbers (the compiler's vector type: plain lanes on any processor).
using Lanes4 = int32_t __attribute__((vector_size(16)));

// One edge of a triangle walked down its rows: for a sloped edge, q = floor(E / s) with remainder
// r (0 <= r < s) of its function E at the row's first column, s being how much E changes a column;
// for a level edge, q = E.
class EdgeWalk {
public:
    EdgeWalk() = default;
    EdgeWalk(int64_t rowStart, int64_t rowStep, int64_t columnStep)
        : side_(columnStep > 0   ? 1
                : columnStep < 0 ? -1
                                 : 0) {
        if (side_ == 0) {
            q_ = rowStart;
            dq_ = rowStep;
            return;
        }
        s_ = columnStep > 0 ? columnStep : -columnStep;
        divide(rowStart, &q_, &r_);
        divide(rowStep, &dq_, &dr_);
    }
    // Narrows the row's columns [left, right] to the ones on the inner side of this edge. Both
    // this and the step are free of branches on the data: a mesh's rows are short, and a
    // mispredicted branch costs more than the whole row's set-up.
    void bound(int64_t* left, int64_t* right) const {
        const int64_t asRight = side_ > 0 ? q_ : (side_ == 0 && q_ < 0 ? -1 : INT64_MAX);
        const int64_t asLeft = side_ < 0 ? -q_ : 0;
        *right = std::min(*right, asRight);
        *left = std::max(*left, asLeft);
    }
    void nextRow() {
        r_ += dr_;
        const int64_t carry = r_ >= s_ ? 1 : 0;
        q_ += dq_ + carry;
        r_ -= s_ * carry;
    }

private:
    // q = floor(a / s_) and r = a - q * s_. Values of a screen's size divide in double precision:
    // the truncated quotient is off by at most one and is corrected with the remainder, where an
    // integer division costs several times as much, and a triangle needs six.
    void divide(int64_t a, int64_t* q, int64_t* r) const {
        constexpr int64_t kExact = int64_t(1) << 52;
        if (a <= -kExact || a >= kExact || s_ >= kExact) {
            *q = floorDiv(a, s_);
            *r = a - *q * s_;
            return;
        }
        auto quotient = int64_t(double(a) / double(s_));
        int64_t rest = a - quotient * s_;
        const int64_t under = rest < 0 ? 1 : 0, over = rest >= s_ ? 1 : 0;
        quotient += over - under;
        rest += (under - over) * s_;
        *q = quotient;
        *r = rest;
    }

    int side_ = 0;
    int64_t s_ = 1, q_ = 0, r_ = 0, dq_ = 0, dr_ = 0;
};

}  // namespace

inline const Rasterizer3D::ScreenVertex* Rasterizer3D::mappedScreen(const ClipVertex& v) const {
    const auto offset = size_t(reinterpret_cast<uintptr_t>(&v) - reinterpret_cast<uintptr_t>(screenBase_));
    return screenBase_ != nullptr && offset / sizeof(ClipVertex) < screens_.size() &&
                   offset % sizeof(ClipVertex) == 0 && screenUsable_[offset / sizeof(ClipVertex)] != 0
               ? &screens_[offset / sizeof(ClipVertex)]
               : nullptr;
}

void Rasterizer3D::drawTriangle(const PipelineState& state, const DepthState& depth, const Viewport& viewport,
                                bool wireframe, const ClipVertex& a, const ClipVertex& b, const ClipVertex& c) {
    // Corners of the draw's vertex array that lie inside the view volume were mapped once.
    const ScreenVertex* mapped[3] = {mappedScreen(a), mappedScreen(b), mappedScreen(c)};
    if (mapped[0] != nullptr && mapped[1] != nullptr && mapped[2] != nullptr) {
        drawScreenPolygon(state, depth, wireframe, mapped, 3);
        return;
    }
    if (!inside(a) || !inside(b) || !inside(c)) {
        ClipVertex poly[kMaxPolygon] = {a, b, c};
        const int count = clipPolygon(poly, 3);
        const ClipVertex* corners[kMaxPolygon];
        for (int i = 0; i < count; ++i) {
            corners[i] = &poly[i];
        }
        drawPolygon(state, depth, viewport, wireframe, corners, count);
        return;
    }
    const ClipVertex* corners[3] = {&a, &b, &c};
    drawPolygon(state, depth, viewport, wireframe, corners, 3);
}

void Rasterizer3D::prefetch(const PipelineState& state, const DepthState& depth, const ClipVertex& a,
                            const ClipVertex& b, const ClipVertex& c) const {
    const ScreenVertex* s[3] = {mappedScreen(a), mappedScreen(b), mappedScreen(c)};
    if (s[0] == nullptr || s[1] == nullptr || s[2] == nullptr) {
        return;
    }
    const int64_t yMin = std::max<int64_t>(ceilDiv(std::min({s[0]->sy, s[1]->sy, s[2]->sy}), 256), state.clip.top);
    const int64_t yMax =
        std::min<int64_t>(floorDiv(std::max({s[0]->sy, s[1]->sy, s[2]->sy}), 256), state.clip.bottom - 1);
    const int64_t xMin = std::max<int64_t>(ceilDiv(std::min({s[0]->sx, s[1]->sx, s[2]->sx}), 256), state.clip.left);
    const int64_t xMax =
        std::min<int64_t>(floorDiv(std::max({s[0]->sx, s[1]->sx, s[2]->sx}), 256), state.clip.right - 1);
    // Small triangles only: a large one's rows are long runs the processor fetches ahead by itself.
    if (yMin > yMax || xMin > xMax || yMax - yMin > kPrefetchRows) {
        return;
    }
    const uint16_t* depthWords =
        depth.buffer != nullptr && (depth.test || depth.write) ? depth.buffer->data() : nullptr;
    for (int64_t y = yMin; y <= yMax; ++y) {
        const uint32_t* row = state.target->row(uint32_t(y));
        __builtin_prefetch(row + xMin, 1);
        __builtin_prefetch(row + xMax, 1);
        if (depthWords != nullptr) {
            __builtin_prefetch(depthWords + size_t(y) * depth.width + size_t(xMin), 1);
            __builtin_prefetch(depthWords + size_t(y) * depth.width + size_t(xMax), 1);
        }
    }
}

void Rasterizer3D::mapVertices(const ClipVertex* vertices, size_t count, const Viewport& viewport) {
    screenBase_ = vertices;
    screens_.resize(count);
    screenUsable_.assign(count, 0);
    for (size_t i = 0; i < count; ++i) {
        const ClipVertex& p = vertices[i];
        ScreenVertex& v = screens_[i];
        if (inside(p) && toScreen(p, viewport, &v.sx, &v.sy, &v.z, &v.q)) {
            screenUsable_[i] = 1;
            const double values[9] = {p.color[0],    p.color[1],    p.color[2], p.color[3], p.specular[0],
                                      p.specular[1], p.specular[2], p.u,        p.v};
            for (int k = 0; k < 9; ++k) {
                v.attr[k] = values[k] * v.q;
            }
        }
    }
}

void Rasterizer3D::drawPolygon(const PipelineState& state, const DepthState& depth, const Viewport& viewport,
                               bool wireframe, const ClipVertex* const* corners, int count) {
    if (count < 3) {
        return;
    }
    ScreenVertex s[kMaxPolygon];
    for (int i = 0; i < count; ++i) {
        ScreenVertex& v = s[i];
        if (!toScreen(*corners[i], viewport, &v.sx, &v.sy, &v.z, &v.q)) {
            return;
        }
        const ClipVertex& p = *corners[i];
        const double values[9] = {p.color[0],    p.color[1],    p.color[2], p.color[3], p.specular[0],
                                  p.specular[1], p.specular[2], p.u,        p.v};
        for (int k = 0; k < 9; ++k) {
            v.attr[k] = values[k] * v.q;
        }
    }
    const ScreenVertex* corner[kMaxPolygon];
    for (int i = 0; i < count; ++i) {
        corner[i] = &s[i];
    }
    drawScreenPolygon(state, depth, wireframe, corner, count);
}

void Rasterizer3D::drawScreenPolygon(const PipelineState& state, const DepthState& depth, bool wireframe,
                                     const ScreenVertex* const* s, int count) {
    // The winding of the whole polygon decides culling; positive area is clockwise (y down).
    int64_t area = 0;
    for (int i = 1; i + 1 < count; ++i) {
        area += (s[i]->sx - s[0]->sx) * (s[i + 1]->sy - s[0]->sy) - (s[i + 1]->sx - s[0]->sx) * (s[i]->sy - s[0]->sy);
    }
    if (area == 0 || (state.cullMode == kCullClockwise && area > 0) ||
        (state.cullMode == kCullCounterClockwise && area < 0)) {
        return;
    }
    if (wireframe) {
        for (int i = 0; i < count; ++i) {
            drawScreenLine(state, depth, *s[i], *s[(i + 1) % count]);
        }
        return;
    }
    for (int i = 1; i + 1 < count; ++i) {
        fillTriangle(state, depth, *s[0], *s[i], *s[i + 1]);
    }
}

void Rasterizer3D::drawLine(const PipelineState& state, const DepthState& depth, const Viewport& viewport,
                            const ClipVertex& a, const ClipVertex& b) {
    ClipVertex p0 = a, p1 = b;
    for (int plane = 0; plane < 6; ++plane) {
        const double d0 = planeDistance(p0, plane), d1 = planeDistance(p1, plane);
        if (!(d0 >= 0) && !(d1 >= 0)) {
            return;
        }
        if (!(d0 >= 0)) {
            p0 = lerp(p0, p1, d0 / (d0 - d1));
        } else if (!(d1 >= 0)) {
            p1 = lerp(p0, p1, d0 / (d0 - d1));
        }
    }
    ScreenVertex s[2];
    const ClipVertex* ends[2] = {&p0, &p1};
    for (int i = 0; i < 2; ++i) {
        const ClipVertex& p = *ends[i];
        if (!toScreen(p, viewport, &s[i].sx, &s[i].sy, &s[i].z, &s[i].q)) {
            return;
        }
        const double values[9] = {p.color[0],    p.color[1],    p.color[2], p.color[3], p.specular[0],
                                  p.specular[1], p.specular[2], p.u,        p.v};
        for (int k = 0; k < 9; ++k) {
            s[i].attr[k] = values[k] * s[i].q;
        }
    }
    drawScreenLine(state, depth, s[0], s[1]);
}

void Rasterizer3D::drawScreenLine(const PipelineState& state, const DepthState& depth, const ScreenVertex& a,
                                  const ScreenVertex& b) {
    const double ax = a.sx / 256.0, ay = a.sy / 256.0, bx = b.sx / 256.0, by = b.sy / 256.0;
    const bool xMajor = std::fabs(bx - ax) >= std::fabs(by - ay);
    const double from = xMajor ? ax : ay, to = xMajor ? bx : by;
    if (from == to) {
        return;
    }
    const int64_t first = roundToInt(from), last = roundToInt(to);
    const int64_t step = last >= first ? 1 : -1;
    for (int64_t i = first; i != last; i += step) {
        const double t = std::clamp((double(i) - from) / (to - from), 0.0, 1.0);
        const double other = xMajor ? ay + (by - ay) * t : ax + (bx - ax) * t;
        const int64_t px = xMajor ? i : roundToInt(other);
        const int64_t py = xMajor ? roundToInt(other) : i;
        if (px < state.clip.left || px >= state.clip.right || py < state.clip.top || py >= state.clip.bottom) {
            continue;
        }
        const double q = a.q + (b.q - a.q) * t;
        const double w = 1.0 / q;
        double attr[9];
        for (int k = 0; k < 9; ++k) {
            attr[k] = (a.attr[k] + (b.attr[k] - a.attr[k]) * t) * w;
        }
        shadePixel(state, depth, px, py, a.z + (b.z - a.z) * t, attr, attr + 4, attr[7], attr[8]);
    }
}

void Rasterizer3D::fillTriangle(const PipelineState& state, const DepthState& depth, const ScreenVertex& a0,
                                const ScreenVertex& b0, const ScreenVertex& c0) {
    const ScreenVertex* v[3] = {&a0, &b0, &c0};
    int64_t area = (v[1]->sx - v[0]->sx) * (v[2]->sy - v[0]->sy) - (v[2]->sx - v[0]->sx) * (v[1]->sy - v[0]->sy);
    if (area == 0) {
        return;
    }
    if (area < 0) {
        std::swap(v[1], v[2]);
        area = -area;
    }
    const int64_t yMin = std::max<int64_t>(ceilDiv(std::min({v[0]->sy, v[1]->sy, v[2]->sy}), 256), state.clip.top);
    const int64_t yMax =
        std::min<int64_t>(floorDiv(std::max({v[0]->sy, v[1]->sy, v[2]->sy}), 256), state.clip.bottom - 1);
    const int64_t xMin = std::max<int64_t>(ceilDiv(std::min({v[0]->sx, v[1]->sx, v[2]->sx}), 256), state.clip.left);
    const int64_t xMax =
        std::min<int64_t>(floorDiv(std::max({v[0]->sx, v[1]->sx, v[2]->sx}), 256), state.clip.right - 1);
    if (yMin > yMax || xMin > xMax) {
        return;
    }
    // Edge functions of a clockwise triangle are >= 0 inside; a centre on an edge belongs to it only
    // when the edge is a top or a left one. Along a row an edge's function falls by dy * 256 a
    // column, so each sloped edge bounds the row's columns from one side at floor(E / |dy * 256|)
    // (on the right when dy > 0, negated on the left when dy < 0). That quotient is carried from
    // row to row with its remainder, so a row costs no division and no test per column; a level
    // edge keeps E itself and empties the rows where it is negative.
    EdgeWalk walks[3];
    for (int i = 0; i < 3; ++i) {
        const ScreenVertex& p = *v[i];
        const ScreenVertex& n = *v[(i + 1) % 3];
        const int64_t dx = n.sx - p.sx, dy = n.sy - p.sy;
        const bool topLeft = dy < 0 || (dy == 0 && dx > 0);
        const int64_t rowStart = dx * (yMin * 256 - p.sy) - dy * (xMin * 256 - p.sx) + (topLeft ? 0 : -1);
        walks[i] = EdgeWalk(rowStart, dx * 256, dy * 256);
    }
    // Attribute planes over pixel positions.
    const double x0 = v[0]->sx / 256.0, y0 = v[0]->sy / 256.0;
    const double x1 = v[1]->sx / 256.0 - x0, y1 = v[1]->sy / 256.0 - y0;
    const double x2 = v[2]->sx / 256.0 - x0, y2 = v[2]->sy / 256.0 - y0;
    const double det = x1 * y2 - x2 * y1;
    const double inverse = 1.0 / det;
    // Depth, 1/w, the colour, the specular colour and the texture coordinates: all of them, which
    // costs less than choosing (the ones the draw does not use are never read).
    double f[3][kPlaneValues];
    for (int i = 0; i < 3; ++i) {
        f[i][0] = v[i]->z;
        f[i][1] = v[i]->q;
        std::copy(v[i]->attr, v[i]->attr + 9, f[i] + 2);
    }
    Planes3D planes;
    for (int k = 0; k < kPlaneValues; ++k) {
        const double d1 = f[1][k] - f[0][k], d2 = f[2][k] - f[0][k];
        planes.dx[k] = (d1 * y2 - d2 * y1) * inverse;
        planes.dy[k] = (d2 * x1 - d1 * x2) * inverse;
        planes.c[k] = f[0][k] - planes.dx[k] * x0 - planes.dy[k] * y0;
    }
    queueCount_ = 0;
    const int64_t boxWidth = xMax - xMin + 1;
    for (int64_t py = yMin; py <= yMax; ++py) {
        if (queueX_.size() < queueCount_ + size_t(std::max(boxWidth, kShortRow))) {
            queueX_.resize(queueCount_ + size_t(std::max(boxWidth, kShortRow)) + kQueueFlush);
            queueY_.resize(queueX_.size());
        }
        int32_t* xs = queueX_.data() + queueCount_;
        int32_t* ys = queueY_.data() + queueCount_;
        int64_t left = 0, right = xMax - xMin;
        for (EdgeWalk& e : walks) {
            e.bound(&left, &right);
            e.nextRow();
        }
        const auto first = int32_t(xMin + left);
        const size_t added = right >= left ? size_t(right - left + 1) : 0;
        if (boxWidth <= kShortRow) {
            // A fixed number of four-lane stores, whatever the row's length: the queue has room.
            Lanes4 x = Lanes4{0, 1, 2, 3} + first;
            const Lanes4 y = Lanes4{} + int32_t(py);
            for (int64_t k = 0; k < kShortRow; k += 4, x += 4) {
                std::memcpy(xs + k, &x, sizeof x);
                std::memcpy(ys + k, &y, sizeof y);
            }
        } else {
            for (size_t k = 0; k < added; ++k) {
                xs[k] = first + int32_t(k);
                ys[k] = int32_t(py);
            }
        }
        queueCount_ += added;
        if (queueCount_ >= kQueueFlush) {
            shadeQueue(state, depth, planes);
        }
    }
    shadeQueue(state, depth, planes);
}

void Rasterizer3D::shadeQueue(const PipelineState& state, const DepthState& depth, const Planes3D& planes) {
    const auto n = int32_t(queueCount_);
    int32_t done = 0;
    uint16_t* depthWords = depth.buffer != nullptr && (depth.test || depth.write) ? depth.buffer->data() : nullptr;
    if (wide_ && n > 0) {
        if (span_.size() < size_t(n) + 8) {
            span_.resize(size_t(n) + 8);
            pass_.resize(size_t(n) + 8);
        }
        const auto shade = writer_ >= SpanWriter::Avx512 ? shadePixels3DAvx512 : shadePixels3DAvx2;
        done = shade(shade_, planes, queueX_.data(), queueY_.data(), n, depthWords, depth.width, span_.data(),
                     pass_.data());
        ++wideBatches_;
        // A copy was stored by the shader as the copy writer does; other blends are written in runs
        // of neighbours on one row.
        for (int32_t i = 0; !copy_ && i < done;) {
            if (pass_[size_t(i)] == 0) {
                ++i;
                continue;
            }
            int32_t end = i + 1;
            while (end < done && pass_[size_t(end)] != 0 && queueY_[size_t(end)] == queueY_[size_t(i)] &&
                   queueX_[size_t(end)] == queueX_[size_t(end) - 1] + 1) {
                ++end;
            }
            uint32_t* target = state.target->row(uint32_t(queueY_[size_t(i)])) + queueX_[size_t(i)];
            wideWrite_(context_, span_.data() + i, 0, 0, target, 0, end - i, 1);
            i = end;
        }
    }
    const bool textured = shade_.textured;
    for (int32_t i = done; i < n; ++i) {
        const int64_t px = queueX_[size_t(i)], py = queueY_[size_t(i)];
        const double fx = double(px), fy = double(py);
        auto at = [&](int k) { return (planes.dy[k] * fy + planes.c[k]) + planes.dx[k] * fx; };
        const double z = at(0);
        if (depthWords != nullptr && depth.test &&
            !passesDepth(depth, z, depthWords[size_t(py) * depth.width + size_t(px)])) {
            continue;
        }
        const double w = 1.0 / at(1);
        double attr[9] = {};
        for (int k = 0; k < 4; ++k) {
            attr[k] = at(2 + k) * w;
        }
        if (specularEnabled_) {
            for (int k = 4; k < 7; ++k) {
                attr[k] = at(2 + k) * w;
            }
        }
        if (textured) {
            for (int k = 7; k < 9; ++k) {
                attr[k] = at(2 + k) * w;
            }
        }
        shadePixel(state, depth, px, py, z, attr, attr + 4, attr[7], attr[8]);
    }
    queueCount_ = 0;
}

void Rasterizer3D::shadePixel(const PipelineState& s, const DepthState& depth, int64_t px, int64_t py, double z,
                              const double* color, const double* specular, double u, double v) {
    const uint32_t diffuse = toByte(color[3]) << 24 | toByte(color[0]) << 16 | toByte(color[1]) << 8 | toByte(color[2]);
    uint32_t texel = 0xFFFFFFFFu;
    if (s.texture != nullptr && usesTexture(s)) {
        const int64_t tu = roundToInt(u * s.texture->width * 256.0 - 128.0);
        const int64_t tv = roundToInt(v * s.texture->height * 256.0 - 128.0);
        const bool linear = s.magFilter >= kFilterLinear || s.minFilter >= kFilterLinear;
        texel = linear ? sampleLinear(*s.texture, tu, tv) : samplePoint(*s.texture, tu, tv);
    }
    uint32_t out = combine(s, texel, diffuse);
    if (specularEnabled_) {
        uint32_t rgb = 0;
        for (int k = 0; k < 3; ++k) {
            const int shift = 16 - 8 * k;
            rgb |= std::min<uint32_t>(255, channel(out, shift) + toByte(specular[k])) << shift;
        }
        out = (out & 0xFF000000u) | rgb;
    }
    if (s.alphaTest && !compare(s.alphaFunc, out >> 24, s.alphaRef & 0xFF)) {
        return;
    }
    uint16_t* stored = depthSlot(depth, px, py);
    if (stored != nullptr) {
        if (depth.test && !passesDepth(depth, z, *stored)) {
            return;
        }
        if (depth.write) {
            *stored = depthValue(z);
        }
    }
    write_(context_, &out, 0, 0, s.target->row(uint32_t(py)) + px, 0, 1, 1);
}

void Rasterizer3D::begin(const PipelineState& state, const DepthState& depth) {
    context_ = SpanContext(state);
    write_ = chooseSpanWrite(blendKind(state), TestKind::None, SpanWriter::Plain);
    shade_.state = &state;
    shade_.specular = specularEnabled_;
    shade_.textured = state.texture != nullptr && usesTexture(state);
    shade_.linear = state.magFilter >= kFilterLinear || state.minFilter >= kFilterLinear;
    shade_.depthTest = depth.test;
    shade_.depthWrite = depth.write;
    shade_.depthFunc = depth.func;
    wide_ = fastEnabled_ && writer_ >= SpanWriter::Avx2 && wideShadeSupported(state, shade_.textured);
    wideWrite_ = chooseSpanWrite(blendKind(state), TestKind::None, writer_);
    copy_ = blendKind(state) == BlendKind::Copy;
    shade_.store = copy_;
    shade_.keepMask = context_.keepMask;
}

SpanWriter Rasterizer3D::setSpanWriter(SpanWriter writer) {
    writer_ = std::min(writer, processorSpanWriter());
    return writer_;
}

}  // namespace Platform::Gpu
