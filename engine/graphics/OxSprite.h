#pragma once
// Holds one texture of the graphics library for its owner, who sets and uses it directly.
#include "graphics/include/IOrvexTexture.h"

namespace Orvex::Graphics {

class OxSprite {
public:
    OxSprite() = default;
    OxSprite(const OxSprite&) = delete;
    OxSprite& operator=(const OxSprite&) = delete;
    virtual ~OxSprite() {
        if (texture != nullptr) {
            texture->release();
        }
    }

    IOrvexTexture* texture = nullptr;  // one reference, released by the destructor
};

}  // namespace Orvex::Graphics
