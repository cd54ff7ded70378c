#include "platform/input/InputInterface.h"

#include <cstring>

#include "platform/window/Window.h"

namespace Platform::Input {
namespace {

constexpr uint8_t kPadMarker[4] = {'O', 'X', 'J', 'S'};

bool padIndexFromGuid(const DeviceGuid& guid, int32_t& index) {
    if (std::memcmp(guid.bytes, kPadMarker, sizeof kPadMarker) != 0) {
        return false;
    }
    std::memcpy(&index, guid.bytes + 4, sizeof index);
    return index >= 0;
}

}  // namespace

DeviceGuid InputInterface::padGuid(int32_t deviceIndex) {
    DeviceGuid guid;
    std::memcpy(guid.bytes, kPadMarker, sizeof kPadMarker);
    std::memcpy(guid.bytes + 4, &deviceIndex, sizeof deviceIndex);
    return guid;
}

int32_t InputInterface::create(uint32_t version, std::shared_ptr<InputInterface>& out) {
    out.reset();
    if (version != kVersion) {
        return kErrInvalidParam;
    }
    if (!Window::isVideoRunning()) {
        return kErrNotInitialized;
    }
    InputHub::instance();  // starts watching events
    out.reset(new InputInterface());
    return kOk;
}

int32_t InputInterface::enumGameControllers(const std::function<bool(const DeviceInstance&)>& found) {
    const int32_t count = InputHub::instance().padCount();
    for (int32_t i = 0; i < count; ++i) {
        if (!found(DeviceInstance{padGuid(i), i})) {
            break;
        }
    }
    return kOk;
}

int32_t InputInterface::createDevice(const DeviceGuid& guid, std::shared_ptr<InputDevice>& out) {
    out.reset();
    if (guid == kGuidSysKeyboard) {
        out = std::make_shared<InputDevice>(DeviceKind::Keyboard, 0, PadInfo{});
        return kOk;
    }
    if (guid == kGuidSysMouse) {
        out = std::make_shared<InputDevice>(DeviceKind::Mouse, 0, PadInfo{});
        return kOk;
    }
    int32_t index = 0;
    PadInfo info;
    if (!padIndexFromGuid(guid, index) || !InputHub::instance().openPad(index, info)) {
        return kErrDeviceNotRegistered;
    }
    out = std::make_shared<InputDevice>(DeviceKind::Pad, index, info);
    return kOk;
}

}  // namespace Platform::Input
