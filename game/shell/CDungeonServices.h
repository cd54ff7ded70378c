#pragma once
// The floor's view of the running game, over the game manager's services.
#include "game/dungeon/IDungeonServices.h"
#include "game/shell/CGameActionContext.h"

namespace Fenwarrow {

class CGameManager;

class CDungeonServices : public Dungeon::IDungeonServices {
public:
    explicit CDungeonServices(CGameManager& manager) : manager_(manager), actionContext_(manager) {}

    IGameContext& getGameContext() override;
    std::shared_ptr<IGeneralWindowContext> getWindowContext() override;
    std::shared_ptr<Orvex::FontLib::OxFontRenderer> createFontRenderer() override;
    Orvex::Graphics::IOrvexRenderer* getRenderer() override;
    Orvex::IO::StreamIO::IOrvexStreamReader* getMovieReader() override;
    Orvex::Graphics::OxRenderQueue* getRenderQueue() override;
    Orvex::Graphics::OxScreenEffectController* getScreenEffects() override;
    SceneLayer::CSceneLayerManager* getSceneLayerManager() override;
    std::shared_ptr<SceneLayer::CSceneLayer> createAdventureLayer(const std::u16string& story, uintptr_t context1,
                                                                  uintptr_t context2) override;
    CSettingDataManager* getSettingDataManager() override;
    Orvex::InputSystem::OxVirtualKey* getVirtualKey() override;
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> getSystemSE(int32_t index) override;
    void setClearColour(uint32_t colour) override;
    void changeScene(int32_t scene) override;
    float getFrameTime() override;
    uint32_t getMilliseconds() override;
    uint32_t getReplayMode() override;
    uint32_t getScreenWidth() override;
    uint32_t getScreenHeight() override;
    std::shared_ptr<Dungeon::IActionManager> createActionManager() override;
    bool pushScriptedAction(Dungeon::IActionManager& actions, const std::u16string& script,
                            Actor::CActor* parameter) override;
    bool pushArrivalAction(Dungeon::IActionManager& actions, const std::u16string& folder,
                           Dungeon::MapPoint point) override;
    bool pushEnemyLevelUpAction(Dungeon::IActionManager& actions, Actor::CActor* enemy, int32_t level) override;
    std::shared_ptr<Dungeon::IFloorEffect> createScriptedEffect(const std::u16string& script,
                                                                Actor::CActor* parameter) override;
    bool loadSuspendedGame(Dungeon::CDungeon& floor) override;

    std::shared_ptr<SceneLayer::CSceneLayer> createPlayerLayer(Dungeon::CDungeon& floor,
                                                               Actor::CActor& player) override;
    // The game has no event layer yet.
    std::shared_ptr<SceneLayer::CSceneLayer> createEventLayer() override;

    Action::IActionContext& getActionContext() { return actionContext_; }

private:
    CGameManager& manager_;
    CGameActionContext actionContext_;
};

}  // namespace Fenwarrow
