#include "game/scriptcommand/CGameCommand.h"

#include <cmath>
#include <cstdint>

#include "game/actor/CPlayer.h"
#include "game/item/CItem.h"
#include "game/services/ScriptCommandTable.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/services/CScriptController.h"
#include "game/services/IGameContext.h"

// Every function below may leave by longjmp (a Lua error): none keeps a native object with a
// destructor alive across such a call.

namespace Fenwarrow::ScriptCommand {

namespace {

// The game data of the module attached to the calling state; null before the game data exist
// (the item set-up runs first) or from a state without the module.
CGameDataManager* gameData(lua_State* L) {
    CGameCommand* module = CGameCommand::fromState(L);
    return module != nullptr ? module->getContext().getGameDataManager() : nullptr;
}

// A script number as an index or count; -1 for anything a 32-bit index cannot be, so that it
// falls outside every range instead of wrapping into one.
int32_t toIndex(lua_State* L, int index) {
    const lua_Number value = lua_tonumber(L, index);
    if (!(value >= INT32_MIN && value <= INT32_MAX)) {
        return -1;
    }
    return static_cast<int32_t>(value);
}

int pushObject(lua_State* L, void* object) {
    if (object != nullptr) {
        lua_pushlightuserdata(L, object);
    } else {
        lua_pushnil(L);
    }
    return 1;
}

int getPlayer(lua_State* L) {
    CGameDataManager* data = gameData(L);
    return pushObject(L, data != nullptr ? data->getPlayer().get() : nullptr);
}

int getPlayerMoney(lua_State* L) {
    CGameDataManager* data = gameData(L);
    lua_pushinteger(L, data != nullptr ? data->getPlayerMoney() : 0);
    return 1;
}

int setPlayerMoney(lua_State* L) {
    if (CGameDataManager* data = gameData(L)) {
        data->setPlayerMoney(static_cast<int32_t>(lua_tointeger(L, 1)));
    }
    return 0;
}

int getGlobalFlag(lua_State* L) {
    CGameDataManager* data = gameData(L);
    lua_pushboolean(L, data != nullptr && data->getGlobalFlag(toIndex(L, 1)));
    return 1;
}

int setGlobalFlag(lua_State* L) {
    if (CGameDataManager* data = gameData(L)) {
        data->setGlobalFlag(toIndex(L, 1), lua_toboolean(L, 2) != 0);
    }
    return 0;
}

int getGlobalInt(lua_State* L) {
    CGameDataManager* data = gameData(L);
    lua_pushinteger(L, data != nullptr ? data->getGlobalInt(toIndex(L, 1)) : 0);
    return 1;
}

int setGlobalInt(lua_State* L) {
    if (CGameDataManager* data = gameData(L)) {
        data->setGlobalInt(toIndex(L, 1), static_cast<int32_t>(lua_tointeger(L, 2)));
    }
    return 0;
}

int getGlobalFloat(lua_State* L) {
    CGameDataManager* data = gameData(L);
    lua_pushnumber(L, data != nullptr ? data->getGlobalFloat(toIndex(L, 1)) : 0.0f);
    return 1;
}

int setGlobalFloat(lua_State* L) {
    if (CGameDataManager* data = gameData(L)) {
        data->setGlobalFloat(toIndex(L, 1), static_cast<float>(lua_tonumber(L, 2)));
    }
    return 0;
}

CGameDataManager::ItemList* storageList(lua_State* L) {
    CGameDataManager* data = gameData(L);
    return data != nullptr ? data->getStorageItemList(toIndex(L, 1)) : nullptr;
}

// A category outside 0..13 has no list: count 0.
int getStorageItemCount(lua_State* L) {
    const CGameDataManager::ItemList* list = storageList(L);
    lua_pushnumber(L, list != nullptr ? static_cast<lua_Number>(list->size()) : 0);
    return 1;
}

int getStorageItem(lua_State* L) {
    const CGameDataManager::ItemList* list = storageList(L);
    const int32_t index = toIndex(L, 2);
    if (list == nullptr || index < 0) {
        lua_pushnil(L);
        return 1;
    }
    return pushObject(L, list->at(static_cast<std::size_t>(index)).get());
}

}  // namespace

bool CGameCommand::registerFunctions(CScriptController& controller) {
    lua_State* L = controller.getLuaState();
    if (L == nullptr) {
        return false;
    }
    registerScriptTable(L, {"Game",
                            {},
                            {
                                {"Data",
                                 {
                                     {"getPlayer", &getPlayer},
                                     {"getPlayerMoney", &getPlayerMoney},
                                     {"setPlayerMoney", &setPlayerMoney},
                                     {"getGlobalFlag", &getGlobalFlag},
                                     {"setGlobalFlag", &setGlobalFlag},
                                     {"getGlobalInt", &getGlobalInt},
                                     {"setGlobalInt", &setGlobalInt},
                                     {"getGlobalFloat", &getGlobalFloat},
                                     {"setGlobalFloat", &setGlobalFloat},
                                     {"getStorageItemCount", &getStorageItemCount},
                                     {"getStorageItem", &getStorageItem},
                                 },
                                 {}},
                            }});
    return true;
}

}  // namespace Fenwarrow::ScriptCommand
