#pragma once
// The first scene of every run: waits 30 updates, then changes to the logo.
#include <cstdint>

#include "engine/scene/OxSceneBase.h"

namespace Fenwarrow::Scene {

class CStartUp : public Orvex::SceneController::OxSceneBase {
public:
    bool initialize() override;
    bool update() override;

private:
    int32_t framesLeft_ = 0;
};

}  // namespace Fenwarrow::Scene
