#include "engine/input/OxDI8MouseDevice.h"

#include <algorithm>
#include <cstring>

#include "engine/window/OxWindowBase.h"
#include "platform/window/Window.h"

namespace Orvex::InputSystem {

namespace Pi = Platform::Input;
namespace Pw = Platform::Window;

OxDI8MouseDevice::~OxDI8MouseDevice() {
    release();
}

bool OxDI8MouseDevice::initialize(const std::shared_ptr<Pi::InputInterface>& input) {
    Window::OxWindowBase* mainWindow = Window::OxWindowBase::getMainWindow();
    if (mainWindow == nullptr || mainWindow->getHandle() == 0 || !input) {
        release();
        return false;
    }
    if (device_) {
        release();
    }
    std::shared_ptr<Pi::InputDevice> device;
    if (input->createDevice(Pi::kGuidSysMouse, device) < 0) {
        return false;
    }
    device_ = device;
    mainWindow->getHookList().add(this);
    hooked_ = true;
    Pi::DeviceCaps caps{};
    caps.size = sizeof caps;
    if (device->getCapabilities(caps) < 0) {
        release();
        return false;
    }
    // The state record holds four buttons; a larger count would read past it.
    buttonCount_ = std::min<uint32_t>(caps.buttons, 4);
    if (device->setDataFormat(Pi::DataFormat::Mouse) < 0 ||
        device->setCooperativeLevel(mainWindow->getHandle(), Pi::kCoopNonExclusive | Pi::kCoopForeground) < 0 ||
        device->setProperty(Pi::Property::AxisMode, Pi::kAxisModeRelative) < 0) {
        release();
        return false;
    }
    device->acquire();
    ready_ = true;
    return true;
}

void OxDI8MouseDevice::release() {
    if (hooked_) {
        if (Window::OxWindowBase* mainWindow = Window::OxWindowBase::getMainWindow()) {
            mainWindow->getHookList().remove(this);
        }
        hooked_ = false;
    }
    std::lock_guard guard(lock_);
    if (device_) {
        device_->unacquire();
        device_.reset();
    }
    std::memset(mouse_, 0, sizeof mouse_);
    ready_ = false;
}

uint32_t OxDI8MouseDevice::getState() {
    if (state_ == kStateReleased) {
        return kStateReleased;
    }
    return ready_ ? state_.load() : kStateNotReady;
}

void OxDI8MouseDevice::update() {
    std::lock_guard guard(lock_);
    if (!ready_ || !device_) {
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
    int32_t result = device_->getDeviceState(sizeof buffer, &buffer);
    if (result == Pi::kErrNotAcquired || result == Pi::kErrInputLost) {
        device_->acquire();
        result = device_->getDeviceState(sizeof buffer, &buffer);
    }
    if (result < 0) {
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

bool OxDI8MouseDevice::isDown(uint32_t button) {
    uint8_t current = 0;
    uint8_t previous = 0;
    return buttonBytes(button, current, previous) && (current & kButtonDown) != 0;
}

bool OxDI8MouseDevice::isPushed(uint32_t button) {
    uint8_t current = 0;
    uint8_t previous = 0;
    return buttonBytes(button, current, previous) && (current & kButtonDown) != 0 && previous == 0;
}

bool OxDI8MouseDevice::isReleased(uint32_t button) {
    uint8_t current = 0;
    uint8_t previous = 0;
    return buttonBytes(button, current, previous) && current == 0 && (previous & kButtonDown) != 0;
}

Window::OxLResult OxDI8MouseDevice::hookProc(Window::OxWindowHandle, uint32_t message, Window::OxWParam wParam,
                                             Window::OxLParam) {
    std::lock_guard guard(lock_);
    if (message == Pw::kWmActivateApp && wParam == 0) {
        ready_ = false;
        if (device_) {
            device_->unacquire();
        }
        clearAllKeys();
    } else if (message == Pw::kWmActivateApp || (message == Pw::kWmSize && wParam == Pw::kSizeRestored)) {
        if (device_) {
            device_->acquire();
        }
        ready_ = true;
    }
    return 0;
}

}  // namespace Orvex::InputSystem
