#pragma once
// Makes every scene of the game by its number; a number without a scene gives nothing.
#include <functional>

#include "engine/scene/IOrvexSceneFactory.h"
#include "game/scene/ISceneContext.h"
#include "game/scene/SceneServices.h"

namespace Fenwarrow::Scene {

class CSceneFactory : public Orvex::SceneController::IOrvexSceneFactory {
public:
    // Every scene made is given the context, which must outlive them.
    explicit CSceneFactory(ISceneContext& context) : context_(context) {}

    std::shared_ptr<Orvex::SceneController::OxSceneBase> create(int32_t number) override;

    // What the result, extras, world-map and adventure scenes need beyond the context; without
    // it there are none of those scenes.
    void setSceneServices(std::function<SceneServices()> services) { services_ = std::move(services); }

private:
    ISceneContext& context_;
    std::function<SceneServices()> services_;
};

}  // namespace Fenwarrow::Scene
