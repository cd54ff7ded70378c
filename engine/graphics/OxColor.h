#pragma once
// A colour as four floats r, g, b, a in 0..1.

namespace Orvex::Graphics {

struct OxColor {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
    bool operator==(const OxColor&) const = default;
};

}  // namespace Orvex::Graphics
