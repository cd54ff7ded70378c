#include "game/scene/CSceneFactory.h"

#include "game/scene/CDungeonScene.h"
#include "game/scene/CAdventure.h"
#include "game/scene/CExtra.h"
#include "game/scene/CLogo.h"
#include "game/scene/CMovie.h"
#include "game/scene/CPlayDemo.h"
#include "game/scene/CPromotion.h"
#include "game/scene/CResult.h"
#include "game/scene/CStartUp.h"
#include "game/scene/CTitle.h"
#include "game/scene/CWorldMap.h"
#include "game/scene/SceneNumbers.h"
#include "game/scene/developer/CAudioTest.h"
#include "game/scene/developer/CDebugRoom.h"
#include "game/scene/developer/CDungeonDebug.h"
#include "game/scene/developer/CFontTest.h"
#include "game/scene/developer/CInputTest.h"
#include "game/scene/developer/CMossbellTest.h"
#include "game/scene/developer/CSceneSelector.h"
#include "game/scene/developer/CScriptTest.h"
#include "game/scene/developer/CSpriteTest.h"

namespace Fenwarrow::Scene {

std::shared_ptr<Orvex::SceneController::OxSceneBase> CSceneFactory::create(int32_t number) {
    // Every request makes a fresh object; no scene is cached or reused.
    switch (number) {
        case kSceneSelector:
            return std::make_shared<CSceneSelector>(context_);
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
        case kSceneDebugRoom:
            return std::make_shared<CDebugRoom>(context_);
        case kSceneDungeonDebug:
            return std::make_shared<CDungeonDebug>(context_);
        case kSceneFontTest:
            return services_ ? std::make_shared<CFontTest>(context_, services_()) : nullptr;
        case kSceneSpriteTest:
            return std::make_shared<CSpriteTest>(context_);
        case kSceneInputTest:
            return std::make_shared<CInputTest>(context_);
        case kSceneAudioTest:
            return std::make_shared<CAudioTest>(context_);
        case kSceneMossbellTest:
            return std::make_shared<CMossbellTest>(context_);
        case kSceneScriptTest:
            return std::make_shared<CScriptTest>(context_);
        case kSceneAdventure:
            return services_ ? std::make_shared<CAdventure>(context_, services_()) : nullptr;
        case kSceneWorldMap:
            return services_ ? std::make_shared<CWorldMap>(context_, services_()) : nullptr;
        case kSceneExtra:
            return services_ ? std::make_shared<CExtra>(context_, services_()) : nullptr;
        case kSceneResult:
            return services_ ? std::make_shared<CResult>(context_, services_()) : nullptr;
        default:
            // Numbers outside 1..20, and scenes this program does not have yet.
            return nullptr;
    }
}

}  // namespace Fenwarrow::Scene
