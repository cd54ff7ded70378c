#pragma once
// The one rule by which every module takes an actor back from a script: a script holds actors
// as bare addresses, so an address is used only when it names an actor the game knows.
#include <lua.hpp>

namespace Fenwarrow::Actor {
class CActor;
}
namespace Fenwarrow::Dungeon {
class CDungeon;
}

namespace Fenwarrow::ScriptCommand {

// The actor `given` names when it is the player, a participant of the floor in play, one that
// floor took off this turn (a defeated enemy its script may still read), or a living actor lent
// to L by its host (an actor's own scripts while it is set up); null for anything else. Only
// compared, never read through, until found.
Actor::CActor* findKnownActor(lua_State* L, const void* given, Actor::CActor* player, Dungeon::CDungeon* floor);

}  // namespace Fenwarrow::ScriptCommand
