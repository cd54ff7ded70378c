#pragma once
// The fixed-function pipeline for untransformed vertices: world, view and projection transforms,
// per-vertex lighting with directional lights, clipping against the view volume, and triangles
// and lines with perspective-correct attributes and a 16-bit depth buffer.
//
// Rounding rules (what the pixel tests compare against):
// - Screen position: x = vpX + (ndcX + 1) / 2 * vpWidth, y = vpY + (1 - ndcY) / 2 * vpHeight, so
//   NDC -1 is the left edge of pixel 0 and pixel centres are whole numbers, as for pre-transformed
//   vertices. Positions are snapped to 1/256 pixel and covered by the top-left rule of the 2-D path.
// - Depth: z/w, mapped to minZ..maxZ of the viewport, interpolated linearly in screen space and
//   stored as round(depth * 65535); the test compares those 16-bit values.
// - Interpolation: every value (depth, 1/w and the attributes divided by w) is a plane over the
//   pixel centres, evaluated in double precision at column x of row y as (dy * y + c) + dx * x,
//   never by stepping. Values are clamped to 0..1 as v > 0 ? v : 0, then v < 1 ? v : 1.
// - A triangle's pixels go through a wide shader (AVX-512, else AVX2) when the processor has it
//   and the texture read has power-of-two sides; it gives exactly these pixels.
// - Colours: lighting in single precision, each channel clamped to 0..1; vertex colours and
//   texture coordinates are interpolated perspective-correct (in 1/w); a pixel's colour channel
//   is round(value * 255). Texture coordinates go to 1/256 texel as in the 2-D path and are
//   sampled with its point and bilinear samplers; stage 0 combines as in the 2-D path; the
//   specular colour is added (saturated) after the stage when SPECULARENABLE is on.
// - Lines step along their major axis one pixel per whole-number centre between the end points
//   (start included, end excluded).
#include <cstdint>
#include <vector>

#include "platform/gpu/Rasterizer.h"
#include "platform/gpu/Span3D.h"
#include "platform/gpu/SpanWriter.h"

