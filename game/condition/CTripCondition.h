#pragma once
// Hallucination: the player sees every other actor with the Mobbly's look until it ends.
#include "game/actor/ConditionType.h"
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CTripCondition : public CCountingCondition {
public:
    using CCountingCondition::CCountingCondition;

    int32_t getType() const override { return kConditionTrip; }
    void onAttach() override;
    void onDetach() override;
    void onEnterTurn() override;
    void onChangeFloor() override;
    // An actor arriving while the player hallucinates is seen in the hallucinated look at once.
    void onArrival() override;
    // A loaded actor takes on the hallucinated look again when the player still has it.
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;
};

}  // namespace Fenwarrow::Actor::Condition
