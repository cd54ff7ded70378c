#include "game/scene/CStartUp.h"

#include "engine/scene/OxSceneController.h"
#include "game/scene/SceneNumbers.h"

namespace Fenwarrow::Scene {

bool CStartUp::initialize() {
    framesLeft_ = 30;
    return true;
}

bool CStartUp::update() {
    if (--framesLeft_ <= 0) {
        getSceneController()->changeScene(kSceneLogo);
    }
    return true;
}

}  // namespace Fenwarrow::Scene
