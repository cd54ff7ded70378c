#include "game/shell/CDungeonServices.h"

#include "engine/timer/OxSystemClock.h"
#include "game/action/CActionManager.h"
#include "game/replay/CReplayController.h"
#include "game/services/CGameSetting.h"
#include "game/shell/CGameManager.h"

namespace Fenwarrow {

IGameContext& CDungeonServices::getGameContext() { return manager_; }

std::shared_ptr<IGeneralWindowContext> CDungeonServices::getWindowContext() {
    // The manager outlives every floor; the pointer owns nothing.
    return std::shared_ptr<IGeneralWindowContext>(&manager_, [](IGeneralWindowContext*) {});
}

std::shared_ptr<Orvex::FontLib::OxFontRenderer> CDungeonServices::createFontRenderer() {
    return manager_.createFontRenderer();
}

Orvex::Graphics::IOrvexRenderer* CDungeonServices::getRenderer() { return manager_.getRenderer(); }

Orvex::IO::StreamIO::IOrvexStreamReader* CDungeonServices::getMovieReader() { return manager_.getMovieReader(); }

Orvex::Graphics::OxRenderQueue* CDungeonServices::getRenderQueue() { return manager_.getRenderQueue(); }

Orvex::Graphics::OxScreenEffectController* CDungeonServices::getScreenEffects() { return manager_.getScreenEffects(); }

SceneLayer::CSceneLayerManager* CDungeonServices::getSceneLayerManager() { return manager_.getSceneLayerManager(); }

CSettingDataManager* CDungeonServices::getSettingDataManager() { return manager_.getSettingDataManager(); }

Orvex::InputSystem::OxVirtualKey* CDungeonServices::getVirtualKey() { return manager_.getVirtualKey(); }

std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> CDungeonServices::getSystemSE(int32_t index) {
    return manager_.getSystemSE(index);
}

void CDungeonServices::setClearColour(uint32_t colour) { manager_.setClearColour(colour); }

void CDungeonServices::changeScene(int32_t scene) { manager_.getSceneController().changeScene(scene); }

float CDungeonServices::getFrameTime() { return manager_.getFrameTime(); }

uint32_t CDungeonServices::getMilliseconds() { return Orvex::Timer::OxSystemClock::instance()->now(); }

uint32_t CDungeonServices::getReplayMode() {
    const Replay::CReplayController* replay = manager_.getReplayController();
    return replay != nullptr ? replay->getMode() : 0;
}

uint32_t CDungeonServices::getScreenWidth() { return manager_.getSettings().screenWidth; }

uint32_t CDungeonServices::getScreenHeight() { return manager_.getSettings().screenHeight; }

std::shared_ptr<Dungeon::IActionManager> CDungeonServices::createActionManager() {
    return std::make_shared<Action::CActionManager>();
}

// The scripted and arrival actions need the game's action context, which the game manager does
// not offer yet: the floor then goes on without them.
bool CDungeonServices::pushScriptedAction(Dungeon::IActionManager& /*actions*/, const std::u16string& /*script*/,
                                          Actor::CActor* /*parameter*/) {
    return false;
}

bool CDungeonServices::pushArrivalAction(Dungeon::IActionManager& /*actions*/, const std::u16string& /*folder*/,
                                         Dungeon::MapPoint /*point*/) {
    return false;
}

std::shared_ptr<Dungeon::IFloorEffect> CDungeonServices::createScriptedEffect(const std::u16string& /*script*/,
                                                                              Actor::CActor* /*parameter*/) {
    return nullptr;
}

}  // namespace Fenwarrow
