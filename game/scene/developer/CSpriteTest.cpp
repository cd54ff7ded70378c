#include "game/scene/developer/CSpriteTest.h"

#include <string>

namespace Fenwarrow::Scene {

bool CSpriteTest::initialize() {
    auto* renderer = context_.getRenderer();
    if (renderer == nullptr) {
        return false;
    }
    const std::u16string path = kPicture;
    Orvex::Graphics::IOrvexTexture* texture = nullptr;
    if (renderer->getTextureManager()->createTextureFromFile(&texture, &path) < 0) {
        return false;
    }
    texture_ = Orvex::Graphics::OxRefPtr<Orvex::Graphics::IOrvexTexture>::adopt(texture);
    return true;
}

bool CSpriteTest::draw() {
    auto* spriteDraw = context_.getRenderer()->getSpriteDraw();
    const Orvex::Graphics::OxRect destination{10, 10, 256, 256};
    spriteDraw->begin();
    spriteDraw->draw(texture_.get(), &destination, nullptr);
    spriteDraw->end();
    return true;
}

}  // namespace Fenwarrow::Scene
