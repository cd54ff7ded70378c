#include "platform/window/VirtualKeyCodes.h"

#include <SDL.h>

namespace Platform::Window {

uint32_t virtualKeyFromScancode(int32_t scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
        return 'A' + static_cast<uint32_t>(scancode - SDL_SCANCODE_A);
    }
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
        return '1' + static_cast<uint32_t>(scancode - SDL_SCANCODE_1);
    }
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
        return kVkF1 + static_cast<uint32_t>(scancode - SDL_SCANCODE_F1);
    }
    switch (scancode) {
        case SDL_SCANCODE_0:
            return '0';
        case SDL_SCANCODE_ESCAPE:
            return kVkEscape;
        case SDL_SCANCODE_RETURN:
        case SDL_SCANCODE_KP_ENTER:
            return kVkReturn;
        case SDL_SCANCODE_BACKSPACE:
            return kVkBack;
        case SDL_SCANCODE_TAB:
            return kVkTab;
        case SDL_SCANCODE_SPACE:
            return kVkSpace;
        case SDL_SCANCODE_PAUSE:
            return kVkPause;
        case SDL_SCANCODE_LSHIFT:
        case SDL_SCANCODE_RSHIFT:
            return kVkShift;
        case SDL_SCANCODE_LCTRL:
        case SDL_SCANCODE_RCTRL:
            return kVkControl;
        case SDL_SCANCODE_LALT:
        case SDL_SCANCODE_RALT:
            return kVkMenu;
        case SDL_SCANCODE_LEFT:
            return kVkLeft;
        case SDL_SCANCODE_UP:
            return kVkUp;
        case SDL_SCANCODE_RIGHT:
            return kVkRight;
        case SDL_SCANCODE_DOWN:
            return kVkDown;
        default:
            return 0;
    }
}

}  // namespace Platform::Window
