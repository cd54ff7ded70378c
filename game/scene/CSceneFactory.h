#pragma once
// Makes every scene of the game by its number; a number without a scene gives nothing.
#include <functional>

#include "engine/scene/IOrvexSceneFactory.h"
#include "game/scene/CResult.h"
#include "game/scene/ISceneContext.h"

namespace Fenwarrow::Scene {

class CSceneFactory : public Orvex::SceneController::IOrvexSceneFactory {
public:
    // Every scene made is given the context, which must outlive them.
    explicit CSceneFactory(ISceneContext& context) : context_(context) {}

    std::shared_ptr<Orvex::SceneController::OxSceneBase> create(int32_t number) override;

    // What the result scene needs beyond the context; without it there is no result scene.
    void setResultServices(std::function<CResult::Services()> services) { resultServices_ = std::move(services); }

private:
    ISceneContext& context_;
    std::function<CResult::Services()> resultServices_;
};

}  // namespace Fenwarrow::Scene
