#include "game/scriptcommand/KnownActors.h"
#include "game/scriptcommand/CDungeonCommand.h"
#include "game/scriptcommand/DungeonCommandSupport.h"

#include <cstdint>
#include <string>
#include <vector>

#include "engine/system/OxStringConvert.h"
#include "game/actor/CActor.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/CShopInfo.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/services/IGameContext.h"
#include "game/item/CItem.h"
#include "game/services/CScriptController.h"
#include "game/services/ScriptArguments.h"
#include "game/services/ScriptCommandTable.h"

// Every function below may leave by longjmp (a Lua error when no module is attached) only
// before it makes a native object with a destructor.

namespace Fenwarrow::ScriptCommand {

namespace DungeonCommand {

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

CDungeonCommand& module(lua_State* L) {
    CDungeonCommand* found = CDungeonCommand::fromState(L);
    if (found == nullptr) {
        luaL_error(L, "Dungeon: no module object is attached to this state");
    }
    return *found;
}

CDungeon* floorOf(lua_State* L) { return module(L).getFloor(); }

bool flagArgOr(lua_State* L, int index, bool fallback) {
    return lua_isnoneornil(L, index) ? fallback : flagArg(L, index);
}

MapPoint pointArg(lua_State* L, int index) { return {intArg(L, index), intArg(L, index + 1)}; }

// An actor handle from the script, accepted only while there is a floor and it names an actor
// the game knows.
CActor* actorArg(lua_State* L, int index) {
    CDungeon* floor = floorOf(L);
    return floor != nullptr ? findKnownActor(L, lua_touserdata(L, index), floor->getPlayer().get(), floor) : nullptr;
}

// An item handle, accepted when it names an item lying on this floor or carried by the player.
CItem* itemArg(lua_State* L, int index) {
    CDungeon* floor = floorOf(L);
    const void* given = lua_touserdata(L, index);
    if (floor == nullptr || given == nullptr) {
        return nullptr;
    }
    for (const auto& item : floor->getItems()) {
        if (item.get() == given) {
            return item.get();
        }
    }
    if (floor->getPlayer() != nullptr) {
        for (const auto& item : floor->getPlayer()->getItemList()) {
            if (item.get() == given) {
                return item.get();
            }
        }
    }
    return nullptr;
}

CCellObject* cellObjectArg(lua_State* L, int index) {
    if (CActor* actor = actorArg(L, index)) {
        return actor;
    }
    return itemArg(L, index);
}

CRoom* roomArg(lua_State* L, int index) {
    CDungeon* floor = floorOf(L);
    const void* given = lua_touserdata(L, index);
    if (floor == nullptr || given == nullptr) {
        return nullptr;
    }
    const int32_t number = floor->getMap().indexOfRoom(static_cast<const CRoom*>(given));
    return number >= 0 ? floor->getMap().getRoom(number) : nullptr;
}

void pushObject(lua_State* L, void* object) {
    if (object != nullptr) {
        lua_pushlightuserdata(L, object);
    } else {
        lua_pushnil(L);
    }
}

template <typename List>
int pushList(lua_State* L, const List& list) {
    lua_newtable(L);
    int key = 1;
    for (const auto& entry : list) {
        pushObject(L, &*entry);
        lua_rawseti(L, -2, key++);
    }
    return 1;
}

int pushBool(lua_State* L, bool value) {
    lua_pushboolean(L, value ? 1 : 0);
    return 1;
}

}  // namespace DungeonCommand

using namespace DungeonCommand;

namespace {

// Line-of-fire searches reach this far unless the script says otherwise.
constexpr int32_t kDefaultShootRange = 20;
constexpr int32_t kPutSearchDepth = 3;

int pushPoint(lua_State* L, MapPoint point) {
    lua_pushinteger(L, point.x);
    lua_pushinteger(L, point.y);
    return 2;
}

// Dungeon

int getBackgroundColor(lua_State* L) {
    const CDungeon* floor = floorOf(L);
    const uint32_t colour = floor != nullptr ? floor->getFloorState().backgroundColor : 0;
    lua_pushinteger(L, (colour >> 16) & 0xFF);
    lua_pushinteger(L, (colour >> 8) & 0xFF);
    lua_pushinteger(L, colour & 0xFF);
    return 3;
}

int setBackgroundColor(lua_State* L) {
    if (CDungeon* floor = floorOf(L)) {
        const auto component = [L](int index) { return static_cast<uint32_t>(intArg(L, index)) & 0xFFu; };
        floor->setBackgroundColor(0xFF000000u | component(1) << 16 | component(2) << 8 | component(3));
    }
    return 0;
}

int toCellObject(lua_State* L) {
    pushObject(L, static_cast<CCellObject*>(actorArg(L, 1)));
    return 1;
}

int toActor(lua_State* L) {
    CCellObject* object = cellObjectArg(L, 1);
    pushObject(L, object != nullptr && object->getCellObjectType() == CCellObject::kActor ? static_cast<CActor*>(object)
                                                                                          : nullptr);
    return 1;
}

int getShootable(lua_State* L, int32_t type) {
    CDungeon* floor = floorOf(L);
    CActor* shooter = actorArg(L, 1);
    if (floor == nullptr || shooter == nullptr) {
        return 0;
    }
    int32_t direction = shooter->getStatus().getDirection();
    int32_t range = kDefaultShootRange;
    bool all = false;
    bool passWalls = false;
    const int count = lua_gettop(L);
    if (count == 2) {
        range = intArg(L, 2);
    } else if (count == 5) {
        direction = intArg(L, 2);
        if (direction == -1) {
            direction = shooter->getStatus().getDirection();
        }
        range = intArg(L, 3);
        all = flagArg(L, 4);
        passWalls = flagArg(L, 5);
    }
    const std::vector<MapPoint> points = floor->getShootableCells(shooter, direction, type, range, all, passWalls);
    if (points.size() >= 2) {
        lua_newtable(L);
        int key = 1;
        for (const MapPoint point : points) {
            pushObject(L, firstOfType<CCellObject>(floor->getMap().getCell(point), type));
            lua_rawseti(L, -2, key++);
        }
        pushPoint(L, points.back());
    } else {
        const MapPoint point = points.empty() ? Dungeon::kInvalidPoint : points.front();
        CCellObject* hit = firstOfType<CCellObject>(floor->getMap().getCell(point), type);
        pushObject(L, hit != shooter ? hit : nullptr);
        pushPoint(L, point);
    }
    lua_pushinteger(L, direction);
    return 4;
}

int getShootableActor(lua_State* L) { return getShootable(L, CCellObject::kActor); }
int getShootableItem(lua_State* L) { return getShootable(L, CCellObject::kItem); }

int getActorList(lua_State* L) {
    const CDungeon* floor = floorOf(L);
    if (floor == nullptr) {
        lua_newtable(L);
        return 1;
    }
    return pushList(L, floor->getTurnController().getParticipants());
}

int removeActor(lua_State* L) {
    if (CDungeon* floor = floorOf(L)) {
        floor->removeActor(actorArg(L, 1));
    }
    return 0;
}

int deleteCellObject(lua_State* L) {
    if (CDungeon* floor = floorOf(L)) {
        floor->deleteCellObject(cellObjectArg(L, 1));
    }
    return 0;
}

int isMaxActor(lua_State* L) {
    const CDungeon* floor = floorOf(L);
    return pushBool(L, floor != nullptr && floor->isMaxActor());
}

int addEnemyList(lua_State* L) {
    if (CDungeon* floor = floorOf(L)) {
        floor->addEnemyList(wideArg(L, 1));
    }
    return 0;
}

int getEnemyList(lua_State* L) {
    lua_newtable(L);
    if (const CDungeon* floor = floorOf(L)) {
        int key = 1;
        for (const std::u16string& folder : floor->getEnemyList()) {
            const std::string text = Orvex::System::narrow(folder);
            lua_pushlstring(L, text.data(), text.size());
            lua_rawseti(L, -2, key++);
        }
    }
    return 1;
}

template <bool Enemy>
int createActor(lua_State* L) {
    CDungeon* floor = floorOf(L);
    if (floor == nullptr) {
        lua_pushnil(L);
        return 1;
    }
    const std::u16string folder = wideArg(L, 1);
    const MapPoint point = pointArg(L, 2);
    const std::shared_ptr<CActor> actor =
        Enemy ? floor->createEnemy(folder, point) : floor->createNonPlayer(folder, point);
    pushObject(L, actor.get());
    return 1;
}

int createItem(lua_State* L) {
    CDungeon* floor = floorOf(L);
    const int32_t id = intArg(L, 1);
    std::shared_ptr<CItem> item =
        floor != nullptr && id >= 0 ? floor->createItem(static_cast<uint32_t>(id), pointArg(L, 2)) : nullptr;
    pushObject(L, item.get());
    return 1;
}

int putItemWith(lua_State* L, bool visible) {
    CDungeon* floor = floorOf(L);
    if (floor == nullptr) {
        return pushPoint(L, Dungeon::kInvalidPoint);
    }
    return pushPoint(L, floor->putItem(itemArg(L, 1), pointArg(L, 2), visible, kPutSearchDepth));
}

int putItem(lua_State* L) { return putItemWith(L, flagArg(L, 4)); }
int throwItem(lua_State* L) { return putItemWith(L, true); }

int getCellObjects(lua_State* L) {
    CDungeon* floor = floorOf(L);
    CMapCell* cell = floor != nullptr ? floor->getMap().getCell(pointArg(L, 1)) : nullptr;
    lua_pushinteger(L, cell != nullptr ? cell->objectCount : 0);
    lua_pushlightuserdata(L, cell != nullptr ? static_cast<void*>(cell->objects.data()) : nullptr);
    return 2;
}

int putCellObject(lua_State* L) {
    CDungeon* floor = floorOf(L);
    return pushBool(
        L, floor != nullptr && floor->putCellObject(cellObjectArg(L, 1), pointArg(L, 2), flagArgOr(L, 4, true)));
}

int getFloorNumber(lua_State* L) {
    const CDungeon* floor = floorOf(L);
    lua_pushinteger(L, floor != nullptr ? floor->getFloorState().floorNumber : 0);
    return 1;
}

int getPlayer(lua_State* L) {
    const CDungeon* floor = floorOf(L);
    pushObject(L, floor != nullptr ? floor->getPlayer().get() : nullptr);
    return 1;
}

int isMovableCellType(lua_State* L) {
    CDungeon* floor = floorOf(L);
    const CMapCell* cell = floor != nullptr ? floor->getMap().getCell(pointArg(L, 2)) : nullptr;
    return pushBool(L, actorArg(L, 1) != nullptr && cell != nullptr && !Dungeon::isBlockingCellType(cell->cellType));
}

int isMovable(lua_State* L) {
    const CDungeon* floor = floorOf(L);
    return pushBool(L, floor != nullptr && floor->isMovable(actorArg(L, 1), pointArg(L, 2), flagArg(L, 4)));
}

int checkActorInSight(lua_State* L) {
    const CDungeon* floor = floorOf(L);
    return pushBool(L, floor != nullptr && floor->checkActorInSight(actorArg(L, 1), actorArg(L, 2), flagArg(L, 3)));
}

int checkAttackPossible(lua_State* L) {
    const CDungeon* floor = floorOf(L);
    return pushBool(L, floor != nullptr && floor->checkAttackPossible(pointArg(L, 1), pointArg(L, 3), intArg(L, 5)));
}

int trackAllFloor(lua_State* L) {
    if (CDungeon* floor = floorOf(L)) {
        floor->trackAllFloor(flagArg(L, 1));
    }
    return 0;
}

int track(lua_State* L) {
    if (CDungeon* floor = floorOf(L)) {
        floor->track(actorArg(L, 1), std::nullopt);
    }
    return 0;
}

int breakingWall(lua_State* L) {
    CDungeon* floor = floorOf(L);
    return pushBool(L, floor != nullptr && floor->breakingWall());
}

int getRandomRoom(lua_State* L) {
    CDungeon* floor = floorOf(L);
    pushObject(L, floor != nullptr ? floor->getRandomRoom() : nullptr);
    return 1;
}

int getRandomRoomPoint(lua_State* L) {
    CDungeon* floor = floorOf(L);
    return pushPoint(L, floor != nullptr ? floor->getRandomRoomPoint(roomArg(L, 1), flagArg(L, 2)) : MapPoint{0, 0});
}

int getRoomFromActor(lua_State* L) {
    const CActor* actor = actorArg(L, 1);
    pushObject(L, actor != nullptr && actor->getCell() != nullptr ? actor->getCell()->room : nullptr);
    return 1;
}

int getRoomActorList(lua_State* L) {
    const CDungeon* floor = floorOf(L);
    const std::vector<CActor*> actors =
        floor != nullptr ? floor->getRoomActorList(roomArg(L, 1)) : std::vector<CActor*>{};
    return pushList(L, actors);
}

int checkRoomActorExist(lua_State* L) {
    const CDungeon* floor = floorOf(L);
    return pushBool(L, floor != nullptr && floor->checkRoomActorExist(roomArg(L, 1), intArg(L, 2), true));
}

template <typename Around>
int pushAround(lua_State* L, const Around& around) {
    lua_newtable(L);
    for (std::size_t d = 0; d < around.size(); ++d) {
        pushObject(L, around[d]);
        lua_rawseti(L, -2, static_cast<int>(d) + 1);
    }
    return 1;
}

int getAroundActorList(lua_State* L) {
    const CDungeon* floor = floorOf(L);
    return pushAround(L, floor != nullptr ? floor->getAroundActorList(pointArg(L, 1)) : std::array<CActor*, 8>{});
}

int getAroundItemList(lua_State* L) {
    const CDungeon* floor = floorOf(L);
    return pushAround(L, floor != nullptr ? floor->getAroundItemList(pointArg(L, 1), flagArgOr(L, 3, false))
                                          : std::array<CItem*, 8>{});
}

int addLogMessage(lua_State* L) {
    if (CDungeon* floor = floorOf(L)) {
        floor->getLogManager().addLogMessage(wideArg(L, 1));
    }
    return 0;
}

int arrivalActor(lua_State* L) {
    CDungeon* floor = floorOf(L);
    if (floor != nullptr && floor->getActionManager() != nullptr) {
        floor->getServices().pushArrivalAction(*floor->getActionManager(), wideArg(L, 1), pointArg(L, 2));
    }
    return 0;
}

// The level change runs as an action of the floor's queue, after what is queued before it.
int enemyLevelUP(lua_State* L) {
    CDungeon* floor = floorOf(L);
    CActor* enemy = actorArg(L, 1);
    if (floor != nullptr && enemy != nullptr && floor->getActionManager() != nullptr) {
        floor->getServices().pushEnemyLevelUpAction(*floor->getActionManager(), enemy, intArg(L, 2));
    }
    return 0;
}

int setTrapIdentifiable(lua_State* L) {
    if (CDungeon* floor = floorOf(L)) {
        floor->setTrapIdentifiable(actorArg(L, 1), flagArg(L, 2));
    }
    return 0;
}

int setFloorIdentifiable(lua_State* L) {
    if (CDungeon* floor = floorOf(L)) {
        floor->setFloorIdentifiable(actorArg(L, 1), flagArg(L, 2));
    }
    return 0;
}

int toPlayerItem(lua_State* L) {
    if (CDungeon* floor = floorOf(L)) {
        floor->toPlayerItem(itemArg(L, 1));
    }
    return 0;
}

int findItemsByItemID(lua_State* L) {
    lua_newtable(L);
    CDungeon* floor = floorOf(L);
    const int32_t id = intArg(L, 1);
    if (floor == nullptr || id < 0) {
        return 1;
    }
    int key = 1;
    for (const MapPoint point : floor->findItemsByItemID(static_cast<uint32_t>(id))) {
        pushObject(L, firstOfType<CItem>(floor->getMap().getCell(point), CCellObject::kItem));
        lua_rawseti(L, -2, key++);
    }
    return 1;
}

int checkActorInCell(lua_State* L) {
    CDungeon* floor = floorOf(L);
    pushObject(L, floor != nullptr ? firstOfType<CActor>(floor->getMap().getCell(pointArg(L, 1)), CCellObject::kActor)
                                   : nullptr);
    return 1;
}

int checkItemInCell(lua_State* L) {
    CDungeon* floor = floorOf(L);
    pushObject(L, floor != nullptr ? firstOfType<CItem>(floor->getMap().getCell(pointArg(L, 1)), CCellObject::kItem)
                                   : nullptr);
    return 1;
}

int requestNextDungeon(lua_State* L) {
    if (CDungeon* floor = floorOf(L)) {
        if (lua_gettop(L) == 1) {
            Dungeon::setFloorText(floor->getFloorState().nextDungeonPath, wideArg(L, 1));
        }
        floor->requestNextDungeon();
    }
    return 0;
}

int requestPrevDungeon(lua_State* L) {
    if (CDungeon* floor = floorOf(L)) {
        floor->requestPrevDungeon();
    }
    return 0;
}

int dig(lua_State* L) {
    CDungeon* floor = floorOf(L);
    if (floor != nullptr && floor->dig(pointArg(L, 1), flagArg(L, 3), flagArgOr(L, 4, true))) {
        return pushBool(L, true);
    }
    return 0;
}

int burst(lua_State* L) {
    CDungeon* floor = floorOf(L);
    if (floor != nullptr && floor->burst(pointArg(L, 1), flagArg(L, 3))) {
        return pushBool(L, true);
    }
    return 0;
}

int checkCellObjectInActorSight(lua_State* L) {
    const CDungeon* floor = floorOf(L);
    return pushBool(L, floor != nullptr && floor->checkCellObjectInActorSight(cellObjectArg(L, 2), actorArg(L, 1)));
}

int checkPointInActorSight(lua_State* L) {
    const CDungeon* floor = floorOf(L);
    return pushBool(L, floor != nullptr && floor->checkPointInActorSight(pointArg(L, 1), actorArg(L, 3)));
}

int setEnableDarkness(lua_State* L) {
    if (CDungeon* floor = floorOf(L)) {
        floor->getFloorState().enableDarkness = flagArg(L, 1) ? 1 : 0;
    }
    return 0;
}

int setFloorType(lua_State* L) {
    if (CDungeon* floor = floorOf(L)) {
        floor->getFloorState().floorType = intArg(L, 1);
    }
    return 0;
}

int getFloorType(lua_State* L) {
    const CDungeon* floor = floorOf(L);
    lua_pushinteger(L, floor != nullptr ? floor->getFloorState().floorType : 0);
    return 1;
}

int getItemList(lua_State* L) {
    lua_newtable(L);
    const CDungeon* floor = floorOf(L);
    if (floor == nullptr) {
        return 1;
    }
    const bool all = flagArg(L, 1);
    int key = 1;
    for (const auto& item : floor->getItems()) {
        if (all || item->isListedOnFloor()) {
            pushObject(L, item.get());
            lua_rawseti(L, -2, key++);
        }
    }
    return 1;
}

int checkRobber(lua_State* L) {
    const CDungeon* floor = floorOf(L);
    return pushBool(L, floor != nullptr && floor->getFloorState().robber != 0);
}

// Dungeon.CellObject

// The array handle of getCellObjects, accepted only when it is the object places of a cell of
// the current map.
CCellObject* const* cellArrayArg(lua_State* L, int index) {
    CDungeon* floor = floorOf(L);
    const void* given = lua_touserdata(L, index);
    if (floor == nullptr || given == nullptr || floor->getMap().getCells().empty()) {
        return nullptr;
    }
    const auto& cells = floor->getMap().getCells();
    const auto first = reinterpret_cast<std::uintptr_t>(cells.front().objects.data());
    const auto address = reinterpret_cast<std::uintptr_t>(given);
    if (address < first || (address - first) % sizeof(CMapCell) != 0 ||
        (address - first) / sizeof(CMapCell) >= cells.size()) {
        return nullptr;
    }
    return cells[(address - first) / sizeof(CMapCell)].objects.data();
}

int getCellObject(lua_State* L) {
    CCellObject* const* places = cellArrayArg(L, 1);
    const int32_t index = intArg(L, 2);
    pushObject(L, places != nullptr && index >= 0 && index < static_cast<int32_t>(CMapCell::kObjectSlots)
                      ? places[index]
                      : nullptr);
    return 1;
}

int getCellObjectType(lua_State* L) {
    const CCellObject* object = cellObjectArg(L, 1);
    const std::string name = Orvex::System::narrow(
        CCellObject::getCellObjectTypeName(object != nullptr ? object->getCellObjectType() : CCellObject::kNull));
    lua_pushlstring(L, name.data(), name.size());
    return 1;
}

// An object on no cell has no position: nothing is returned.
int getDrawPosition(lua_State* L) {
    const CCellObject* object = cellObjectArg(L, 1);
    float x = 0.0f;
    float y = 0.0f;
    if (object == nullptr || !object->getDrawPosition(x, y)) {
        return 0;
    }
    lua_pushnumber(L, x);
    lua_pushnumber(L, y);
    return 2;
}

int setVisible(lua_State* L) {
    if (CCellObject* object = cellObjectArg(L, 1)) {
        object->setVisible(flagArg(L, 2));
    }
    return 0;
}

}  // namespace

bool CDungeonCommand::registerFunctions(CScriptController& controller) {
    lua_State* L = controller.getLuaState();
    if (L == nullptr) {
        return false;
    }
    registerScriptTable(L, {"Dungeon",
                            {
                                {"getBackgroundColor", &getBackgroundColor},
                                {"setBackgroundColor", &setBackgroundColor},
                                {"toCellObjectFromActor", &toCellObject},
                                {"toActorFromCellObject", &toActor},
                                {"getShootableActor", &getShootableActor},
                                {"getShootableItem", &getShootableItem},
                                {"getActorList", &getActorList},
                                {"getFloorActorList", &getActorList},
                                {"removeActor", &removeActor},
                                {"deleteCellObject", &deleteCellObject},
                                {"isMaxActor", &isMaxActor},
                                {"addEnemyList", &addEnemyList},
                                {"getEnemyList", &getEnemyList},
                                {"createEnemy", &createActor<true>},
                                {"createNonPlayer", &createActor<false>},
                                {"createItem", &createItem},
                                {"putItem", &putItem},
                                {"throwItem", &throwItem},
                                {"getCellObjects", &getCellObjects},
                                {"putCellObject", &putCellObject},
                                {"getFloorNumber", &getFloorNumber},
                                {"getPlayer", &getPlayer},
                                {"isMovableCellType", &isMovableCellType},
                                {"isMovable", &isMovable},
                                {"checkActorInSight", &checkActorInSight},
                                {"checkAttackPossible", &checkAttackPossible},
                                {"trackAllFloor", &trackAllFloor},
                                {"track", &track},
                                {"breakingWall", &breakingWall},
                                {"getRandomRoom", &getRandomRoom},
                                {"getRandomRoomPoint", &getRandomRoomPoint},
                                {"getRoomFromActor", &getRoomFromActor},
                                {"getRoomActorList", &getRoomActorList},
                                {"checkRoomActorExist", &checkRoomActorExist},
                                {"getAroundActorList", &getAroundActorList},
                                {"getAroundItemList", &getAroundItemList},
                                {"addLogMessage", &addLogMessage},
                                {"arrivalActor", &arrivalActor},
                                {"enemyLevelUP", &enemyLevelUP},
                                {"setTrapIdentifiable", &setTrapIdentifiable},
                                {"setFloorIdentifiable", &setFloorIdentifiable},
                                {"toPlayerItem", &toPlayerItem},
                                {"findItemsByItemID", &findItemsByItemID},
                                {"checkActorInCell", &checkActorInCell},
                                {"checkItemInCell", &checkItemInCell},
                                {"requestNextDungeon", &requestNextDungeon},
                                {"requestPrevDungeon", &requestPrevDungeon},
                                {"dig", &dig},
                                {"burst", &burst},
                                {"checkCellObjectInActorSight", &checkCellObjectInActorSight},
                                {"checkPointInActorSight", &checkPointInActorSight},
                                {"setEnableDarkness", &setEnableDarkness},
                                {"setFloorType", &setFloorType},
                                {"getFloorType", &getFloorType},
                                {"getItemList", &getItemList},
                                {"checkRobber", &checkRobber},
                            },
                            {
                                {"CellObject",
                                 {
                                     {"getCellObject", &getCellObject},
                                     {"getCellObjectType", &getCellObjectType},
                                     {"getDrawPosition", &getDrawPosition},
                                     {"setVisible", &setVisible},
                                 },
                                 {}},
                                {"Event", {{"doEventScript", &doEventScript}}, {}},
                                {"Adventure", {{"doAdventureScript", &doAdventureScript}}, {}},
                                {"MonsterHouse", {{"createMonsterHouse", &createMonsterHouse}}, {}},
                                {"Shop",
                                 {
                                     {"createShop", &createShop},
                                     {"addItem", &shopAddItem},
                                     {"removeItem", &shopRemoveItem},
                                     {"getTotalSellPrice", &shopTotalSellPrice},
                                     {"getTotalBuyPrice", &shopTotalBuyPrice},
                                     {"sellItem", &sellItem},
                                     {"buyItem", &buyItem},
                                     {"resetShopItem", &resetShopItem},
                                 },
                                 {}},
                                {"Font", {{"drawText", &drawText}}, {}},
                                {"MiniMap",
                                 {
                                     {"showMiniMap", &showMiniMap},
                                     {"setMiniMapOffset", &setMiniMapOffset},
                                 },
                                 {}},
                                {"Turn",
                                 {
                                     {"setTurnCount", &setTurnCount},
                                     {"getTurnCount", &getTurnCount},
                                     {"setSuspend", &setSuspend},
                                 },
                                 {}},
                            }});
    return true;
}

}  // namespace Fenwarrow::ScriptCommand
