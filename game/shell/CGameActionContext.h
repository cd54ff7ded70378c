#pragma once
// The running game as the actions see it: the game manager's services and its current floor
// with that floor's action queue.
#include "game/action/IActionContext.h"

namespace Fenwarrow {

class CGameManager;

class CGameActionContext : public Action::IActionContext {
public:
    // The manager outlives every action.
    explicit CGameActionContext(CGameManager& manager) : manager_(manager) {}

    IGameContext& getGameContext() override;
    float getFrameTime() override;
    Dungeon::CDungeon* getCurrentDungeon() override;
    Action::CActionManager* getActionManager() override;
    void updateReplay() override;
    Orvex::InputSystem::OxVirtualKey* getVirtualKey() override;
    void playSystemSE(int32_t index) override;
    // The control layer tells nothing of its dash yet: steps slide at walking speed.
    bool isPlayerDashing() override;
    void stopPlayerDash() override;
    void stopPlayerContinuousMove() override;
    std::shared_ptr<CGeneralWindow> createGeneralWindow() override;
    void addRenderQueue(uint32_t priority, std::function<void()> draw) override;

private:
    CGameManager& manager_;
};

}  // namespace Fenwarrow
