#pragma once
// The one player actor, owned by the game data manager and driven on a floor by the player
// control layer.
#include "game/actor/CActor.h"

namespace Fenwarrow::Actor {

class CPlayer : public CActor {
public:
    explicit CPlayer(IGameContext& context) : CActor(context) {}

    int32_t getActorType() const override { return kPlayer; }
    // The player never lingers below one point of life: a damage event that leaves less than
    // 1.0 leaves exactly 0.
    void onDamage() override;
};

}  // namespace Fenwarrow::Actor
