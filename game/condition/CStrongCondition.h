#pragma once
// Strength: attack x 1.5 for twenty player turns; the end takes off what was added.
#include "game/actor/ConditionType.h"
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CStrongCondition : public CCountingCondition {
public:
    using CCountingCondition::CCountingCondition;

    int32_t getType() const override { return kConditionStrong; }
    void onAttach() override;
    void onDetach() override;
    void onEnterTurn() override;
    void onChangeFloor() override;
    // The base fields, the counter, then the attack before the condition.
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;
    float getSavedAttack() const { return savedAttack_; }

private:
    float savedAttack_ = 0.0f;
};

}  // namespace Fenwarrow::Actor::Condition
