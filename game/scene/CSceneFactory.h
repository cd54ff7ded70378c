#pragma once
// Makes every scene of the game by its number; a number without a scene gives nothing.
#include "engine/scene/IOrvexSceneFactory.h"

namespace Fenwarrow::Scene {

class CSceneFactory : public Orvex::SceneController::IOrvexSceneFactory {
public:
    std::shared_ptr<Orvex::SceneController::OxSceneBase> create(int32_t number) override;
};

}  // namespace Fenwarrow::Scene
