#pragma once
// What the two files of the "Game" module share: how a function finds the game it works on,
// and the functions of the `Game.Data` sub-table, which live in CGameDataCommand.cpp.
#include <lua.hpp>

namespace Fenwarrow {
class CGameDataManager;
class IGameContext;
}  // namespace Fenwarrow

namespace Fenwarrow::ScriptCommand::GameCommand {

// The context of the module attached to the calling state; null from a state without it.
IGameContext* context(lua_State* L);
// The game data of that context; null before the game data exist (the item set-up runs first)
// or from a state without the module.
CGameDataManager* gameData(lua_State* L);
// A light userdata, or nil for null.
int pushObject(lua_State* L, void* object);

// Game.Data
int getPlayer(lua_State* L);
int getPlayerMoney(lua_State* L);
int setPlayerMoney(lua_State* L);
int getGlobalFlag(lua_State* L);
int setGlobalFlag(lua_State* L);
int getGlobalInt(lua_State* L);
int setGlobalInt(lua_State* L);
int getGlobalFloat(lua_State* L);
int setGlobalFloat(lua_State* L);
int getMaxPlayerItemCount(lua_State* L);
int getPlayerItemCount(lua_State* L);
int getPlayerItemIndex(lua_State* L);
int getPlayerItem(lua_State* L);
int addPlayerItem(lua_State* L);
int removePlayerItem(lua_State* L);
int resetPlayerItem(lua_State* L);
int getStorageItemCount(lua_State* L);
int getStorageItem(lua_State* L);
int removeStorageItem(lua_State* L);
int playerItemToStorage(lua_State* L);
int storageItemToPlayer(lua_State* L);
int isPlayerItem(lua_State* L);
int detachEquippedItem(lua_State* L);
int detachAllEquippedItems(lua_State* L);
int getEquippedWeaponIndex(lua_State* L);
int getEquippedShieldIndex(lua_State* L);
int getEquippedAmuletIndex(lua_State* L);
int getEquippedWeaponItem(lua_State* L);
int getEquippedShieldItem(lua_State* L);
int getEquippedAmuletItem(lua_State* L);
int setEquippedWeaponIndex(lua_State* L);
int setEquippedShieldIndex(lua_State* L);
int setEquippedAmuletIndex(lua_State* L);
int setEquippedWeaponItem(lua_State* L);
int setEquippedShieldItem(lua_State* L);
int setEquippedAmuletItem(lua_State* L);
int addUnidentifiedItemInfo(lua_State* L);
int clearUnidentifiedItemInfo(lua_State* L);
int resetUnidentifiedItemInfo(lua_State* L);

}  // namespace Fenwarrow::ScriptCommand::GameCommand
