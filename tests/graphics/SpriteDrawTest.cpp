#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include <stb_image.h>

#include "graphics/OxSpriteDraw.h"
#include "platform/kernel/DebugOutput.h"
#include "tests/graphics/GraphicsTestSupport.h"

namespace Orvex::Graphics::Test {
namespace {

using namespace Platform::Gpu;

constexpr uint32_t kBackground = 0xFF336699u;

uint32_t imageColor(int x, int y) { return 0xFF000040u | uint32_t(x) << 16 | uint32_t(y) << 8; }

// An opaque (no alpha) PNG: its texture pads with opaque black.
std::vector<uint8_t> opaquePng(int w, int h, uint32_t (*color)(int, int)) {
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t c = color(x, y);
            uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
            p[0] = uint8_t(c >> 16), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c);
        }
    }
    std::vector<uint8_t> out;
    stbi_write_png_to_func(
        [](void* ctx, void* data, int size) {
            auto* v = static_cast<std::vector<uint8_t>*>(ctx);
            v->insert(v->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
        },
        &out, w, h, 3, rgb.data(), w * 3);
    return out;
}

struct SpriteDrawTest : GraphicsFixture {
    void SetUp() override {
        GraphicsFixture::SetUp();
        renderer->clear(1, kBackground, 1, 0);
        ASSERT_EQ(kOxOk, renderer->beginScene());
        ASSERT_EQ(kOxOk, sprite()->begin());
    }
    void TearDown() override {
        sprite()->end();
        renderer->endScene();
        GraphicsFixture::TearDown();
    }
};

TEST_F(SpriteDrawTest, NullRectanglesDrawTheWholePowerOfTwoTextureAtTheOrigin) {
    IOrvexTexture* t = textureFrom(u"Image\\100x60.png", opaquePng(100, 60, imageColor));
    ASSERT_EQ(kOxOk, sprite()->draw(t, nullptr, nullptr));
    EXPECT_EQ(imageColor(0, 0), at(0, 0));
    EXPECT_EQ(imageColor(99, 59), at(99, 59));
    EXPECT_EQ(0xFF000000u, at(100, 30));  // padding of an opaque image
    EXPECT_EQ(0xFF000000u, at(127, 63));
    EXPECT_EQ(kBackground, at(128, 10));
    EXPECT_EQ(kBackground, at(10, 64));
    t->release();
    EXPECT_EQ(kOxErrInvalidArgument, sprite()->draw(nullptr, nullptr, nullptr));
}

TEST_F(SpriteDrawTest, SourceTexelsLandExactlyOnDestinationPixels) {
    IOrvexTexture* t = textureFrom(u"Image\\100x60.png", opaquePng(100, 60, imageColor));
    const OxRect source{0, 0, 100, 60};
    const OxRect destination{10, 20, 110, 80};
    sprite()->draw(t, &destination, &source);
    for (uint32_t y = 19; y <= 80; ++y) {
        for (uint32_t x = 9; x <= 110; ++x) {
            const bool inside = x >= 10 && x < 110 && y >= 20 && y < 80;
            ASSERT_EQ(inside ? imageColor(int(x) - 10, int(y) - 20) : kBackground, at(x, y)) << x << "," << y;
        }
    }
    // Mirrored: left > right flips the columns.
    const OxRect mirrored{110, 20, 10, 80};
    sprite()->draw(t, &mirrored, &source);
    EXPECT_EQ(imageColor(99, 0), at(10, 20));
    EXPECT_EQ(imageColor(0, 0), at(109, 20));
    t->release();
}

TEST_F(SpriteDrawTest, BeginStartsFromTheDefaultModesAndBeginTwiceFails) {
    sprite()->end();
    EXPECT_EQ(kOxOk, sprite()->end());  // end without begin changes nothing
    sprite()->setTextureBlendMode(3);
    sprite()->setDiffuseBlendMode(2);
    sprite()->setDiffuseColor(0.5f, 0.5f, 0.5f, 0.5f);
    ASSERT_EQ(kOxOk, sprite()->begin());
    EXPECT_EQ(kOxErrFailed, sprite()->begin());
    EXPECT_EQ(2u, sprite()->getTextureBlendMode());
    EXPECT_EQ(1u, sprite()->getDiffuseBlendMode());
    float c[4];
    sprite()->getDiffuseColor(c);
    EXPECT_EQ(1.0f, c[3]);
    uint32_t z = 1, cull = 0;
    device->getRenderState(RenderState::ZEnable, &z);
    device->getRenderState(RenderState::CullMode, &cull);
    EXPECT_EQ(0u, z);
    EXPECT_EQ(uint32_t(kCullNone), cull);
    // Semi-transparent texels blend over the background (mode 2), not additively.
    IOrvexTexture* t = textureFrom(u"half.png", pngBytes(2, 2, [](int, int) { return 0x80FFFFFFu; }));
    const OxRect d{0, 0, 2, 2};
    sprite()->draw(t, &d, nullptr);
    EXPECT_EQ(0xFF99B3CCu, at(1, 1));
    t->release();
}

