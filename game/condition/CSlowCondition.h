#pragma once
// Slow (type 4): the actor acts only in every other turn and walks at half speed, for 20 turns
// of the player or of an enemy with category weight 9; other enemies stay slow (and such an
// enemy often keeps it longer) until it is removed or the floor changes. Attaching it ends
// quickness.
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CSlowCondition : public CCountingCondition {
public:
    static constexpr int32_t kDuration = 20;
    static constexpr float kWalkSpeed = 0.5f;
    // Enemies whose category weight of this index is not 0 count down, and at the end stay slow
    // one more turn with this chance (percent).
    static constexpr uint32_t kCountingCategory = 9;
    static constexpr float kLingerChance = 80.0f;

    using CCountingCondition::CCountingCondition;

    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;
    int32_t getType() const override { return kConditionSlow; }
    void onAttach() override;
    void onDetach() override;
    void onEnterTurn() override;
    void update(float elapsedSeconds) override;
    void onChangeFloor() override;

    bool getToggle() const { return toggle_; }

private:
    bool isCountingEnemy() const;

    bool toggle_ = true;
};

}  // namespace Fenwarrow::Actor::Condition
