#include "graphics/OxMotionController.h"

namespace Orvex::Graphics {

uint32_t OxMotionController::getAnimationCount() {
    OxDXObject* h = hierarchy();
    return h != nullptr ? h->animationCount() : 0;
}

int32_t OxMotionController::play(uint32_t index, float blendTime, float startTicks) {
    OxDXObject* h = hierarchy();
    return h != nullptr ? h->play(index, blendTime, startTicks) : kOxErrFailed;
}

uint32_t OxMotionController::getCurrentAnimation() {
    OxDXObject* h = hierarchy();
    return h != nullptr ? h->currentAnimation() : 0;
}

float OxMotionController::getCurrentTime() {
    OxDXObject* h = hierarchy();
    return h != nullptr ? h->currentTime() : 0.0f;
}

void OxMotionController::setLoop(bool loop) {
    if (OxDXObject* h = hierarchy()) {
        h->setLoop(loop);
    }
}

bool OxMotionController::isLooping() {
    OxDXObject* h = hierarchy();
    return h != nullptr && h->isLooping();
}

}  // namespace Orvex::Graphics
