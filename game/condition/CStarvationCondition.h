#pragma once
// The player's hunger clock (type 9). Each of the player's turns lowers the hunger point a
// little, warns when it falls to 20 and to 10, switches itself on (starving) when it reaches 0
// and then costs 1 life a turn; while not starving it restores a little life by level. Other
// actors carry one too, which does nothing. It keeps its state across floors.
#include <array>

#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CStarvationCondition : public CConditionBase {
public:
    static constexpr float kAccumulatorStart = 10.0f;
    static constexpr float kWarnHunger = 20.0f;
    static constexpr float kStarvingHunger = 10.0f;
    static constexpr int32_t kStarvingMessages = 4;
    static constexpr int32_t kWarningSound = 4;
    // Stability bit: hunger does not fall. Slot abilities: hunger falls twice as fast, half as
    // fast; regeneration is halved.
    static constexpr uint32_t kNoHungerLossBit = 2;
    static constexpr uint32_t kAbilityGlutton = 22;
    static constexpr uint32_t kAbilitySmallEater = 16;
    static constexpr uint32_t kAbilityAging = 52;
    // On floors of this type hunger stands still.
    static constexpr int32_t kFloorTypeNoHunger = 2;

    using CConditionBase::CConditionBase;

    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;
    int32_t getType() const override { return kConditionStarvation; }
    bool isActive() const override { return active_; }
    void onAttach() override;
    void onDetach() override;
    // The hunger step; the player's only.
    void onEnterTurn() override;

    // The life a player of that level regains in a turn; the table's ends outside 0..99.
    static float getRegeneration(int32_t level);
    static const char16_t* getMessage(int32_t index);

    float getLastHunger() const { return lastHunger_; }
    float getAccumulator() const { return accumulator_; }
    int32_t getMessageIndex() const { return messageIndex_; }

private:
    void warn(int32_t message);

    float lastHunger_ = 0.0f;
    float accumulator_ = kAccumulatorStart;
    int32_t messageIndex_ = 0;
    bool active_ = false;
};

}  // namespace Fenwarrow::Actor::Condition
