#include <gtest/gtest.h>

#include "engine/graphics/OxDXFont.h"
#include "engine/graphics/OxDXSprite.h"

namespace Orvex::Graphics {
namespace {

using namespace Platform::Gpu;

struct OxDXWrapperTest : ::testing::Test {
    GpuSystem* system = createGpuSystem(kSdkVersion);
    GpuDevice* device = nullptr;
    void SetUp() override {
        PresentParameters pp;
        pp.backBufferWidth = 80;
        pp.backBufferHeight = 40;
        ASSERT_EQ(kOk, system->createDevice(0, kDeviceHal, 0, 0, &pp, &device));
    }
    void TearDown() override {
        safeRelease(device);
        safeRelease(system);
    }
    uint32_t srcBlend() {
        uint32_t value = 0;
        device->getRenderState(RenderState::SrcBlend, &value);
        return value;
    }
};

TEST_F(OxDXWrapperTest, SpriteNestsBeginAndEndAroundOneBracket) {
    OxDXSprite sprite;
    EXPECT_FALSE(sprite.begin());
    EXPECT_FALSE(sprite.create(nullptr));
    ASSERT_TRUE(sprite.create(device));
    EXPECT_EQ(80u, sprite.getWidth());
    EXPECT_EQ(40u, sprite.getHeight());
    const uint32_t outside = srcBlend();
    EXPECT_TRUE(sprite.begin());
    EXPECT_TRUE(sprite.begin());
    EXPECT_TRUE(sprite.getSprite()->isBegun());
    EXPECT_TRUE(sprite.end());
    EXPECT_TRUE(sprite.getSprite()->isBegun());  // the inner end costs nothing
    EXPECT_NE(outside, srcBlend());
    EXPECT_TRUE(sprite.end());
    EXPECT_FALSE(sprite.getSprite()->isBegun());
    EXPECT_EQ(outside, srcBlend());
    EXPECT_FALSE(sprite.end());  // unmatched
    sprite.release();
    EXPECT_EQ(nullptr, sprite.getDevice());
    EXPECT_EQ(0u, sprite.getWidth());
}

TEST_F(OxDXWrapperTest, FontUsesTheDefaultDescriptionAndDrawsBoundedFormattedText) {
    OxDXSprite sprite;
    ASSERT_TRUE(sprite.create(device));
    OxDXFont font;
    EXPECT_FALSE(font.drawText(0, 0, u"x", 0xFFFFFFFFu));
    ASSERT_TRUE(font.create(&sprite, nullptr));
    EXPECT_EQ(16u, font.getDescription().height);
    EXPECT_EQ(u"ＭＳ Ｐゴシック", font.getDescription().faceName);
    Platform::Gpux::FontDesc desc;
    font.getFont()->getDesc(&desc);
    EXPECT_EQ(16, desc.height);
    EXPECT_EQ(128u, desc.charSet);

    device->beginScene();
    ASSERT_TRUE(sprite.begin());
    EXPECT_TRUE(font.drawFormattedText(2, 2, 0xFFFFFFFFu, u"ver.%s %d", u"1.0", 7));
    sprite.end();
    device->endScene();

    EXPECT_EQ(1023u, OxDXFont::boundedText(std::u16string(5000, u'a')).size());
    std::u16string split(1022, u'a');
    split += u"\U0001F600";  // a pair across the cut
    EXPECT_EQ(1022u, OxDXFont::boundedText(split).size());

    OxDXFontDesc longName{20, std::u16string(50, u'n')};
    ASSERT_TRUE(font.create(&sprite, &longName));
    font.getFont()->getDesc(&desc);
    EXPECT_EQ(std::u16string(31, u'n'), std::u16string(desc.faceName));
    font.release();
    EXPECT_EQ(16u, font.getDescription().height);
    EXPECT_FALSE(font.drawText(0, 0, u"x", 0xFFFFFFFFu));
}

}  // namespace
}  // namespace Orvex::Graphics
