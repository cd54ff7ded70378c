#pragma once
// Virtual key codes carried by key messages, from positional SDL scancodes.
#include <cstdint>

namespace Platform::Window {

inline constexpr uint32_t kVkBack = 0x08;
inline constexpr uint32_t kVkTab = 0x09;
inline constexpr uint32_t kVkReturn = 0x0D;
inline constexpr uint32_t kVkShift = 0x10;
inline constexpr uint32_t kVkControl = 0x11;
inline constexpr uint32_t kVkMenu = 0x12;
inline constexpr uint32_t kVkPause = 0x13;
inline constexpr uint32_t kVkEscape = 0x1B;
inline constexpr uint32_t kVkSpace = 0x20;
inline constexpr uint32_t kVkLeft = 0x25;
inline constexpr uint32_t kVkUp = 0x26;
inline constexpr uint32_t kVkRight = 0x27;
inline constexpr uint32_t kVkDown = 0x28;
inline constexpr uint32_t kVkF1 = 0x70;

// 0 for a scancode that has no virtual key here.
uint32_t virtualKeyFromScancode(int32_t scancode);

}  // namespace Platform::Window
