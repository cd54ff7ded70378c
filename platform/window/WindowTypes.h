#pragma once
// Handles, messages and numeric values of the window stand-in. The numbers are the ones the
// engine was written against, so the engine's message handling reads the same here.
#include <cstdint>
#include <string>

namespace Platform::Window {

// 0 names no window. Handles are never reused within a process.
using WindowHandle = uint32_t;
using WParam = uintptr_t;
using LParam = intptr_t;
using LResult = intptr_t;
using WindowProcedure = LResult (*)(WindowHandle, uint32_t message, WParam, LParam);

inline constexpr uint32_t kWmDestroy = 0x0002;
inline constexpr uint32_t kWmSize = 0x0005;
inline constexpr uint32_t kWmClose = 0x0010;
inline constexpr uint32_t kWmQuit = 0x0012;
inline constexpr uint32_t kWmActivateApp = 0x001C;
inline constexpr uint32_t kWmKeyDown = 0x0100;
inline constexpr uint32_t kWmKeyUp = 0x0101;

inline constexpr WParam kSizeRestored = 0;
inline constexpr WParam kSizeMinimized = 1;

// Key-down messages carry bit 30 of lParam when the key was already down (auto-repeat).
inline constexpr LParam kKeyPreviouslyDown = LParam(1) << 30;

inline constexpr int32_t kUseDefault = static_cast<int32_t>(0x80000000u);

// Window styles the engine uses; only the resizable and visible bits mean anything here.
inline constexpr uint32_t kStyleBorder = 0x00800000u;
inline constexpr uint32_t kStyleSysMenu = 0x00080000u;
inline constexpr uint32_t kStyleMinimizeBox = 0x00020000u;
inline constexpr uint32_t kStyleThickFrame = 0x00040000u;
inline constexpr uint32_t kStylePopup = 0x80000000u;
inline constexpr uint32_t kStyleVisible = 0x10000000u;

// Show commands.
inline constexpr int32_t kShowHide = 0;
inline constexpr int32_t kShowNormal = 1;
inline constexpr int32_t kShowMinimized = 2;
inline constexpr int32_t kShow = 5;
inline constexpr int32_t kShowNoActivate = 8;

// setWindowPos flags.
inline constexpr uint32_t kPosNoSize = 0x0001;
inline constexpr uint32_t kPosNoMove = 0x0002;
inline constexpr uint32_t kPosNoZOrder = 0x0004;
inline constexpr uint32_t kPosNoRedraw = 0x0008;
inline constexpr uint32_t kPosNoActivate = 0x0010;
inline constexpr uint32_t kPosFrameChanged = 0x0020;
inline constexpr uint32_t kPosShowWindow = 0x0040;

struct Message {
    WindowHandle window = 0;
    uint32_t message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
};

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
};

}  // namespace Platform::Window
