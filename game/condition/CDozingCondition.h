#pragma once
// Dozing (type 11): enemies asleep in their rooms. An ordinary sleeper wakes when the player
// shares its room (one chance in ten each turn) or when hurt; a monster house's enemies get no
// turn until the player first steps into their room, then all wake.
#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

class CDozingCondition : public CConditionBase {
public:
    // Actors with this category bit never doze.
    static constexpr uint32_t kWakefulBit = 13;
    static constexpr int32_t kMonsterHouse = 1;
    // Percent chances: of falling asleep, and of waking in a turn shared with the player.
    static constexpr int32_t kAsleepChance = 50;
    static constexpr int32_t kWakeChance = 10;

    using CConditionBase::CConditionBase;

    bool serialize(Orvex::Serialization::OxSerializer& serializer) override;
    int32_t getType() const override { return kConditionDozing; }
    bool isActive() const override { return active_; }
    void onAttach() override;
    void onDetach() override;
    void onArrival() override;
    void onEnterTurn() override;
    void onDamage() override;
    void onDead() override;
    void onChangeFloor() override;

    bool isAsleep() const { return asleep_; }
    bool isNoticed() const { return noticed_; }

private:
    void fallAsleep(bool forced);
    // Whether the actor woke.
    bool wakeUp(bool forced);

    bool active_ = false;
    bool asleep_ = false;
    bool noticed_ = false;
};

}  // namespace Fenwarrow::Actor::Condition
