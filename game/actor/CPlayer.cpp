#include "game/actor/CPlayer.h"

#include "game/actor/IPlayerControl.h"

namespace Fenwarrow::Actor {

void CPlayer::onTurn(Dungeon::IActionManager& actions) {
    CActor::onTurn(actions);
    if (playerLayer_ != nullptr) {
        playerLayer_->onTurn(actions);
    }
}

void CPlayer::onDamage() {
    if (getStatus().getLife() < 1.0f) {
        getStatus().setLife(0.0f);
    }
}

void CPlayer::onChangeFloor() {
    CActor::onChangeFloor();
    if (playerLayer_ != nullptr) {
        playerLayer_->clearContinuousMove();
    }
}

}  // namespace Fenwarrow::Actor
