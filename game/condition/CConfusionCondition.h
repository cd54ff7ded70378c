#pragma once
// Confusion: the actor's steps go astray (the player control reads it). Ten turns for the
// player; an enemy's confusion may outlast its count, one more turn at a time.
#include "game/actor/ConditionType.h"
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CConfusionCondition : public CCountingCondition {
public:
    using CCountingCondition::CCountingCondition;

    int32_t getType() const override { return kConditionConfusion; }
    void onAttach() override;
    void onDetach() override;
    void onEnterTurn() override;
    void onChangeFloor() override;

    // Chance in percent (of a roll 1..100) that an enemy stays confused when its count runs out.
    static constexpr float kEnemyStayChance = 80.0f;
};

}  // namespace Fenwarrow::Actor::Condition
