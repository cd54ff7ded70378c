#include "engine/input/OxDI8MouseDevice.h"

#include <algorithm>
#include <cstring>

#include "engine/window/OxWindowBase.h"
#include "platform/window/Window.h"

namespace Orvex::InputSystem {

namespace Pi = Platform::Input;
namespace Pw = Platform::Window;

OxDI8MouseDevice::~OxDI8MouseDevice() { release(); }

bool OxDI8MouseDevice::initialize(const std::shared_ptr<Pi::InputInterface>& input) {
    Window::OxWindowBase* mainWindow = nullptr;
    const std::shared_ptr<Pi::InputDevice> device = openForMainWindow(input, Pi::kGuidSysMouse, mainWindow);
    if (!device) {
        return false;
    }
    Pi::DeviceCaps caps{};
    caps.size = sizeof caps;
    if (device->getCapabilities(caps) < 0) {
        release();
        return false;
    }
    // The state record holds four buttons; a larger count would read past it.
    buttonCount_ = std::min<uint32_t>(caps.buttons, 4);
    if (!configure(*device, mainWindow->getHandle(), Pi::DataFormat::Mouse, Pi::kAxisModeRelative)) {
        release();
        return false;
    }
    acquireDevice(*device);
    return true;
}

void OxDI8MouseDevice::release() {
    unhookMainWindow();
    std::lock_guard guard(lock_);
    releaseDevice();
    std::memset(mouse_, 0, sizeof mouse_);
}

void OxDI8MouseDevice::update() {
    std::lock_guard guard(lock_);
    if (!acquired_ || !device_) {
        return;
    }
    current_ ^= 1;
    if (Window::OxWindowBase* mainWindow = Window::OxWindowBase::getMainWindow()) {
        int32_t x = 0;
        int32_t y = 0;
        if (Pw::getCursorScreenPos(x, y) && Pw::screenToClient(mainWindow->getHandle(), x, y)) {
            cursorX_ = x;
            cursorY_ = y;
        }
    }
    Pi::MouseState& buffer = mouse_[current_];
    if (readDeviceState(sizeof buffer, &buffer) < 0) {
        buffer = Pi::MouseState{};
    }
}

int32_t OxDI8MouseDevice::getX() {
    std::lock_guard guard(lock_);
    return mouse_[current_].x;
}

int32_t OxDI8MouseDevice::getY() {
    std::lock_guard guard(lock_);
    return mouse_[current_].y;
}

int32_t OxDI8MouseDevice::getWheel() {
    std::lock_guard guard(lock_);
    return mouse_[current_].wheel;
}

void OxDI8MouseDevice::getMovement(int32_t& x, int32_t& y, int32_t& wheel) {
    std::lock_guard guard(lock_);
    x = mouse_[current_].x;
    y = mouse_[current_].y;
    wheel = mouse_[current_].wheel;
}

void OxDI8MouseDevice::getMovementXY(int32_t& x, int32_t& y) {
    std::lock_guard guard(lock_);
    x = mouse_[current_].x;
    y = mouse_[current_].y;
}

int32_t OxDI8MouseDevice::getCursorX() {
    std::lock_guard guard(lock_);
    return cursorX_;
}

int32_t OxDI8MouseDevice::getCursorY() {
    std::lock_guard guard(lock_);
    return cursorY_;
}

void OxDI8MouseDevice::getCursorPos(int32_t& x, int32_t& y) {
    std::lock_guard guard(lock_);
    x = cursorX_;
    y = cursorY_;
}

void OxDI8MouseDevice::setCursorPos(int32_t x, int32_t y) {
    Window::OxWindowBase* mainWindow = Window::OxWindowBase::getMainWindow();
    if (mainWindow == nullptr || !Pw::clientToScreen(mainWindow->getHandle(), x, y)) {
        return;
    }
    Pw::setCursorScreenPos(x, y);
    // Screen coordinates until the next update stores client coordinates again.
    std::lock_guard guard(lock_);
    cursorX_ = x;
    cursorY_ = y;
}

void OxDI8MouseDevice::clearAllKeys() {
    std::lock_guard guard(lock_);
    std::memset(mouse_, 0, sizeof mouse_);
}

void OxDI8MouseDevice::clearKey(uint32_t button) {
    std::lock_guard guard(lock_);
    if (button < buttonCount_) {
        mouse_[current_].buttons[button] = 0;
    }
}

bool OxDI8MouseDevice::buttonBytes(uint32_t button, uint8_t& current, uint8_t& previous) {
    std::lock_guard guard(lock_);
    if (button >= buttonCount_) {
        return false;
    }
    current = mouse_[current_].buttons[button];
    previous = mouse_[current_ ^ 1].buttons[button];
    return true;
}

}  // namespace Orvex::InputSystem
