#pragma once
// The keyboard's key numbers (what settings and scripts name) and their key codes and names.
#include <cstdint>

namespace Orvex::InputSystem {

inline constexpr uint32_t kKeyboardKeyCount = 144;

// The key code of a key number; 0 for a number of 144 or more.
uint8_t getKeyboardKeyCode(uint32_t keyNumber);
// The key's name; null for a number of 144 or more.
const char16_t* getKeyboardKeyName(uint32_t keyNumber);

}  // namespace Orvex::InputSystem
