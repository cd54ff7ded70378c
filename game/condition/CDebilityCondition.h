#pragma once
// Debility: the actor loses a point of life and of hunger every turn. The player suffers its
// twenty turns (and may die of it); other actors shake it off before it takes their last point.
#include "game/actor/ConditionType.h"
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CDebilityCondition : public CCountingCondition {
public:
    using CCountingCondition::CCountingCondition;

    int32_t getType() const override { return kConditionDebility; }
    static constexpr const char16_t* kDamageName = u"衰弱";
    static constexpr const char16_t* kDeadScript = u"Script/Lib/Game/Action/Action/DeadAction.lua";

    void onAttach() override;
    void onDetach() override;
    void onEnterTurn() override;
    void onChangeFloor() override;
};

}  // namespace Fenwarrow::Actor::Condition
