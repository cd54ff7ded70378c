#pragma once
// Asleep (type 7): five turns without acting, counted by every actor.
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CSleepCondition : public CCountingCondition {
public:
    static constexpr int32_t kDuration = 5;
    // The slot ability that keeps the wearer awake.
    static constexpr uint32_t kAbilitySleepless = 4;

    using CCountingCondition::CCountingCondition;

    int32_t getType() const override { return kConditionSleep; }
    void onAttach() override;
    void onDetach() override;
    void onEnterTurn() override;
    void onDead() override;
    void onChangeFloor() override;
};

}  // namespace Fenwarrow::Actor::Condition
