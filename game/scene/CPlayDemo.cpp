#include "game/scene/CPlayDemo.h"

#include "engine/scene/OxSceneController.h"
#include "game/scene/SceneNumbers.h"

namespace Fenwarrow::Scene {
namespace {
constexpr uint32_t kClearTarget = 1;
constexpr uint32_t kFontHeight = 12;
}  // namespace

CPlayDemo::~CPlayDemo() {
    font_.release();
    sprite_.release();
}

bool CPlayDemo::initialize() {
    if (!sprite_.create(context_.getGraphics()->getDevice())) {
        return false;
    }
    Orvex::Graphics::OxDXFontDesc description;
    description.height = kFontHeight;
    if (!font_.create(&sprite_, &description)) {
        return false;
    }
    framesLeft_ = 30;
    return true;
}

bool CPlayDemo::update() {
    if (--framesLeft_ <= 0) {
        getSceneController()->changeScene(kSceneTitle);
    }
    return true;
}

bool CPlayDemo::draw() {
    context_.getRenderer()->clear(kClearTarget, 0, 1.0f, 0);
    sprite_.begin();
    sprite_.end();
    return true;
}

}  // namespace Fenwarrow::Scene
