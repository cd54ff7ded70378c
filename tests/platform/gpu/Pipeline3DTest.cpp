// The device's pipeline for untransformed vertices: transforms, screen mapping, depth, texture
// perspective, lighting, clipping, wireframe and indexed drawing.
#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "tests/platform/gpu/GpuTestSupport.h"

namespace Platform::Gpu::Test {
namespace {

struct PositionColor {
    float x, y, z;
    uint32_t color;
};

struct PositionNormal {
    float x, y, z;
    float nx, ny, nz;
};

struct PositionTexture {
    float x, y, z;
    float u, v;
};

Matrix perspectiveRH(float fovY, float aspect, float zn, float zf) {
    Matrix m;
    const float ys = 1.0f / std::tan(fovY / 2), xs = ys / aspect;
    m.m[0][0] = xs;
    m.m[1][1] = ys;
    m.m[2][2] = zf / (zn - zf);
    m.m[2][3] = -1;
    m.m[3][2] = zn * zf / (zn - zf);
    return m;
}

constexpr uint32_t kBackground = 0xFF000000u;

struct Pipeline3DTest : DeviceFixture {
    void SetUp() override {
        DeviceFixture::SetUp();
        const Matrix identity = Matrix::identity();
        device->setTransform(kTransformWorld, &identity);
        device->setTransform(kTransformView, &identity);
        device->setTransform(kTransformProjection, &identity);
        device->setRenderState(RenderState::CullMode, kCullNone);
        device->setRenderState(RenderState::Lighting, 0);
        device->setRenderState(RenderState::ZEnable, 1);
        device->setTextureStageState(0, StageState::ColorArg2, kArgDiffuse);
        device->clear(0, nullptr, kClearTarget | kClearZBuffer, kBackground, 1.0f, 0);
    }
    // A rectangle in normalised device coordinates at one depth, as two triangles.
    void rectangle(float l, float t, float r, float b, float z, uint32_t color) {
        const PositionColor v[6] = {{l, t, z, color}, {r, t, z, color}, {r, b, z, color},
                                    {l, t, z, color}, {r, b, z, color}, {l, b, z, color}};
        device->setFvf(kFvfXyz | kFvfDiffuse);
        ASSERT_EQ(kOk, device->drawPrimitiveUp(kPrimitiveTriangleList, 2, v, sizeof(PositionColor)));
    }
    size_t countOf(uint32_t color) {
        size_t n = 0;
        for (uint32_t p : targetPixels()) {
            n += p == color ? 1 : 0;
        }
        return n;
    }
};

TEST_F(Pipeline3DTest, DeviceCoordinatesMapOntoPixelEdgesAndColoursAreKept) {
    // NDC -1 is the left edge of pixel 0: the left half of the 32-pixel target is columns 0-15.
    rectangle(-1, 1, 0, -1, 0.5f, 0xFF20C040u);
    for (uint32_t y = 0; y < 32; ++y) {
        EXPECT_EQ(0xFF20C040u, pixel(15, y));
        EXPECT_EQ(kBackground, pixel(16, y));
    }
    EXPECT_EQ(16u * 32u, countOf(0xFF20C040u));
    // The top half of the target is y > 0 in device coordinates.
    device->clear(0, nullptr, kClearTarget | kClearZBuffer, kBackground, 1.0f, 0);
    rectangle(-1, 1, 1, 0, 0.5f, 0xFFFFFFFFu);
    EXPECT_EQ(0xFFFFFFFFu, pixel(3, 15));
    EXPECT_EQ(kBackground, pixel(3, 16));
}

// Triangles with corners on the 1/256-pixel grid, narrow and wide, in both windings, with corners
// on pixel centres and with level edges: each covers exactly the pixel centres inside its edges,
// plus those on a top or a left edge, as a test of every centre of the target finds them.
TEST_F(Pipeline3DTest, TrianglesCoverTheCentresInsideTheirEdgesByTheTopLeftRule) {
    std::mt19937 random(7);
    auto coordinate = [&](int64_t limit) {
        const auto v = int64_t(random() % uint64_t(limit));
        switch (random() % 3) {
            case 0:
                return v / 256 * 256;  // on a pixel centre's row or column
            case 1:
                return v / 128 * 128;
            default:
                return v;
        }
    };
    for (int t = 0; t < 400; ++t) {
        // Corners in 1/256 pixel near a point; the spread makes slivers, small and wide triangles.
        const int64_t spread = int64_t(256) * (t % 4 == 0 ? 30 : t % 4 == 1 ? 12 : 4);
        const int64_t cx = coordinate(32 * 256 - spread), cy = coordinate(32 * 256 - spread);
        int64_t sx[3], sy[3];
        for (int k = 0; k < 3; ++k) {
            sx[k] = cx + coordinate(spread);
            sy[k] = cy + coordinate(spread);
        }
        if (t % 5 == 0) {
            sy[1] = sy[t % 2 == 0 ? 0 : 2];  // a level edge, at the top or the bottom
        }
        SCOPED_TRACE(::testing::Message() << "triangle " << t << ": (" << sx[0] << "," << sy[0] << ") (" << sx[1] << ","
                                          << sy[1] << ") (" << sx[2] << "," << sy[2] << ") / 256");
        PositionColor v[3];
        for (int k = 0; k < 3; ++k) {
            // x = (ndc + 1) / 2 * 32 and y = (1 - ndc) / 2 * 32, exact in single precision here.
            v[k] = {float(sx[k]) / 4096.0f - 1.0f, 1.0f - float(sy[k]) / 4096.0f, 0.5f, 0xFFFFFFFFu};
        }
        device->clear(0, nullptr, kClearTarget | kClearZBuffer, kBackground, 1.0f, 0);
        device->setFvf(kFvfXyz | kFvfDiffuse);
        ASSERT_EQ(kOk, device->drawPrimitiveUp(kPrimitiveTriangleList, 1, v, sizeof(PositionColor)));
        // Clockwise on the screen (y down): every edge function is >= 0 inside.
        int64_t area = (sx[1] - sx[0]) * (sy[2] - sy[0]) - (sx[2] - sx[0]) * (sy[1] - sy[0]);
        if (area < 0) {
            std::swap(sx[1], sx[2]);
            std::swap(sy[1], sy[2]);
            area = -area;
        }
        const std::vector<uint32_t> pixels = targetPixels();
        for (int64_t py = 0; py < 32; ++py) {
            for (int64_t px = 0; px < 32; ++px) {
                bool inside = area > 0;
                for (int k = 0; k < 3; ++k) {
                    const int64_t ex = sx[(k + 1) % 3] - sx[k], ey = sy[(k + 1) % 3] - sy[k];
                    const int64_t e = ex * (py * 256 - sy[k]) - ey * (px * 256 - sx[k]);
                    const bool topLeft = ey < 0 || (ey == 0 && ex > 0);
                    inside = inside && (e > 0 || (e == 0 && topLeft));
                }
                ASSERT_EQ(inside, pixels[size_t(py * 32 + px)] == 0xFFFFFFFFu) << "pixel " << px << ", " << py;
            }
        }
    }
}

TEST_F(Pipeline3DTest, DepthTestKeepsTheNearerSurfaceAndPassesEqualDepths) {
    rectangle(-1, 1, 1, -1, 0.3f, 0xFFFF0000u);
    rectangle(-1, 1, 1, -1, 0.6f, 0xFF0000FFu);  // farther: hidden
    EXPECT_EQ(32u * 32u, countOf(0xFFFF0000u));
    rectangle(-1, 1, 0, -1, 0.3f, 0xFF00FF00u);  // same depth: passes (less or equal)
    EXPECT_EQ(16u * 32u, countOf(0xFF00FF00u));
    device->setRenderState(RenderState::ZWriteEnable, 0);
    rectangle(-1, 1, 1, -1, 0.1f, 0xFF101010u);  // nearer, drawn but not recorded
    rectangle(-1, 1, 1, -1, 0.2f, 0xFF202020u);
    EXPECT_EQ(32u * 32u, countOf(0xFF202020u));
    device->setRenderState(RenderState::ZEnable, 0);
    rectangle(-1, 1, 1, -1, 0.9f, 0xFF0000FFu);  // no test: the later draw wins
    EXPECT_EQ(32u * 32u, countOf(0xFF0000FFu));
    // Clearing the depth buffer to 0 hides everything drawn with the test on.
    device->setRenderState(RenderState::ZEnable, 1);
    device->clear(0, nullptr, kClearZBuffer, 0, 0.0f, 0);
    rectangle(-1, 1, 1, -1, 0.1f, 0xFFFFFFFFu);
    EXPECT_EQ(32u * 32u, countOf(0xFF0000FFu));
}

TEST_F(Pipeline3DTest, TextureCoordinatesArePerspectiveCorrect) {
    const Matrix projection = perspectiveRH(float(M_PI / 2), 1.0f, 1.0f, 100.0f);
    device->setTransform(kTransformProjection, &projection);
    GpuTexture* texture = makeTexture(2, 1, {0xFF000000u, 0xFFFFFFFFu});
    device->setTexture(0, texture);
    device->clear(0, nullptr, kClearTarget, 0xFF808080u, 1.0f, 0);
    // A strip that recedes from x -1 at depth 1 to x 3 at depth 5; u runs from 0 to 1 along it.
    const PositionTexture v[4] = {{-1, 1, -1, 0, 0}, {3, 5, -5, 1, 0}, {-1, -1, -1, 0, 0}, {3, -5, -5, 1, 0}};
    device->setFvf(kFvfXyz | kFvfTex1);
    ASSERT_EQ(kOk, device->drawPrimitiveUp(kPrimitiveTriangleStrip, 2, v, sizeof(PositionTexture)));
    texture->release();
    // u = 0.5 lies at x 1, depth 3: column 21.3. Drawn without the division by depth, it would
    // lie halfway across the strip's 26 columns, near column 13.
    EXPECT_EQ(0xFF000000u, pixel(13, 16));
    EXPECT_EQ(0xFF000000u, pixel(21, 16));
    EXPECT_EQ(0xFFFFFFFFu, pixel(22, 16));
    EXPECT_EQ(0xFFFFFFFFu, pixel(25, 16));
    EXPECT_EQ(0xFF808080u, pixel(27, 16));  // the far end projects to column 25.6
}

TEST_F(Pipeline3DTest, DirectionalLightGivesAmbientDiffuseAndSpecular) {
    device->setRenderState(RenderState::Lighting, 1);
    Light light;
    light.type = kLightDirectional;
    light.diffuse = {1, 1, 1, 1};
    light.specular = {1, 1, 1, 1};
    light.ambient = {0.5f, 0.5f, 0.5f, 1};
    light.direction = {0, 0, -1};
    device->setLight(0, &light);
    device->lightEnable(0, true);
    Material material;
    material.diffuse = {0.6f, 0.4f, 0.2f, 1};
    material.ambient = {0.4f, 0.4f, 0.4f, 1};
    material.specular = {1, 1, 1, 1};
    material.power = 4;
    device->setMaterial(&material);
    device->setFvf(kFvfXyz | kFvfNormal);
    struct Case {
        const char* name;
        float nz;
        bool specular;
        uint32_t expected;
    } cases[] = {
        // ambient 0.4 x 0.5 plus the diffuse colour at full incidence
        {"facing the light", 1, false, 0xFFCC9966u},
        {"facing away: ambient only", -1, false, 0xFF333333u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device->setRenderState(RenderState::SpecularEnable, c.specular ? 1 : 0);
        device->clear(0, nullptr, kClearTarget | kClearZBuffer, kBackground, 1.0f, 0);
        const PositionNormal v[3] = {{-1, 1, 0.5f, 0, 0, c.nz}, {1, 1, 0.5f, 0, 0, c.nz}, {-1, -1, 0.5f, 0, 0, c.nz}};
        ASSERT_EQ(kOk, device->drawPrimitiveUp(kPrimitiveTriangleList, 1, v, sizeof(PositionNormal)));
        EXPECT_EQ(c.expected, pixel(4, 4));
    }
    // The highlight is added on top of the lit colour, channel by channel.
    device->setRenderState(RenderState::SpecularEnable, 1);
    device->clear(0, nullptr, kClearTarget | kClearZBuffer, kBackground, 1.0f, 0);
    const PositionNormal v[3] = {{-1, 1, 0.5f, 0, 0, 1}, {1, 1, 0.5f, 0, 0, 1}, {-1, -1, 0.5f, 0, 0, 1}};
    ASSERT_EQ(kOk, device->drawPrimitiveUp(kPrimitiveTriangleList, 1, v, sizeof(PositionNormal)));
    const uint32_t lit = pixel(4, 4);
    EXPECT_GT(lit & 0xFF, 0x66u);
    EXPECT_GT((lit >> 16) & 0xFF, 0xCCu);
}

TEST_F(Pipeline3DTest, TrianglesCrossingTheNearPlaneAreClipped) {
    const Matrix projection = perspectiveRH(float(M_PI / 2), 1.0f, 1.0f, 100.0f);
    device->setTransform(kTransformProjection, &projection);
    // The third corner lies behind the eye; only the part in front of the near plane is drawn,
    // between device y -0.5 and -1/3: rows 22 and 23.
    const PositionColor v[3] = {{-1, -1, -2, 0xFFFFFFFFu}, {1, -1, -2, 0xFFFFFFFFu}, {0, 1, 1, 0xFFFFFFFFu}};
    device->setFvf(kFvfXyz | kFvfDiffuse);
    ASSERT_EQ(kOk, device->drawPrimitiveUp(kPrimitiveTriangleList, 1, v, sizeof(PositionColor)));
    for (uint32_t y = 0; y < 32; ++y) {
        EXPECT_EQ(y == 22 || y == 23 ? 0xFFFFFFFFu : kBackground, pixel(16, y)) << "row " << y;
    }
    // Entirely behind the eye: nothing.
    device->clear(0, nullptr, kClearTarget, kBackground, 1.0f, 0);
    const PositionColor behind[3] = {{-1, -1, 2, 0xFFFFFFFFu}, {1, -1, 2, 0xFFFFFFFFu}, {0, 1, 3, 0xFFFFFFFFu}};
    ASSERT_EQ(kOk, device->drawPrimitiveUp(kPrimitiveTriangleList, 1, behind, sizeof(PositionColor)));
    EXPECT_EQ(0u, 32u * 32u - countOf(kBackground));
}

TEST_F(Pipeline3DTest, CullingFollowsScreenWindingAndWireframeDrawsEdgesOnly) {
    // Clockwise on the screen: top-left, top-right, bottom-left.
    const PositionColor clockwise[3] = {
        {-1, 1, 0.5f, 0xFFFFFFFFu}, {1, 1, 0.5f, 0xFFFFFFFFu}, {-1, -1, 0.5f, 0xFFFFFFFFu}};
    const PositionColor counter[3] = {clockwise[0], clockwise[2], clockwise[1]};
    device->setFvf(kFvfXyz | kFvfDiffuse);
    struct Case {
        uint32_t cull;
        const PositionColor* vertices;
        bool drawn;
    } cases[] = {{kCullClockwise, clockwise, false},
                 {kCullClockwise, counter, true},
                 {kCullCounterClockwise, clockwise, true},
                 {kCullCounterClockwise, counter, false},
                 {kCullNone, counter, true}};
    for (const Case& c : cases) {
        device->setRenderState(RenderState::CullMode, c.cull);
        device->clear(0, nullptr, kClearTarget | kClearZBuffer, kBackground, 1.0f, 0);
        ASSERT_EQ(kOk, device->drawPrimitiveUp(kPrimitiveTriangleList, 1, c.vertices, sizeof(PositionColor)));
        EXPECT_EQ(c.drawn, pixel(4, 4) == 0xFFFFFFFFu) << "cull " << c.cull;
    }
    device->setRenderState(RenderState::CullMode, kCullNone);
    device->setRenderState(RenderState::FillMode, kFillWireframe);
    device->clear(0, nullptr, kClearTarget | kClearZBuffer, kBackground, 1.0f, 0);
    const PositionColor inner[3] = {
        {-0.5f, 0.5f, 0.5f, 0xFFFFFFFFu}, {0.5f, 0.5f, 0.5f, 0xFFFFFFFFu}, {-0.5f, -0.5f, 0.5f, 0xFFFFFFFFu}};
    ASSERT_EQ(kOk, device->drawPrimitiveUp(kPrimitiveTriangleList, 1, inner, sizeof(PositionColor)));
    EXPECT_EQ(0xFFFFFFFFu, pixel(12, 8));   // on the top edge (y 8)
    EXPECT_EQ(0xFFFFFFFFu, pixel(8, 12));   // on the left edge (x 8)
    EXPECT_EQ(kBackground, pixel(11, 11));  // inside
}

TEST_F(Pipeline3DTest, IndexedDrawingMatchesTheSameVerticesInOrderAndRefusesBadIndices) {
    const PositionColor corners[4] = {
        {-1, 1, 0.5f, 0xFFFF0000u}, {1, 1, 0.5f, 0xFF00FF00u}, {1, -1, 0.5f, 0xFF0000FFu}, {-1, -1, 0.5f, 0xFFFFFFFFu}};
    const PositionColor listed[6] = {corners[0], corners[1], corners[2], corners[0], corners[2], corners[3]};
    device->setFvf(kFvfXyz | kFvfDiffuse);
    ASSERT_EQ(kOk, device->drawPrimitiveUp(kPrimitiveTriangleList, 2, listed, sizeof(PositionColor)));
    const std::vector<uint32_t> expected = targetPixels();
    device->clear(0, nullptr, kClearTarget | kClearZBuffer, kBackground, 1.0f, 0);
    const uint16_t indices16[6] = {0, 1, 2, 0, 2, 3};
    ASSERT_EQ(kOk, device->drawIndexedPrimitiveUp(kPrimitiveTriangleList, 4, 2, indices16, kFormatIndex16, corners,
                                                  sizeof(PositionColor)));
    EXPECT_EQ(expected, targetPixels());
    const uint32_t bad[6] = {0, 1, 2, 0, 2, 4};
    EXPECT_EQ(kErrInvalidCall, device->drawIndexedPrimitiveUp(kPrimitiveTriangleList, 4, 2, bad, kFormatIndex32,
                                                              corners, sizeof(PositionColor)));
    EXPECT_EQ(kErrInvalidCall, device->drawIndexedPrimitiveUp(kPrimitiveTriangleList, 4, 2, indices16, 77, corners,
                                                              sizeof(PositionColor)));
}

// The wide shaders (AVX2, and AVX-512 where the processor has it) against the per-pixel path:
// overlapping lit, textured, perspective triangles with vertex colours, drawn on the same device
// state once each way; every case of the table must give the same pixels. The cases cover each
// stage operation and argument, point and bilinear sampling, textures with and without alpha or
// with sides the wide shaders do not take, the depth functions with and without writing, specular, alpha test and
// blending, and texture coordinates too large for its texel range (those pixels go to the per-pixel path).
TEST_F(Pipeline3DTest, WideShaderGivesThePixelsOfThePerPixelPath) {
    if (processorSpanWriter() < SpanWriter::Avx2) {
        GTEST_SKIP() << "this processor has no AVX2";
    }
    struct Vertex {
        float x, y, z, nx, ny, nz;
        uint32_t color;
        float u, v;
    };
    std::mt19937 random(29);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    auto triangles = [&](float uvScale) {
        std::vector<Vertex> v;
        for (int t = 0; t < 40; ++t) {
            const float cx = unit(random) * 8 - 4, cy = unit(random) * 8 - 4, cz = -6 - unit(random) * 6;
            for (int k = 0; k < 3; ++k) {
                const float nx = unit(random) - 0.5f, ny = unit(random) - 0.5f;
                v.push_back({cx + unit(random) * 6 - 3, cy + unit(random) * 6 - 3, cz + unit(random) * 4 - 2, nx, ny, 1,
                             uint32_t(random()) | 0x20000000u, (unit(random) * 4 - 1) * uvScale,
                             (unit(random) * 4 - 1) * uvScale});
            }
        }
        return v;
    };
    const std::vector<Vertex> ordinary = triangles(1), huge = triangles(3e6f);
    std::vector<uint32_t> texels(8 * 4);
    for (size_t i = 0; i < texels.size(); ++i) {
        texels[i] = uint32_t(random());
    }
    GpuTexture* alpha = makeTexture(8, 4, texels);
    GpuTexture* opaque = makeTexture(8, 4, texels, kFormatX8R8G8B8);
    GpuTexture* odd = makeTexture(6, 5, std::vector<uint32_t>(texels.begin(), texels.begin() + 30));
    enum { kAlpha, kOpaque, kOdd, kNone };
    struct Case {
        const char* name;
        int texture;
        uint32_t filter, colorOp, colorArg1, colorArg2, alphaOp, zFunc;
        bool zWrite, lighting, specular, alphaTest, blend;
        uint32_t srcBlend = kBlendSrcAlpha, destBlend = kBlendInvSrcAlpha;
        bool hugeCoordinates = false;
    };
    const Case cases[] = {
        {"lit, bilinear, modulate", kAlpha, kFilterLinear, kOpModulate, kArgTexture, kArgDiffuse, kOpSelectArg1,
         kCmpLessEqual, true, true, true, false, false},
        {"vertex colours, point, add", kAlpha, kFilterPoint, kOpAdd, kArgTexture, kArgDiffuse, kOpModulate, kCmpLess,
         true, false, false, false, false},
        {"texture without alpha, select 2", kOpaque, kFilterLinear, kOpSelectArg2, kArgTexture, kArgDiffuse,
         kOpSelectArg1, kCmpLessEqual, true, true, false, false, false},
        {"stage off, greater, no depth write", kAlpha, kFilterLinear, kOpDisable, kArgTexture, kArgDiffuse, kOpDisable,
         kCmpGreater, false, true, true, false, false},
        {"alpha test and blend over", kAlpha, kFilterLinear, kOpModulate, kArgTexture, kArgDiffuse, kOpModulate,
         kCmpLessEqual, true, true, true, true, true},
        {"additive blend, not equal", kAlpha, kFilterPoint, kOpSelectArg1, kArgDiffuse, kArgTexture, kOpSelectArg2,
         kCmpNotEqual, true, false, false, false, true, kBlendSrcAlpha, kBlendOne},
        {"generic blend, equal", kOpaque, kFilterLinear, kOpModulate, kArgTexture, kArgDiffuse, kOpAdd, kCmpEqual,
         false, true, true, true, true, kBlendInvSrcAlpha, kBlendSrcAlpha},
        {"side of six texels", kOdd, kFilterLinear, kOpModulate, kArgTexture, kArgDiffuse, kOpSelectArg1, kCmpLessEqual,
         true, true, true, false, false},
        {"no texture", kNone, kFilterLinear, kOpModulate, kArgTexture, kArgDiffuse, kOpSelectArg1, kCmpLessEqual, true,
         true, true, false, false},
        {"huge texture coordinates", kAlpha, kFilterLinear, kOpModulate, kArgTexture, kArgDiffuse, kOpSelectArg1,
         kCmpLessEqual, true, true, true, false, false, kBlendSrcAlpha, kBlendInvSrcAlpha, true},
    };
    createDevice(96, 64);
    const Matrix identity = Matrix::identity();
    device->setTransform(kTransformWorld, &identity);
    device->setTransform(kTransformView, &identity);
    device->setRenderState(RenderState::CullMode, kCullNone);
    device->setRenderState(RenderState::ZEnable, 1);
    const Matrix projection = perspectiveRH(float(M_PI / 3), 1.5f, 1.0f, 30.0f);
    device->setTransform(kTransformProjection, &projection);
    Light light;
    light.type = kLightDirectional;
    light.diffuse = {1, 1, 1, 1};
    light.specular = {1, 1, 1, 1};
    light.ambient = {0.3f, 0.3f, 0.3f, 1};
    light.direction = {0.3f, -0.2f, -1};
    device->setLight(0, &light);
    device->lightEnable(0, true);
    Material material;
    material.diffuse = {0.9f, 0.7f, 0.5f, 0.6f};
    material.ambient = {0.5f, 0.5f, 0.5f, 1};
    material.specular = {0.8f, 0.8f, 0.8f, 1};
    material.power = 6;
    device->setMaterial(&material);
    device->setFvf(kFvfXyz | kFvfNormal | kFvfDiffuse | kFvfTex1);
    GpuTexture* textures[] = {alpha, opaque, odd, nullptr};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device->setTexture(0, textures[c.texture]);
        device->setSamplerState(0, SamplerState::MagFilter, c.filter);
        device->setSamplerState(0, SamplerState::MinFilter, c.filter);
        device->setTextureStageState(0, StageState::ColorOp, c.colorOp);
        device->setTextureStageState(0, StageState::ColorArg1, c.colorArg1);
        device->setTextureStageState(0, StageState::ColorArg2, c.colorArg2);
        device->setTextureStageState(0, StageState::AlphaOp, c.alphaOp);
        device->setTextureStageState(0, StageState::AlphaArg1, kArgTexture);
        device->setTextureStageState(0, StageState::AlphaArg2, kArgDiffuse);
        device->setRenderState(RenderState::ZFunc, c.zFunc);
        device->setRenderState(RenderState::ZWriteEnable, c.zWrite ? 1 : 0);
        device->setRenderState(RenderState::Lighting, c.lighting ? 1 : 0);
        device->setRenderState(RenderState::SpecularEnable, c.specular ? 1 : 0);
        device->setRenderState(RenderState::AlphaTestEnable, c.alphaTest ? 1 : 0);
        device->setRenderState(RenderState::AlphaFunc, kCmpGreaterEqual);
        device->setRenderState(RenderState::AlphaRef, 100);
        device->setRenderState(RenderState::AlphaBlendEnable, c.blend ? 1 : 0);
        device->setRenderState(RenderState::SrcBlend, c.srcBlend);
        device->setRenderState(RenderState::DestBlend, c.destBlend);
        const std::vector<Vertex>& vertices = c.hugeCoordinates ? huge : ordinary;
        // The per-pixel path first, then each wide shader the processor runs.
        struct Path {
            bool wide;
            SpanWriter writer;
        };
        std::vector<Path> paths = {{false, SpanWriter::Avx2}, {true, SpanWriter::Avx2}};
        if (processorSpanWriter() >= SpanWriter::Avx512) {
            paths.push_back({true, SpanWriter::Avx512});
        }
        std::vector<std::vector<uint32_t>> results;
        for (const Path& path : paths) {
            device->setDirectPathEnabled(path.wide);
            ASSERT_EQ(path.writer, device->setSpanWriter(path.writer));
            const uint64_t spansBefore = device->directSpanCount();
            // Depth cleared to the middle so that GREATER and EQUAL draw too, over a patterned target.
            device->clear(0, nullptr, kClearTarget | kClearZBuffer, 0x80406080u, 0.4f, 0);
            const IntRect band{0, 20, 96, 40};
            device->clear(1, &band, kClearTarget | kClearZBuffer, 0xFF102030u, 1.0f, 0);
            for (int pass = 0; pass < 2; ++pass) {  // the second pass meets equal depths
                ASSERT_EQ(kOk, device->drawPrimitiveUp(kPrimitiveTriangleList, uint32_t(vertices.size() / 3),
                                                       vertices.data(), sizeof(Vertex)));
            }
            results.push_back(targetPixels());
            // Pixels go through a wide shader only on the wide paths, and never with a texture it
            // does not take.
            EXPECT_EQ(path.wide && c.texture != kOdd, device->directSpanCount() > spansBefore);
        }
        size_t changed = 0;
        for (uint32_t p : results[0]) {
            changed += p != 0x80406080u && p != 0xFF102030u ? 1 : 0;
        }
        EXPECT_GT(changed, 200u);
        for (size_t k = 1; k < paths.size(); ++k) {
            SCOPED_TRACE(paths[k].writer == SpanWriter::Avx512 ? "AVX-512 shader" : "AVX2 shader");
            for (size_t i = 0; i < results[0].size(); ++i) {
                ASSERT_EQ(results[0][i], results[k][i]) << "pixel " << i % 96 << ", " << i / 96;
            }
        }
    }
    device->setDirectPathEnabled(true);
    device->setSpanWriter(processorSpanWriter());
    device->setTexture(0, nullptr);
    alpha->release();
    opaque->release();
    odd->release();
}

}  // namespace
}  // namespace Platform::Gpu::Test
