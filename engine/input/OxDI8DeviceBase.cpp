#include "engine/input/OxDI8DeviceBase.h"

#include "engine/window/OxWindowBase.h"
#include "platform/window/WindowTypes.h"

namespace Orvex::InputSystem {

namespace Pi = Platform::Input;
namespace Pw = Platform::Window;

bool OxDI8DeviceBase::testButton(uint32_t button, ButtonEdge edge) {
    uint8_t current = 0;
    uint8_t previous = 0;
    if (!buttonBytes(button, current, previous)) {
        return false;
    }
    switch (edge) {
        case ButtonEdge::Down:
            return (current & kButtonDown) != 0;
        case ButtonEdge::Pushed:
            return (current & kButtonDown) != 0 && previous == 0;
        case ButtonEdge::Released:
            return current == 0 && (previous & kButtonDown) != 0;
    }
    return false;
}

std::shared_ptr<Pi::InputDevice> OxDI8DeviceBase::openForMainWindow(const std::shared_ptr<Pi::InputInterface>& input,
                                                                    const Pi::DeviceGuid& guid,
                                                                    Window::OxWindowBase*& mainWindow) {
    mainWindow = Window::OxWindowBase::getMainWindow();
    if (mainWindow == nullptr || mainWindow->getHandle() == 0 || !input) {
        release();
        return nullptr;
    }
    if (device_) {
        release();
    }
    std::shared_ptr<Pi::InputDevice> device;
    if (input->createDevice(guid, device) < 0) {
        return nullptr;
    }
    device_ = device;
    hookMainWindow(*mainWindow);
    return device;
}

bool OxDI8DeviceBase::configure(Pi::InputDevice& device, Window::OxWindowHandle window, Pi::DataFormat format,
                                int32_t axisMode) {
    return device.setDataFormat(format) >= 0 &&
           device.setCooperativeLevel(window, Pi::kCoopNonExclusive | Pi::kCoopForeground) >= 0 &&
           device.setProperty(Pi::Property::AxisMode, axisMode) >= 0;
}

void OxDI8DeviceBase::hookMainWindow(Window::OxWindowBase& mainWindow) {
    mainWindow.getHookList().add(this);
    hooked_ = true;
}

void OxDI8DeviceBase::unhookMainWindow() {
    if (hooked_) {
        if (Window::OxWindowBase* mainWindow = Window::OxWindowBase::getMainWindow()) {
            mainWindow->getHookList().remove(this);
        }
        hooked_ = false;
    }
}

void OxDI8DeviceBase::acquireDevice(Pi::InputDevice& device) {
    device.acquire();
    acquired_ = true;
}

void OxDI8DeviceBase::releaseDevice() {
    if (device_) {
        device_->unacquire();
        device_.reset();
    }
    acquired_ = false;
}

int32_t OxDI8DeviceBase::readDeviceState(uint32_t size, void* buffer) {
    int32_t result = device_->getDeviceState(size, buffer);
    if (result == Pi::kErrNotAcquired || result == Pi::kErrInputLost) {
        device_->acquire();
        result = device_->getDeviceState(size, buffer);
    }
    return result;
}

uint32_t OxDI8DeviceBase::stateWhenAcquired() const {
    if (state_ == kStateReleased) {
        return kStateReleased;
    }
    return acquired_ ? state_.load() : kStateNotReady;
}

Window::OxLResult OxDI8DeviceBase::hookProc(Window::OxWindowHandle, uint32_t message, Window::OxWParam wParam,
                                            Window::OxLParam) {
    std::lock_guard guard(lock_);
    if (message == Pw::kWmActivateApp && wParam == 0) {
        acquired_ = false;
        if (device_) {
            device_->unacquire();
        }
        clearAllKeys();
    } else if (message == Pw::kWmActivateApp || (message == Pw::kWmSize && wParam == Pw::kSizeRestored)) {
        if (device_) {
            device_->acquire();
        }
        acquired_ = true;
    }
    return 0;
}

}  // namespace Orvex::InputSystem
