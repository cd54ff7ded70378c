#pragma once
// A monster of the floor: made by the floor and by the enemy level change, driven by its script.
#include "game/actor/CActor.h"

namespace Fenwarrow::Actor {

class CEnemy : public CActor {
public:
    explicit CEnemy(IGameContext& context) : CActor(context) {}

    int32_t getActorType() const override { return kEnemy; }
};

}  // namespace Fenwarrow::Actor
