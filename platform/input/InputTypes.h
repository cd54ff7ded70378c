#pragma once
// Records, result codes and constants of the input stand-in. Sizes and numeric values are the
// ones the engine was written against.
#include <cstdint>
#include <cstring>

namespace Platform::Input {

inline constexpr int32_t kOk = 0;
inline constexpr int32_t kFalse = 1;  // success, nothing changed (for example already acquired)
inline constexpr int32_t kErrNotAcquired = static_cast<int32_t>(0x8007000Cu);
inline constexpr int32_t kErrInputLost = static_cast<int32_t>(0x8007001Eu);
inline constexpr int32_t kErrOtherAppHasPriority = static_cast<int32_t>(0x80070005u);
inline constexpr int32_t kErrInvalidParam = static_cast<int32_t>(0x80070057u);
inline constexpr int32_t kErrNotInitialized = static_cast<int32_t>(0x80070015u);
inline constexpr int32_t kErrDeviceNotRegistered = static_cast<int32_t>(0x80040154u);

inline constexpr uint32_t kVersion = 0x0800;

// Cooperative levels.
inline constexpr uint32_t kCoopExclusive = 1;
inline constexpr uint32_t kCoopNonExclusive = 2;
inline constexpr uint32_t kCoopForeground = 4;
inline constexpr uint32_t kCoopBackground = 8;

// Capability flags that ask for a poll before each read.
inline constexpr uint32_t kCapsPolledDevice = 0x02;
inline constexpr uint32_t kCapsPolledDataFormat = 0x08;

enum class DataFormat { None, Keyboard, Mouse, Joystick };

enum class Property { AxisMode, AutoCenter, Range };
inline constexpr int32_t kAxisModeAbsolute = 0;
inline constexpr int32_t kAxisModeRelative = 1;

struct DeviceGuid {
    uint8_t bytes[16] = {};
    bool operator==(const DeviceGuid& other) const { return std::memcmp(bytes, other.bytes, sizeof bytes) == 0; }
};
static_assert(sizeof(DeviceGuid) == 16);

// The system keyboard and mouse; game controllers get GUIDs from enumeration.
inline constexpr DeviceGuid kGuidSysKeyboard{{'O', 'X', 'K', 'B', 1}};
inline constexpr DeviceGuid kGuidSysMouse{{'O', 'X', 'M', 'S', 1}};

struct MouseState {
    int32_t x;
    int32_t y;
    int32_t wheel;       // 120 per notch
    uint8_t buttons[4];  // 0 left, 1 right, 2 middle, 3 first extra button
};
static_assert(sizeof(MouseState) == 16);

struct JoyState {
    int32_t x, y, z;
    int32_t rotX, rotY, rotZ;
    int32_t sliders[2];
    uint32_t pov[4];  // hundredths of degrees clockwise from north; 0xFFFFFFFF centred
    uint8_t buttons[128];
    int32_t velocity[6];
    int32_t velocitySliders[2];
    int32_t acceleration[6];
    int32_t accelerationSliders[2];
    int32_t force[6];
    int32_t forceSliders[2];
};
static_assert(sizeof(JoyState) == 272);

inline constexpr uint32_t kPovCentred = 0xFFFFFFFFu;

struct DeviceCaps {
    uint32_t size;
    uint32_t flags;
    uint32_t deviceType;
    uint32_t axes;
    uint32_t buttons;
    uint32_t povs;
    uint32_t forceFeedbackSamplePeriod;
    uint32_t forceFeedbackMinTimeResolution;
    uint32_t firmwareRevision;
    uint32_t hardwareRevision;
    uint32_t forceFeedbackDriverVersion;
};
static_assert(sizeof(DeviceCaps) == 44);

struct DeviceInstance {
    DeviceGuid instance;
    int32_t deviceIndex = 0;  // position in the platform's joystick list
};

}  // namespace Platform::Input
