#pragma once
// Paralysed (type 10): the actor stands frozen in its current frame. The player's thirty turns
// run out; any other actor stays frozen until hurt or until the floor changes.
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CFreezeCondition : public CCountingCondition {
public:
    static constexpr int32_t kDuration = 30;

    using CCountingCondition::CCountingCondition;

    int32_t getType() const override { return kConditionFreeze; }
    void onAttach() override;
    void onDetach() override;
    void onEnterTurn() override;
    void onDamage() override;
    void onChangeFloor() override;
};

}  // namespace Fenwarrow::Actor::Condition
