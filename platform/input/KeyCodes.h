#pragma once
// Positional key codes of the keyboard state record (the index of a key's byte), from SDL
// scancodes: a key reports the code of the key at the same place on the board.
#include <cstdint>

namespace Platform::Input {

// 0 for a scancode without a code.
uint8_t keyCodeFromScancode(int32_t scancode);

}  // namespace Platform::Input
