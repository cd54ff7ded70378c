#pragma once
// Stealth: the actor is not drawn until removed, the floor changes, or the player becomes able
// to see through it (its stability bit 0).
#include "game/actor/ConditionType.h"
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CStealthCondition : public CConditionBase {
public:
    using CConditionBase::CConditionBase;

    int32_t getType() const override { return kConditionStealth; }
    bool isActive() const override { return active_; }
    void onAttach() override;
    void onDetach() override;
    void onChangeFloor() override;
    void update(float elapsedSeconds) override;
    // The base fields, then the active flag.
    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;

    // The player's stability bit that reveals actors in stealth.
    static constexpr uint32_t kRevealBit = 0;

private:
    bool active_ = false;
};

}  // namespace Fenwarrow::Actor::Condition
