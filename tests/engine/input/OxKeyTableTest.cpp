#include "engine/input/OxKeyTable.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/input/OxGamePadDevice.h"
#include "engine/input/OxNullGamePadDevice.h"
#include "engine/input/OxXAxisMinusBind.h"
#include "engine/input/OxXAxisPlusBind.h"
#include "engine/input/OxYAxisMinusBind.h"
#include "engine/input/OxYAxisPlusBind.h"

namespace Orvex::InputSystem {
namespace {

TEST(OxKeyTableTest, NumbersMapToCodesAndNames) {
    struct Case {
        uint32_t number;
        uint8_t code;
        std::u16string name;
    };
    const Case cases[] = {
        {0, 0x01, u"Escape"},   {10, 0x0B, u"D0"},           {43, 0x2C, u"Z"},        {82, 0x53, u"Decimal"},
        {83, 0x56, u"OEM_102"}, {100, 0x94, u"Kanji"},       {112, 0xB0, u"VolumEU"}, {120, 0xC8, u"Up"},
        {125, 0xD0, u"Down"},   {143, 0xED, u"MediaSelect"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(getKeyboardKeyCode(c.number), c.code);
        ASSERT_NE(getKeyboardKeyName(c.number), nullptr);
        EXPECT_EQ(std::u16string(getKeyboardKeyName(c.number)), c.name);
    }
    for (const uint32_t outside : {144u, 1000u, 0xFFFFFFFFu}) {
        EXPECT_EQ(getKeyboardKeyName(outside), nullptr);
        EXPECT_EQ(getKeyboardKeyCode(outside), 0);
    }
}

TEST(OxKeyTableTest, CodesAreDistinctAndAscending) {
    for (uint32_t number = 1; number < kKeyboardKeyCount; ++number) {
        EXPECT_LT(getKeyboardKeyCode(number - 1), getKeyboardKeyCode(number)) << number;
    }
}

TEST(OxGamePadAxisTest, DeadZoneAndScaling) {
    struct Case {
        int32_t raw;
        float value;
    };
    const Case cases[] = {
        {0, 0.0f},     {8192, 0.0f},   {-8192, 0.0f}, {8193, 1.0f / 24575.0f}, {-8193, -1.0f / 24576.0f},
        {32767, 1.0f}, {-32768, -1.0f}};
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(OxGamePadDevice::axisValue(c.raw), c.value) << c.raw;
    }
}

class TiltedPad : public OxNullGamePadDevice {
public:
    TiltedPad(float x, float y) : OxNullGamePadDevice(0), x_(x), y_(y) {}
    float getX() override { return x_; }
    float getY() override { return y_; }

private:
    float x_, y_;
};

TEST(OxGamePadAxisTest, AxisBindingsFireOnTheirSideOnly) {
    OxXAxisPlusBind right(129, 0.0f);
    OxXAxisMinusBind left(131, 0.0f);
    OxYAxisPlusBind down(130, 0.0f);
    OxYAxisMinusBind up(128, 0.0f);
    TiltedPad centred(0.0f, 0.0f);
    TiltedPad upRight(0.5f, -0.5f);
    TiltedPad downLeft(-0.5f, 0.5f);
    EXPECT_FALSE(right.test(centred) || left.test(centred) || down.test(centred) || up.test(centred));
    EXPECT_TRUE(right.test(upRight) && up.test(upRight));
    EXPECT_FALSE(left.test(upRight) || down.test(upRight));
    EXPECT_TRUE(left.test(downLeft) && down.test(downLeft));
    OxXAxisPlusBind farRight(129, 0.7f);
    EXPECT_FALSE(farRight.test(upRight));
    EXPECT_EQ(up.getButton(), 128u);
}

TEST(OxGamePadAxisTest, PlaceholderPadIsParkedAndSilent) {
    OxNullGamePadDevice pad(3);
    EXPECT_EQ(pad.getKind(), kDeviceGamePad);
    EXPECT_EQ(pad.getState(), kStateReleased);
    pad.setState(kStateInUse);
    EXPECT_EQ(pad.getState(), kStateReleased);
    EXPECT_EQ(pad.getIndex(), 3u);
    EXPECT_TRUE(pad.isNull());
    EXPECT_EQ(pad.getKeyCount(), 0u);
    EXPECT_FALSE(pad.isDown(0) || pad.isPushed(129) || pad.isReleased(5));
    EXPECT_EQ(pad.getX() + pad.getY() + pad.getZ() + pad.getRotX() + pad.getRotY() + pad.getRotZ(), 0.0f);
}

}  // namespace
}  // namespace Orvex::InputSystem
