#pragma once
// Fades the whole viewport to (kind 0) or from (kind 1) a colour.
#include "engine/graphics/OxColor.h"
#include "engine/graphics/OxScreenEffect.h"

namespace Orvex::Graphics {

class OxFadeScreenEffect : public OxScreenEffect {
public:
    enum Kind : uint32_t { kFadeOut = 0, kFadeIn = 1 };

    OxFadeScreenEffect() = default;
    // Starts at once for kind 0 or 1 with a non-zero duration; otherwise never starts.
    OxFadeScreenEffect(uint32_t kind, float duration, float delay, bool removeWhenFinished);

    void update(IOrvexRenderer* renderer, float elapsedSeconds) override;
    void draw(IOrvexRenderer* renderer) override;

    // Ignored when duration is 0.
    void startFadeOut(float duration, float delay);
    void startFadeIn(float duration, float delay);

    float getMaxAlpha() const { return maxAlpha_; }
    void setMaxAlpha(float alpha) { maxAlpha_ = alpha; }
    const OxColor& getColor() const { return colour_; }
    void setColor(const OxColor& colour) { colour_ = colour; }
    uint32_t getKind() const { return kind_; }
    float getAlpha() const { return alpha_; }
    float getDelay() const { return delay_; }
    float getElapsed() const { return elapsed_; }
    float getDuration() const { return duration_; }

private:
    void startFade(uint32_t kind, float duration, float delay, float alpha);

    float maxAlpha_ = 1.0f;
    OxColor colour_{0.0f, 0.0f, 0.0f, 1.0f};
    uint32_t kind_ = kFadeOut;
    float duration_ = 0.0f;
    float delay_ = 0.0f;
    float elapsed_ = 0.0f;
    float alpha_ = 0.0f;
};

}  // namespace Orvex::Graphics
