#pragma once
// An action context for tests: the game context of the shell tests (scripts from a packed test
// archive, modules the test registers), a frame time the test sets, and the floor and queue
// the test builds. It records what actions ask of the player's control layer and the sounds.
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "engine/input/OxVirtualKey.h"
#include "game/action/CActionManager.h"
#include "game/action/IActionContext.h"
#include "game/dungeon/CDungeon.h"
#include "game/generalwindow/CGeneralWindow.h"
#include "tests/game/shell/GameTestContext.h"

namespace ActionTest {

class TestActionContext : public Fenwarrow::Action::IActionContext {
public:
    Fenwarrow::IGameContext& getGameContext() override { return game; }
    float getFrameTime() override { return frameTime; }
    Fenwarrow::Dungeon::CDungeon* getCurrentDungeon() override { return dungeon; }
    Fenwarrow::Action::CActionManager* getActionManager() override { return actions; }
    void updateReplay() override { ++replaySteps; }
    Orvex::InputSystem::OxVirtualKey* getVirtualKey() override { return keys; }
    void playSystemSE(int32_t index) override { sounds.push_back(index); }
    bool isPlayerDashing() override { return dashing; }
    void stopPlayerDash() override {
        dashing = false;
        ++dashStops;
    }
    void stopPlayerContinuousMove() override { ++continuousMoveStops; }
    std::shared_ptr<Fenwarrow::CGeneralWindow> createGeneralWindow() override {
        return windowFactory ? windowFactory() : nullptr;
    }
    void addRenderQueue(uint32_t priority, std::function<void()> draw) override {
        queued.emplace_back(priority, std::move(draw));
    }

    GameTest::TestGameContext game;
    float frameTime = 1.0f / 60.0f;
    Fenwarrow::Dungeon::CDungeon* dungeon = nullptr;
    Fenwarrow::Action::CActionManager* actions = nullptr;
    Orvex::InputSystem::OxVirtualKey* keys = nullptr;
    int replaySteps = 0;
    std::vector<int32_t> sounds;
    bool dashing = false;
    int dashStops = 0;
    int continuousMoveStops = 0;
    std::function<std::shared_ptr<Fenwarrow::CGeneralWindow>()> windowFactory;
    std::vector<std::pair<uint32_t, std::function<void()>>> queued;
};

}  // namespace ActionTest
