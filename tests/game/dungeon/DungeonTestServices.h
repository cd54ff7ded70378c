#pragma once
// A floor's services for tests: the script services of a test game context, a render queue,
// screen effects, scene layers, settings and keys the test owns, a clock the test moves, and an
// action queue that records what the floor pushes into it.
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/font/OxFontRenderer.h"
#include "engine/graphics/OxRenderQueue.h"
#include "engine/graphics/OxScreenEffectController.h"
#include "engine/input/OxVirtualKey.h"
#include "game/dungeon/IActionManager.h"
#include "game/dungeon/IDungeonServices.h"
#include "game/generalwindow/CGeneralWindow.h"
#include "game/layer/CSceneLayerManager.h"
#include "game/services/CSettingDataManager.h"
#include "tests/game/shell/GameTestContext.h"

namespace DungeonTest {

// A queue that holds nothing: busy only while the test says so.
class RecordingActions : public Fenwarrow::Dungeon::IActionManager {
public:
    bool isBusy() const override { return busy; }
    bool isBlocking() const override { return false; }
    void update() override { ++updates; }
    void draw() override { ++draws; }
    void clear() override { ++clears; }

    bool busy = false;
    int updates = 0;
    int draws = 0;
    int clears = 0;
};

class RecordingEffect : public Fenwarrow::Dungeon::IFloorEffect {
public:
    bool prepare() override {
        calls.push_back("prepare");
        return true;
    }
    void update() override { calls.push_back("update"); }
    void draw() override { calls.push_back("draw"); }
    void end() override { calls.push_back("end"); }
    std::vector<std::string> calls;
};

class TestDungeonServices : public Fenwarrow::Dungeon::IDungeonServices {
public:
    explicit TestDungeonServices(GameTest::TestGameContext& game) : game(game) {}

    Fenwarrow::IGameContext& getGameContext() override { return game; }
    std::shared_ptr<Fenwarrow::IGeneralWindowContext> getWindowContext() override { return windowContext; }
    std::shared_ptr<Orvex::FontLib::OxFontRenderer> createFontRenderer() override { return fontRenderer; }
    Orvex::Graphics::IOrvexRenderer* getRenderer() override { return renderer; }
    Orvex::IO::StreamIO::IOrvexStreamReader* getMovieReader() override { return &game.reader; }
    Orvex::Graphics::OxRenderQueue* getRenderQueue() override { return &queue; }
    Orvex::Graphics::OxScreenEffectController* getScreenEffects() override { return &effects; }
    Fenwarrow::SceneLayer::CSceneLayerManager* getSceneLayerManager() override { return &layers; }
    std::shared_ptr<Fenwarrow::SceneLayer::CSceneLayer> createAdventureLayer(const std::u16string& story,
                                                                             uintptr_t context1,
                                                                             uintptr_t context2) override {
        adventures.push_back(story);
        adventureContexts.emplace_back(context1, context2);
        return nullptr;
    }
    Fenwarrow::CSettingDataManager* getSettingDataManager() override { return &settings; }
    Orvex::InputSystem::OxVirtualKey* getVirtualKey() override { return &keys; }
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> getSystemSE(int32_t index) override {
        return index == 10 ? systemSound : nullptr;
    }
    void setClearColour(uint32_t colour) override { clearColour = colour; }
    void changeScene(int32_t scene) override { sceneChanges.push_back(scene); }
    float getFrameTime() override { return frameTime; }
    uint32_t getMilliseconds() override { return milliseconds; }
    uint32_t getReplayMode() override { return replayMode; }
    uint32_t getScreenWidth() override { return 800; }
    uint32_t getScreenHeight() override { return 600; }
    std::shared_ptr<Fenwarrow::Dungeon::IActionManager> createActionManager() override {
        actions = std::make_shared<RecordingActions>();
        return actions;
    }
    bool pushScriptedAction(Fenwarrow::Dungeon::IActionManager&, const std::u16string& script,
                            Fenwarrow::Actor::CActor*) override {
        scripted.push_back(script);
        return true;
    }
    bool pushArrivalAction(Fenwarrow::Dungeon::IActionManager&, const std::u16string& folder,
                           Fenwarrow::Dungeon::MapPoint) override {
        arrivals.push_back(folder);
        return true;
    }
    bool pushEnemyLevelUpAction(Fenwarrow::Dungeon::IActionManager&, Fenwarrow::Actor::CActor* enemy,
                                int32_t level) override {
        levelUps.emplace_back(enemy, level);
        return true;
    }
    std::shared_ptr<Fenwarrow::Dungeon::IFloorEffect> createScriptedEffect(const std::u16string& script,
                                                                           Fenwarrow::Actor::CActor*) override {
        scripted.push_back(script);
        effect = std::make_shared<RecordingEffect>();
        return effect;
    }
    // A test that resumes floors says how; without it there is no suspended game.
    bool loadSuspendedGame(Fenwarrow::Dungeon::CDungeon& floor) override { return resume ? resume(floor) : false; }
    std::shared_ptr<Fenwarrow::SceneLayer::CSceneLayer> createPlayerLayer(Fenwarrow::Dungeon::CDungeon& floor,
                                                                          Fenwarrow::Actor::CActor& player) override {
        return makePlayerLayer ? makePlayerLayer(floor, player) : nullptr;
    }
    std::shared_ptr<Fenwarrow::SceneLayer::CSceneLayer> createEventLayer() override {
        return makeEventLayer ? makeEventLayer() : nullptr;
    }

    GameTest::TestGameContext& game;
    std::shared_ptr<Fenwarrow::IGeneralWindowContext> windowContext;
    std::shared_ptr<Orvex::FontLib::OxFontRenderer> fontRenderer;
    Orvex::Graphics::IOrvexRenderer* renderer = nullptr;
    Orvex::Graphics::OxRenderQueue queue;
    Orvex::Graphics::OxScreenEffectController effects;
    Fenwarrow::SceneLayer::CSceneLayerManager layers;
    Fenwarrow::CSettingDataManager settings;
    Orvex::InputSystem::OxVirtualKey keys;
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> systemSound;
    uint32_t clearColour = 0;
    std::vector<int32_t> sceneChanges;
    float frameTime = 1.0f / 60.0f;
    uint32_t milliseconds = 0;
    uint32_t replayMode = 0;
    std::shared_ptr<RecordingActions> actions;
    std::vector<std::u16string> scripted;
    std::vector<std::u16string> adventures;
    std::vector<std::pair<uintptr_t, uintptr_t>> adventureContexts;
    std::vector<std::u16string> arrivals;
    std::vector<std::pair<Fenwarrow::Actor::CActor*, int32_t>> levelUps;
    std::shared_ptr<RecordingEffect> effect;
    std::function<bool(Fenwarrow::Dungeon::CDungeon&)> resume;
    std::function<std::shared_ptr<Fenwarrow::SceneLayer::CSceneLayer>(Fenwarrow::Dungeon::CDungeon&,
                                                                      Fenwarrow::Actor::CActor&)>
        makePlayerLayer;
    std::function<std::shared_ptr<Fenwarrow::SceneLayer::CSceneLayer>()> makeEventLayer;
};

}  // namespace DungeonTest
