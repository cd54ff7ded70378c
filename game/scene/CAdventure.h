#pragma once
// Scene 8: one story told by an adventure layer, then a change to the scene the setting data's
// adventure hand-over names (the story sets it while it runs).
#include <memory>

#include "engine/scene/OxSceneBase.h"
#include "game/scene/ISceneContext.h"
#include "game/scene/SceneServices.h"

namespace Fenwarrow::Scene {

class CAdventure : public Orvex::SceneController::OxSceneBase {
public:
    CAdventure(ISceneContext& context, SceneServices services);
    ~CAdventure() override;

    bool initialize() override;
    bool update() override;

    const std::shared_ptr<SceneLayer::CSceneLayer>& getLayer() const { return layer_; }

private:
    ISceneContext& context_;
    SceneServices services_;
    std::shared_ptr<SceneLayer::CSceneLayer> layer_;
    bool starting_ = true;
    bool leaving_ = false;
};

}  // namespace Fenwarrow::Scene
