#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <gtest/gtest.h>

#include "platform/gpu/Rasterizer.h"
#include "tests/platform/gpu/GpuTestSupport.h"

namespace Platform::Gpu::Test {
namespace {

TEST(Div255Test, RoundsEveryProductOfTwoBytesToNearest) {
    for (uint32_t x = 0; x <= 255u * 255u; ++x) {
        ASSERT_EQ(uint32_t(std::lround(x / 255.0)), div255(x)) << x;
    }
}

using RasterTest = DeviceFixture;

std::vector<uint32_t> numberedTexels(uint32_t w, uint32_t h) {
    std::vector<uint32_t> t(size_t(w) * h);
    for (uint32_t i = 0; i < t.size(); ++i) {
        t[i] = 0xFF000000u | (i * 0x030507u + 0x102030u);
    }
    return t;
}

TEST_F(RasterTest, HalfPixelShiftedQuadReproducesTexelsOneToOneWithLinearFiltering) {
    device->clear(0, nullptr, kClearTarget, 0xFF000000u, 1, 0);
    const auto texels = numberedTexels(8, 4);
    GpuTexture* t = makeTexture(8, 4, texels);
    spriteStates(true);
    device->setTexture(0, t);
    // Destination (10, 5)-(16, 9) from source (0, 0)-(6, 4): vertices at x 9.5 .. 15.5.
    ASSERT_EQ(kOk, quad(9.5f, 4.5f, 15.5f, 8.5f, 0, 0, 6.0f / 8, 1));
    for (uint32_t y = 3; y < 11; ++y) {
        for (uint32_t x = 8; x < 18; ++x) {
            const bool inside = x >= 10 && x < 16 && y >= 5 && y < 9;
            const uint32_t expected = inside ? texels[(y - 5) * 8 + (x - 10)] : 0xFF000000u;
            EXPECT_EQ(expected, pixel(x, y)) << x << "," << y;
        }
    }
    t->release();
}

TEST_F(RasterTest, TopLeftRuleCoversEveryPixelOfSharedEdgesExactlyOnce) {
    // Additive blending of 0x10 blue: a pixel covered twice shows 0x20.
    spriteStates(true, kBlendSrcAlpha, kBlendOne);
    struct Case {
        const char* name;
        float l, t, r, b;
        uint32_t covered;  // pixels of the left quad alone
    } cases[] = {
        {"shifted", 3.5f, 2.5f, 9.5f, 6.5f, 6 * 4},
        {"centres on edges", 3.0f, 2.0f, 9.0f, 6.0f, 6 * 4},
    };
    for (const Case& c : cases) {
        device->clear(0, nullptr, kClearTarget, 0xFF000000u, 1, 0);
        fillQuad(c.l, c.t, c.r, c.b, 0xFF000010u);
        uint32_t count = 0;
        for (uint32_t p : targetPixels()) {
            count += (p & 0xFF) == 0x10;
        }
        EXPECT_EQ(c.covered, count) << c.name;
        fillQuad(c.r, c.t, c.r + 5, c.b, 0xFF000010u);      // right neighbour
        fillQuad(c.l, c.b, c.r + 5, c.b + 3, 0xFF000010u);  // neighbour below
        for (uint32_t p : targetPixels()) {
            ASSERT_NE(0x20u, p & 0xFF) << c.name;
        }
    }
    // A rotated square as four triangles around its centre: no pixel twice, no gap inside.
    device->clear(0, nullptr, kClearTarget, 0xFF000000u, 1, 0);
    ColorVertex fan[6];
    const float cx = 16.0f, cy = 16.0f;
    fan[0] = {cx, cy, 0, 1, 0xFF000010u};
    for (int i = 0; i < 5; ++i) {
        const double a = 0.5 + i * M_PI / 2;
        fan[i + 1] = {float(cx + 10 * std::cos(a)), float(cy + 10 * std::sin(a)), 0, 1, 0xFF000010u};
    }
    device->setFvf(kFvfXyzRhw | kFvfDiffuse);
    ASSERT_EQ(kOk, device->drawPrimitiveUp(kPrimitiveTriangleFan, 4, fan, sizeof(ColorVertex)));
    for (uint32_t y = 0; y < 32; ++y) {
        for (uint32_t x = 0; x < 32; ++x) {
            const int dx = int(x) - 16, dy = int(y) - 16;
            const bool insideCircle = dx * dx + dy * dy <= 49;  // the square's inscribed circle
            const uint32_t blue = pixel(x, y) & 0xFF;
            ASSERT_TRUE(insideCircle ? blue == 0x10 : blue != 0x20) << x << "," << y;
        }
    }
}

struct BlendCase {
    const char* name;
    bool blend;
    uint32_t src, dst;
    uint32_t diffuseOp;
    uint32_t diffuse;
    uint32_t texel;
    uint32_t expected;
};

TEST_F(RasterTest, AlphaTestAndBlendModesFollowTheDocumentedRounding) {
    const uint32_t background = 0xFF204060u;
    const BlendCase cases[] = {
        {"opaque copy", false, kBlendOne, kBlendZero, kOpModulate, 0xFFFFFFFFu, 0x80FF8000u, 0xFFFF8000u},
        {"alpha over", true, kBlendSrcAlpha, kBlendInvSrcAlpha, kOpModulate, 0xFFFFFFFFu, 0x80FF8000u, 0xFF906030u},
        {"additive", true, kBlendSrcAlpha, kBlendOne, kOpModulate, 0xFFFFFFFFu, 0x80FF8000u, 0xFFA08060u},
        {"diffuse modulate", false, kBlendOne, kBlendZero, kOpModulate, 0x80808080u, 0xFFFF8040u, 0xFF804020u},
        {"diffuse add", false, kBlendOne, kBlendZero, kOpAdd, 0xFFF0F0F0u, 0xFF102030u, 0xFFFFFFFFu},
        {"alpha 7 discarded", false, kBlendOne, kBlendZero, kOpModulate, 0xFFFFFFFFu, 0x07FFFFFFu, background},
        {"alpha 8 kept", false, kBlendOne, kBlendZero, kOpModulate, 0xFFFFFFFFu, 0x08FFFFFFu, 0xFFFFFFFFu},
        {"diffuse alpha fades below 8", true, kBlendSrcAlpha, kBlendInvSrcAlpha, kOpModulate, 0x07FFFFFFu, 0xFFFFFFFFu,
         background},
    };
    for (const BlendCase& c : cases) {
        device->clear(0, nullptr, kClearTarget, background, 1, 0);
        GpuTexture* t = makeTexture(1, 1, {c.texel});
        spriteStates(c.blend, c.src, c.dst);
        device->setTextureStageState(0, StageState::ColorOp, c.diffuseOp);
        device->setTexture(0, t);
        ASSERT_EQ(kOk, quad(1.5f, 1.5f, 3.5f, 3.5f, 0, 0, 2, 2, c.diffuse));
        EXPECT_EQ(c.expected, pixel(2, 2)) << c.name;
        device->setTexture(0, nullptr);
        t->release();
    }
}

TEST_F(RasterTest, BlendedSpansMatchTheChannelFormulaForEveryAlpha) {
    createDevice(256, 4);
    std::vector<uint32_t> texels(256 * 4);
    for (uint32_t i = 0; i < texels.size(); ++i) {
        const uint32_t a = i % 256, c = (i * 97 + 13) % 256;
        texels[i] = a << 24 | c << 16 | (255 - c) << 8 | (c * 7 % 256);
    }
    GpuTexture* t = makeTexture(256, 4, texels);
    const uint32_t background = 0xFF30A0F0u;
    for (uint32_t dest : {uint32_t(kBlendInvSrcAlpha), uint32_t(kBlendOne)}) {
        device->clear(0, nullptr, kClearTarget, background, 1, 0);
        spriteStates(true, kBlendSrcAlpha, dest);
        device->setRenderState(RenderState::AlphaTestEnable, 0);
        device->setTexture(0, t);
        quad(-0.5f, -0.5f, 255.5f, 3.5f, 0, 0, 1, 1);
        for (uint32_t i = 0; i < texels.size(); ++i) {
            const uint32_t s = texels[i], a = s >> 24;
            uint32_t expected = 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                const uint32_t sc = (s >> shift) & 0xFF, dc = (background >> shift) & 0xFF;
                const uint32_t x = sc * a + dc * (dest == kBlendOne ? 255 : 255 - a);
                expected |= std::min<uint32_t>(255, uint32_t(std::lround(x / 255.0))) << shift;
            }
            ASSERT_EQ(expected, pixel(i % 256, i / 256)) << "texel " << i << " blend " << dest;
        }
    }
    t->release();
}

TEST_F(RasterTest, MissingTextureReadsOpaqueWhite) {
    spriteStates(false);
    device->clear(0, nullptr, kClearTarget, 0xFF000000u, 1, 0);
    fillQuad(0, 0, 4, 4, 0xFF102030u);
    EXPECT_EQ(0xFF102030u, pixel(1, 1));  // MODULATE with white keeps the diffuse colour
    device->setTextureStageState(0, StageState::ColorOp, kOpAdd);
    fillQuad(0, 0, 4, 4, 0xFF102030u);
    EXPECT_EQ(0xFFFFFFFFu, pixel(1, 1));  // ADD with white saturates
}

TEST_F(RasterTest, SamplingWrapsAtTheTextureEdges) {
    const uint32_t black = 0xFF000000u, red = 0xFFFF0000u;
    GpuTexture* t = makeTexture(2, 1, {black, red});
    spriteStates(false);
    device->setTexture(0, t);
    device->clear(0, nullptr, kClearTarget, 0xFF0000FFu, 1, 0);
    // Point sampling of u 0..2 over four pixels repeats the texture.
    device->setSamplerState(0, SamplerState::MagFilter, kFilterPoint);
    device->setSamplerState(0, SamplerState::MinFilter, kFilterPoint);
    quad(-0.5f, -0.5f, 3.5f, 0.5f, 0, 0, 2, 1);
    EXPECT_EQ((std::vector<uint32_t>{black, red, black, red}),
              (std::vector<uint32_t>{pixel(0, 0), pixel(1, 0), pixel(2, 0), pixel(3, 0)}));
    // Bilinear magnification by two: the outer pixels blend with the wrapped neighbour.
    device->setSamplerState(0, SamplerState::MagFilter, kFilterLinear);
    device->setSamplerState(0, SamplerState::MinFilter, kFilterLinear);
    quad(-0.5f, 0.5f, 3.5f, 1.5f, 0, 0, 1, 1);
    const uint32_t expectedRed[] = {64, 64, 191, 191};
    for (uint32_t x = 0; x < 4; ++x) {
        EXPECT_EQ(0xFF000000u | expectedRed[x] << 16, pixel(x, 1)) << x;
    }
    t->release();
}

TEST_F(RasterTest, CullModeAppliesToPreTransformedQuads) {
    struct Case {
        uint32_t cull;
        bool mirrored;
        bool drawn;
    } cases[] = {
        {kCullCounterClockwise, false, true},
        {kCullCounterClockwise, true, false},
        {kCullClockwise, false, false},
        {kCullClockwise, true, true},
        {kCullNone, false, true},
        {kCullNone, true, true},
    };
    for (const Case& c : cases) {
        device->clear(0, nullptr, kClearTarget, 0xFF000000u, 1, 0);
        device->setRenderState(RenderState::CullMode, c.cull);
        if (c.mirrored) {
            fillQuad(6, 0, 0, 6, 0xFFFFFFFFu);
        } else {
            fillQuad(0, 0, 6, 6, 0xFFFFFFFFu);
        }
        EXPECT_EQ(c.drawn ? 0xFFFFFFFFu : 0xFF000000u, pixel(3, 3)) << c.cull << " " << c.mirrored;
    }
}

TEST_F(RasterTest, ScissorAndViewportClipDrawingAndClear) {
    device->clear(0, nullptr, kClearTarget, 0xFF000000u, 1, 0);
    const IntRect scissor{4, 4, 8, 8};
    device->setScissorRect(&scissor);
    device->setRenderState(RenderState::ScissorTestEnable, 1);
    fillQuad(0, 0, 32, 32, 0xFFFFFFFFu);
    EXPECT_EQ(0xFFFFFFFFu, pixel(4, 4));
    EXPECT_EQ(0xFFFFFFFFu, pixel(7, 7));
    EXPECT_EQ(0xFF000000u, pixel(8, 7));
    EXPECT_EQ(0xFF000000u, pixel(3, 4));
    device->setRenderState(RenderState::ScissorTestEnable, 0);
    const Viewport vp{2, 2, 3, 3, 0, 1};
    ASSERT_EQ(kOk, device->setViewport(&vp));
    device->clear(0, nullptr, kClearTarget, 0xFF00FF00u, 1, 0);
    EXPECT_EQ(0xFF00FF00u, pixel(2, 2));
    EXPECT_EQ(0xFF00FF00u, pixel(4, 4));
    EXPECT_EQ(0xFFFFFFFFu, pixel(5, 5));
}

TEST_F(RasterTest, TargetsWithoutAlphaStayOpaqueAndTargetsWithAlphaKeepIt) {
    spriteStates(false);
    fillQuad(0, 0, 4, 4, 0x80FFFFFFu);
    EXPECT_EQ(0xFFFFFFFFu, pixel(1, 1));
    GpuTexture* rt = nullptr;
    ASSERT_EQ(kOk, device->createTexture(4, 4, 1, kUsageRenderTarget, kFormatA8R8G8B8, kPoolDefault, &rt));
    GpuSurface* level = nullptr;
    rt->getSurfaceLevel(0, &level);
    ASSERT_EQ(kOk, device->setRenderTarget(0, level));
    fillQuad(0, 0, 4, 4, 0x80FFFFFFu);
    EXPECT_EQ(0x80FFFFFFu, pixel(1, 1));
    GpuSurface* back = nullptr;
    device->getBackBuffer(0, 0, &back);
    device->setRenderTarget(0, back);
    back->release();
    level->release();
    rt->release();
}

// Draws a set of textured quads that exercise both span paths.
void drawScene(DeviceFixture& f, GpuTexture* t) {
    f.device->clear(0, nullptr, kClearTarget, 0xFF304050u, 1, 0);
    f.spriteStates(true);
    f.device->setTexture(0, t);
    f.quad(2.5f, 3.5f, 18.5f, 11.5f, 0, 0, 1, 1);                                          // 1:1
    f.quad(7.5f, 1.5f, 23.5f, 9.5f, 4.0f / 16, 2.0f / 8, 20.0f / 16, 1.25f, 0x80FFC0FFu);  // 1:1, wraps, tinted
    f.quad(0.5f, 12.5f, 31.5f, 30.5f, 0, 0, 1, 1);                                         // scaled
    f.quad(20.25f, 20.25f, 30.25f, 28.25f, 0, 0, 10.0f / 16, 1);                           // 1:1 off the texel grid
    f.device->setSamplerState(0, SamplerState::MagFilter, kFilterPoint);
    f.device->setSamplerState(0, SamplerState::MinFilter, kFilterPoint);
    f.device->setRenderState(RenderState::SrcBlend, kBlendSrcAlpha);
    f.device->setRenderState(RenderState::DestBlend, kBlendOne);
    f.quad(1.25f, 1.25f, 17.25f, 9.25f, 0, 0, 1, 1);  // point, off-grid
}

TEST_F(RasterTest, DirectTexelSpansGiveTheSamePixelsAsTheGeneralPath) {
    std::vector<uint32_t> texels(16 * 8);
    for (uint32_t i = 0; i < texels.size(); ++i) {
        texels[i] = ((i * 37u) % 256u) << 24 | (i * 0x0A1B2Cu & 0xFFFFFFu);
    }
    GpuTexture* t = makeTexture(16, 8, texels);
    drawScene(*this, t);
    const auto fast = targetPixels();
    EXPECT_GT(device->directSpanCount(), 0u);
    device->setDirectPathEnabled(false);
    const uint64_t before = device->directSpanCount();
    drawScene(*this, t);
    EXPECT_EQ(before, device->directSpanCount());
    EXPECT_EQ(fast, targetPixels());
    t->release();
}

// Every fast path (direct texel rows, joined quad rows, whole 1:1 rectangles, the stage table, the
// wide span writer and its transparent/opaque shortcuts) against the general per-pixel path, over
// a table of draws on a patterned target: both must leave exactly the same pixels.
TEST_F(RasterTest, FastPathsGiveTheSamePixelsAsTheGeneralPath) {
    createDevice(96, 64);
    std::vector<uint32_t> texels(16 * 16);
    for (uint32_t i = 0; i < texels.size(); ++i) {
        const uint32_t alphas[] = {0, 255, 255, 0, 7, 8, 128, 255, 0, 0, 0, 0, 255, 255, 255, 255};
        const uint32_t alpha = i < 128 ? alphas[(i / 8) % 16] : (i * 37u) % 256u;  // blocks and a mix
        texels[i] = alpha << 24 | (i * 0x0A1B2Cu & 0xFFFFFFu);
    }
    GpuTexture* withAlpha = makeTexture(16, 16, texels);
    GpuTexture* opaque = makeTexture(16, 16, texels, kFormatX8R8G8B8);
    GpuTexture* rtTexture = nullptr;
    ASSERT_EQ(kOk, device->createTexture(96, 64, 1, kUsageRenderTarget, kFormatA8R8G8B8, kPoolDefault, &rtTexture));
    GpuSurface* alphaTarget = nullptr;
    rtTexture->getSurfaceLevel(0, &alphaTarget);
    GpuSurface* back = nullptr;
    device->getBackBuffer(0, 0, &back);

    struct Blend {
        bool on;
        uint32_t src, dst;
    };
    const Blend blends[] = {{false, kBlendOne, kBlendZero},
                            {true, kBlendSrcAlpha, kBlendInvSrcAlpha},
                            {true, kBlendSrcAlpha, kBlendOne},
                            {true, kBlendInvSrcAlpha, kBlendSrcAlpha}};
    struct Test {
        bool on;
        uint32_t func, ref;
    };
    const Test tests[] = {
        {false, kCmpAlways, 0}, {true, kCmpGreaterEqual, 8}, {true, kCmpGreaterEqual, 0}, {true, kCmpLess, 128}};
    enum class Primitives { Fan, List, Strip };
    enum class Clip { None, Scissor, Viewport };
    struct Geometry {
        const char* name;
        float l, t, r, b, u0, v0, u1, v1;
        Primitives primitives;
        float shearU = 0;         // added to u along the height (u then changes from row to row)
        bool transposed = false;  // u along the height and v along the width (v changes along a row)
        int firstCorner = 0;      // the fan's first vertex (0 top-left, clockwise from there)
        bool counterClockwise = false;
        Clip clip = Clip::None;
        float slant = 0;  // pixels the bottom corners move right, their u by as many texels (1:1 stays 1:1)
    };
    constexpr float kHalfTexel = 1.0f / 32, kQuarterTexel = 1.0f / 64;  // of the 16-texel texture
    const Geometry shapes[] = {
        {"1:1 on the texel grid", 2.5f, 3.5f, 66.5f, 35.5f, 0, 0, 4, 2, Primitives::Fan},
        {"1:1 wrapping", 10.5f, 20.5f, 90.5f, 60.5f, 0.25f, 0.75f, 5.25f, 3.25f, Primitives::Fan},
        {"1:1 quarter pixel off", 1.25f, 2.75f, 41.25f, 26.75f, 0, 0, 2.5f, 1.5f, Primitives::Fan},
        {"1:1 as a list", 30.5f, 5.5f, 94.5f, 53.5f, 0, 0, 4, 3, Primitives::List},
        {"scaled", 0.5f, 0.5f, 95.5f, 63.5f, 0, 0, 1, 1, Primitives::Fan},
        {"clipped", -20.5f, -10.5f, 120.5f, 90.5f, 0, 0, 8.875f, 6.3125f, Primitives::Fan},
        // Scaled quads as the movie draws them (a strip over the whole target) and others.
        {"enlarged over the target as a strip", 0, 0, 96, 64, 0, 0, 1, 1, Primitives::Strip},
        {"enlarged, fractional offsets", 3.3f, 2.7f, 88.1f, 61.9f, 0.03f, 0.11f, 0.97f, 0.89f, Primitives::Fan},
        {"reduced a little", 4.25f, 5.5f, 20.75f, 17.5f, 0.1f, 0.2f, 1.6f, 1.45f, Primitives::Fan},
        {"reduced a lot", 1.5f, 40.5f, 9.5f, 47.5f, 0, 0, 3, 2, Primitives::Fan},
        {"wrapping at both edges", 0.5f, 40.5f, 60.5f, 63.5f, 0.8f, 0.9f, 3.3f, 1.7f, Primitives::Strip},
        {"negative texture coordinates", 50.5f, 10.5f, 90.5f, 30.5f, -2.3f, -1.1f, -0.2f, 0.4f, Primitives::Fan},
        {"mirrored", 10.75f, 30.25f, 70.25f, 50.75f, 1.0f, 0.9f, 0.1f, 0.2f, Primitives::Fan},
        {"enlarged as a list", 20.6f, 3.4f, 77.4f, 44.6f, 0.2f, 0.3f, 0.7f, 0.6f, Primitives::List},
        {"sheared along u", 5.5f, 6.5f, 70.5f, 58.5f, 0.1f, 0.2f, 1.3f, 1.1f, Primitives::Fan, 0.7f},
        {"transposed", 30.5f, 8.5f, 90.5f, 50.5f, 0.1f, 0.2f, 1.3f, 1.1f, Primitives::Fan, 0, true},
        // Axis-aligned 1:1 rectangles: texel centres on pixel centres or not, edges on pixel
        // centres or between them, any corner first, either winding, clipped every way.
        {"1:1 with edges on pixel centres", 2, 3, 66, 35, kHalfTexel, kHalfTexel, 4 + kHalfTexel, 2 + kHalfTexel,
         Primitives::Fan},
        {"1:1 with edges on pixel centres, between texels", 7, 9, 73, 41, 0, 0, 4.125f, 2, Primitives::Fan},
        {"1:1 quarter pixel off, on texel centres", 1.25f, 2.75f, 41.25f, 26.75f, -kQuarterTexel, kQuarterTexel,
         2.5f - kQuarterTexel, 1.5f + kQuarterTexel, Primitives::Fan},
        {"1:1 from the bottom-right corner", 12.5f, 20.5f, 60.5f, 50.5f, 0, 0, 3, 1.875f, Primitives::Fan, 0, false, 2},
        {"1:1 counter-clockwise", 40.5f, 2.5f, 83.5f, 47.5f, 0.5f, 0, 3.1875f, 2.8125f, Primitives::Fan, 0, false, 1,
         true},
        {"1:1 scissored", 5.5f, 4.5f, 85.5f, 60.5f, 0.25f, 0.75f, 5.25f, 4.25f, Primitives::Fan, 0, false, 0, false,
         Clip::Scissor},
        {"1:1 through a viewport", 0.5f, 0.5f, 88.5f, 56.5f, 0.125f, 0, 5.625f, 3.5f, Primitives::Fan, 0, false, 0,
         false, Clip::Viewport},
        {"1:1 off the top-left corner", -20.5f, -10.5f, 43.5f, 21.5f, 0, 0, 4, 2, Primitives::Fan},
        {"1:1 off the bottom-right corner", 60.25f, 40.75f, 110.25f, 70.75f, 0, 0, 3.125f, 1.875f, Primitives::Fan},
        {"1:1 one column", 44.5f, 1.5f, 45.5f, 62.5f, 0.5f, 0, 0.5625f, 3.8125f, Primitives::Fan},
        {"1:1 one row, odd width", 3.5f, 61.5f, 40.5f, 62.5f, 0, 0.5f, 2.3125f, 0.5625f, Primitives::Fan},
        // 1:1 parallelograms: no rectangle, so the rows of the quad's two triangles meet at the
        // diagonal and are joined into one span where they map to the texels as one.
        {"1:1 slanted", 4.5f, 6.5f, 52.5f, 38.5f, 0, 0, 3, 2, Primitives::Fan, 0, false, 0, false, Clip::None, 24},
        {"1:1 slanted back, quarter pixel off", 30.25f, 9.75f, 70.25f, 49.75f, 0.5f, 0.25f, 3, 2.75f, Primitives::Fan,
         0, false, 0, false, Clip::None, -13},
    };
    const uint32_t colors[] = {0xFFFFFFFFu, 0x80C0FF40u};
    const uint32_t filters[] = {kFilterLinear, kFilterPoint};

    auto drawClipped = [&](const Geometry& g, uint32_t color) {
        // Corners top-left, top-right, bottom-right, bottom-left.
        const TexturedVertex corners[4] = {{g.l, g.t, 0, 1, color, g.u0, g.v0},
                                           {g.r, g.t, 0, 1, color, g.u1, g.v0},
                                           {g.r + g.slant, g.b, 0, 1, color, g.u1 + g.shearU + g.slant / 16, g.v1},
                                           {g.l + g.slant, g.b, 0, 1, color, g.u0 + g.shearU + g.slant / 16, g.v1}};
        TexturedVertex v[6];
        for (int k = 0; k < 4; ++k) {
            v[k] = corners[(g.firstCorner + (g.counterClockwise ? 4 - k : k)) % 4];
        }
        if (g.transposed) {
            std::swap(v[1].u, v[3].u);  // top-right (u0, v1), bottom-left (u1, v0)
            std::swap(v[1].v, v[3].v);
        }
        device->setFvf(kFvfXyzRhw | kFvfDiffuse | kFvfTex1);
        switch (g.primitives) {
            case Primitives::Fan:
                return device->drawPrimitiveUp(kPrimitiveTriangleFan, 2, v, sizeof(TexturedVertex));
            case Primitives::Strip: {  // top-right, bottom-right, top-left, bottom-left
                const TexturedVertex strip[4] = {v[1], v[2], v[0], v[3]};
                return device->drawPrimitiveUp(kPrimitiveTriangleStrip, 2, strip, sizeof(TexturedVertex));
            }
            case Primitives::List:
                break;
        }
        v[4] = v[3];  // (0, 1, 2) and (2, 3, 0) as a list: separate triangles, other vertex order
        v[3] = v[2];
        v[5] = v[0];
        return device->drawPrimitiveUp(kPrimitiveTriangleList, 2, v, sizeof(TexturedVertex));
    };
    auto draw = [&](const Geometry& g, uint32_t color) {
        const IntRect scissor{9, 7, 77, 51};
        const Viewport part{6, 5, 71, 47, 0, 1}, whole{0, 0, 96, 64, 0, 1};
        device->setScissorRect(&scissor);
        device->setRenderState(RenderState::ScissorTestEnable, g.clip == Clip::Scissor ? 1 : 0);
        device->setViewport(g.clip == Clip::Viewport ? &part : &whole);
        const Result result = drawClipped(g, color);
        device->setRenderState(RenderState::ScissorTestEnable, 0);
        device->setViewport(&whole);
        return result;
    };
    auto pattern = [&] {
        GpuSurface* rt = nullptr;
        device->getRenderTarget(0, &rt);
        auto& pixels = rt->image()->texels;
        for (uint32_t i = 0; i < pixels.size(); ++i) {
            pixels[i] = (i * 0x9E3779B9u) ^ (i << 7);
        }
        rt->release();
    };
    int compared = 0;
    for (GpuSurface* target : {back, alphaTarget}) {
        device->setRenderTarget(0, target);
        for (GpuTexture* texture : {withAlpha, opaque}) {
            for (const Blend& blend : blends) {
                for (const Test& test : tests) {
                    for (uint32_t filter : filters) {
                        for (uint32_t color : colors) {
                            std::vector<uint32_t> results[2];
                            for (int general = 0; general < 2; ++general) {
                                device->setDirectPathEnabled(general == 0);
                                pattern();
                                spriteStates(blend.on, blend.src, blend.dst);
                                device->setRenderState(RenderState::AlphaTestEnable, test.on ? 1 : 0);
                                device->setRenderState(RenderState::AlphaFunc, test.func);
                                device->setRenderState(RenderState::AlphaRef, test.ref);
                                device->setSamplerState(0, SamplerState::MagFilter, filter);
                                device->setSamplerState(0, SamplerState::MinFilter, filter);
                                device->setTexture(0, texture);
                                // Each shape on a fresh pattern (whose X8 top bytes are not yet
                                // 0xFF), drawn again over it moved by whole pixels and by
                                // fractions (the same shape at another place), from other texels
                                // whole or a quarter texel away, then an untextured fade over the
                                // last.
                                results[general].clear();
                                for (const Geometry& g : shapes) {
                                    pattern();
                                    struct Move {
                                        float pixels, u, v;
                                    };
                                    for (const Move move : {Move{0, 0, 0}, Move{5, 0, 0}, Move{-2.75f, 0, 0},
                                                            Move{0, 3.0f / 16, 5.0f / 16}, Move{5, kQuarterTexel, 0}}) {
                                        Geometry moved = g;
                                        moved.l += move.pixels;
                                        moved.r += move.pixels;
                                        moved.t += move.pixels * 0.5f;
                                        moved.b += move.pixels * 0.5f;
                                        moved.u0 += move.u;
                                        moved.u1 += move.u;
                                        moved.v0 += move.v;
                                        moved.v1 += move.v;
                                        ASSERT_EQ(kOk, draw(moved, color)) << g.name << " moved by " << move.pixels
                                                                           << ", " << move.u << ", " << move.v;
                                    }
                                    const std::vector<uint32_t> drawn = targetPixels();
                                    results[general].insert(results[general].end(), drawn.begin(), drawn.end());
                                }
                                device->setTexture(0, nullptr);
                                ASSERT_EQ(kOk, fillQuad(0, 0, 96, 64, color & 0x60FFFFFFu));
                                const std::vector<uint32_t> faded = targetPixels();
                                results[general].insert(results[general].end(), faded.begin(), faded.end());
                            }
                            ASSERT_EQ(results[0], results[1])
                                << "target " << (target == back ? "X8" : "A8") << ", texture "
                                << (texture == opaque ? "X8" : "A8") << ", blend " << blend.src << "/" << blend.dst
                                << (blend.on ? "" : " off") << ", test " << test.func << " " << test.ref
                                << (test.on ? "" : " off") << ", filter " << filter << ", colour " << std::hex << color;
                            ++compared;
                        }
                    }
                }
            }
        }
    }
    device->setDirectPathEnabled(true);
    const uint64_t before = device->directSpanCount();
    device->setRenderTarget(0, back);
    spriteStates(true);
    device->setTexture(0, withAlpha);
    draw(shapes[0], 0xFFFFFFFFu);
    EXPECT_GT(device->directSpanCount(), before);  // the fast paths were in play
    for (const Geometry& g : shapes) {
        const uint64_t countBefore = device->directSpanCount();
        draw(g, 0x80C0FF40u);
        // Bilinear quads take a fast path unless v changes along a row.
        EXPECT_EQ(!g.transposed, device->directSpanCount() > countBefore) << g.name;
    }
    EXPECT_EQ(2 * 2 * 4 * 4 * 2 * 2, compared);
    device->setTexture(0, nullptr);
    back->release();
    alphaTarget->release();
    rtTexture->release();
    opaque->release();
    withAlpha->release();
}

// A 1:1 rectangle drawn after one like it but for one thing (the texels it starts at, how many it
// spans, its colour, corner order, texture, filter, stage or culling) takes only what it shares
// with the last one's shading: each variation follows the plain rectangle and must leave the
// general path's pixels.
TEST_F(RasterTest, RectanglesUnlikeTheLastInOneThingGiveTheGeneralPathsPixels) {
    std::vector<uint32_t> texels(16 * 16);
    for (uint32_t i = 0; i < texels.size(); ++i) {
        texels[i] = ((i * 37u) % 256u) << 24 | (i * 0x0A1B2Cu & 0xFFFFFFu);
    }
    GpuTexture* texture = makeTexture(16, 16, texels);
    GpuTexture* other = makeTexture(16, 16, texels, kFormatX8R8G8B8);
    struct Variation {
        const char* name;
        float u0 = 0, v0 = 0, u1 = 0.5f, v1 = 0.5f;
        uint32_t color = 0xFFFFFFFFu;
        bool fromSecondCorner = false;
        std::function<void()> states = [] {};
    };
    const Variation variations[] = {
        {"the same"},
        {"other texels", 0.1875f, 0.375f, 0.6875f, 0.875f},
        {"texels wrapping", 0.875f, 0.75f, 1.375f, 1.25f},
        {"a quarter texel off", 0.015625f, 0, 0.515625f, 0.5f},
        {"other texels, twice as many across", 0.25f, 0.125f, 1.25f, 0.625f},
        {"twice as many texels across", 0, 0, 1.0f},
        {"twice as many texels down", 0, 0, 0.5f, 1.0f},
        {"another colour", 0, 0, 0.5f, 0.5f, 0x80C0FF40u},
        {"another first corner", 0, 0, 0.5f, 0.5f, 0xFFFFFFFFu, true},
        {"another texture of the same size", 0, 0, 0.5f, 0.5f, 0xFFFFFFFFu, false,
         [&] { device->setTexture(0, other); }},
        {"point filtering", 0, 0, 0.5f, 0.5f, 0xFFFFFFFFu, false,
         [&] {
             device->setSamplerState(0, SamplerState::MagFilter, kFilterPoint);
             device->setSamplerState(0, SamplerState::MinFilter, kFilterPoint);
         }},
        {"adding colour", 0, 0, 0.5f, 0.5f, 0xFFFFFFFFu, false,
         [&] { device->setTextureStageState(0, StageState::ColorOp, kOpAdd); }},
        {"the diffuse alpha", 0, 0, 0.5f, 0.5f, 0xFFFFFFFFu, false,
         [&] { device->setTextureStageState(0, StageState::AlphaArg1, kArgDiffuse); }},
        {"culled", 0, 0, 0.5f, 0.5f, 0xFFFFFFFFu, false,
         [&] { device->setRenderState(RenderState::CullMode, kCullClockwise); }},
        {"flat shading", 0, 0, 0.5f, 0.5f, 0xFFFFFFFFu, false,
         [&] { device->setRenderState(RenderState::ShadeMode, kShadeFlat); }},
    };
    auto drawAll = [&] {
        std::vector<uint32_t> pixels;
        for (const Variation& v : variations) {
            device->clear(0, nullptr, kClearTarget, 0xFF304050u, 1, 0);
            spriteStates(true);
            device->setTextureStageState(0, StageState::ColorOp, kOpModulate);
            device->setTextureStageState(0, StageState::AlphaArg1, kArgTexture);
            device->setRenderState(RenderState::ShadeMode, kShadeGouraud);
            device->setTexture(0, texture);
            EXPECT_EQ(kOk, quad(2.5f, 3.5f, 10.5f, 11.5f, 0, 0, 0.5f, 0.5f));
            v.states();
            TexturedVertex corners[4] = {{12.5f, 14.5f, 0, 1, v.color, v.u0, v.v0},
                                         {20.5f, 14.5f, 0, 1, v.color, v.u1, v.v0},
                                         {20.5f, 22.5f, 0, 1, v.color, v.u1, v.v1},
                                         {12.5f, 22.5f, 0, 1, v.color, v.u0, v.v1}};
            if (v.fromSecondCorner) {
                std::rotate(corners, corners + 1, corners + 4);
            }
            device->setFvf(kFvfXyzRhw | kFvfDiffuse | kFvfTex1);
            EXPECT_EQ(kOk, device->drawPrimitiveUp(kPrimitiveTriangleFan, 2, corners, sizeof(TexturedVertex)))
                << v.name;
            const std::vector<uint32_t> drawn = targetPixels();
            pixels.insert(pixels.end(), drawn.begin(), drawn.end());
        }
        return pixels;
    };
    const std::vector<uint32_t> fast = drawAll();
    device->setDirectPathEnabled(false);
    const std::vector<uint32_t> general = drawAll();
    for (size_t k = 0; k < std::size(variations); ++k) {
        const size_t frame = 32 * 32;
        EXPECT_TRUE(std::equal(fast.begin() + k * frame, fast.begin() + (k + 1) * frame, general.begin() + k * frame))
            << variations[k].name;
    }
    device->setTexture(0, nullptr);
    other->release();
    texture->release();
}

// Each span writer (sixteen pixels at a time, eight at a time, plain loops; each with a masked or
// pixel-by-pixel tail) against the general path, on 1:1 rows of every length up to three blocks
// and more, at every offset within a block, for the blend and test kinds they serve, on both
// target formats, drawn as single rows and as whole rectangles. Texel runs that are wholly
// transparent or opaque meet every block position. A writer this processor cannot run is skipped.
class SpanWriterTest : public ::testing::TestWithParam<SpanWriter> {};

TEST_P(SpanWriterTest, GivesTheSamePixelsAsTheGeneralPathForEveryRowLength) {
    const SpanWriter writer = GetParam();
    if (processorSpanWriter() < writer) {
        GTEST_SKIP() << "this processor cannot run the " << spanWriterName(writer) << " span writer";
    }
    PixelImage texture(64, 4, kFormatA8R8G8B8);
    for (uint32_t i = 0; i < texture.texels.size(); ++i) {
        const uint32_t runs[] = {0, 255, 0, 128, 255, 255, 7, 8};
        const uint32_t alpha = i < 128 ? runs[(i / 19) % 8] : (i * 53u) % 256u;
        texture.texels[i] = alpha << 24 | (i * 0x0B1D2Fu & 0xFFFFFFu);
    }
    PixelImage opaque = texture;
    opaque.format = kFormatX8R8G8B8;
    struct Kind {
        bool blend;
        uint32_t src, dst;
        bool test;
        uint32_t ref;
        uint32_t func = kCmpGreaterEqual;
    };
    const Kind kinds[] = {{false, kBlendOne, kBlendZero, false, 0},
                          {true, kBlendInvSrcAlpha, kBlendSrcAlpha, true, 128, kCmpLess},
                          {true, kBlendSrcAlpha, kBlendInvSrcAlpha, true, 7, kCmpNotEqual},
                          {false, kBlendOne, kBlendZero, true, 8},
                          {true, kBlendSrcAlpha, kBlendInvSrcAlpha, false, 0},
                          {true, kBlendSrcAlpha, kBlendInvSrcAlpha, true, 8},
                          {true, kBlendSrcAlpha, kBlendInvSrcAlpha, true, 0},
                          {true, kBlendSrcAlpha, kBlendOne, false, 0},
                          {true, kBlendSrcAlpha, kBlendOne, true, 129}};
    constexpr uint32_t kWidth = 90, kRows = 60;
    for (uint32_t format : {uint32_t(kFormatX8R8G8B8), uint32_t(kFormatA8R8G8B8)}) {
        for (const Kind& kind : kinds) {
            // Rows of one pixel's height (row n - 1: n pixels from column n % 16, from texel
            // (n * 5) % 64 of texel row n % 4), then rectangles of every width over five texel
            // rows that wrap at the texture's bottom edge; from the texture with alpha, the same
            // texels without (X8, opaque whatever their top byte) and no texture, in one colour
            // with alpha (the constant-colour path).
            enum class Source { Alpha, Opaque, Untextured };
            for (const Source source : {Source::Alpha, Source::Opaque, Source::Untextured}) {
                for (const uint32_t rows : {1u, 5u}) {
                    const bool textured = source != Source::Untextured;
                    const uint32_t color = textured ? 0xFFFFFFFFu : 0x80C0FF40u;
                    std::vector<uint32_t> results[2];
                    for (int fast = 0; fast < 2; ++fast) {
                        PixelImage target(kWidth, kRows, format);
                        for (uint32_t i = 0; i < target.texels.size(); ++i) {
                            target.texels[i] = (i * 0x9E3779B9u) ^ (i << 9);
                        }
                        PipelineState s;
                        s.target = &target;
                        s.clip = IntRect{0, 0, int32_t(kWidth), int32_t(kRows)};
                        s.texture = source == Source::Alpha ? &texture : source == Source::Opaque ? &opaque : nullptr;
                        s.alphaBlend = kind.blend;
                        s.srcBlend = kind.src;
                        s.destBlend = kind.dst;
                        s.alphaTest = kind.test;
                        s.alphaFunc = kind.func;
                        s.alphaRef = kind.ref;
                        s.cullMode = kCullNone;
                        if (!textured) {  // the vertex colour, alpha included
                            s.colorOp = kOpSelectArg1;
                            s.colorArg1 = kArgDiffuse;
                            s.alphaArg1 = kArgDiffuse;
                        }
                        Rasterizer r;
                        r.setDirectPathEnabled(fast == 1);
                        ASSERT_EQ(writer, r.setSpanWriter(writer));
                        uint32_t drawn = 0;
                        for (uint32_t n = 1; n <= kRows; n += rows) {
                            const double x = double(n % 16) - 0.5, y = double(n) - 1.5;
                            const double u = double(n * 5 % 64) / 64, v = double(n % 4) / 4;
                            const double u1 = u + n / 64.0, v1 = v + rows / 4.0;
                            const RasterVertex a{x, y, color, u, v}, b{x + n, y, color, u1, v},
                                c{x + n, y + rows, color, u1, v1}, d{x, y + rows, color, u, v1};
                            r.drawQuad(s, a, b, c, d);
                            drawn += rows;
                        }
                        EXPECT_EQ(fast == 1 && textured ? drawn : 0u, r.directSpans());
                        results[fast] = target.texels;
                    }
                    ASSERT_EQ(results[0], results[1])
                        << "height " << rows << ", source " << int(source) << ", target "
                        << (format == kFormatX8R8G8B8 ? "X8" : "A8") << ", blend " << kind.blend << " " << kind.src
                        << "/" << kind.dst << ", test " << kind.test << " " << kind.func << " " << kind.ref;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Writers, SpanWriterTest,
                         ::testing::Values(SpanWriter::Plain, SpanWriter::Avx2, SpanWriter::Avx512),
                         [](const ::testing::TestParamInfo<SpanWriter>& info) {
                             return std::string(spanWriterName(info.param));
                         });

}  // namespace
}  // namespace Platform::Gpu::Test
