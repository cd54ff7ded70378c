#include "game/scene/developer/CSpriteTest.h"

#include <string>

#include "game/scene/developer/DeveloperConsole.h"

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
    // Inside the frame's drawing, which clears the screen first and opens the sprite pass.
    context_.getRenderQueue()->add(kDeveloperDrawPriority, [this] {
        const Orvex::Graphics::OxRect destination{10, 10, 256, 256};
        context_.getRenderer()->getSpriteDraw()->draw(texture_.get(), &destination, nullptr);
    });
    return true;
}

}  // namespace Fenwarrow::Scene
