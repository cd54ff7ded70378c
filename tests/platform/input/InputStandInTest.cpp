#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/input/InputDevice.h"
#include "platform/input/InputHub.h"
#include "platform/input/InputInterface.h"
#include "platform/input/KeyCodes.h"
#include "platform/input/RecordedKeys.h"

namespace Platform::Input {
namespace {

TEST(KeyCodesTest, ScancodesMapByPosition) {
    struct Case {
        int32_t scancode;
        uint8_t code;
    };
    const Case cases[] = {
        {SDL_SCANCODE_ESCAPE, 0x01},
        {SDL_SCANCODE_A, 0x1E},
        {SDL_SCANCODE_Z, 0x2C},
        {SDL_SCANCODE_SPACE, 0x39},
        {SDL_SCANCODE_F12, 0x58},
        {SDL_SCANCODE_UP, 0xC8},
        {SDL_SCANCODE_DOWN, 0xD0},
        {SDL_SCANCODE_KP_ENTER, 0x9C},
        {SDL_SCANCODE_RCTRL, 0x9D},
        {SDL_SCANCODE_INTERNATIONAL1, 0x73},
        {SDL_SCANCODE_INTERNATIONAL2, 0x70},
        {SDL_SCANCODE_INTERNATIONAL3, 0x7D},
        {SDL_SCANCODE_INTERNATIONAL4, 0x79},
        {SDL_SCANCODE_INTERNATIONAL5, 0x7B},
        {SDL_SCANCODE_LANG5, 0x94},
        {SDL_SCANCODE_UNKNOWN, 0},
        {-5, 0},
        {SDL_NUM_SCANCODES, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(keyCodeFromScancode(c.scancode), c.code) << c.scancode;
    }
}

// Recorded presses apply at their keyboard read, in the order given, and come back with the
// scancode the window needs; entries that cannot be read are skipped.
TEST(RecordedKeysTest, ChangesApplyAtTheirReadAndNameTheirScancode) {
    RecordedKeys keys("2:Z+,2:F1+,bad,0:Z+,3:Nokey+,3:Z*,4:Z-,");
    uint8_t state[256] = {};
    EXPECT_TRUE(keys.applyNextRead(state).empty());
    EXPECT_EQ(state[0x2C], 0);
    const std::vector<RecordedKeys::Change> second = keys.applyNextRead(state);
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0].scancode, SDL_SCANCODE_Z);
    EXPECT_TRUE(second[0].down);
    EXPECT_EQ(second[1].code, 0x3B);
    EXPECT_EQ(second[1].scancode, SDL_SCANCODE_F1);
    EXPECT_EQ(state[0x2C], 0x80);
    EXPECT_EQ(state[0x3B], 0x80);
    EXPECT_TRUE(keys.applyNextRead(state).empty());
    const std::vector<RecordedKeys::Change> fourth = keys.applyNextRead(state);
    ASSERT_EQ(fourth.size(), 1u);
    EXPECT_FALSE(fourth[0].down);
    EXPECT_EQ(state[0x2C], 0);
    EXPECT_EQ(state[0x3B], 0x80);
}

TEST(InputHubTest, HatsAndMouseButtonsTranslate) {
    struct Hat {
        uint8_t hat;
        uint32_t pov;
    };
    const Hat hats[] = {{SDL_HAT_CENTERED, kPovCentred}, {SDL_HAT_UP, 0},       {SDL_HAT_RIGHTUP, 4500},
                        {SDL_HAT_RIGHT, 9000},           {SDL_HAT_DOWN, 18000}, {SDL_HAT_LEFTUP, 31500}};
    for (const Hat& h : hats) {
        EXPECT_EQ(povFromHat(h.hat), h.pov) << int(h.hat);
    }
    EXPECT_EQ(mouseButtonIndex(SDL_BUTTON_LEFT), 0);
    EXPECT_EQ(mouseButtonIndex(SDL_BUTTON_RIGHT), 1);
    EXPECT_EQ(mouseButtonIndex(SDL_BUTTON_MIDDLE), 2);
    EXPECT_EQ(mouseButtonIndex(SDL_BUTTON_X1), 3);
    EXPECT_EQ(mouseButtonIndex(SDL_BUTTON_X2), -1);
}

TEST(InputInterfaceTest, NeedsARunningWindowThreadAndTheRightVersion) {
    std::shared_ptr<InputInterface> input;
    EXPECT_EQ(InputInterface::create(kVersion, input), kErrNotInitialized);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(InputInterface::create(0x0700, input), kErrInvalidParam);
}

TEST(InputDeviceTest, ReadsNeedAFormatAWindowAndAcquisition) {
    InputDevice keyboard(DeviceKind::Keyboard, 0, PadInfo{});
    uint8_t keys[256];
    EXPECT_EQ(keyboard.acquire(), kErrInvalidParam);  // no format, no window
    EXPECT_EQ(keyboard.setDataFormat(DataFormat::Mouse), kErrInvalidParam);
    EXPECT_EQ(keyboard.setDataFormat(DataFormat::Keyboard), kOk);
    EXPECT_EQ(keyboard.setCooperativeLevel(0, kCoopNonExclusive | kCoopForeground), kErrInvalidParam);
    EXPECT_EQ(keyboard.getDeviceState(sizeof keys, keys), kErrNotAcquired);
    EXPECT_EQ(keyboard.getDeviceState(16, keys), kErrInvalidParam);

    DeviceCaps caps{};
    EXPECT_EQ(keyboard.getCapabilities(caps), kErrInvalidParam);  // size not filled in
    InputDevice mouse(DeviceKind::Mouse, 0, PadInfo{});
    caps.size = sizeof caps;
    EXPECT_EQ(mouse.getCapabilities(caps), kOk);
    EXPECT_EQ(caps.buttons, 4u);
}

}  // namespace
}  // namespace Platform::Input
