#include "engine/graphics/OxFillImageScreenEffect.h"

#include "graphics/include/IOrvexRenderer.h"

namespace Orvex::Graphics {

OxFillImageScreenEffect::OxFillImageScreenEffect(IOrvexTexture* const& texture, float left, float top, float right,
                                                 float bottom)
    : texture_(OxRefPtr<IOrvexTexture>::share(texture)), sourceRect_{left, top, right, bottom} {}

OxFillImageScreenEffect::~OxFillImageScreenEffect() {
    // Finish while the texture is still held: the base destructor would run the callbacks only
    // after this object's members are gone.
    finish();
}

void OxFillImageScreenEffect::update(IOrvexRenderer*, float) {}

void OxFillImageScreenEffect::draw(IOrvexRenderer* renderer) {
    if (!isActive()) {
        return;
    }
    OxRect destination;
    IOrvexSpriteDraw* sprite = screenSprite(renderer, destination);
    if (sprite == nullptr || sprite->begin() < 0) {
        return;
    }
    sprite->setDiffuseColor(1.0f, 1.0f, 1.0f, 1.0f);
    const bool whole =
        sourceRect_[0] == 0.0f && sourceRect_[1] == 0.0f && sourceRect_[2] == 0.0f && sourceRect_[3] == 0.0f;
    OxRect source{sourceRect_[0], sourceRect_[1], sourceRect_[2], sourceRect_[3]};
    sprite->draw(texture_.get(), &destination, whole ? nullptr : &source);
    sprite->end();
}

}  // namespace Orvex::Graphics
