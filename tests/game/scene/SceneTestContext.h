#pragma once
// A scene context for tests: the graphics library on the software device, a render queue the
// test runs itself, a key table the test presses, movies from an in-memory archive, the settings
// the test sets, and a game context with no modules unless the test registers them.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/scene/OxSceneController.h"
#include "game/scene/CSceneFactory.h"
#include "game/scene/ISceneContext.h"
#include "game/services/CGameSetting.h"
#include "game/services/CSettingDataManager.h"
#include "tests/engine/audio/AudioTestSupport.h"
#include "tests/game/shell/GameTestContext.h"

namespace SceneTest {

class SceneTestContext : public Fenwarrow::Scene::ISceneContext {
public:
    SceneTestContext() {
        keys.bind(11, 99, 0);  // grows the table to the skip keys
    }
    ~SceneTestContext() override {
        if (renderer != nullptr) {
            renderer->shutdown();  // lets go of the render target, which holds the renderer
            renderer->release();
        }
        if (graphics != nullptr) {
            graphics->terminate();
            graphics->release();
        }
    }

    // Starts the graphics library on a small software device.
    void startGraphics() {
        graphics = OXCreateGraphics(Orvex::Graphics::kOxGraphicsVersion);
        ASSERT_NE(nullptr, graphics);
        Orvex::Graphics::OxGraphicsParameters parameters;
        parameters.width = 160;
        parameters.height = 120;
        ASSERT_EQ(Orvex::Graphics::kOxOk, graphics->initialize(0, &parameters));
        ASSERT_EQ(Orvex::Graphics::kOxOk, graphics->createRenderer(&renderer));
    }

    void pressSkipChord(bool down) {
        keys.setDown(10, down);
        keys.setDown(11, down);
    }

    Orvex::Graphics::IOrvexGraphics* getGraphics() override { return graphics; }
    Orvex::Graphics::IOrvexRenderer* getRenderer() override { return renderer; }
    Orvex::Graphics::OxRenderQueue* getRenderQueue() override { return &queue; }
    Orvex::InputSystem::OxVirtualKey* getVirtualKey() override { return &keys; }
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioDevice> getAudioDevice() override { return nullptr; }
    Orvex::IO::StreamIO::IOrvexStreamReader* getMovieReader() override { return &movies; }
    const Fenwarrow::CGameSetting& getSettings() override { return settings; }
    Fenwarrow::CSettingDataManager* getSettingDataManager() override { return &settingData; }
    void resetFrameTimer() override { ++frameTimerResets; }
    Fenwarrow::IGameContext& getGameContext() override { return game; }
    float getFrameTime() override { return frameTime; }
    Fenwarrow::Replay::CReplayController* getReplayController() override { return replay; }
    Fenwarrow::Dungeon::IDungeonServices* getDungeonServices() override { return dungeonServices; }
    void setCurrentDungeon(const std::shared_ptr<Fenwarrow::Dungeon::CDungeon>& floor) override {
        currentDungeon = floor;
    }

    Orvex::Graphics::IOrvexGraphics* graphics = nullptr;
    Orvex::Graphics::IOrvexRenderer* renderer = nullptr;
    Orvex::Graphics::OxRenderQueue queue;
    Orvex::InputSystem::OxVirtualKey keys;
    AudioTest::MemoryArchive movies;
    Fenwarrow::CGameSetting settings;
    Fenwarrow::CSettingDataManager settingData;
    GameTest::TestGameContext game;
    int frameTimerResets = 0;
    float frameTime = 1.0f / 60.0f;
    Fenwarrow::Replay::CReplayController* replay = nullptr;
    Fenwarrow::Dungeon::IDungeonServices* dungeonServices = nullptr;
    std::shared_ptr<Fenwarrow::Dungeon::CDungeon> currentDungeon;
};

}  // namespace SceneTest
