#pragma once
// One glyph of a bitmap font: its rectangle on a page, where it goes relative to the pen and how
// far the pen moves after it. All in texels.
#include <cstdint>

namespace Orvex::FontLib {

struct OxCharDesc {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
    float xoffset = 0.0f;
    float yoffset = 0.0f;
    float xadvance = 0.0f;
    uint32_t page = 0;
};

}  // namespace Orvex::FontLib
