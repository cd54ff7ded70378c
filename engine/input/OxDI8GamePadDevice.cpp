#include "engine/input/OxDI8GamePadDevice.h"

#include <algorithm>

#include "engine/window/OxWindowBase.h"

namespace Orvex::InputSystem {

namespace Pi = Platform::Input;
namespace Pw = Platform::Window;

namespace {

void centredState(Pi::JoyState& state) {
    state = Pi::JoyState{};
    std::fill(std::begin(state.pov), std::end(state.pov), Pi::kPovCentred);
}

}  // namespace

OxDI8GamePadDevice::OxDI8GamePadDevice(const Pi::DeviceGuid& instance, uint32_t index)
    : instance_(instance), index_(index) {
    centredState(joy_[0]);
    centredState(joy_[1]);
}

OxDI8GamePadDevice::~OxDI8GamePadDevice() { release(); }

bool OxDI8GamePadDevice::initialize(const std::shared_ptr<Pi::InputInterface>& input) {
    Window::OxWindowBase* mainWindow = Window::OxWindowBase::getMainWindow();
    if (mainWindow == nullptr || mainWindow->getHandle() == 0 || !input) {
        return false;
    }
    std::shared_ptr<Pi::InputDevice> device;
    if (input->createDevice(instance_, device) < 0) {
        return false;
    }
    device->unacquire();
    Pi::DeviceCaps caps{};
    caps.size = sizeof caps;
    if (device->getCapabilities(caps) < 0) {
        return false;
    }
    caps.buttons = std::min<uint32_t>(caps.buttons, getButtonCount());
    caps.povs = std::min<uint32_t>(caps.povs, 4);
    const bool needsPoll = (caps.flags & (Pi::kCapsPolledDevice | Pi::kCapsPolledDataFormat)) != 0;
    if (!configure(*device, mainWindow->getHandle(), Pi::DataFormat::Joystick, Pi::kAxisModeAbsolute)) {
        return false;
    }
    device->setProperty(Pi::Property::AutoCenter, 0);
    bool rangesSet = true;
    device->enumAxes([&](uint32_t objectId) {
        rangesSet = device->setProperty(Pi::Property::Range, -32768, objectId) >= 0;
        return rangesSet;
    });
    if (!rangesSet) {
        return false;
    }
    {
        std::lock_guard guard(lock_);
        device_ = device;
        caps_ = caps;
        needsPoll_ = needsPoll;
    }
    hookMainWindow(*mainWindow);
    acquireDevice(*device);
    return true;
}

void OxDI8GamePadDevice::release() {
    unhookMainWindow();
    std::lock_guard guard(lock_);
    releaseDevice();
    centredState(joy_[0]);
    centredState(joy_[1]);
    for (auto& buttons : virtualButtons_) {
        std::fill(buttons.begin(), buttons.end(), uint8_t{0});
    }
    updateFlag_ = false;
}

uint32_t OxDI8GamePadDevice::getState() {
    if (state_ == kStateReleased) {
        return kStateReleased;
    }
    if (!acquired_ || updateFlag_) {
        return kStateNotReady;
    }
    return state_;
}

void OxDI8GamePadDevice::clearCurrent() {
    centredState(joy_[current_]);
    std::fill(virtualButtons_[current_].begin(), virtualButtons_[current_].end(), uint8_t{0});
}

void OxDI8GamePadDevice::update() {
    std::lock_guard guard(lock_);
    if (!acquired_ || !device_) {
        clearCurrent();
        updateFlag_ = true;
        return;
    }
    swapBuffers();
    const int32_t acquired = device_->acquire();
    if (acquired != Pi::kOk && acquired != Pi::kFalse) {
        clearCurrent();
        updateFlag_ = false;
        return;
    }
    updateFlag_ = true;
    if (needsPoll_) {
        device_->poll();
    }
    const int32_t result = device_->getDeviceState(sizeof(Pi::JoyState), &joy_[current_]);
    std::fill(virtualButtons_[current_].begin(), virtualButtons_[current_].end(), uint8_t{0});
    if (result == Pi::kErrNotAcquired || result == Pi::kErrInputLost) {
        clearCurrent();
        updateFlag_ = false;
        return;
    }
    for (const auto& bind : keyBinds_) {
        const uint32_t button = bind->getButton();
        if (!bind->test(*this)) {
            continue;
        }
        if (button >= getButtonCount()) {
            if (button - getButtonCount() < virtualButtons_[current_].size()) {
                virtualButtons_[current_][button - getButtonCount()] |= kButtonDown;
            }
        } else {
            joy_[current_].buttons[button] |= kButtonDown;
        }
    }
}

uint32_t OxDI8GamePadDevice::getAxisCount() {
    std::lock_guard guard(lock_);
    return caps_.axes;
}

float OxDI8GamePadDevice::getX() {
    std::lock_guard guard(lock_);
    return axisValue(joy_[current_].x);
}

float OxDI8GamePadDevice::getY() {
    std::lock_guard guard(lock_);
    return axisValue(joy_[current_].y);
}

float OxDI8GamePadDevice::getZ() {
    std::lock_guard guard(lock_);
    return axisValue(joy_[current_].z);
}

float OxDI8GamePadDevice::getRotX() {
    std::lock_guard guard(lock_);
    return axisValue(joy_[current_].rotX);
}

float OxDI8GamePadDevice::getRotY() {
    std::lock_guard guard(lock_);
    return axisValue(joy_[current_].rotY);
}

float OxDI8GamePadDevice::getRotZ() {
    std::lock_guard guard(lock_);
    return axisValue(joy_[current_].rotZ);
}

void OxDI8GamePadDevice::clearKeyBinds() {
    std::lock_guard guard(lock_);
    keyBinds_.clear();
}

void OxDI8GamePadDevice::addKeyBind(const std::shared_ptr<IOrvexGamePadKeyBind>& bind) {
    if (!bind) {
        return;
    }
    std::lock_guard guard(lock_);
    const uint32_t button = bind->getButton();
    const bool ownButton = button < getButtonCount() && button < caps_.buttons;
    const bool virtualButton = button >= getButtonCount() && button - getButtonCount() < virtualButtons_[0].size();
    if (ownButton || virtualButton) {
        keyBinds_.push_back(bind);
    }
}

void OxDI8GamePadDevice::removeKeyBind(const std::shared_ptr<IOrvexGamePadKeyBind>& bind) {
    std::lock_guard guard(lock_);
    const auto it = std::find(keyBinds_.begin(), keyBinds_.end(), bind);
    if (it != keyBinds_.end()) {
        keyBinds_.erase(it);
    }
}

uint32_t OxDI8GamePadDevice::getPovCount() {
    std::lock_guard guard(lock_);
    return caps_.povs;
}

const Pi::JoyState* OxDI8GamePadDevice::getJoyState() {
    std::lock_guard guard(lock_);
    return &joy_[current_];
}

void OxDI8GamePadDevice::swapBuffers() {
    std::lock_guard guard(lock_);
    current_ ^= 1;
}

void OxDI8GamePadDevice::addVirtualButtons(uint32_t count) {
    std::lock_guard guard(lock_);
    for (auto& buttons : virtualButtons_) {
        buttons.insert(buttons.end(), count, uint8_t{0});
    }
}

void OxDI8GamePadDevice::clearAllKeys() {
    std::lock_guard guard(lock_);
    // Hats read centred after a clear: a zero would mean "pushed north".
    centredState(joy_[0]);
    centredState(joy_[1]);
    for (auto& buttons : virtualButtons_) {
        std::fill(buttons.begin(), buttons.end(), uint8_t{0});
    }
}

void OxDI8GamePadDevice::clearKey(uint32_t button) {
    std::lock_guard guard(lock_);
    if (button < getButtonCount()) {
        joy_[current_].buttons[button] = 0;
    }
}

bool OxDI8GamePadDevice::buttonBytes(uint32_t button, uint8_t& current, uint8_t& previous) {
    std::lock_guard guard(lock_);
    if (button < getButtonCount()) {
        current = joy_[current_].buttons[button];
        previous = joy_[current_ ^ 1].buttons[button];
        return true;
    }
    const uint32_t index = button - getButtonCount();
    if (index >= virtualButtons_[current_].size()) {
        return false;
    }
    current = virtualButtons_[current_][index];
    previous = virtualButtons_[current_ ^ 1][index];
    return true;
}

// Only the down bit of the last update counts: a pad's byte may carry other bits.
bool OxDI8GamePadDevice::isPushed(uint32_t button) {
    uint8_t current = 0;
    uint8_t previous = 0;
    return buttonBytes(button, current, previous) && (current & kButtonDown) != 0 && (previous & kButtonDown) == 0;
}

uint32_t OxDI8GamePadDevice::getKeyCount() {
    std::lock_guard guard(lock_);
    return caps_.buttons;
}

}  // namespace Orvex::InputSystem
