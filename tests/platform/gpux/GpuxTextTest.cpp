#include <gtest/gtest.h>

#include <string>

#include "platform/gpux/GpuxFont.h"
#include "platform/gpux/GpuxSprite.h"

namespace Platform::Gpux {
namespace {

using namespace Gpu;

struct GpuxTextTest : ::testing::Test {
    GpuSystem* system = createGpuSystem(kSdkVersion);
    GpuDevice* device = nullptr;
    void SetUp() override {
        PresentParameters pp;
        pp.backBufferWidth = 64;
        pp.backBufferHeight = 32;
        ASSERT_EQ(kOk, system->createDevice(0, kDeviceHal, 0, 0, &pp, &device));
        device->clear(0, nullptr, kClearTarget, 0xFF000000u, 1.0f, 0);
    }
    void TearDown() override {
        safeRelease(device);
        safeRelease(system);
    }
    // Opaque pixels of the back buffer that are not black, inside and outside a rectangle.
    std::pair<int, int> litPixels(const IntRect& box) {
        GpuSurface* back = nullptr;
        device->getBackBuffer(0, 0, &back);
        const PixelImage& image = *back->image();
        int inside = 0, outside = 0;
        for (uint32_t y = 0; y < image.height; ++y) {
            for (uint32_t x = 0; x < image.width; ++x) {
                if ((image.read(x, y) & 0x00FFFFFFu) != 0) {
                    const bool in =
                        int(x) >= box.left && int(x) < box.right && int(y) >= box.top && int(y) < box.bottom;
                    ++(in ? inside : outside);
                }
            }
        }
        back->release();
        return {inside, outside};
    }
};

TEST_F(GpuxTextTest, SpriteSavesAndRestoresDeviceStatesAndMapsTexelsOneToOne) {
    GpuTexture* previous = nullptr;
    ASSERT_EQ(kOk, device->createTexture(1, 1, 1, 0, kFormatA8R8G8B8, kPoolManaged, &previous));
    device->setTexture(0, previous);
    device->setRenderState(RenderState::SrcBlend, kBlendOne);
    device->setTextureStageState(0, StageState::ColorOp, kOpAdd);
    device->setSamplerState(0, SamplerState::MagFilter, kFilterLinear);

    GpuTexture* texture = nullptr;
    ASSERT_EQ(kOk, device->createTexture(2, 2, 1, 0, kFormatA8R8G8B8, kPoolManaged, &texture));
    LockedRect lr;
    texture->lockRect(0, &lr, nullptr, 0);
    auto* texels = static_cast<uint32_t*>(lr.bits);
    texels[0] = 0xFFFF0000u;
    texels[1] = 0xFF00FF00u;
    texels[2] = 0xFF0000FFu;
    texels[3] = 0x00FFFFFFu;  // transparent
    texture->unlockRect(0);

    GpuxSprite* sprite = nullptr;
    ASSERT_EQ(kOk, createSprite(device, &sprite));
    EXPECT_EQ(kErrInvalidCall, sprite->draw(texture, nullptr, 0, 0, 0xFFFFFFFFu));  // not begun
    ASSERT_EQ(kOk, sprite->begin(kSpriteAlphaBlend));
    EXPECT_EQ(kErrInvalidCall, sprite->begin(kSpriteAlphaBlend));
    uint32_t value = 0;
    device->getRenderState(RenderState::SrcBlend, &value);
    EXPECT_EQ(uint32_t(kBlendSrcAlpha), value);
    device->beginScene();
    EXPECT_EQ(kOk, sprite->draw(texture, nullptr, 10.0f, 5.0f, 0xFFFFFFFFu));
    device->endScene();
    ASSERT_EQ(kOk, sprite->end());
    EXPECT_EQ(kErrInvalidCall, sprite->end());

    device->getRenderState(RenderState::SrcBlend, &value);
    EXPECT_EQ(uint32_t(kBlendOne), value);
    device->getTextureStageState(0, StageState::ColorOp, &value);
    EXPECT_EQ(uint32_t(kOpAdd), value);
    device->getSamplerState(0, SamplerState::MagFilter, &value);
    EXPECT_EQ(uint32_t(kFilterLinear), value);
    GpuTexture* bound = nullptr;
    device->getTexture(0, &bound);
    EXPECT_EQ(previous, bound);
    safeRelease(bound);

    GpuSurface* back = nullptr;
    device->getBackBuffer(0, 0, &back);
    const PixelImage& image = *back->image();
    EXPECT_EQ(0xFFFF0000u, image.read(10, 5));
    EXPECT_EQ(0xFF00FF00u, image.read(11, 5));
    EXPECT_EQ(0xFF0000FFu, image.read(10, 6));
    EXPECT_EQ(0xFF000000u, image.read(11, 6));  // blended away
    EXPECT_EQ(0xFF000000u, image.read(12, 5));
    EXPECT_EQ(0xFF000000u, image.read(9, 5));
    back->release();
    sprite->release();
    texture->release();
    previous->release();
}

TEST_F(GpuxTextTest, FontPrefersTheJapaneseGothicAndFallsBackToTheBuiltInFont) {
    FontDesc desc;
    desc.height = 16;
    setFaceName(desc, u"ＭＳ Ｐゴシック");
    GpuxFont* font = nullptr;
    ASSERT_EQ(kOk, createFontIndirect(device, &desc, &font));
    EXPECT_EQ(GpuxFont::Source::InstalledFont, font->source());
    EXPECT_NE(std::string::npos, font->fontFile().find("ipagp")) << font->fontFile();

    GpuxSprite* sprite = nullptr;
    ASSERT_EQ(kOk, createSprite(device, &sprite));
    sprite->begin(kSpriteAlphaBlend);
    const IntRect at{4, 2, 4, 2};
    EXPECT_EQ(font->lineHeight(), font->drawText(sprite, u"あA", -1, &at, kTextNoClip, 0xFFFFFFFFu));
    sprite->end();
    const auto [inside, outside] = litPixels(IntRect{4, 2, 4 + 32, 2 + font->lineHeight()});
    EXPECT_GT(inside, 20);
    EXPECT_EQ(0, outside);
    font->release();

    // A font file that cannot be opened: the built-in font, drawn by its own sprite bracket.
    device->clear(0, nullptr, kClearTarget, 0xFF000000u, 1.0f, 0);
    ASSERT_EQ(kOk, createFontFromFile(device, &desc, "/nonexistent/font.ttf", &font));
    EXPECT_EQ(GpuxFont::Source::BuiltinBitmap, font->source());
    const IntRect origin{0, 0, 0, 0};
    EXPECT_GT(font->drawText(nullptr, u"1", -1, &origin, kTextNoClip, 0xFFFFFFFFu), 0);
    // "1" at scale 2: the middle column of the 3 x 5 cell is fully set.
    const auto [lit, stray] = litPixels(IntRect{0, 0, 6, 10});
    EXPECT_EQ(8 * 2 * 2, lit);  // eight cells set, each 2 x 2 pixels
    EXPECT_EQ(0, stray);
    font->release();
    sprite->release();

    FontDesc longName;
    setFaceName(longName, std::u16string(40, u'x'));
    EXPECT_EQ(std::u16string(31, u'x'), std::u16string(longName.faceName));
}

}  // namespace
}  // namespace Platform::Gpux