namespace Platform::Gpu {

// A vertex after transform and lighting, in clip space.
struct ClipVertex {
    double x = 0, y = 0, z = 0, w = 1;
    double color[4] = {1, 1, 1, 1};  // r, g, b, a in 0..1
    double specular[3] = {0, 0, 0};
    double u = 0, v = 0;
};

struct Lighting3D {
    bool enabled = false;
    bool specularEnabled = false;
    ColorValue globalAmbient{};
    Material material{};
    // Where the diffuse, specular, ambient and emissive colours come from (material source codes),
    // already resolved against the vertex format.
    uint32_t diffuseSource = kMaterialSourceMaterial;
    uint32_t ambientSource = kMaterialSourceMaterial;
    uint32_t emissiveSource = kMaterialSourceMaterial;
    uint32_t specularSource = kMaterialSourceMaterial;
    std::vector<Light> lights;  // the enabled ones
};

struct Transform3D {
    Matrix world = Matrix::identity();
    Matrix view = Matrix::identity();
    Matrix projection = Matrix::identity();
};

// Vertex data as the format lays it out.
struct VertexLayout {
    uint32_t fvf = 0;
    uint32_t stride = 0;
    int normalOffset = -1;
    int colorOffset = -1;
    int texOffset = -1;
};
// The layout of an untransformed format (position, optional normal, diffuse and one texture
// coordinate set); false for any other format.
bool untransformedLayout(uint32_t fvf, VertexLayout* out);

class VertexProcessor {
public:
    VertexProcessor(const Transform3D& transform, const Lighting3D& lighting);
    ClipVertex process(const unsigned char* vertex, const VertexLayout& layout) const;

private:
    Matrix worldView_;
    Matrix worldViewProjection_;
    Matrix view_;
    const Lighting3D& lighting_;
    std::vector<Vector3> lightDirections_;  // towards the light, in view space
};

struct DepthState {
    std::vector<uint16_t>* buffer = nullptr;  // null: no depth buffer
    uint32_t width = 0;
    bool test = false;
    bool write = false;
    uint32_t func = kCmpLessEqual;
};

class Rasterizer3D {
public:
    // Takes the states of a draw; every triangle and line until the next call uses them.
    void begin(const PipelineState& state, const DepthState& depth);
    // Maps the draw's vertices inside the view volume to the screen once; triangles whose corners
    // are all such vertices (the same objects) use them. The array must outlive the draw.
    void mapVertices(const ClipVertex* vertices, size_t count, const Viewport& viewport);
    // Draws a triangle in clip space: clipped to the view volume, culled by its screen winding,
    // filled or (wireframe) outlined.
    void drawTriangle(const PipelineState& state, const DepthState& depth, const Viewport& viewport, bool wireframe,
                      const ClipVertex& a, const ClipVertex& b, const ClipVertex& c);
    void drawLine(const PipelineState& state, const DepthState& depth, const Viewport& viewport, const ClipVertex& a,
                  const ClipVertex& b);
    // Starts loading the target and depth rows of a small triangle of mapped vertices that is
    // about to be drawn: between the clear and the draw a frame's buffers leave the cache.
    void prefetch(const PipelineState& state, const DepthState& depth, const ClipVertex& a, const ClipVertex& b,
                  const ClipVertex& c) const;

private:
    // A vertex on the screen: snapped position, depth, 1/w and the attributes divided by w.
    // (Left uninitialised: every field is set before use, and a triangle makes up to nine.)
    struct ScreenVertex {
        int64_t sx, sy;  // 1/256 pixel
        double z, q;
        double attr[9];  // r, g, b, a, sr, sg, sb, u, v (each times q)
    };
    // The mapped screen vertex of a vertex of the draw's array, or null.
    const ScreenVertex* mappedScreen(const ClipVertex& v) const;
    void drawScreenPolygon(const PipelineState& state, const DepthState& depth, bool wireframe,
                           const ScreenVertex* const* corners, int count);
    void fillTriangle(const PipelineState& state, const DepthState& depth, const ScreenVertex& a, const ScreenVertex& b,
                      const ScreenVertex& c);
    void drawScreenLine(const PipelineState& state, const DepthState& depth, const ScreenVertex& a,
                        const ScreenVertex& b);
    // Shades the queued pixels of one triangle (through the wide shader when it takes the draw)
    // and empties the queue.
    void shadeQueue(const PipelineState& state, const DepthState& depth, const Raster::Planes3D& planes);
    void shadePixel(const PipelineState& state, const DepthState& depth, int64_t px, int64_t py, double z,
                    const double* color, const double* specular, double u, double v);
    void drawPolygon(const PipelineState& state, const DepthState& depth, const Viewport& viewport, bool wireframe,
                     const ClipVertex* const* corners, int count);
    bool specularEnabled_ = false;
    bool fastEnabled_ = true;
    bool wide_ = false;         // this draw's pixels go through the wide shader
    bool copy_ = false;         // this draw's blend is a plain copy
    uint64_t wideBatches_ = 0;  // batches
    SpanWriter writer_ = defaultSpanWriter();
    Raster::SpanContext context_;
    Raster::SpanWrite write_ = nullptr;      // one pixel at a time, plain
    Raster::SpanWrite wideWrite_ = nullptr;  // runs of the wide row shader's pixels
    Raster::Shade3D shade_;
    // A triangle's covered pixels in row order, shaded when the triangle ends or the queue is full.
    static constexpr size_t kQueueFlush = 2048;
    // Rows of triangles whose box is at most this wide are queued with a fixed number of stores.
    static constexpr int64_t kShortRow = 16;
    // Triangles of more rows than this are not prefetched.
    static constexpr int64_t kPrefetchRows = 32;
    std::vector<int32_t> queueX_, queueY_;
    size_t queueCount_ = 0;
    const ClipVertex* screenBase_ = nullptr;
    std::vector<ScreenVertex> screens_;
    std::vector<uint8_t> screenUsable_;
    std::vector<uint32_t> span_;
    std::vector<uint8_t> pass_;

public:
    void setSpecularEnabled(bool on) { specularEnabled_ = on; }
    // When false, every pixel takes the per-pixel path and the plain writer (the reference the
    // wide row shader is tested against).
    void setFastPathEnabled(bool enabled) { fastEnabled_ = enabled; }
    // The writer of the wide path, lowered to what the processor runs; it also picks the wide
    // shader (AVX-512 with that writer, else AVX2); below AVX2 every pixel takes the per-pixel
    // path. Returns the writer now in use.
    SpanWriter setSpanWriter(SpanWriter writer);
    // Number of pixel batches the wide shader took (for tests of path equality).
    uint64_t wideBatches() const { return wideBatches_; }
};

}  // namespace Platform::Gpu
