#pragma once
// Drunkenness: the actor's blows seldom land but strike hard (the damage rules read it).
#include "game/actor/ConditionType.h"
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CDrunkenCondition : public CCountingCondition {
public:
    using CCountingCondition::CCountingCondition;

    int32_t getType() const override { return kConditionDrunken; }
    void onAttach() override;
    void onDetach() override;
    void onEnterTurn() override;
    void onChangeFloor() override;
};

}  // namespace Fenwarrow::Actor::Condition