TEST_F(SpriteDrawTest, FillBetweenOpaqueDrawsLeavesTheNextDrawOpaque) {
    IOrvexTexture* t = textureFrom(u"half.png", pngBytes(2, 2, [](int, int) { return 0x80FF0000u; }));
    sprite()->setTextureBlendMode(1);
    const OxRect first{0, 0, 2, 2}, second{10, 0, 12, 2}, fill{20, 0, 30, 10};
    sprite()->draw(t, &first, nullptr);
    const float half[4] = {0, 0, 1, 0.5f};
    ASSERT_EQ(kOxOk, sprite()->drawFill(half, &fill));
    sprite()->draw(t, &second, nullptr);
    EXPECT_EQ(0xFFFF0000u, at(0, 0));
    EXPECT_EQ(0xFFFF0000u, at(10, 0));  // opaque again
    EXPECT_EQ(0xFF1A33CCu, at(25, 5));  // the fill blended in mode 2
    EXPECT_EQ(1u, sprite()->getTextureBlendMode());
    t->release();
}

TEST_F(SpriteDrawTest, RotationTurnsAboutTheCentreAndZeroEqualsDraw) {
    IOrvexTexture* t = textureFrom(u"Image\\100x60.png", opaquePng(100, 60, imageColor));
    const OxRect source{0, 0, 100, 20};
    const OxRect destination{30, 50, 130, 70};
    sprite()->draw(t, &destination, &source);
    const std::vector<uint32_t> drawn = frame().texels;
    renderer->clear(1, kBackground, 1, 0);
    sprite()->drawCenterRotationZ(t, &destination, &source, 0.0f);
    EXPECT_EQ(drawn, frame().texels);

    renderer->clear(1, kBackground, 1, 0);
    sprite()->drawCenterRotationZ(t, &destination, &source, float(M_PI / 2));
    // A 100 x 20 area about (80, 60) becomes 20 x 100: columns 70..89, rows 10..109.
    EXPECT_NE(kBackground, at(70, 10));
    EXPECT_NE(kBackground, at(89, 109));
    EXPECT_EQ(kBackground, at(69, 60));
    EXPECT_EQ(kBackground, at(90, 60));
    EXPECT_EQ(kBackground, at(80, 9));
    EXPECT_EQ(kBackground, at(80, 110));
    // Clockwise on the screen: the image's top-left corner ends at the top right.
    EXPECT_EQ(imageColor(0, 0), at(89, 10));
    t->release();
}

TEST_F(SpriteDrawTest, FillWithoutDestinationCoversTheDefaultSquareAndSaysSo) {
    std::vector<std::u16string> messages;
    Platform::Kernel::setDebugSink([&messages](std::u16string_view m) { messages.emplace_back(m); });
    const float white[4] = {1, 1, 1, 1};
    ASSERT_EQ(kOxOk, sprite()->drawFill(white, nullptr));
    Platform::Kernel::setDebugSink({});
    EXPECT_EQ(std::vector<std::u16string>{u"OxSpriteDraw::drawFill()"}, messages);
    EXPECT_EQ(0xFFFFFFFFu, at(127, 100));
    EXPECT_EQ(kBackground, at(128, 100));
    // Diffuse mode 2 adds to the missing texture's white: any fill turns white.
    sprite()->setDiffuseBlendMode(2);
    const float dark[4] = {0.1f, 0.1f, 0.1f, 1};
    const OxRect box{140, 0, 150, 10};
    sprite()->drawFill(dark, &box);
    EXPECT_EQ(0xFFFFFFFFu, at(145, 5));
    EXPECT_EQ(kOxErrInvalidArgument, sprite()->drawFill(nullptr, &box));
}

