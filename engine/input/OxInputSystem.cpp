#include "engine/input/OxInputSystem.h"

#include "engine/input/OxDI8GamePadManager.h"
#include "engine/input/OxDI8KeyboardDevice.h"
#include "engine/input/OxDI8MouseDevice.h"

namespace Orvex::InputSystem {

namespace Pi = Platform::Input;

OxInputSystem* OxInputSystem::getInstance() {
    OxInputSystem* system = System::singleton<OxInputSystem>::instance();
    std::lock_guard guard(system->initLock_);
    if (system->input_) {
        return system;
    }
    std::shared_ptr<Pi::InputInterface> input;
    if (Pi::InputInterface::create(Pi::kVersion, input) < 0) {
        return nullptr;
    }
    system->input_ = input;
    if (!OxDI8GamePadManager::instance()->initialize(input)) {
        return nullptr;
    }
    return system;
}

OxInputSystem::~OxInputSystem() {
    devices_.clear();
    input_.reset();
}

void OxInputSystem::setState(IOrvexInputDevice& device, uint32_t state) {
    switch (device.getKind()) {
        case kDeviceKeyboard:
            static_cast<OxKeyboardDevice&>(device).setState(state);
            break;
        case kDeviceMouse:
            static_cast<OxMouseDevice&>(device).setState(state);
            break;
        case kDeviceGamePad:
            if (auto& pad = static_cast<OxGamePadDevice&>(device); !pad.isNull()) {
                pad.setState(state);
            }
            break;
        default:
            break;
    }
}

std::shared_ptr<IOrvexInputDevice> OxInputSystem::createDevice(uint32_t kind, uint32_t index) {
    if (kind == kDeviceKeyboard || kind == kDeviceMouse) {
        index = 0;
    }
    if (auto existing = findDevice(kind, index)) {
        setState(*existing, kStateInUse);
        return existing;
    }
    std::shared_ptr<IOrvexInputDevice> device;
    switch (kind) {
        case kDeviceKeyboard: {
            auto keyboard = std::make_shared<OxDI8KeyboardDevice>();
            if (!keyboard->initialize(input_)) {
                return nullptr;
            }
            device = keyboard;
            break;
        }
        case kDeviceMouse: {
            auto mouse = std::make_shared<OxDI8MouseDevice>();
            if (!mouse->initialize(input_)) {
                return nullptr;
            }
            device = mouse;
            break;
        }
        case kDeviceGamePad:
            device = OxDI8GamePadManager::instance()->getPad(index);
            break;
        default:
            return nullptr;
    }
    if (!device) {
        return nullptr;
    }
    devices_.push_back(device);
    return createDevice(kind, index);
}

void OxInputSystem::releaseDevice(const std::shared_ptr<IOrvexInputDevice>& device) {
    if (device) {
        setState(*device, kStateReleased);
    }
}

void OxInputSystem::updateDevices() {
    for (const auto& device : devices_) {
        const uint32_t state = device->getState();
        if (state == kStateInUse || state == kStateNotReady) {
            device->update();
        }
    }
}

std::shared_ptr<IOrvexInputDevice> OxInputSystem::findDevice(uint32_t kind, uint32_t index) {
    for (const auto& device : devices_) {
        if (device->getKind() == kind && device->getIndex() == index) {
            return device;
        }
    }
    return nullptr;
}

std::shared_ptr<OxKeyboardDevice> OxInputSystem::getKeyboardDevice() {
    return std::static_pointer_cast<OxKeyboardDevice>(findDevice(kDeviceKeyboard, 0));
}

std::shared_ptr<OxMouseDevice> OxInputSystem::getMouseDevice() {
    return std::static_pointer_cast<OxMouseDevice>(findDevice(kDeviceMouse, 0));
}

std::shared_ptr<OxGamePadDevice> OxInputSystem::getGamePadDevice(uint32_t index) {
    return std::static_pointer_cast<OxGamePadDevice>(findDevice(kDeviceGamePad, index));
}

}  // namespace Orvex::InputSystem
