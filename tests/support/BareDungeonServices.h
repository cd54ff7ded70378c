#pragma once
// A floor's services with nothing behind them but the game context: no drawing, screens,
// layers, sounds, actions or saves. For reading and writing floors outside a running game.
#include <memory>
#include <string>

#include "game/dungeon/IDungeonServices.h"
#include "game/services/IGameContext.h"

namespace SaveWorld {

class BareDungeonServices : public Fenwarrow::Dungeon::IDungeonServices {
public:
    using IActionManager = Fenwarrow::Dungeon::IActionManager;

    explicit BareDungeonServices(Fenwarrow::IGameContext& context) : context_(context) {}
    Fenwarrow::IGameContext& getGameContext() override { return context_; }
    std::shared_ptr<Fenwarrow::IGeneralWindowContext> getWindowContext() override { return nullptr; }
    std::shared_ptr<Orvex::FontLib::OxFontRenderer> createFontRenderer() override { return nullptr; }
    Orvex::Graphics::IOrvexRenderer* getRenderer() override { return nullptr; }
    Orvex::IO::StreamIO::IOrvexStreamReader* getMovieReader() override { return nullptr; }
    Orvex::Graphics::OxRenderQueue* getRenderQueue() override { return nullptr; }
    Orvex::Graphics::OxScreenEffectController* getScreenEffects() override { return nullptr; }
    Fenwarrow::SceneLayer::CSceneLayerManager* getSceneLayerManager() override { return nullptr; }
    std::shared_ptr<Fenwarrow::SceneLayer::CSceneLayer> createAdventureLayer(const std::u16string&, uintptr_t,
                                                                             uintptr_t) override {
        return nullptr;
    }
    std::shared_ptr<Fenwarrow::SceneLayer::CSceneLayer> createPlayerLayer(Fenwarrow::Dungeon::CDungeon&,
                                                                          Fenwarrow::Actor::CActor&) override {
        return nullptr;
    }
    std::shared_ptr<Fenwarrow::SceneLayer::CSceneLayer> createEventLayer() override { return nullptr; }
    Fenwarrow::CSettingDataManager* getSettingDataManager() override { return nullptr; }
    Orvex::InputSystem::OxVirtualKey* getVirtualKey() override { return nullptr; }
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> getSystemSE(int32_t) override { return nullptr; }
    void setClearColour(uint32_t) override {}
    void changeScene(int32_t) override {}
    float getFrameTime() override { return 0.0f; }
    uint32_t getMilliseconds() override { return 0; }
    uint32_t getReplayMode() override { return 0; }
    uint32_t getScreenWidth() override { return 800; }
    uint32_t getScreenHeight() override { return 600; }
    std::shared_ptr<IActionManager> createActionManager() override { return nullptr; }
    bool pushScriptedAction(IActionManager&, const std::u16string&, Fenwarrow::Actor::CActor*) override {
        return false;
    }
    bool pushArrivalAction(IActionManager&, const std::u16string&, Fenwarrow::Dungeon::MapPoint) override {
        return false;
    }
    std::shared_ptr<Fenwarrow::Dungeon::IFloorEffect> createScriptedEffect(const std::u16string&,
                                                                           Fenwarrow::Actor::CActor*) override {
        return nullptr;
    }
    bool loadSuspendedGame(Fenwarrow::Dungeon::CDungeon&) override { return false; }

private:
    Fenwarrow::IGameContext& context_;
};

}  // namespace SaveWorld
