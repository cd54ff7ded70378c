#pragma once
// Covers the viewport with a texture (or a part of it) while active.
#include "engine/graphics/OxScreenEffect.h"
#include "graphics/include/IOrvexTexture.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::Graphics {

class OxFillImageScreenEffect : public OxScreenEffect {
public:
    // Retains the texture. A rectangle of four zeros draws the whole texture.
    OxFillImageScreenEffect(IOrvexTexture* const& texture, float left, float top, float right, float bottom);
    ~OxFillImageScreenEffect() override;

    void update(IOrvexRenderer* renderer, float elapsedSeconds) override;
    void draw(IOrvexRenderer* renderer) override;

private:
    OxRefPtr<IOrvexTexture> texture_;
    float sourceRect_[4];
};

}  // namespace Orvex::Graphics
