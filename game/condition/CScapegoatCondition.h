#pragma once
// Decoy: the actor takes on the player's look for a while. A decoy that fell keeps that look.
#include "game/actor/ConditionType.h"
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CScapegoatCondition : public CCountingCondition {
public:
    using CCountingCondition::CCountingCondition;

    int32_t getType() const override { return kConditionScapegoat; }
    void onAttach() override;
    void onDetach() override;
    void onEnterTurn() override;
    void onChangeFloor() override;
};

}  // namespace Fenwarrow::Actor::Condition
