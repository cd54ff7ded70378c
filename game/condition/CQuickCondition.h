#pragma once
// Quick (type 3): a second action in every round of the turn order and a double-speed walk,
// for 20 of the player's turns (other actors keep it until it is removed or the floor changes).
// Attaching it ends slowness.
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CQuickCondition : public CCountingCondition {
public:
    static constexpr int32_t kDuration = 20;
    static constexpr int32_t kActions = 2;
    static constexpr float kWalkSpeed = 2.0f;

    using CCountingCondition::CCountingCondition;

    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;
    int32_t getType() const override { return kConditionQuick; }
    void onAttach() override;
    void onDetach() override;
    void onEnterTurn() override;
    void update(float elapsedSeconds) override;
    void onChangeFloor() override;

    bool getToggle() const { return toggle_; }

private:
    bool toggle_ = false;
};

// The walk's animation speed while a speed condition is on: the factor while the walk motion
// plays, normal otherwise.
void applyWalkSpeed(CActor& actor, float factor);

}  // namespace Fenwarrow::Actor::Condition
