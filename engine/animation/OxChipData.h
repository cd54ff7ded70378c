#pragma once
// A rectangle cut out of one of the animation object's textures, in texture pixels.
#include <cstdint>

#include "engine/animation/IOrvexArchiver.h"

namespace Orvex::MossbellLib {

class OxChipData : public IOrvexArchiver {
public:
    explicit OxChipData(uint32_t textureIndexValue = 0) : textureIndex(textureIndexValue) {}

    void setChipRectangle(float leftValue, float topValue, float rightValue, float bottomValue) {
        left = leftValue;
        top = topValue;
        right = rightValue;
        bottom = bottomValue;
    }

    uint32_t textureIndex = 0;  // index into the object's texture list
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
};

}  // namespace Orvex::MossbellLib
