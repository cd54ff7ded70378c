#pragma once
// A short blank pause before the title (after the promotion movie).
#include <cstdint>

#include "engine/graphics/OxDXFont.h"
#include "engine/graphics/OxDXSprite.h"
#include "engine/scene/OxSceneBase.h"
#include "game/scene/ISceneContext.h"

namespace Fenwarrow::Scene {

class CPlayDemo : public Orvex::SceneController::OxSceneBase {
public:
    explicit CPlayDemo(ISceneContext& context) : context_(context) {}
    ~CPlayDemo() override;
    bool initialize() override;
    bool update() override;
    bool draw() override;

private:
    ISceneContext& context_;
    Orvex::Graphics::OxDXSprite sprite_;
    Orvex::Graphics::OxDXFont font_;
    int32_t framesLeft_ = 0;
};

}  // namespace Fenwarrow::Scene
