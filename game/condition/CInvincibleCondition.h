#pragma once
// Invincibility: blows do nothing to the actor for a while (the damage rules read it).
#include "game/actor/ConditionType.h"
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CInvincibleCondition : public CCountingCondition {
public:
    using CCountingCondition::CCountingCondition;

    int32_t getType() const override { return kConditionInvincible; }
    void onAttach() override;
    void onDetach() override;
    void onEnterTurn() override;
    void onChangeFloor() override;
};

}  // namespace Fenwarrow::Actor::Condition
