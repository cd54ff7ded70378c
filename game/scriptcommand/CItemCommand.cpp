#include "game/scriptcommand/CItemCommand.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <type_traits>

#include "engine/system/OxStringConvert.h"
#include "game/actor/CPlayer.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/CMapCell.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/item/CItemFactory.h"
#include "game/services/CScriptController.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"
#include "game/services/ScriptCommandTable.h"

// Every function below may leave by longjmp (a Lua error when no module is attached) only
// before it makes a native object with a destructor.

namespace Fenwarrow::ScriptCommand {

namespace {

using Item::CItem;
using Item::CItemStatus;

CItemCommand& module(lua_State* L) {
    CItemCommand* found = CItemCommand::fromState(L);
    if (found == nullptr) {
        luaL_error(L, "Item: no module object is attached to this state");
    }
    return *found;
}

// An item argument: only an item that still exists; anything else reads as no item.
CItem* itemArg(lua_State* L, int index) { return CItem::findLiveItem(lua_touserdata(L, index)); }

using ScriptArguments::flagArg;
using ScriptArguments::intArg;
using ScriptArguments::pushText;

// A text argument as wide text; false (and `out` untouched) when it does not convert.
bool textArg(lua_State* L, int index, std::u16string& out) {
    std::u16string wide = ScriptArguments::wideArg(L, index);
    if (wide.empty() && !ScriptArguments::textArg(L, index).empty()) {
        return false;
    }
    out = std::move(wide);
    return true;
}

int pushObject(lua_State* L, void* object) {
    if (object != nullptr) {
        lua_pushlightuserdata(L, object);
    } else {
        lua_pushnil(L);
    }
    return 1;
}

CGameDataManager* gameData(lua_State* L) { return module(L).getContext().getGameDataManager(); }

Actor::CActor* playerOf(lua_State* L) {
    CGameDataManager* data = gameData(L);
    return data != nullptr ? data->getPlayer().get() : nullptr;
}

// Item

int setVisible(lua_State* L) {
    if (CItem* item = itemArg(L, 1)) {
        item->setVisible(flagArg(L, 2));
    }
    return 0;
}

int getVisible(lua_State* L) {
    const CItem* item = itemArg(L, 1);
    lua_pushboolean(L, item != nullptr && item->isVisible());
    return 1;
}

int getItemID(lua_State* L) {
    const CItem* item = itemArg(L, 1);
    lua_pushinteger(L, item != nullptr ? static_cast<int32_t>(item->getItemID()) : 0);
    return 1;
}

int setName(lua_State* L) {
    std::u16string name;
    CItem* item = itemArg(L, 1);
    if (item != nullptr && textArg(L, 2, name)) {
        item->setName(name);
    }
    return 0;
}

int getName(lua_State* L) {
    const CItem* item = itemArg(L, 1);
    if (item == nullptr) {
        lua_pushnil(L);
        return 1;
    }
    pushText(L, item->getName());
    return 1;
}

int setItemType(lua_State* L) {
    if (CItem* item = itemArg(L, 1)) {
        item->setItemType(intArg(L, 2));
    }
    return 0;
}

int getItemType(lua_State* L) {
    const CItem* item = itemArg(L, 1);
    lua_pushinteger(L, item != nullptr ? item->getItemType() : 0);
    return 1;
}

int getOriginParam(lua_State* L) {
    CItem* item = itemArg(L, 1);
    return pushObject(L, item != nullptr ? item->getCategoryWeights().data() : nullptr);
}

int getParent(lua_State* L) {
    const CItem* item = itemArg(L, 1);
    return pushObject(L, item != nullptr ? item->getHolder() : nullptr);
}

// The sprite is lent to the calling state, so that the sprite module takes it back.
int getBasicAnimation(lua_State* L) {
    const CItem* item = itemArg(L, 1);
    void* sprite = item != nullptr ? item->getAnimation().get() : nullptr;
    if (sprite != nullptr) {
        ScriptArguments::lendObject(L, sprite);
    }
    return pushObject(L, sprite);
}

int getItemList(lua_State* L) {
    const CItem* item = itemArg(L, 1);
    lua_newtable(L);
    if (item == nullptr) {
        return 1;
    }
    int key = 1;
    for (const auto& held : item->getItemList()) {
        if (held != nullptr) {
            lua_pushlightuserdata(L, held.get());
            lua_rawseti(L, -2, key++);
        }
    }
    return 1;
}

template <void (CItem::*Set)(const std::u16string&)>
int setText(lua_State* L) {
    std::u16string text;
    CItem* item = itemArg(L, 1);
    if (item != nullptr && textArg(L, 2, text)) {
        (item->*Set)(text);
    }
    return 0;
}

template <const std::u16string& (CItem::*Get)() const>
int getText(lua_State* L) {
    const CItem* item = itemArg(L, 1);
    if (item == nullptr) {
        lua_pushnil(L);
        return 1;
    }
    pushText(L, (item->*Get)());
    return 1;
}

// Moves the item from wherever the player has it into the holder: off the player's equipment,
// off the floor into the player's items, then out of them into the holder.
int pushItemIntoItemList(lua_State* L) {
    CItem* holder = itemArg(L, 1);
    CItem* item = itemArg(L, 2);
    CGameDataManager* data = gameData(L);
    Actor::CActor* player = playerOf(L);
    if (holder == nullptr || item == nullptr || data == nullptr || player == nullptr) {
        return 0;
    }
    // An item never goes into itself or into an item it holds: the holder chain would loop.
    for (const CItem* outer = holder; outer != nullptr; outer = outer->getHolder()) {
        if (outer == item) {
            return 0;
        }
    }
    data->detachEquippedItem(item);
    if (player->findItem(item) < 0 && item->getCell() != nullptr) {
        if (Dungeon::CDungeon* floor = module(L).getFloor()) {
            floor->toPlayerItem(item);
        }
    }
    std::shared_ptr<CItem> taken = data->removePlayerItem(item);
    if (taken != nullptr) {
        holder->pushItemIntoItemList(taken);
    }
    return 0;
}

// Out of the holder the item lies in (the first argument is not needed) into the player's items.
int popItemFromItemList(lua_State* L) {
    CItem* item = itemArg(L, 2);
    Actor::CActor* player = playerOf(L);
    if (item == nullptr || player == nullptr) {
        return 0;
    }
    std::shared_ptr<CItem> taken = item->removeFromHolder();
    if (taken != nullptr) {
        player->addItem(taken);
    }
    return 0;
}

int getDisplayName(lua_State* L) {
    const CItem* item = itemArg(L, 1);
    if (item == nullptr) {
        lua_pushnil(L);
        return 1;
    }
    pushText(L, item->getDisplayName(flagArg(L, 2)));
    return 1;
}

// Nothing for an item on no cell.
int getCellPoint(lua_State* L) {
    const CItem* item = itemArg(L, 1);
    if (item == nullptr || item->getCell() == nullptr) {
        return 0;
    }
    lua_pushinteger(L, item->getCell()->x);
    lua_pushinteger(L, item->getCell()->y);
    return 2;
}

int getTotalPrice(lua_State* L) {
    const CItem* item = itemArg(L, 1);
    lua_pushinteger(L, item != nullptr ? item->getTotalPrice() : 0);
    return 1;
}

int getUnidentified(lua_State* L) {
    const CItem* item = itemArg(L, 1);
    lua_pushboolean(L, item != nullptr && item->getUnidentified());
    return 1;
}

int setUnidentified(lua_State* L) {
    if (CItem* item = itemArg(L, 1)) {
        item->setUnidentified(flagArg(L, 2));
    }
    return 0;
}

int identify(lua_State* L) {
    if (CItem* item = itemArg(L, 1)) {
        item->identify();
    }
    return 0;
}

// Nil for an ID without an identification record.
int getTemporaryName(lua_State* L) {
    const CItem* item = itemArg(L, 1);
    const std::u16string* name = item != nullptr ? item->getTemporaryName() : nullptr;
    if (name == nullptr) {
        lua_pushnil(L);
        return 1;
    }
    pushText(L, *name);
    return 1;
}

int setTemporaryName(lua_State* L) {
    std::u16string name;
    CItem* item = itemArg(L, 1);
    if (item != nullptr && textArg(L, 2, name)) {
        item->setTemporaryName(name);
    }
    return 0;
}

// Out of its holder, else out of the first participant that carries it (the player's equipment
// kept consistent), else off the floor. The item dies when nothing else holds it.
int removeItem(lua_State* L) {
    CItem* item = itemArg(L, 1);
    if (item == nullptr) {
        return 0;
    }
    if (item->getHolder() != nullptr) {
        item->removeFromHolder();
        return 0;
    }
    CGameDataManager* data = gameData(L);
    const Actor::CActor* player = playerOf(L);
    Dungeon::CDungeon* floor = module(L).getFloor();
    if (floor == nullptr) {
        if (data != nullptr && player != nullptr && player->findItem(item) >= 0) {
            data->removePlayerItem(item);
        }
        return 0;
    }
    for (const auto& actor : floor->getTurnController().getParticipants()) {
        if (actor == nullptr || actor->findItem(item) < 0) {
            continue;
        }
        if (actor.get() == player && data != nullptr) {
            data->removePlayerItem(item);
        } else {
            actor->removeItem(item);
        }
        return 0;
    }
    floor->removeItem(item);
    return 0;
}

// Item.Status

template <typename Value, Value (CItemStatus::*Get)() const>
int getStatus(lua_State* L) {
    const CItem* item = itemArg(L, 1);
    const Value value = item != nullptr ? (item->getStatus().*Get)() : Value{};
    if constexpr (std::is_same_v<Value, bool>) {
        lua_pushboolean(L, value);
    } else {
        lua_pushinteger(L, static_cast<lua_Integer>(value));
    }
    return 1;
}

template <typename Value, void (CItemStatus::*Set)(Value)>
int setStatus(lua_State* L) {
    CItem* item = itemArg(L, 1);
    if (item == nullptr) {
        return 0;
    }
    if constexpr (std::is_same_v<Value, bool>) {
        (item->getStatus().*Set)(flagArg(L, 2));
    } else {
        // Counts compare unsigned, so a negative one meets the upper limit.
        (item->getStatus().*Set)(static_cast<Value>(intArg(L, 2)));
    }
    return 0;
}

int getMaxSlotCount(lua_State* L) {
    lua_pushinteger(L, CItemStatus::kMaxSlotCount);
    return 1;
}

int getSlotCount(lua_State* L) {
    const CItem* item = itemArg(L, 1);
    lua_pushinteger(L, item != nullptr ? static_cast<int32_t>(item->getStatus().getSlotCount()) : 0);
    return 1;
}

// A slot index below 0 is no slot.
int getSlotAbility(lua_State* L) {
    const CItem* item = itemArg(L, 1);
    const int32_t slot = intArg(L, 2);
    lua_pushinteger(L, item != nullptr && slot >= 0
                           ? static_cast<int32_t>(item->getStatus().getSlotAbility(static_cast<uint32_t>(slot)))
                           : 0);
    return 1;
}

int setSlotAbility(lua_State* L) {
    CItem* item = itemArg(L, 1);
    const int32_t slot = intArg(L, 2);
    if (item != nullptr && slot >= 0) {
        item->getStatus().setSlotAbility(static_cast<uint32_t>(slot), static_cast<uint32_t>(intArg(L, 3)));
    }
    return 0;
}

int addAbility(lua_State* L) {
    CItem* item = itemArg(L, 1);
    lua_pushboolean(L, item != nullptr && item->getStatus().addAbility(static_cast<uint32_t>(intArg(L, 2))));
    return 1;
}

int checkAbility(lua_State* L) {
    const CItem* item = itemArg(L, 1);
    lua_pushboolean(L, item != nullptr && item->getStatus().checkAbility(static_cast<uint32_t>(intArg(L, 2))));
    return 1;
}

// Item.Factory

int getItemIDList(lua_State* L) {
    Item::CItemFactory* factory = module(L).getContext().getItemFactory();
    lua_newtable(L);
    if (factory == nullptr) {
        return 1;
    }
    int key = 1;
    for (uint32_t id : factory->getItemIDList()) {
        lua_pushinteger(L, static_cast<lua_Integer>(id));
        lua_rawseti(L, -2, key++);
    }
    return 1;
}

}  // namespace

Dungeon::CDungeon* CItemCommand::getFloor() const {
    return currentFloor_ ? currentFloor_() : context_.getCurrentDungeon();
}

bool CItemCommand::registerFunctions(CScriptController& controller) {
    lua_State* L = controller.getLuaState();
    if (L == nullptr) {
        return false;
    }
    registerScriptTable(L, {"Item",
                            {
                                {"setVisible", &setVisible},
                                {"getVisible", &getVisible},
                                {"getItemID", &getItemID},
                                {"setName", &setName},
                                {"getName", &getName},
                                {"setItemType", &setItemType},
                                {"getItemType", &getItemType},
                                {"getOriginParam", &getOriginParam},
                                {"getParent", &getParent},
                                {"getBasicAnimation", &getBasicAnimation},
                                {"getItemList", &getItemList},
                                {"setItemActionScriptFileName", &setText<&CItem::setActionScriptFileName>},
                                {"setItemAttachScriptFileName", &setText<&CItem::setAttachScriptFileName>},
                                {"getItemAttachScriptFileName", &getText<&CItem::getAttachScriptFileName>},
                                {"setItemThrowScriptFileName", &setText<&CItem::setThrowScriptFileName>},
                                {"setItemPutScriptFileName", &setText<&CItem::setPutScriptFileName>},
                                {"setItemPushScriptFileName", &setText<&CItem::setPushScriptFileName>},
                                {"setItemPopScriptFileName", &setText<&CItem::setPopScriptFileName>},
                                {"setChangeFloorScriptFileName", &setText<&CItem::setChangeFloorScriptFileName>},
                                {"getChangeFloorScriptFileName", &getText<&CItem::getChangeFloorScriptFileName>},
                                {"pushItemIntoItemList", &pushItemIntoItemList},
                                {"popItemFromItemList", &popItemFromItemList},
                                {"getDisplayName", &getDisplayName},
                                {"setAboutText", &setText<&CItem::setAboutText>},
                                {"getCellPoint", &getCellPoint},
                                {"setItemDirectory", &setText<&CItem::setItemDirectory>},
                                {"getTotalPrice", &getTotalPrice},
                                {"getUnidentified", &getUnidentified},
                                {"setUnidentified", &setUnidentified},
                                {"identify", &identify},
                                {"getTemporaryName", &getTemporaryName},
                                {"setTemporaryName", &setTemporaryName},
                                {"removeItem", &removeItem},
                            },
                            {
                                {"Status",
                                 {
                                     {"getPrice", &getStatus<int32_t, &CItemStatus::getPrice>},
                                     {"setPrice", &setStatus<int32_t, &CItemStatus::setPrice>},
                                     {"getUnitPrice", &getStatus<int32_t, &CItemStatus::getUnitPrice>},
                                     {"setUnitPrice", &setStatus<int32_t, &CItemStatus::setUnitPrice>},
                                     {"getUseCount", &getStatus<uint32_t, &CItemStatus::getUseCount>},
                                     {"setUseCount", &setStatus<uint32_t, &CItemStatus::setUseCount>},
                                     {"getBaseAttack", &getStatus<int32_t, &CItemStatus::getBaseAttack>},
                                     {"setBaseAttack", &setStatus<int32_t, &CItemStatus::setBaseAttack>},
                                     {"getAttack", &getStatus<int32_t, &CItemStatus::getAttack>},
                                     {"setAttack", &setStatus<int32_t, &CItemStatus::setAttack>},
                                     {"getBaseDefense", &getStatus<int32_t, &CItemStatus::getBaseDefense>},
                                     {"setBaseDefense", &setStatus<int32_t, &CItemStatus::setBaseDefense>},
                                     {"getDefense", &getStatus<int32_t, &CItemStatus::getDefense>},
                                     {"setDefense", &setStatus<int32_t, &CItemStatus::setDefense>},
                                     {"getMaxSlotCount", &getMaxSlotCount},
                                     {"getSlotCount", &getSlotCount},
                                     {"setSlotCount", &setStatus<uint32_t, &CItemStatus::setSlotCount>},
                                     {"getSlotAbility", &getSlotAbility},
                                     {"setSlotAbility", &setSlotAbility},
                                     {"addAbility", &addAbility},
                                     {"checkAbility", &checkAbility},
                                     {"getPoppable", &getStatus<bool, &CItemStatus::getPoppable>},
                                     {"setPoppable", &setStatus<bool, &CItemStatus::setPoppable>},
                                     {"getCurse", &getStatus<bool, &CItemStatus::getCurse>},
                                     {"setCurse", &setStatus<bool, &CItemStatus::setCurse>},
                                     {"getBlessed", &getStatus<bool, &CItemStatus::getBlessed>},
                                     {"setBlessed", &setStatus<bool, &CItemStatus::setBlessed>},
                                     {"getFrozen", &getStatus<bool, &CItemStatus::getFrozen>},
                                     {"setFrozen", &setStatus<bool, &CItemStatus::setFrozen>},
                                     {"isItemHolder", &getStatus<bool, &CItemStatus::getItemHolder>},
                                     {"setItemHolder", &setStatus<bool, &CItemStatus::setItemHolder>},
                                     {"getUseIfTaken", &getStatus<bool, &CItemStatus::getUseIfTaken>},
                                     {"setUseIfTaken", &setStatus<bool, &CItemStatus::setUseIfTaken>},
                                     {"getAnotherOption", &getStatus<int32_t, &CItemStatus::getAnotherOption>},
                                     {"setAnotherOption", &setStatus<int32_t, &CItemStatus::setAnotherOption>},
                                     {"getUnidentified", &getStatus<bool, &CItemStatus::getUnidentified>},
                                     {"setUnidentified", &setStatus<bool, &CItemStatus::setUnidentified>},
                                 },
                                 {}},
                                {"Factory", {{"getItemIDList", &getItemIDList}}, {}},
                            }});
    return true;
}

}  // namespace Fenwarrow::ScriptCommand
