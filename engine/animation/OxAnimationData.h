#pragma once
// One drawn frame of an animation object: a chip plus its time length and draw attributes.
#include <cstdint>

#include "engine/animation/IOrvexArchiver.h"

namespace Orvex::MossbellLib {

class OxAnimationData : public IOrvexArchiver {
public:
    explicit OxAnimationData(uint32_t chipIndexValue = 0, float timeLengthValue = 0.0f)
        : chipIndex(chipIndexValue), timeLength(timeLengthValue) {}

    void setColor(float r, float g, float b, float a) {
        color[0] = r;
        color[1] = g;
        color[2] = b;
        color[3] = a;
    }
    void setDrawOffset(float x, float y) {
        drawOffset[0] = x;
        drawOffset[1] = y;
    }
    void setDrawScale(float x, float y) {
        drawScale[0] = x;
        drawScale[1] = y;
    }
    void setDrawRotationZ(float radians) { drawRotationZ = radians; }

    // Added by the owner to the render-queue priority of the frame's draw; the object's own
    // draw does not read it.
    uint32_t priority = 0;
    uint32_t chipIndex = 0;
    float timeLength = 0.0f;
    uint32_t textureBlendMode = 2;
    uint32_t diffuseBlendMode = 1;
    float color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float drawOffset[2] = {0.0f, 0.0f};
    float drawScale[2] = {1.0f, 1.0f};
    float drawRotationZ = 0.0f;  // radians
};

}  // namespace Orvex::MossbellLib
