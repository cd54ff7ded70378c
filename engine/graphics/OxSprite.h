#pragma once
// Holds one texture of the graphics library for its owner, who sets and uses it directly.
#include "graphics/include/IOrvexTexture.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::Graphics {

class OxSprite {
public:
    OxSprite() = default;
    OxSprite(const OxSprite&) = delete;
    OxSprite& operator=(const OxSprite&) = delete;
    virtual ~OxSprite() = default;

    OxRefPtr<IOrvexTexture> texture;
};

}  // namespace Orvex::Graphics
