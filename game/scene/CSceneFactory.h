#pragma once
// Makes every scene of the game by its number; a number without a scene gives nothing.
#include "engine/scene/IOrvexSceneFactory.h"
#include "game/scene/ISceneContext.h"

namespace Fenwarrow::Scene {

class CSceneFactory : public Orvex::SceneController::IOrvexSceneFactory {
public:
    // Every scene made is given the context, which must outlive them.
    explicit CSceneFactory(ISceneContext& context) : context_(context) {}

    std::shared_ptr<Orvex::SceneController::OxSceneBase> create(int32_t number) override;

private:
    ISceneContext& context_;
};

}  // namespace Fenwarrow::Scene
