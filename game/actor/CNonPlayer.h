#pragma once
// Another character of the floor (a shopkeeper, a guide), driven by its script.
#include "game/actor/CActor.h"

namespace Fenwarrow::Actor {

class CNonPlayer : public CActor {
public:
    explicit CNonPlayer(IGameContext& context) : CActor(context) {}

    int32_t getActorType() const override { return kNonPlayer; }
};

}  // namespace Fenwarrow::Actor
