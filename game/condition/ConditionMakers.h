#pragma once
// The makers of the condition objects, one per group of conditions; each answers null for a
// type that is not of its group. The set asks them in turn for every type.
#include <cstdint>
#include <memory>

#include "game/condition/CConditionBase.h"

namespace Fenwarrow::Actor::Condition {

// Turns, speed, hunger and rooms: default, quick, slow, sleep, starvation, freeze, dozing,
// sheltered, hibernation.
std::shared_ptr<CConditionBase> makeTurnCondition(int32_t type, CActor& actor);
// Mind, looks and strength: confusion, drunken, blind, trip, kotatsu, stealth, strong,
// invincible, berserk, scapegoat, debility, flaccid, Mobbly, unhinged.
std::shared_ptr<CConditionBase> makeStateCondition(int32_t type, CActor& actor);

}  // namespace Fenwarrow::Actor::Condition
