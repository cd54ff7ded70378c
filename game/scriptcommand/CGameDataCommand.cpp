// The `Game.Data` sub-table of the "Game" module: the game data's player with its items and
// equipment, the storage lists, the global values and the names of unidentified kinds.
#include <cstdint>
#include <memory>
#include <string>

#include "game/actor/CPlayer.h"
#include "game/dungeon/CDungeon.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/item/CItemFactory.h"
#include "game/scriptcommand/GameCommandSupport.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"

// Every function below may leave by longjmp (a Lua error) only where it keeps no native object
// with a destructor alive: shared pointers live in blocks that make no Lua call.

namespace Fenwarrow::ScriptCommand::GameCommand {

using Item::CItem;
using ScriptArguments::flagArg;
using ScriptArguments::intArg;

namespace {

constexpr int32_t kMaxPlayerItemCount = 20;

// The item at that argument, taken only while it exists.
CItem* itemArg(lua_State* L, int index) { return CItem::findLiveItem(lua_touserdata(L, index)); }

Actor::CPlayer* player(lua_State* L) {
    CGameDataManager* data = gameData(L);
    return data != nullptr ? data->getPlayer().get() : nullptr;
}

int pushInteger(lua_State* L, int32_t value) {
    lua_pushinteger(L, value);
    return 1;
}

// The item at that index of the player's list; null outside the list.
CItem* playerItemAt(lua_State* L, int32_t index) {
    const Actor::CPlayer* carrier = player(L);
    if (carrier == nullptr || index < 0 || static_cast<std::size_t>(index) >= carrier->getItemList().size()) {
        return nullptr;
    }
    return carrier->getItemList().at(static_cast<std::size_t>(index)).get();
}

// The three equipment slots share their functions through these tables.
using IndexGetter = int32_t (CGameDataManager::*)() const;
using IndexSetter = void (CGameDataManager::*)(int32_t);
using ItemGetter = std::shared_ptr<CItem> (CGameDataManager::*)() const;
using ItemSetter = int32_t (CGameDataManager::*)(const CItem*);

int getIndex(lua_State* L, IndexGetter getter) {
    const CGameDataManager* data = gameData(L);
    return pushInteger(L, data != nullptr ? (data->*getter)() : -1);
}

int setIndex(lua_State* L, IndexSetter setter) {
    if (CGameDataManager* data = gameData(L)) {
        (data->*setter)(intArg(L, 1));
    }
    return 0;
}

int getItem(lua_State* L, ItemGetter getter) {
    CItem* item = nullptr;
    if (const CGameDataManager* data = gameData(L)) {
        item = (data->*getter)().get();  // the player's list keeps it alive
    }
    return pushObject(L, item);
}

// Null clears the slot; an unknown pointer reads as null, as the game data would treat it.
int setItem(lua_State* L, ItemSetter setter) {
    if (CGameDataManager* data = gameData(L)) {
        (data->*setter)(itemArg(L, 1));
    }
    return 0;
}

}  // namespace

int getPlayer(lua_State* L) { return pushObject(L, player(L)); }

int getPlayerMoney(lua_State* L) {
    CGameDataManager* data = gameData(L);
    return pushInteger(L, data != nullptr ? data->getPlayerMoney() : 0);
}

int setPlayerMoney(lua_State* L) {
    if (CGameDataManager* data = gameData(L)) {
        data->setPlayerMoney(intArg(L, 1));
    }
    return 0;
}

int getGlobalFlag(lua_State* L) {
    CGameDataManager* data = gameData(L);
    lua_pushboolean(L, data != nullptr && data->getGlobalFlag(intArg(L, 1)));
    return 1;
}

int setGlobalFlag(lua_State* L) {
    if (CGameDataManager* data = gameData(L)) {
        data->setGlobalFlag(intArg(L, 1), lua_toboolean(L, 2) != 0);
    }
    return 0;
}

int getGlobalInt(lua_State* L) {
    CGameDataManager* data = gameData(L);
    return pushInteger(L, data != nullptr ? data->getGlobalInt(intArg(L, 1)) : 0);
}

int setGlobalInt(lua_State* L) {
    if (CGameDataManager* data = gameData(L)) {
        data->setGlobalInt(intArg(L, 1), intArg(L, 2));
    }
    return 0;
}

int getGlobalFloat(lua_State* L) {
    CGameDataManager* data = gameData(L);
    lua_pushnumber(L, data != nullptr ? data->getGlobalFloat(intArg(L, 1)) : 0.0f);
    return 1;
}

int setGlobalFloat(lua_State* L) {
    if (CGameDataManager* data = gameData(L)) {
        data->setGlobalFloat(intArg(L, 1), static_cast<float>(lua_tonumber(L, 2)));
    }
    return 0;
}

int getMaxPlayerItemCount(lua_State* L) {
    lua_pushnumber(L, kMaxPlayerItemCount);
    return 1;
}

int getPlayerItemCount(lua_State* L) {
    const Actor::CPlayer* carrier = player(L);
    lua_pushnumber(L, carrier != nullptr ? static_cast<lua_Number>(carrier->getItemList().size()) : 0);
    return 1;
}

int getPlayerItemIndex(lua_State* L) {
    const Actor::CPlayer* carrier = player(L);
    const CItem* item = itemArg(L, 1);
    return pushInteger(L, carrier != nullptr && item != nullptr ? carrier->findItem(item) : -1);
}

// Past the end the script gets a null handle, not nil, as it always has.
int getPlayerItem(lua_State* L) {
    lua_pushlightuserdata(L, playerItemAt(L, intArg(L, 1)));
    return 1;
}

int addPlayerItem(lua_State* L) {
    IGameContext* game = context(L);
    Actor::CPlayer* carrier = player(L);
    Item::CItemFactory* factory = game != nullptr ? game->getItemFactory() : nullptr;
    const int32_t itemId = intArg(L, 1);
    CItem* added = nullptr;
    if (carrier != nullptr && factory != nullptr) {
        std::shared_ptr<CItem> item = factory->createItem(static_cast<uint32_t>(itemId));
        if (item != nullptr) {
            carrier->addItem(item);
            added = item.get();  // the player's list keeps it alive
        }
    }
    return pushObject(L, added);
}

// Wherever the player holds the item (in the list, inside a holder it carries, or the floor
// item it is about to take), it leaves the game.
int removePlayerItem(lua_State* L) {
    IGameContext* game = context(L);
    CGameDataManager* data = gameData(L);
    CItem* item = itemArg(L, 1);
    Actor::CPlayer* carrier = player(L);
    if (data == nullptr || item == nullptr || carrier == nullptr) {
        return 0;
    }
    data->detachEquippedItem(item);
    std::shared_ptr<CItem> keep = item->getHolder() != nullptr ? item->removeFromHolder() : nullptr;
    if (keep != nullptr) {
        carrier->addItem(keep);
    }
    Dungeon::CDungeon* floor = game->getCurrentDungeon();
    if (item->getCell() != nullptr && carrier->findItem(item) < 0 && floor != nullptr) {
        keep = floor->removeItem(item);
    } else {
        keep = data->removePlayerItem(item);
    }
    return 0;
}

int resetPlayerItem(lua_State* L) {
    CGameDataManager* data = gameData(L);
    Actor::CPlayer* carrier = player(L);
    if (data == nullptr || carrier == nullptr) {
        return 0;
    }
    for (std::size_t count = carrier->getItemList().size(); count > 0 && !carrier->getItemList().empty(); --count) {
        data->removePlayerItem(carrier->getItemList().at(0).get());
    }
    return 0;
}

// A category outside 0..13 has no list: count 0.
int getStorageItemCount(lua_State* L) {
    CGameDataManager* data = gameData(L);
    const CGameDataManager::ItemList* list = data != nullptr ? data->getStorageItemList(intArg(L, 1)) : nullptr;
    lua_pushnumber(L, list != nullptr ? static_cast<lua_Number>(list->size()) : 0);
    return 1;
}

int getStorageItem(lua_State* L) {
    CGameDataManager* data = gameData(L);
    const CGameDataManager::ItemList* list = data != nullptr ? data->getStorageItemList(intArg(L, 1)) : nullptr;
    const int32_t index = intArg(L, 2);
    if (list == nullptr || index < 0 || static_cast<std::size_t>(index) >= list->size()) {
        lua_pushnil(L);
        return 1;
    }
    return pushObject(L, list->at(static_cast<std::size_t>(index)).get());
}

int removeStorageItem(lua_State* L) {
    if (CGameDataManager* data = gameData(L)) {
        data->removeStorageItem(itemArg(L, 1));
    }
    return 0;
}

int playerItemToStorage(lua_State* L) {
    if (CGameDataManager* data = gameData(L)) {
        data->dropPlayerItem(itemArg(L, 1));
    }
    return 0;
}

int storageItemToPlayer(lua_State* L) {
    if (CGameDataManager* data = gameData(L)) {
        data->storageItemToPlayer(itemArg(L, 1));
    }
    return 0;
}

int isPlayerItem(lua_State* L) {
    const Actor::CPlayer* carrier = player(L);
    const CItem* item = itemArg(L, 1);
    lua_pushboolean(L, carrier != nullptr && item != nullptr && carrier->findItem(item) >= 0);
    return 1;
}

int detachEquippedItem(lua_State* L) {
    if (CGameDataManager* data = gameData(L)) {
        data->detachEquippedItem(itemArg(L, 1));
    }
    return 0;
}

int detachAllEquippedItems(lua_State* L) {
    CGameDataManager* data = gameData(L);
    if (data == nullptr) {
        return 0;
    }
    // Amulet, shield, weapon; a stored index that names no item is cleared all the same.
    const struct {
        IndexGetter index;
        ItemGetter item;
        IndexSetter clear;
    } slots[] = {
        {&CGameDataManager::getEquippedAmuletIndex, &CGameDataManager::getEquippedAmuletItem,
         &CGameDataManager::setEquippedAmuletIndex},
        {&CGameDataManager::getEquippedShieldIndex, &CGameDataManager::getEquippedShieldItem,
         &CGameDataManager::setEquippedShieldIndex},
        {&CGameDataManager::getEquippedWeaponIndex, &CGameDataManager::getEquippedWeaponItem,
         &CGameDataManager::setEquippedWeaponIndex},
    };
    for (const auto& slot : slots) {
        if ((data->*slot.index)() < 0) {
            continue;
        }
        const std::shared_ptr<CItem> worn = (data->*slot.item)();
        if (worn != nullptr) {
            data->detachEquippedItem(worn.get());
        } else {
            (data->*slot.clear)(-1);
        }
    }
    return 0;
}

int getEquippedWeaponIndex(lua_State* L) { return getIndex(L, &CGameDataManager::getEquippedWeaponIndex); }
int getEquippedShieldIndex(lua_State* L) { return getIndex(L, &CGameDataManager::getEquippedShieldIndex); }
int getEquippedAmuletIndex(lua_State* L) { return getIndex(L, &CGameDataManager::getEquippedAmuletIndex); }
int getEquippedWeaponItem(lua_State* L) { return getItem(L, &CGameDataManager::getEquippedWeaponItem); }
int getEquippedShieldItem(lua_State* L) { return getItem(L, &CGameDataManager::getEquippedShieldItem); }
int getEquippedAmuletItem(lua_State* L) { return getItem(L, &CGameDataManager::getEquippedAmuletItem); }
int setEquippedWeaponIndex(lua_State* L) { return setIndex(L, &CGameDataManager::setEquippedWeaponIndex); }
int setEquippedShieldIndex(lua_State* L) { return setIndex(L, &CGameDataManager::setEquippedShieldIndex); }
int setEquippedAmuletIndex(lua_State* L) { return setIndex(L, &CGameDataManager::setEquippedAmuletIndex); }
int setEquippedWeaponItem(lua_State* L) { return setItem(L, &CGameDataManager::setEquippedWeaponItem); }
int setEquippedShieldItem(lua_State* L) { return setItem(L, &CGameDataManager::setEquippedShieldItem); }
int setEquippedAmuletItem(lua_State* L) { return setItem(L, &CGameDataManager::setEquippedAmuletItem); }

// A kind already recorded keeps its record: the first name given stays.
int addUnidentifiedItemInfo(lua_State* L) {
    CGameDataManager* data = gameData(L);
    if (data == nullptr) {
        return 0;
    }
    const auto itemId = static_cast<uint32_t>(intArg(L, 1));
    const bool unidentified = lua_gettop(L) != 2 && flagArg(L, 3);
    std::u16string name = ScriptArguments::wideArg(L, 2);
    if (data->findUnidentifiedItemInfo(itemId) == nullptr) {
        Item::CUnidentifiedItemInfo record;
        record.itemId = itemId;
        record.unidentified = unidentified;
        record.name = name.substr(0, Item::CUnidentifiedItemInfo::kMaxNameLength);
        data->getUnidentifiedItems().insertOrAssign(itemId, std::move(record));
    }
    return 0;
}

int clearUnidentifiedItemInfo(lua_State* L) {
    if (CGameDataManager* data = gameData(L)) {
        data->getUnidentifiedItems().clear();
    }
    return 0;
}

int resetUnidentifiedItemInfo(lua_State* L) {
    if (CGameDataManager* data = gameData(L)) {
        for (auto& entry : data->getUnidentifiedItems()) {
            entry.value.unidentified = true;
            entry.value.temporaryName.clear();
        }
    }
    return 0;
}

}  // namespace Fenwarrow::ScriptCommand::GameCommand
