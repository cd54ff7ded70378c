#include "platform/input/InputDevice.h"

#include <cstring>

#include "platform/window/Window.h"

namespace Platform::Input {

InputDevice::InputDevice(DeviceKind kind, int32_t padIndex, PadInfo pad)
    : kind_(kind), padIndex_(padIndex), pad_(pad) {}

uint32_t InputDevice::recordSize() const {
    switch (format_) {
        case DataFormat::Keyboard:
            return 256;
        case DataFormat::Mouse:
            return sizeof(MouseState);
        case DataFormat::Joystick:
            return sizeof(JoyState);
        default:
            return 0;
    }
}

int32_t InputDevice::setDataFormat(DataFormat format) {
    const DataFormat expected = kind_ == DeviceKind::Keyboard ? DataFormat::Keyboard
                                : kind_ == DeviceKind::Mouse  ? DataFormat::Mouse
                                                              : DataFormat::Joystick;
    std::lock_guard guard(lock_);
    if (format != expected) {
        return kErrInvalidParam;
    }
    format_ = format;
    return kOk;
}

int32_t InputDevice::setCooperativeLevel(Window::WindowHandle window, uint32_t flags) {
    const bool oneExclusivity = ((flags & kCoopExclusive) != 0) != ((flags & kCoopNonExclusive) != 0);
    const bool oneGround = ((flags & kCoopForeground) != 0) != ((flags & kCoopBackground) != 0);
    if (!Window::isWindow(window) || !oneExclusivity || !oneGround) {
        return kErrInvalidParam;
    }
    std::lock_guard guard(lock_);
    window_ = window;
    cooperativeFlags_ = flags;
    return kOk;
}

int32_t InputDevice::setProperty(Property, int32_t, uint32_t) { return kOk; }

int32_t InputDevice::getCapabilities(DeviceCaps& caps) {
    if (caps.size != sizeof(DeviceCaps)) {
        return kErrInvalidParam;
    }
    caps = DeviceCaps{};
    caps.size = sizeof(DeviceCaps);
    switch (kind_) {
        case DeviceKind::Keyboard:
            caps.buttons = 128;
            break;
        case DeviceKind::Mouse:
            caps.axes = 3;
            caps.buttons = 4;  // the mouse record holds four buttons
            break;
        case DeviceKind::Pad:
            caps.axes = pad_.axes;
            caps.buttons = pad_.buttons;
            caps.povs = pad_.povs;
            break;
    }
    return kOk;
}

int32_t InputDevice::enumAxes(const std::function<bool(uint32_t)>& axis) {
    uint32_t axes = kind_ == DeviceKind::Pad ? pad_.axes : kind_ == DeviceKind::Mouse ? 3 : 0;
    for (uint32_t i = 0; i < axes; ++i) {
        if (!axis(i)) {
            break;
        }
    }
    return kOk;
}

int32_t InputDevice::acquire() {
    std::lock_guard guard(lock_);
    if (format_ == DataFormat::None || window_ == 0) {
        return kErrInvalidParam;
    }
    if (acquired_) {
        return kFalse;
    }
    if ((cooperativeFlags_ & kCoopForeground) != 0 && !Window::isForeground(window_)) {
        return kErrOtherAppHasPriority;
    }
    acquired_ = true;
    focusLossesAtAcquire_ = InputHub::instance().focusLossCount();
    return kOk;
}

int32_t InputDevice::unacquire() {
    std::lock_guard guard(lock_);
    if (!acquired_) {
        return kFalse;
    }
    acquired_ = false;
    return kOk;
}

int32_t InputDevice::poll() {
    std::lock_guard guard(lock_);
    return acquired_ ? kFalse : kErrNotAcquired;
}

int32_t InputDevice::getDeviceState(uint32_t size, void* data) {
    std::lock_guard guard(lock_);
    if (data == nullptr || size != recordSize()) {
        return kErrInvalidParam;
    }
    if (!acquired_) {
        return kErrNotAcquired;
    }
    InputHub& hub = InputHub::instance();
    if (hub.focusLossCount() != focusLossesAtAcquire_) {
        acquired_ = false;
        return kErrInputLost;
    }
    switch (kind_) {
        case DeviceKind::Keyboard: {
            uint8_t keys[256];
            hub.readKeyboard(keys);
            std::memcpy(data, keys, sizeof keys);
            return kOk;
        }
        case DeviceKind::Mouse: {
            MouseState state;
            hub.readMouse(state);
            std::memcpy(data, &state, sizeof state);
            return kOk;
        }
        case DeviceKind::Pad: {
            JoyState state;
            if (!hub.readPad(padIndex_, state)) {
                acquired_ = false;
                return kErrInputLost;
            }
            std::memcpy(data, &state, sizeof state);
            return kOk;
        }
    }
    return kErrInvalidParam;
}

}  // namespace Platform::Input
