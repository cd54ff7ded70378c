#include "engine/input/OxInputSystem.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>

#include "engine/input/OxDI8GamePadManager.h"
#include "engine/input/OxDI8KeyboardDevice.h"
#include "engine/input/OxDI8MouseDevice.h"
#include "engine/input/OxGamePadDevice.h"
#include "engine/input/OxVirtualKey.h"
#include "engine/system/OxOrvexManager.h"
#include "engine/thread/OxThreadManager.h"
#include "platform/input/InputHub.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/Window.h"
#include "tests/engine/window/WindowTestSupport.h"

namespace Orvex::InputSystem {
namespace {

namespace Pw = Platform::Window;
using Window::Testing::eventually;
using Window::Testing::kWaitLimitMs;
using Window::Testing::TestWindow;

constexpr uint32_t kKeyZ = 43;
constexpr uint32_t kKeyUp = 120;

SDL_Event keyEvent(SDL_Scancode scancode, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    return event;
}

// A running main window under the dummy video driver, with the input system on top of it.
class OxInputSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::make_unique<OxOrvexManager>();
        window_ = std::make_unique<TestWindow>();
        ASSERT_EQ(window_->start(), 0);
        ASSERT_EQ(Platform::Kernel::waitForOne(window_->created, kWaitLimitMs), 0u);
        ASSERT_TRUE(eventually([&] { return Pw::isForeground(window_->getHandle()); }));
        input_ = OxInputSystem::getInstance();
        ASSERT_NE(input_, nullptr);
    }

    void TearDown() override {
        OxInputSystem::release();
        OxDI8GamePadManager::release();
        window_.reset();
        root_.reset();
        Thread::OxThreadManager::release();
    }

    // What the window thread would do with the event, done here so the test controls timing.
    static void feed(const SDL_Event& event) { Platform::Input::InputHub::instance().onSdlEvent(event); }

    std::shared_ptr<OxDI8KeyboardDevice> keyboard() {
        return std::static_pointer_cast<OxDI8KeyboardDevice>(input_->createDevice(kDeviceKeyboard, 0));
    }

    std::unique_ptr<OxOrvexManager> root_;
    std::unique_ptr<TestWindow> window_;
    OxInputSystem* input_ = nullptr;
};

TEST_F(OxInputSystemTest, KeyboardSeesPushHoldAndReleaseFromSnapshots) {
    const auto device = keyboard();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->getState(), kStateInUse);
    EXPECT_EQ(device->getKeyCount(), 144u);

    feed(keyEvent(SDL_SCANCODE_Z, true));
    input_->updateDevices();
    EXPECT_TRUE(device->isDown(kKeyZ));
    EXPECT_TRUE(device->isPushed(kKeyZ));
    input_->updateDevices();
    EXPECT_TRUE(device->isDown(kKeyZ));
    EXPECT_FALSE(device->isPushed(kKeyZ));
    feed(keyEvent(SDL_SCANCODE_Z, false));
    input_->updateDevices();
    EXPECT_FALSE(device->isDown(kKeyZ));
    EXPECT_TRUE(device->isReleased(kKeyZ));

    // Key numbers from settings or scripts outside the table read up.
    feed(keyEvent(SDL_SCANCODE_ESCAPE, true));
    input_->updateDevices();
    for (const uint32_t outside : {144u, 255u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(device->isDown(outside) || device->isPushed(outside) || device->isReleased(outside));
        device->clearKey(outside);
    }
    EXPECT_TRUE(device->isDown(0));
}

TEST_F(OxInputSystemTest, PushedSdlKeyReachesTheDeviceAndTheVirtualKeys) {
    const auto device = keyboard();
    ASSERT_NE(device, nullptr);
    OxVirtualKey keys;
    keys.addDevice(device.get());
    keys.bind(0, 0, kKeyUp);
    SDL_Event down = keyEvent(SDL_SCANCODE_UP, true);
    down.key.windowID = Pw::sdlWindowId(window_->getHandle());
    ASSERT_EQ(SDL_PushEvent(&down), 1);
    // The window thread takes the event from SDL; the frame after it arrives reads "pushed".
    ASSERT_TRUE(eventually([&] {
        input_->updateDevices();
        keys.update();
        return keys.isDown(0);
    }));
    EXPECT_TRUE(keys.isPushed(0));
    input_->updateDevices();
    keys.update();
    EXPECT_TRUE(keys.isRepeat(0));
    EXPECT_FALSE(keys.isPushed(0));
}

