#include "game/scene/developer/CInputTest.h"

#include "engine/input/OxGamePadDevice.h"
#include "engine/input/OxInputSystem.h"
#include "engine/input/OxKeyboardDevice.h"
#include "engine/input/OxMouseDevice.h"
#include "engine/system/OxWideFormat.h"

namespace Fenwarrow::Scene {
namespace {
namespace In = Orvex::InputSystem;
using Orvex::System::formatWide;
constexpr uint32_t kPadCount = 4;
constexpr int32_t kLineHeight = 15;
}  // namespace

bool CInputTest::initialize() {
    auto* input = In::OxInputSystem::getInstance();
    if (input == nullptr) {
        return false;
    }
    const std::pair<uint32_t, uint32_t> wanted[] = {{In::kDeviceKeyboard, 0}, {In::kDeviceMouse, 0},
                                                    {In::kDeviceGamePad, 0},  {In::kDeviceGamePad, 1},
                                                    {In::kDeviceGamePad, 2},  {In::kDeviceGamePad, 3}};
    for (const auto& [kind, index] : wanted) {
        auto device = input->createDevice(kind, index);
        if (device == nullptr) {
            return false;
        }
        devices_.push_back(std::move(device));
    }
    auto* keyboard = dynamic_cast<In::IOrvexKeyBase*>(devices_[0].get());
    auto* mouse = dynamic_cast<In::IOrvexKeyBase*>(devices_[1].get());
    keys_.addDevice(keyboard);
    keys_.addDevice(mouse);
    keys_.bind(0, 0, kKeyUp);
    keys_.bind(0, 1, 0);
    keys_.bind(1, 0, kKeyRight);
    keys_.bind(1, 1, 1);
    return console_.createFont(context_, 12);
}

bool CInputTest::update() {
    keys_.update();
    return true;
}

std::u16string CInputTest::heldButtons(In::IOrvexKeyBase& keys) const {
    std::u16string text;
    for (uint32_t button = 0; button < keys.getKeyCount(); ++button) {
        if (keys.isDown(button)) {
            text += formatWide(u"%d ", static_cast<int32_t>(button));
        }
    }
    return text;
}

bool CInputTest::draw() {
    // Inside the frame's drawing, which clears the screen first.
    context_.getRenderQueue()->add(kDeveloperDrawPriority, [this] { drawState(); });
    return true;
}

void CInputTest::drawState() {
    if (!console_.begin()) {
        return;
    }
    auto& keyboard = dynamic_cast<In::OxKeyboardDevice&>(*devices_[0]);
    auto& mouse = dynamic_cast<In::OxMouseDevice&>(*devices_[1]);
    console_.drawText(10, 10, u"Press keyboard keys.");
    console_.drawText(10, 10 + kLineHeight, heldButtons(keyboard));
    console_.drawText(10, 55, u"Press mouse keys.");
    console_.drawText(10, 55 + kLineHeight,
                      heldButtons(mouse) + formatWide(u"X:%d Y:%d", mouse.getCursorX(), mouse.getCursorY()));
    console_.drawText(10, 115, u"Press GamePad keys.");
    int32_t y = 115 + kLineHeight;
    for (uint32_t pad = 0; pad < kPadCount; ++pad) {
        auto& device = dynamic_cast<In::OxGamePadDevice&>(*devices_[2 + pad]);
        console_.drawText(10, y, formatWide(u"GamePad [%d]", static_cast<int32_t>(pad)));
        console_.drawText(20, y + kLineHeight, u"Button: " + heldButtons(device));
        console_.drawText(
            20, y + 2 * kLineHeight,
            formatWide(u"Axis: %.2f, %.2f, %.2f ", device.getX(), device.getY(), device.getZ()) +
                formatWide(u"Rotation Axis: %.2f, %.2f, %.2f ", device.getRotX(), device.getRotY(), device.getRotZ()));
        y += 3 * kLineHeight;
    }
    console_.drawText(10, y, u"Press VirtualKey.");
    console_.drawText(20, y + kLineHeight, u"Button: " + heldButtons(keys_));
    console_.end();
}

}  // namespace Fenwarrow::Scene
