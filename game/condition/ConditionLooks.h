#pragma once
// What the mind-and-look conditions do to an actor's sprites and the floor: the marks on the
// effect sprite, another actor's look borrowed for a while, and the calculation world the
// conditions that hurt their own actor run the damage rules in.
#include <string>

#include "game/damage/CDamageCalculator.h"

namespace Fenwarrow::Actor {
class CActor;
}

namespace Fenwarrow::Actor::Condition {

// The look every other actor takes on while the player hallucinates, and a Mobbly takes on.
inline constexpr const char16_t* kMobblyFolder = u"Actor/Enemy/MOBB/MOBB01/";

// Selects the mark of that name on the actor's effect sprite and plays it in a loop.
void showEffect(CActor& actor, const std::u16string& name);
// Stops the effect sprite.
void clearEffect(CActor& actor);
// Rebuilds the actor's body from the folder's look (an empty folder: its own), with the
// motion lock lifted for the rebuild only.
void rebuildLook(CActor& actor, const std::u16string& folder);
// The same, and the motion the actor showed before plays again with its flags.
void giveLook(CActor& actor, const std::u16string& folder);
// The game's player; null while there is none.
CActor* findPlayer(const CActor& anyActor);
// The world a condition's own damage runs in: the game, the floor in play (null outside one)
// and the floor's on-damage script queue.
Damage::CDamageWorld damageWorld(CActor& actor);

}  // namespace Fenwarrow::Actor::Condition
