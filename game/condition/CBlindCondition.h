#pragma once
// Blindness: the blind player sees only itself and no mini-map. Its per-frame step also gives
// every player the corridor view (only what is next to it) while it stands outside the rooms.
#include "game/actor/ConditionType.h"
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CBlindCondition : public CCountingCondition {
public:
    using CCountingCondition::CCountingCondition;

    int32_t getType() const override { return kConditionBlind; }
    void onAttach() override;
    void onDetach() override;
    void onEnterTurn() override;
    void onChangeFloor() override;
    void update(float elapsedSeconds) override;
};

}  // namespace Fenwarrow::Actor::Condition
