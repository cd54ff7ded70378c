#include "game/scriptcommand/DungeonCommandSupport.h"

#include <cstdint>

#include "game/actor/CActor.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/CShopInfo.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/services/IGameContext.h"
#include "game/services/ScriptArguments.h"

// The Dungeon module's shop and monster-house functions. Every function below may leave by
// longjmp (a Lua error when no module is attached) only before it makes a native object with a
// destructor.

namespace Fenwarrow::ScriptCommand::DungeonCommand {

using Actor::CActor;
using Dungeon::CCellObject;
using Dungeon::CDungeon;
using Dungeon::CMapCell;
using Dungeon::CRoom;
using Dungeon::MapPoint;
using Item::CItem;
using ScriptArguments::flagArg;
using ScriptArguments::intArg;
using ScriptArguments::wideArg;

// Dungeon.MonsterHouse, Dungeon.Shop

int createMonsterHouse(lua_State* L) {
    CDungeon* floor = floorOf(L);
    CRoom* room = roomArg(L, 2);
    if (floor == nullptr || room == nullptr) {
        return pushBool(L, false);
    }
    for (int32_t i = 0; i < floor->getMap().getRoomCount(); ++i) {
        if (floor->getMap().getRoom(i)->monsterHouse != nullptr) {
            return pushBool(L, false);
        }
    }
    return pushBool(L, floor->getFloorState().floorType == 0 && floor->createMonsterHouse(wideArg(L, 1), room));
}

// Refused for a room with more than one gate or holding goods that must not be sold.
int createShop(lua_State* L) {
    CDungeon* floor = floorOf(L);
    CRoom* room = roomArg(L, 2);
    if (floor == nullptr || room == nullptr || room->gates.size() > 1) {
        return pushBool(L, false);
    }
    for (const auto& item : floor->getItems()) {
        const CMapCell* cell = item->getCell();
        const int32_t option = item->getStatus().getAnotherOption();
        if (cell != nullptr && cell->room == room && (option == 1 || option == 2)) {
            return pushBool(L, false);
        }
    }
    return pushBool(L, floor->createShop(wideArg(L, 1), room));
}

namespace {

Dungeon::CShopInfo* shopOf(lua_State* L) {
    CDungeon* floor = floorOf(L);
    return floor != nullptr ? floor->getCurrentShopInfo() : nullptr;
}

CGameDataManager* gameDataOf(lua_State* L) {
    CDungeon* floor = floorOf(L);
    return floor != nullptr ? floor->getServices().getGameContext().getGameDataManager() : nullptr;
}

}  // namespace

int shopAddItem(lua_State* L) {
    if (Dungeon::CShopInfo* shop = shopOf(L)) {
        shop->addItem(itemArg(L, 1));
    }
    return 0;
}

int shopRemoveItem(lua_State* L) {
    Dungeon::CShopInfo* shop = shopOf(L);
    CDungeon* floor = floorOf(L);
    if (shop == nullptr) {
        lua_pushnil(L);
        return 1;
    }
    CItem* item = lua_gettop(L) == 2 ? firstOfType<CItem>(floor->getMap().getCell(pointArg(L, 1)), CCellObject::kItem)
                                     : itemArg(L, 1);
    pushObject(L, shop->removeItem(item));
    return 1;
}

int shopTotalSellPrice(lua_State* L) {
    const Dungeon::CShopInfo* shop = shopOf(L);
    lua_pushinteger(L, shop != nullptr ? shop->getTotalSellPrice() : 0);
    return 1;
}

int shopTotalBuyPrice(lua_State* L) {
    const CDungeon* floor = floorOf(L);
    lua_pushinteger(L, floor != nullptr && floor->getCurrentShopInfo() != nullptr ? floor->getShopTotalBuyPrice() : 0);
    return 1;
}

// The player pays what it owes; its goods stop being shop goods, and the entries whose goods
// are still in the shop take their current prices.
int sellItem(lua_State* L) {
    CDungeon* floor = floorOf(L);
    Dungeon::CShopInfo* shop = shopOf(L);
    if (shop == nullptr) {
        return 0;
    }
    if (CGameDataManager* data = gameDataOf(L)) {
        data->setPlayerMoney(data->getPlayerMoney() - shop->getTotalSellPrice());
    }
    if (floor->getPlayer() != nullptr) {
        for (const auto& item : floor->getPlayer()->getItemList()) {
            item->setShopCell(Dungeon::kInvalidPoint);
            item->setShopEntryID(-1);
        }
    }
    for (std::size_t i = shop->getEntries().size(); i-- > 0;) {
        CItem* item = shop->findEntryItem(i);
        if (item == nullptr) {
            shop->eraseEntry(shop->getEntries()[i].entryId);
        } else if (shop->getEntries()[i].price != item->getPrice()) {
            shop->addItem(item);
        }
    }
    return 0;
}

namespace {

void offerShopGoods(CDungeon& floor, Dungeon::CShopInfo& shop) {
    for (const auto& item : floor.getItems()) {
        if (!floor.isInShopRoom(item.get())) {
            continue;
        }
        if (item->getShopEntryID() == -1) {
            shop.addItem(item.get());
        }
        for (const auto& inner : item->getItemList()) {
            if (inner != nullptr && inner->getShopEntryID() == -1) {
                shop.addItem(inner.get());
            }
        }
    }
}

}  // namespace

// The shop pays for the player's goods lying in it, which become shop goods.
int buyItem(lua_State* L) {
    CDungeon* floor = floorOf(L);
    Dungeon::CShopInfo* shop = shopOf(L);
    if (shop == nullptr) {
        return 0;
    }
    if (CGameDataManager* data = gameDataOf(L)) {
        data->setPlayerMoney(data->getPlayerMoney() + floor->getShopTotalBuyPrice());
    }
    offerShopGoods(*floor, *shop);
    return 0;
}

int resetShopItem(lua_State* L) {
    CDungeon* floor = floorOf(L);
    Dungeon::CShopInfo* shop = shopOf(L);
    if (shop == nullptr) {
        return 0;
    }
    const std::u16string music = shop->getBGMPath();
    while (!shop->getEntries().empty()) {
        shop->eraseEntry(shop->getEntries().back().entryId);
    }
    for (const auto& item : floor->getItems()) {
        item->setShopCell(Dungeon::kInvalidPoint);
        item->setShopEntryID(-1);
        for (const auto& inner : item->getItemList()) {
            inner->setShopCell(Dungeon::kInvalidPoint);
            inner->setShopEntryID(-1);
        }
    }
    shop->setBGMPath(music);
    offerShopGoods(*floor, *shop);
    return 0;
}

}  // namespace Fenwarrow::ScriptCommand::DungeonCommand