TEST_F(SpriteDrawTest, StatesChangedByAnotherDeviceUserStayForDrawsOfTheSameModes) {
    IOrvexTexture* t = textureFrom(u"half.png", pngBytes(2, 2, [](int, int) { return 0x80FFFFFFu; }));
    const OxRect a{0, 0, 2, 2}, b{4, 0, 6, 2};
    sprite()->draw(t, &a, nullptr);
    device->setRenderState(RenderState::DestBlend, kBlendOne);  // e.g. the movie player
    sprite()->draw(t, &b, nullptr);
    EXPECT_EQ(0xFF99B3CCu, at(0, 0));
    EXPECT_EQ(0xFFB3E6FFu, at(4, 0));  // additive: the drawer did not re-send mode 2
    sprite()->end();
    sprite()->begin();  // begin re-applies both modes
    const OxRect c{8, 0, 10, 2};
    sprite()->draw(t, &c, nullptr);
    EXPECT_EQ(0xFF99B3CCu, at(8, 0));
    t->release();
}

TEST(SpriteColorTest, PacksTruncatedChannelsKeepingTheLowByte) {
    struct Case {
        float r, g, b, a;
        uint32_t packed;
    } cases[] = {
        {1, 0.5f, 0.25f, 1, 0xFFFF7F3Fu}, {0, 0, 0, 0, 0},
        {2.0f, 0, 0, 1, 0xFFFE0000u},     {-0.01f, 0, 0, 1, 0xFFFE0000u},  // trunc(-2.55) = -2
        {-1.0f, 0, 0, 1, 0xFF010000u},    {std::nanf(""), 0, 0, 1, 0xFF000000u},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.packed, OxSpriteDraw::packColor(c.r, c.g, c.b, c.a)) << c.r;
    }
}

// A scene of every sprite feature, compared with a checked-in reference image. The tolerance is
// one unit per channel, so only a change of the documented rounding or of a feature fails.
TEST_F(SpriteDrawTest, RenderedSceneMatchesTheReferenceImage) {
    IOrvexTexture* tiles = textureFrom(u"tiles.png", pngBytes(16, 16, [](int x, int y) {
                                           return ((x / 4 + y / 4) % 2 != 0 ? 0xFFE0C080u : 0xC0306090u);
                                       }));
    IOrvexTexture* glow = textureFrom(u"glow.png", pngBytes(32, 32, [](int x, int y) {
                                          const double d = std::hypot(x - 15.5, y - 15.5) / 16.0;
                                          return uint32_t(std::max(0.0, 1.0 - d) * 255) << 24 | 0xFFD040u;
                                      }));
    for (int y = 0; y < 120; y += 16) {
        for (int x = 0; x < 160; x += 16) {
            const OxRect d{float(x), float(y), float(x + 16), float(y + 16)};
            sprite()->draw(tiles, &d, nullptr);
        }
    }
    sprite()->setTextureBlendMode(3);
    const OxRect g1{20, 20, 84, 84};
    sprite()->draw(glow, &g1, nullptr);
    sprite()->setTextureBlendMode(2);
    sprite()->setDiffuseColor(0.5f, 1, 1, 0.75f);
    const OxRect g2{90, 30, 140, 60}, src{0, 0, 32, 16};
    sprite()->drawCenterRotationZ(glow, &g2, &src, 0.6f);
    sprite()->setDiffuseColor(1, 1, 1, 1);
    const OxRect wrapped{100, 70, 150, 110}, wrapSource{8, 8, 40, 40};
    sprite()->draw(tiles, &wrapped, &wrapSource);
    const float fade[4] = {0, 0, 0, 0.4f};
    const OxRect all{0, 0, 160, 120};
    sprite()->drawFill(fade, &all);
    sprite()->end();
    renderer->endScene();
    tiles->release();
    glow->release();

    const std::filesystem::path reference = std::filesystem::path(ORVEX_FIXTURE_DIR) / "graphics" / "sprite_scene.png";
    if (std::getenv("ORVEX_UPDATE_REFERENCE") != nullptr) {
        const std::u16string out = reference.u16string();
        ASSERT_EQ(kOxOk, textures()->saveTextureToFile(renderer->getRenderTarget(), &out));
    }
    int w = 0, h = 0, comp = 0;
    stbi_uc* expected = stbi_load(reference.c_str(), &w, &h, &comp, 4);
    ASSERT_NE(nullptr, expected) << reference;
    ASSERT_EQ(160, w);
    ASSERT_EQ(120, h);
    int worst = 0;
    for (int i = 0; i < w * h; ++i) {
        const uint32_t actual = frame().texels[size_t(i)];
        const int channels[3] = {int((actual >> 16) & 0xFF), int((actual >> 8) & 0xFF), int(actual & 0xFF)};
        for (int c = 0; c < 3; ++c) {
            worst = std::max(worst, std::abs(channels[c] - int(expected[i * 4 + c])));
        }
    }
    stbi_image_free(expected);
    EXPECT_LE(worst, 1);
    sprite()->begin();
    renderer->beginScene();
}

}  // namespace
}  // namespace Orvex::Graphics::Test
