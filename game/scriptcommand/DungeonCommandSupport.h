#pragma once
// What the two files of the "Dungeon" module share: how a function finds its module and the
// floor in play, how it takes objects back from a script, and the functions of its sub-tables:
// the shop and monster-house ones live in CDungeonShopCommand.cpp, the event, adventure, font,
// mini-map and turn ones in CDungeonEventCommand.cpp.
#include <lua.hpp>

#include <cstdint>

#include "game/dungeon/CCellObject.h"
#include "game/dungeon/CMapCell.h"
#include "game/dungeon/OxPoint.h"

namespace Fenwarrow::Actor {
class CActor;
}
namespace Fenwarrow::Dungeon {
class CDungeon;
class CRoom;
}  // namespace Fenwarrow::Dungeon
namespace Fenwarrow::Item {
class CItem;
}

namespace Fenwarrow::ScriptCommand {

class CDungeonCommand;

namespace DungeonCommand {

// The module attached to L (or to the state a coroutine of L belongs to); a Lua error when
// there is none, before anything with a destructor exists.
CDungeonCommand& module(lua_State* L);
// The floor in play, or null.
Dungeon::CDungeon* floorOf(lua_State* L);

bool flagArgOr(lua_State* L, int index, bool fallback);
Dungeon::MapPoint pointArg(lua_State* L, int index);
// Objects from a script, each accepted only when it names one of the floor in play (or, for an
// actor, one the game knows); null otherwise.
Actor::CActor* actorArg(lua_State* L, int index);
Item::CItem* itemArg(lua_State* L, int index);
Dungeon::CCellObject* cellObjectArg(lua_State* L, int index);
Dungeon::CRoom* roomArg(lua_State* L, int index);

// The first object of that cell-object type on the cell, or null.
template <typename T>
T* firstOfType(const Dungeon::CMapCell* cell, int32_t type) {
    if (cell == nullptr) {
        return nullptr;
    }
    for (Dungeon::CCellObject* object : cell->objects) {
        if (object != nullptr && object->getCellObjectType() == type) {
            return static_cast<T*>(object);
        }
    }
    return nullptr;
}

// A light userdata, or nil for null.
void pushObject(lua_State* L, void* object);
int pushBool(lua_State* L, bool value);

// Dungeon.MonsterHouse and Dungeon.Shop
int createMonsterHouse(lua_State* L);
int createShop(lua_State* L);
int shopAddItem(lua_State* L);
int shopRemoveItem(lua_State* L);
int shopTotalSellPrice(lua_State* L);
int shopTotalBuyPrice(lua_State* L);
int sellItem(lua_State* L);
int buyItem(lua_State* L);
int resetShopItem(lua_State* L);

// Dungeon.Event, Adventure, Font, MiniMap and Turn
int doEventScript(lua_State* L);
int doAdventureScript(lua_State* L);
int drawText(lua_State* L);
int showMiniMap(lua_State* L);
int setMiniMapOffset(lua_State* L);
int setTurnCount(lua_State* L);
int getTurnCount(lua_State* L);
int setSuspend(lua_State* L);

}  // namespace DungeonCommand

}  // namespace Fenwarrow::ScriptCommand
