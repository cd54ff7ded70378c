#include "engine/graphics/OxFadeScreenEffect.h"

#include <cmath>

#include "graphics/include/IOrvexRenderer.h"

namespace Orvex::Graphics {

OxFadeScreenEffect::OxFadeScreenEffect(uint32_t kind, float duration, float delay, bool removeWhenFinished) {
    if (kind == kFadeOut && duration != 0.0f) {
        startFade(kFadeOut, duration, delay, 0.0f);
    } else if (kind == kFadeIn && duration != 0.0f) {
        startFade(kFadeIn, duration, delay, 1.0f);
    }
    setRemoveWhenFinished(removeWhenFinished);
}

void OxFadeScreenEffect::startFade(uint32_t kind, float duration, float delay, float alpha) {
    kind_ = kind;
    duration_ = duration;
    delay_ = delay;
    elapsed_ = 0.0f;
    alpha_ = alpha;
    start();
}

void OxFadeScreenEffect::startFadeOut(float duration, float delay) {
    if (duration != 0.0f) {
        startFade(kFadeOut, duration, delay, 0.0f);
    }
}

void OxFadeScreenEffect::startFadeIn(float duration, float delay) {
    if (duration != 0.0f) {
        startFade(kFadeIn, duration, delay, 1.0f);
    }
}

void OxFadeScreenEffect::update(IOrvexRenderer*, float elapsedSeconds) {
    if (!isActive()) {
        return;
    }
    if (delay_ > 0.0f) {
        delay_ -= elapsedSeconds;
        if (delay_ <= 0.0f) {
            elapsed_ = std::fabs(delay_);  // the time that overshot the delay
            delay_ = 0.0f;
        }
    } else {
        elapsed_ += elapsedSeconds;
    }
    if (kind_ == kFadeOut) {
        alpha_ = elapsed_ / duration_ * maxAlpha_;
    } else if (kind_ == kFadeIn) {
        alpha_ = 1.0f - elapsed_ / duration_ * maxAlpha_;
    }
    if (elapsed_ >= duration_) {
        finish();
    }
}

void OxFadeScreenEffect::draw(IOrvexRenderer* renderer) {
    if (!isActive() || delay_ > 0.0f) {
        return;
    }
    OxRect rect;
    IOrvexSpriteDraw* sprite = screenSprite(renderer, rect);
    if (sprite == nullptr) {
        return;
    }
    const float colour[4] = {colour_.r, colour_.g, colour_.b, alpha_};
    // Inside the frame's own bracket this begin fails as a second begin: fill anyway and leave
    // the frame's bracket open.
    const bool begun = sprite->begin() >= 0;
    sprite->drawFill(colour, &rect);
    if (begun) {
        sprite->end();
    }
}

}  // namespace Orvex::Graphics
