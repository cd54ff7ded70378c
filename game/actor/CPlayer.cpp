#include "game/actor/CPlayer.h"

namespace Fenwarrow::Actor {

void CPlayer::onDamage() {
    if (getStatus().getLife() < 1.0f) {
        getStatus().setLife(0.0f);
    }
}

}  // namespace Fenwarrow::Actor
