#pragma once
// The status conditions every actor carries, by type number: the number is the slot in the
// actor's condition set, the value scripts pass and what a condition's getType answers.
#include <cstdint>

namespace Fenwarrow::Actor {

enum ConditionType : int32_t {
    kConditionDefault = 0,
    kConditionConfusion = 1,
    kConditionDrunken = 2,
    kConditionQuick = 3,
    kConditionSlow = 4,
    kConditionBlind = 5,
    kConditionTrip = 6,
    kConditionSleep = 7,
    kConditionKotatsu = 8,
    kConditionStarvation = 9,
    kConditionFreeze = 10,
    kConditionDozing = 11,
    kConditionStealth = 12,
    kConditionSheltered = 13,
    kConditionStrong = 14,
    kConditionInvincible = 15,
    kConditionBerserk = 16,
    kConditionScapegoat = 17,
    kConditionHibernation = 18,
    kConditionDebility = 19,
    kConditionFlaccid = 20,
    kConditionMobbly = 21,
    kConditionUnhinged = 22,
};

inline constexpr int32_t kConditionTypeCount = 23;

// Scripts hand in any number; only these name a condition.
constexpr bool isConditionType(int32_t type) { return type >= 0 && type < kConditionTypeCount; }

}  // namespace Fenwarrow::Actor
