#include "engine/input/OxDI8KeyboardDevice.h"

#include <cstring>

#include "engine/input/OxKeyTable.h"
#include "engine/window/OxWindowBase.h"

namespace Orvex::InputSystem {

namespace Pi = Platform::Input;

OxDI8KeyboardDevice::~OxDI8KeyboardDevice() { release(); }

bool OxDI8KeyboardDevice::initialize(const std::shared_ptr<Pi::InputInterface>& input) {
    Window::OxWindowBase* mainWindow = nullptr;
    const std::shared_ptr<Pi::InputDevice> device = openForMainWindow(input, Pi::kGuidSysKeyboard, mainWindow);
    if (!device) {
        return false;
    }
    if (!configure(*device, mainWindow->getHandle(), Pi::DataFormat::Keyboard, Pi::kAxisModeAbsolute)) {
        release();
        return false;
    }
    acquireDevice(*device);
    return true;
}

void OxDI8KeyboardDevice::release() {
    unhookMainWindow();
    std::lock_guard guard(lock_);
    releaseDevice();
    std::memset(keys_, 0, sizeof keys_);
}

void OxDI8KeyboardDevice::update() {
    std::lock_guard guard(lock_);
    if (!acquired_ || !device_) {
        return;
    }
    current_ ^= 1;
    uint8_t* buffer = keys_[current_];
    if (readDeviceState(256, buffer) < 0) {
        std::memset(buffer, 0, 256);
    }
}

void OxDI8KeyboardDevice::clearAllKeys() {
    std::lock_guard guard(lock_);
    std::memset(keys_, 0, sizeof keys_);
}

void OxDI8KeyboardDevice::clearKey(uint32_t key) {
    const uint8_t code = getKeyboardKeyCode(key);
    if (code == 0) {
        return;
    }
    std::lock_guard guard(lock_);
    keys_[0][code] = 0;
    keys_[1][code] = 0;
}

bool OxDI8KeyboardDevice::buttonBytes(uint32_t key, uint8_t& current, uint8_t& previous) {
    const uint8_t code = getKeyboardKeyCode(key);
    if (code == 0) {
        return false;
    }
    std::lock_guard guard(lock_);
    current = keys_[current_][code];
    previous = keys_[current_ ^ 1][code];
    return true;
}

uint32_t OxDI8KeyboardDevice::getKeyCount() { return kKeyboardKeyCount; }

}  // namespace Orvex::InputSystem
