#include "engine/input/OxDI8KeyboardDevice.h"

#include <cstring>

#include "engine/input/OxKeyTable.h"
#include "engine/window/OxWindowBase.h"
#include "platform/window/WindowTypes.h"

namespace Orvex::InputSystem {

namespace Pi = Platform::Input;
namespace Pw = Platform::Window;

OxDI8KeyboardDevice::~OxDI8KeyboardDevice() {
    release();
}

bool OxDI8KeyboardDevice::initialize(const std::shared_ptr<Pi::InputInterface>& input) {
    Window::OxWindowBase* mainWindow = Window::OxWindowBase::getMainWindow();
    if (mainWindow == nullptr || mainWindow->getHandle() == 0 || !input) {
        release();
        return false;
    }
    if (device_) {
        release();
    }
    std::shared_ptr<Pi::InputDevice> device;
    if (input->createDevice(Pi::kGuidSysKeyboard, device) < 0) {
        return false;
    }
    device_ = device;
    mainWindow->getHookList().add(this);
    hooked_ = true;
    if (device->setDataFormat(Pi::DataFormat::Keyboard) < 0 ||
        device->setCooperativeLevel(mainWindow->getHandle(), Pi::kCoopNonExclusive | Pi::kCoopForeground) < 0 ||
        device->setProperty(Pi::Property::AxisMode, Pi::kAxisModeAbsolute) < 0) {
        release();
        return false;
    }
    device->acquire();
    ready_ = true;
    return true;
}

void OxDI8KeyboardDevice::release() {
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
    std::memset(keys_, 0, sizeof keys_);
    ready_ = false;
}

uint32_t OxDI8KeyboardDevice::getState() {
    if (state_ == kStateReleased) {
        return kStateReleased;
    }
    return ready_ ? state_.load() : kStateNotReady;
}

void OxDI8KeyboardDevice::update() {
    std::lock_guard guard(lock_);
    if (!ready_ || !device_) {
        return;
    }
    current_ ^= 1;
    uint8_t* buffer = keys_[current_];
    int32_t result = device_->getDeviceState(256, buffer);
    if (result == Pi::kErrNotAcquired || result == Pi::kErrInputLost) {
        device_->acquire();
        result = device_->getDeviceState(256, buffer);
    }
    if (result < 0) {
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

bool OxDI8KeyboardDevice::keyBytes(uint32_t key, uint8_t& current, uint8_t& previous) {
    const uint8_t code = getKeyboardKeyCode(key);
    if (code == 0) {
        return false;
    }
    std::lock_guard guard(lock_);
    current = keys_[current_][code];
    previous = keys_[current_ ^ 1][code];
    return true;
}

bool OxDI8KeyboardDevice::isDown(uint32_t key) {
    uint8_t current = 0;
    uint8_t previous = 0;
    return keyBytes(key, current, previous) && (current & kButtonDown) != 0;
}

bool OxDI8KeyboardDevice::isPushed(uint32_t key) {
    uint8_t current = 0;
    uint8_t previous = 0;
    return keyBytes(key, current, previous) && (current & kButtonDown) != 0 && previous == 0;
}

bool OxDI8KeyboardDevice::isReleased(uint32_t key) {
    uint8_t current = 0;
    uint8_t previous = 0;
    return keyBytes(key, current, previous) && current == 0 && (previous & kButtonDown) != 0;
}

uint32_t OxDI8KeyboardDevice::getKeyCount() {
    return kKeyboardKeyCount;
}

Window::OxLResult OxDI8KeyboardDevice::hookProc(Window::OxWindowHandle, uint32_t message, Window::OxWParam wParam,
                                                Window::OxLParam) {
    std::lock_guard guard(lock_);
    if (message == Pw::kWmActivateApp && wParam == 0) {
        ready_ = false;
        if (device_) {
            device_->unacquire();
        }
        clearAllKeys();
    } else if ((message == Pw::kWmActivateApp) || (message == Pw::kWmSize && wParam == Pw::kSizeRestored)) {
        if (device_) {
            device_->acquire();
        }
        ready_ = true;
    }
    return 0;
}

}  // namespace Orvex::InputSystem
