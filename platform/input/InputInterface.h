#pragma once
// The entry object of the input stand-in: enumerates game controllers and makes devices.
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/input/InputDevice.h"
#include "platform/input/InputTypes.h"

namespace Platform::Input {

class InputInterface {
public:
    // Fails (kErrNotInitialized) unless a window thread pumps SDL events, or for another version.
    static int32_t create(uint32_t version, std::shared_ptr<InputInterface>& out);

    // Attached game controllers in the platform's order; stops when `found` returns false.
    int32_t enumGameControllers(const std::function<bool(const DeviceInstance&)>& found);
    int32_t createDevice(const DeviceGuid& guid, std::shared_ptr<InputDevice>& out);

    static DeviceGuid padGuid(int32_t deviceIndex);

private:
    InputInterface() = default;
};

}  // namespace Platform::Input
