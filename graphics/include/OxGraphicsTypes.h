#pragma once
// Records, result codes and the factory entry of the graphics library.
#include <cstdint>

#include "platform/gpu/GpuTypes.h"

namespace Orvex::Graphics {

// Result codes: 0 is success, every failure is negative.
inline constexpr int32_t kOxOk = 0;
inline constexpr int32_t kOxErrInvalidArgument = static_cast<int32_t>(0x80000001u);
inline constexpr int32_t kOxErrNotInitialized = static_cast<int32_t>(0x80000003u);
inline constexpr int32_t kOxErrCreateFailed = static_cast<int32_t>(0x80000004u);
inline constexpr int32_t kOxErrFailed = static_cast<int32_t>(0x80000008u);
// The device is lost and cannot be reset yet; the device is lost and can be reset now.
inline constexpr int32_t kOxErrDeviceLost = static_cast<int32_t>(0x88760868u);
inline constexpr int32_t kOxErrDeviceNotReset = static_cast<int32_t>(0x88760869u);

// The only version `OXCreateGraphics` accepts.
inline constexpr uint32_t kOxGraphicsVersion = 0x80000001u;

// Start-up parameters of the graphics object and of the renderer's reset.
struct OxGraphicsParameters {
    uint8_t fullScreen = 0;
    uint8_t secondFlag = 0;  // not read by the library
    uint32_t width = 640;
    uint32_t height = 480;
    uint32_t reserved0 = 0;  // not read
    uint8_t reserved1 = 1;   // not read
    uint32_t reserved2 = 1;  // not read
};

struct OxViewportRect {
    uint32_t x = 0;
    uint32_t y = 0;
    uint32_t width = 0;
    uint32_t height = 0;
};

// 4x4 float matrix, m[row][column].
struct OxMatrix {
    float m[4][4] = {};
};

// Left, top, right, bottom in pixels.
struct OxRect {
    float left = 0;
    float top = 0;
    float right = 0;
    float bottom = 0;
};

// Debug shapes of the renderer.
struct OxOrientedBox {
    float center[3];
    float halfLength[3];
    float axis[3][3];
};

struct OxSphere {
    float center[3];
    float radius;
};

// Texture filter codes of the renderer.
enum OxTextureFilter : uint32_t {
    kOxFilterNone = 0,
    kOxFilterPoint = 1,
    kOxFilterLinear = 2,
    kOxFilterAnisotropic = 3
};

}  // namespace Orvex::Graphics
