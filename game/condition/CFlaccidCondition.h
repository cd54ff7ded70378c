#pragma once
// Weakness: strength pinned to 1 for ten player turns, given back whole at the end.
#include "game/actor/ConditionType.h"
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CFlaccidCondition : public CCountingCondition {
public:
    using CCountingCondition::CCountingCondition;

    int32_t getType() const override { return kConditionFlaccid; }
    explicit CFlaccidCondition(CActor& actor);

    void onAttach() override;
    void onDetach() override;
    void onEnterTurn() override;
    void onChangeFloor() override;
    // The base fields, the counter, then the force and max force before the condition.
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;

private:
    int32_t savedForce_ = 0;
    int32_t savedMaxForce_ = 0;
};

}  // namespace Fenwarrow::Actor::Condition
