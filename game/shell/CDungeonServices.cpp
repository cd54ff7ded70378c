#include "game/shell/CDungeonServices.h"

#include "engine/timer/OxSystemClock.h"
#include "game/action/CActionManager.h"
#include "game/action/CArrivalActorAction.h"
#include "game/action/CEnemyLevelUPAction.h"
#include "game/action/CScriptingAction.h"
#include "game/actor/CPlayer.h"
#include "game/control/CPlayerLayer.h"
#include "game/event/CEventLayer.h"
#include "game/menu/CGameMenu.h"
#include "game/replay/CReplayController.h"
#include "game/save/CGameSaveController.h"
#include "game/services/CGameSetting.h"
#include "game/services/CSettingDataManager.h"
#include "game/shell/CGameManager.h"

namespace Fenwarrow {
namespace {

// The game menu as the player layer drives it.
class GameMenuControl : public SceneLayer::IPlayerMenu {
public:
    GameMenuControl(Action::IActionContext& context, Actor::CPlayer& player) : menu_(context, &player) {}
    void openRoot() override { menu_.openRoot(); }
    bool isOpen() const override { return !menu_.isStackEmpty(); }
    void update() override { menu_.update(); }
    void draw() override { menu_.draw(); }

private:
    SceneLayer::CGameMenu menu_;
};

}  // namespace

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

std::shared_ptr<SceneLayer::CSceneLayer> CDungeonServices::createAdventureLayer(const std::u16string& story,
                                                                                uintptr_t context1,
                                                                                uintptr_t context2) {
    return manager_.makeAdventureLayer(story, context1, context2);
}

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

namespace {

// The floor's own scripted effect (the meltdown): prepared on the spot and driven by the floor.
class CScriptedFloorEffect : public Dungeon::IFloorEffect {
public:
    CScriptedFloorEffect(Action::IActionContext& context, const std::u16string& script, Actor::CActor* parameter)
        : action_(context, script, parameter) {}

    bool prepare() override {
        const bool made = action_.createEnvironment();
        action_.initialize();
        action_.setPrepared(true);
        return made;
    }
    void update() override { action_.update(); }
    void draw() override { action_.draw(); }
    void end() override { action_.end(); }

private:
    Action::CScriptingAction action_;
};

// The floor's queue is always the game's own kind (createActionManager).
Action::CActionManager* queueOf(Dungeon::IActionManager& actions) {
    return dynamic_cast<Action::CActionManager*>(&actions);
}

}  // namespace

bool CDungeonServices::pushScriptedAction(Dungeon::IActionManager& actions, const std::u16string& script,
                                          Actor::CActor* parameter) {
    Action::CActionManager* queue = queueOf(actions);
    if (queue == nullptr) {
        return false;
    }
    queue->pushAction(std::make_shared<Action::CScriptingAction>(actionContext_, script, parameter));
    return true;
}

bool CDungeonServices::pushArrivalAction(Dungeon::IActionManager& actions, const std::u16string& folder,
                                         Dungeon::MapPoint point) {
    Action::CActionManager* queue = queueOf(actions);
    if (queue == nullptr) {
        return false;
    }
    queue->pushAction(std::make_shared<Action::CArrivalActorAction>(actionContext_, folder, point));
    return true;
}

bool CDungeonServices::pushEnemyLevelUpAction(Dungeon::IActionManager& actions, Actor::CActor* enemy, int32_t level) {
    Action::CActionManager* queue = queueOf(actions);
    if (queue == nullptr || enemy == nullptr) {
        return false;
    }
    queue->pushAction(std::make_shared<Action::CEnemyLevelUPAction>(actionContext_, enemy, level));
    return true;
}

std::shared_ptr<Dungeon::IFloorEffect> CDungeonServices::createScriptedEffect(const std::u16string& script,
                                                                              Actor::CActor* parameter) {
    return std::make_shared<CScriptedFloorEffect>(actionContext_, script, parameter);
}

bool CDungeonServices::loadSuspendedGame(Dungeon::CDungeon& floor) {
    CSettingDataManager* settings = manager_.getSettingDataManager();
    if (settings == nullptr) {
        return false;
    }
    return CGameSaveController(manager_, *settings, manager_.getSceneController().getCurrentSceneId())
        .loadSuspendedGame(floor);
}

std::shared_ptr<SceneLayer::CSceneLayer> CDungeonServices::createPlayerLayer(Dungeon::CDungeon& floor,
                                                                             Actor::CActor& player) {
    auto* hero = dynamic_cast<Actor::CPlayer*>(&player);
    if (hero == nullptr) {
        return nullptr;
    }
    SceneLayer::CPlayerLayer::Services services;
    services.actions = &actionContext_;
    services.replay = manager_.getReplayController();
    services.liveKeys = manager_.getVirtualKeyAt(0);
    services.renderer = manager_.getRenderer();
    services.makeMenu = [this](Actor::CPlayer& owner) -> std::shared_ptr<SceneLayer::IPlayerMenu> {
        return std::make_shared<GameMenuControl>(actionContext_, owner);
    };
    return std::make_shared<SceneLayer::CPlayerLayer>(std::move(services), floor, *hero);
}

std::shared_ptr<SceneLayer::CSceneLayer> CDungeonServices::createEventLayer() {
    return std::make_shared<Event::CEventLayer>();
}

}  // namespace Fenwarrow
