#include "game/scene/CSceneFactory.h"

#include "game/scene/CDungeonScene.h"
#include "game/scene/CLogo.h"
#include "game/scene/CMovie.h"
#include "game/scene/CPlayDemo.h"
#include "game/scene/CPromotion.h"
#include "game/scene/CStartUp.h"
#include "game/scene/CTitle.h"
#include "game/scene/SceneNumbers.h"

namespace Fenwarrow::Scene {

std::shared_ptr<Orvex::SceneController::OxSceneBase> CSceneFactory::create(int32_t number) {
    // Every request makes a fresh object; no scene is cached or reused.
    switch (number) {
        case kSceneStartUp:
            return std::make_shared<CStartUp>();
        case kSceneLogo:
            return std::make_shared<CLogo>(context_);
        case kSceneMovie:
            return std::make_shared<CMovie>(context_);
        case kSceneTitle:
            return std::make_shared<CTitle>(context_);
        case kScenePlayDemo:
            return std::make_shared<CPlayDemo>(context_);
        case kSceneDungeon:
            return std::make_shared<CDungeon>(context_);
        case kScenePromotion:
            return std::make_shared<CPromotion>(context_);
        default:
            // Numbers outside 1..20, and scenes this program does not have yet.
            return nullptr;
    }
}

}  // namespace Fenwarrow::Scene
