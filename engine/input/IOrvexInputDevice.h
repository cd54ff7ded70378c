#pragma once
#include <cstdint>

namespace Orvex::InputSystem {

inline constexpr uint32_t kDeviceKeyboard = 1;
inline constexpr uint32_t kDeviceMouse = 2;
inline constexpr uint32_t kDeviceGamePad = 3;

inline constexpr uint32_t kStateInUse = 1;
inline constexpr uint32_t kStateReleased = 2;  // parked: not updated
inline constexpr uint32_t kStateNotReady = 3;  // reported only, never stored

inline constexpr uint8_t kButtonDown = 0x80;

class IOrvexInputDevice {
public:
    virtual uint32_t getKind() = 0;
    virtual uint32_t getState() = 0;
    virtual uint32_t getIndex() = 0;
    virtual void update() = 0;
    virtual ~IOrvexInputDevice() = default;
};

}  // namespace Orvex::InputSystem
