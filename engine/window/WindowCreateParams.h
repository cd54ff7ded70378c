#pragma once
// What a window is created with. Derived windows adjust these in `prepare`.
#include <cstdint>
#include <string>

#include "platform/window/WindowTypes.h"

namespace Orvex::Window {

struct WindowCreateParams {
    std::u16string className = u"Orvex_App";
    std::u16string title = u"Orvex";
    uint32_t dialogTemplateId = 0;  // 0 creates a plain window
    uint32_t style =
        Platform::Window::kStyleBorder | Platform::Window::kStyleSysMenu | Platform::Window::kStyleMinimizeBox;
    int32_t x = Platform::Window::kUseDefault;
    int32_t y = Platform::Window::kUseDefault;
    int32_t windowWidth = 0;  // computed at creation from the client size
    int32_t windowHeight = 0;
    int32_t clientWidth = 640;
    int32_t clientHeight = 480;
    uint16_t iconId = 0;
    uint32_t reserved0 = 0;  // carried for derived windows; the base never reads them
    uint32_t reserved1 = 1;
};

}  // namespace Orvex::Window
