#pragma once
// What the two halves of the "Actor" module share: how a function finds its module, how it
// takes an actor or an item back from a script, and the functions of the `Item` and `Action`
// sub-tables, which live in CActorItemCommand.cpp.
#include <string>

#include <lua.hpp>

namespace Fenwarrow::Actor {
class CActor;
}
namespace Fenwarrow::Item {
class CItem;
}

namespace Fenwarrow::ScriptCommand {

class CActorCommand;

namespace ActorCommand {

// The module attached to L (or to the state a coroutine of L belongs to); a Lua error when
// there is none, before anything with a destructor exists.
CActorCommand& module(lua_State* L);

// The actor at that argument, taken only when it is one the game knows: a participant of the
// floor in play or one it took off this floor, the game data's player, or a living actor lent
// to this state by its host. Anything else (nil, a number, a stale or foreign pointer) reads as
// no actor.
Actor::CActor* actorArg(lua_State* L, int index);
// The item at that argument, taken only while it exists.
Item::CItem* itemArg(lua_State* L, int index);

// A light userdata, or nil for null.
int pushObject(lua_State* L, void* object);

// Actor.Item
int getItemCount(lua_State* L);
int getItem(lua_State* L);
int createItem(lua_State* L);
int deleteItem(lua_State* L);
int toActor(lua_State* L);
int attachItem(lua_State* L);
int detachEquippedItem(lua_State* L);
int setEquippedWeaponItem(lua_State* L);
int setEquippedShieldItem(lua_State* L);
int setEquippedAmuletItem(lua_State* L);
int setEquippedWeaponIndex(lua_State* L);
int setEquippedShieldIndex(lua_State* L);
int setEquippedAmuletIndex(lua_State* L);
int getEquippedWeaponItem(lua_State* L);
int getEquippedShieldItem(lua_State* L);
int getEquippedAmuletItem(lua_State* L);
int getEquippedWeaponIndex(lua_State* L);
int getEquippedShieldIndex(lua_State* L);
int getEquippedAmuletIndex(lua_State* L);

// Actor.Action
int pushAction(lua_State* L);
int doMove(lua_State* L);
int doItem(lua_State* L);
int doPutItem(lua_State* L);
int doThrowItem(lua_State* L);
int doPushItem(lua_State* L);
int doPopItem(lua_State* L);
int doUseItem(lua_State* L);
int doRemoveItem(lua_State* L);
int doTakeItem(lua_State* L);

}  // namespace ActorCommand

}  // namespace Fenwarrow::ScriptCommand
