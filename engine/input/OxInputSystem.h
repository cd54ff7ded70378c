#pragma once
// The input layer's root: the platform input interface and the registered devices.
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/input/IOrvexInputDevice.h"
#include "engine/system/singleton.h"
#include "platform/input/InputInterface.h"

namespace Orvex::InputSystem {

class OxKeyboardDevice;
class OxMouseDevice;
class OxGamePadDevice;

class OxInputSystem {
public:
    // The instance, or null while the platform input cannot be created (tried again next call).
    static OxInputSystem* getInstance();
    static void release() { System::singleton<OxInputSystem>::release(); }

    OxInputSystem(const OxInputSystem&) = delete;
    OxInputSystem& operator=(const OxInputSystem&) = delete;
    virtual ~OxInputSystem();

    // A registered device of that kind and index comes back in use; otherwise one is made and
    // registered. Null for an unknown kind or a device that cannot be set up.
    virtual std::shared_ptr<IOrvexInputDevice> createDevice(uint32_t kind, uint32_t index);
    // Parks the device (state 2); it stays registered.
    virtual void releaseDevice(const std::shared_ptr<IOrvexInputDevice>& device);

    void updateDevices();
    std::shared_ptr<IOrvexInputDevice> findDevice(uint32_t kind, uint32_t index);
    std::shared_ptr<OxKeyboardDevice> getKeyboardDevice();
    std::shared_ptr<OxMouseDevice> getMouseDevice();
    std::shared_ptr<OxGamePadDevice> getGamePadDevice(uint32_t index);

private:
    friend class System::singleton<OxInputSystem>;
    OxInputSystem() = default;

    static void setState(IOrvexInputDevice& device, uint32_t state);

    std::mutex initLock_;
    std::shared_ptr<Platform::Input::InputInterface> input_;
    std::vector<std::shared_ptr<IOrvexInputDevice>> devices_;
};

}  // namespace Orvex::InputSystem