TEST_F(OxInputSystemTest, FocusLossUnacquiresAndClearsUntilFocusReturns) {
    const auto device = keyboard();
    ASSERT_NE(device, nullptr);
    const auto mouse = std::static_pointer_cast<OxDI8MouseDevice>(input_->createDevice(kDeviceMouse, 0));
    ASSERT_NE(mouse, nullptr);
    SDL_Event button{};
    button.type = SDL_MOUSEBUTTONDOWN;
    button.button.button = SDL_BUTTON_LEFT;
    feed(button);
    feed(keyEvent(SDL_SCANCODE_Z, true));
    input_->updateDevices();
    ASSERT_TRUE(device->isDown(kKeyZ));
    ASSERT_TRUE(mouse->isDown(0));

    SDL_Event focus{};
    focus.type = SDL_WINDOWEVENT;
    focus.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    focus.window.windowID = Pw::sdlWindowId(window_->getHandle());
    ASSERT_EQ(SDL_PushEvent(&focus), 1);
    ASSERT_TRUE(eventually([&] { return !device->isReady() && !mouse->isReady(); }));
    EXPECT_EQ(device->getState(), kStateNotReady);
    EXPECT_EQ(mouse->getState(), kStateNotReady);
    EXPECT_FALSE(device->isDown(kKeyZ));
    EXPECT_FALSE(mouse->isDown(0));
    EXPECT_FALSE(device->isReleased(kKeyZ));
    input_->updateDevices();  // not ready: nothing is read
    EXPECT_FALSE(device->isDown(kKeyZ));

    focus.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    ASSERT_EQ(SDL_PushEvent(&focus), 1);
    ASSERT_TRUE(eventually([&] { return device->isReady() && mouse->isReady(); }));
    EXPECT_EQ(mouse->getState(), kStateInUse);
    feed(keyEvent(SDL_SCANCODE_Z, true));
    feed(button);
    input_->updateDevices();
    EXPECT_TRUE(device->isPushed(kKeyZ));
    EXPECT_TRUE(mouse->isPushed(0));
}

TEST_F(OxInputSystemTest, ReleasedDeviceIsParkedAndComesBackAsTheSameObject) {
    const auto device = keyboard();
    ASSERT_NE(device, nullptr);
    input_->releaseDevice(device);
    EXPECT_EQ(device->getState(), kStateReleased);
    feed(keyEvent(SDL_SCANCODE_Z, true));
    input_->updateDevices();
    EXPECT_FALSE(device->isDown(kKeyZ));  // parked devices are not read

    EXPECT_EQ(keyboard(), device);
    EXPECT_EQ(device->getState(), kStateInUse);
    EXPECT_EQ(input_->getKeyboardDevice(), device);
    input_->updateDevices();
    EXPECT_TRUE(device->isDown(kKeyZ));
}

TEST_F(OxInputSystemTest, MouseReportsMovementWheelAndButtons) {
    const auto mouse = std::static_pointer_cast<OxDI8MouseDevice>(input_->createDevice(kDeviceMouse, 0));
    ASSERT_NE(mouse, nullptr);
    EXPECT_EQ(mouse->getKeyCount(), 4u);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.xrel = 5;
    motion.motion.yrel = -3;
    feed(motion);
    feed(motion);
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = 1;
    feed(wheel);
    SDL_Event button{};
    button.type = SDL_MOUSEBUTTONDOWN;
    button.button.button = SDL_BUTTON_RIGHT;
    feed(button);
    input_->updateDevices();
    int32_t x = 0, y = 0, z = 0;
    mouse->getMovement(x, y, z);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, -6);
    EXPECT_EQ(z, 120);
    EXPECT_TRUE(mouse->isPushed(1));
    EXPECT_FALSE(mouse->isDown(0));
    EXPECT_FALSE(mouse->isDown(4));  // beyond the record's four buttons
    input_->updateDevices();
    EXPECT_EQ(mouse->getX(), 0);  // movement is per update
    EXPECT_TRUE(mouse->isDown(1));
}

TEST_F(OxInputSystemTest, PadNumbersWithoutPadsGetPlaceholders) {
    const uint32_t attached = OxDI8GamePadManager::instance()->getAttachedCount();
    const auto pad = std::static_pointer_cast<OxGamePadDevice>(input_->createDevice(kDeviceGamePad, attached + 2));
    ASSERT_NE(pad, nullptr);
    EXPECT_TRUE(pad->isNull());
    EXPECT_EQ(pad->getIndex(), attached + 2);
    EXPECT_EQ(pad->getState(), kStateReleased);
    for (uint32_t index = attached; index <= attached + 2; ++index) {
        const auto placeholder = OxDI8GamePadManager::instance()->getPad(index);
        ASSERT_NE(placeholder, nullptr);
        EXPECT_TRUE(placeholder->isNull());
        EXPECT_EQ(placeholder->getIndex(), index);
    }
    EXPECT_EQ(input_->getGamePadDevice(attached + 2), pad);
    EXPECT_EQ(input_->createDevice(7, 0), nullptr);
}

TEST(OxInputSystemWithoutWindowTest, DevicesNeedTheMainWindow) {
    OxDI8KeyboardDevice keyboard;
    std::shared_ptr<Platform::Input::InputInterface> none;
    EXPECT_FALSE(keyboard.initialize(none));
    EXPECT_FALSE(keyboard.isReady());
    EXPECT_EQ(keyboard.getState(), kStateReleased);
}

}  // namespace
}  // namespace Orvex::InputSystem
