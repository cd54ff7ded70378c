#include "game/shell/CGameActionContext.h"

#include "engine/graphics/OxRenderQueue.h"
#include "game/action/CActionManager.h"
#include "game/actor/CPlayer.h"
#include "game/actor/IPlayerControl.h"
#include "game/dungeon/CDungeon.h"
#include "game/generalwindow/CGeneralWindow.h"
#include "game/replay/CReplayController.h"
#include "game/services/CSEManager.h"
#include "game/shell/CGameManager.h"

namespace Fenwarrow {

IGameContext& CGameActionContext::getGameContext() { return manager_; }

float CGameActionContext::getFrameTime() { return manager_.getFrameTime(); }

Dungeon::CDungeon* CGameActionContext::getCurrentDungeon() { return manager_.getCurrentDungeon(); }

Action::CActionManager* CGameActionContext::getActionManager() {
    Dungeon::CDungeon* floor = manager_.getCurrentDungeon();
    return floor != nullptr ? dynamic_cast<Action::CActionManager*>(floor->getActionManager()) : nullptr;
}

void CGameActionContext::updateReplay() {
    if (Replay::CReplayController* replay = manager_.getReplayController()) {
        replay->update();
    }
}

Orvex::InputSystem::OxVirtualKey* CGameActionContext::getVirtualKey() { return manager_.getVirtualKey(); }

void CGameActionContext::playSystemSE(int32_t index) {
    std::shared_ptr<Orvex::AudioSystem::IOrvexAudioSource> sound = manager_.getSystemSE(index);
    if (sound == nullptr) {
        return;
    }
    sound->playNew();
    if (CSEManager* sounds = manager_.getSEManager()) {
        sounds->addSource(std::move(sound));
    }
}

bool CGameActionContext::isPlayerDashing() {
    Dungeon::CDungeon* floor = manager_.getCurrentDungeon();
    auto* player = floor != nullptr ? dynamic_cast<Actor::CPlayer*>(floor->getPlayer().get()) : nullptr;
    return player != nullptr && player->getPlayerLayer() != nullptr && player->getPlayerLayer()->isDashing();
}

void CGameActionContext::stopPlayerDash() { stopPlayerContinuousMove(); }

void CGameActionContext::stopPlayerContinuousMove() {
    Dungeon::CDungeon* floor = manager_.getCurrentDungeon();
    auto* player = floor != nullptr ? dynamic_cast<Actor::CPlayer*>(floor->getPlayer().get()) : nullptr;
    if (player != nullptr && player->getPlayerLayer() != nullptr) {
        player->getPlayerLayer()->clearContinuousMove();
    }
}

std::shared_ptr<CGeneralWindow> CGameActionContext::createGeneralWindow() {
    // The manager outlives every window; the pointer owns nothing.
    auto window = std::make_shared<CGeneralWindow>(
        std::shared_ptr<IGeneralWindowContext>(&manager_, [](IGeneralWindowContext*) {}));
    return window->create(manager_.createFontRenderer()) ? window : nullptr;
}

void CGameActionContext::addRenderQueue(uint32_t priority, std::function<void()> draw) {
    if (Orvex::Graphics::OxRenderQueue* queue = manager_.getRenderQueue()) {
        queue->add(priority, std::move(draw));
    }
}

}  // namespace Fenwarrow
