#include "game/scriptcommand/CMapCommand.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "engine/system/OxStringConvert.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/MapDataUnpack.h"
#include "game/services/ScriptArguments.h"
#include "game/services/ScriptCommandTable.h"
#include "game/services/CScriptController.h"

// Every function below may leave by longjmp (a Lua error when no module is attached) only
// before it makes a native object with a destructor.

namespace Fenwarrow::ScriptCommand {

namespace {

using Dungeon::CChipLayer;
using Dungeon::CMap;
using Dungeon::CMapRenderer;
using Dungeon::CRoom;
using Dungeon::MapPoint;
using ScriptArguments::flagArg;
using ScriptArguments::floatArg;
using ScriptArguments::intArg;
using ScriptArguments::textArg;

CMapCommand& module(lua_State* L) {
    CMapCommand* found = CMapCommand::fromState(L);
    if (found == nullptr) {
        luaL_error(L, "Map: no module object is attached to this state");
    }
    return *found;
}

Dungeon::CDungeon* floorOf(lua_State* L) { return module(L).getFloor(); }

CMap* mapOf(lua_State* L) {
    Dungeon::CDungeon* floor = floorOf(L);
    return floor != nullptr ? &floor->getMap() : nullptr;
}

MapPoint pointArg(lua_State* L, int index) { return {intArg(L, index), intArg(L, index + 1)}; }

// A room handle from the script, accepted only when it names a room of the current map; a
// handle kept across Map.clearRoom or Map.create names nothing.
CRoom* roomArg(lua_State* L, int index) {
    CMap* map = mapOf(L);
    auto* room = static_cast<CRoom*>(lua_touserdata(L, index));
    return map != nullptr && room != nullptr && map->indexOfRoom(room) >= 0 ? room : nullptr;
}

// The layer with the index at `index`; null when there is none.
CChipLayer* layerArg(lua_State* L, int index) {
    CMap* map = mapOf(L);
    const int32_t layer = intArg(L, index);
    return map != nullptr && layer >= 0 ? map->getChipLayers().at(static_cast<std::size_t>(layer)).get() : nullptr;
}

int pushIntegers(lua_State* L, std::initializer_list<int32_t> values) {
    for (int32_t value : values) {
        lua_pushinteger(L, value);
    }
    return static_cast<int>(values.size());
}

int pushOffset(lua_State* L, CMapRenderer::Offset offset) {
    lua_pushnumber(L, offset.x);
    lua_pushnumber(L, offset.y);
    return 2;
}

CMapRenderer* rendererOf(lua_State* L) {
    Dungeon::CDungeon* floor = floorOf(L);
    return floor != nullptr ? &floor->getMapRenderer() : nullptr;
}

// Map

int create(lua_State* L) {
    if (CMap* map = mapOf(L)) {
        const int32_t cellSize = intArg(L, 1);
        map->create(cellSize > 0 ? static_cast<uint32_t>(cellSize) : 0u, intArg(L, 2), intArg(L, 3));
    }
    return 0;
}

int getMapSize(lua_State* L) {
    const CMap* map = mapOf(L);
    return pushIntegers(L, {map != nullptr ? map->getWidth() : 0, map != nullptr ? map->getHeight() : 0});
}

int setStartPosition(lua_State* L) {
    if (CMap* map = mapOf(L)) {
        map->setStartPosition(pointArg(L, 1));
    }
    return 0;
}

int clearRoom(lua_State* L) {
    if (CMap* map = mapOf(L)) {
        map->clearRoom();
    }
    return 0;
}

int getRoomCount(lua_State* L) {
    const CMap* map = mapOf(L);
    return pushIntegers(L, {map != nullptr ? map->getRoomCount() : 0});
}

int getRoom(lua_State* L) {
    const CMap* map = mapOf(L);
    lua_pushlightuserdata(L, map != nullptr ? map->getRoom(intArg(L, 1)) : nullptr);
    return 1;
}

int addRoom(lua_State* L) {
    CMap* map = mapOf(L);
    lua_pushlightuserdata(
        L, map != nullptr ? map->addRoom(CRoom(intArg(L, 1), intArg(L, 2), intArg(L, 3), intArg(L, 4))) : nullptr);
    return 1;
}

int addRoomGate(lua_State* L) {
    if (CRoom* room = roomArg(L, 1)) {
        room->gates.push_back(pointArg(L, 2));
    }
    return 0;
}

int getRoomGateCount(lua_State* L) {
    const CRoom* room = roomArg(L, 1);
    return pushIntegers(L, {room != nullptr ? static_cast<int32_t>(room->gates.size()) : 0});
}

int getRoomGate(lua_State* L) {
    const CRoom* room = roomArg(L, 1);
    const MapPoint* gate = room != nullptr ? room->getRoomGate(intArg(L, 2)) : nullptr;
    return gate != nullptr ? pushIntegers(L, {gate->x, gate->y}) : 0;
}

int setRoom(lua_State* L) {
    if (CRoom* room = roomArg(L, 1)) {
        mapOf(L)->setRoomCells(room);
    }
    return 0;
}

// Map.Cell

const Dungeon::CMapCell* cellArg(lua_State* L) {
    const CMap* map = mapOf(L);
    return map != nullptr ? map->getCell(pointArg(L, 1)) : nullptr;
}

int getCellType(lua_State* L) {
    const Dungeon::CMapCell* cell = cellArg(L);
    return pushIntegers(L, {cell != nullptr ? cell->cellType : 0});
}

int setCellType(lua_State* L) {
    CMap* map = mapOf(L);
    if (Dungeon::CMapCell* cell = map != nullptr ? map->getCell(pointArg(L, 1)) : nullptr) {
        cell->cellType = intArg(L, 3);
    }
    return 0;
}

int setCellTypeArrayFromBase64(lua_State* L) {
    if (CMap* map = mapOf(L)) {
        Dungeon::unpackCellTypesFromBase64(*map, textArg(L, 1));
    }
    return 0;
}

int isRoom(lua_State* L) {
    const Dungeon::CMapCell* cell = cellArg(L);
    lua_pushboolean(L, cell != nullptr && cell->room != nullptr);
    return 1;
}

int getCellRoom(lua_State* L) {
    const Dungeon::CMapCell* cell = cellArg(L);
    if (cell != nullptr && cell->room != nullptr) {
        lua_pushlightuserdata(L, cell->room);
    } else {
        lua_pushnil(L);
    }
    return 1;
}

// Map.Chip

int addLayer(lua_State* L) {
    CMap* map = mapOf(L);
    if (map == nullptr) {
        return 0;
    }
    auto layer = std::make_shared<CChipLayer>();
    layer->getEntries().assign(map->getCells().size(), Dungeon::ChipEntry{});
    map->getChipLayers().push_back(std::move(layer));
    return pushIntegers(L, {static_cast<int32_t>(map->getChipLayers().size() - 1)});
}

int setLayerName(lua_State* L) {
    CChipLayer* layer = layerArg(L, 1);
    std::u16string name;
    if (layer != nullptr && Orvex::System::toWideString(textArg(L, 2), name)) {
        layer->setLayerName(name);
    }
    return 0;
}

int getLayerVisible(lua_State* L) {
    const CChipLayer* layer = layerArg(L, 1);
    if (layer == nullptr) {
        return 0;
    }
    lua_pushboolean(L, layer->isVisible());
    return 1;
}

int setLayerVisible(lua_State* L) {
    if (CChipLayer* layer = layerArg(L, 1)) {
        layer->setVisible(flagArg(L, 2));
    }
    return 0;
}

int setMapChipTexturePath(lua_State* L) {
    CChipLayer* layer = layerArg(L, 1);
    if (layer == nullptr) {
        return 0;
    }
    auto& infos = layer->getChipSet().getChipInfos();
    if (infos.empty()) {
        infos.push_back(std::make_shared<Dungeon::CChipInfo>());
    }
    std::u16string path;
    if (Orvex::System::toWideString(textArg(L, 2), path)) {
        infos.at(0)->setTexturePath(path);
        infos.at(0)->setAutoTile(flagArg(L, 3));
    }
    return 0;
}

int reloadMapChipTexture(lua_State* L) {
    CChipLayer* layer = layerArg(L, 1);
    const CMapCommand::Services& services = module(L).getServices();
    const auto info = layer != nullptr ? layer->getChipSet().getChipInfos().at(0) : nullptr;
    if (info != nullptr && services.archiveReader != nullptr) {
        info->loadTexture(*services.archiveReader, services.textureManager);
    }
    return 0;
}

int setChipData(lua_State* L) {
    const CMap* map = mapOf(L);
    CChipLayer* layer = layerArg(L, 1);
    if (map == nullptr || layer == nullptr) {
        return 0;
    }
    const int64_t index = int64_t{intArg(L, 3)} * map->getWidth() + intArg(L, 2);
    if (index < 0 || index >= static_cast<int64_t>(map->getCells().size()) ||
        index >= static_cast<int64_t>(layer->getEntries().size())) {
        return 0;
    }
    Dungeon::ChipEntry& entry = layer->getEntries()[static_cast<std::size_t>(index)];
    entry.enabled = flagArg(L, 4) ? 1 : 0;
    entry.chipInfoIndex = intArg(L, 5);
    entry.chipX = intArg(L, 6);
    entry.chipY = intArg(L, 7);
    return 0;
}

int setChipDataArrayFromBase64(lua_State* L) {
    CMap* map = mapOf(L);
    if (CChipLayer* layer = layerArg(L, 1)) {
        Dungeon::unpackChipDataFromBase64(*map, *layer, textArg(L, 2));
    }
    return 0;
}

// Map.Room

int getRoomType(lua_State* L) {
    const CRoom* room = roomArg(L, 1);
    return pushIntegers(L, {room != nullptr ? room->roomType : 0});
}

int setRoomType(lua_State* L) {
    if (CRoom* room = roomArg(L, 1)) {
        room->roomType = intArg(L, 2);
    }
    return 0;
}

int getRoomRect(lua_State* L) {
    const CRoom* room = roomArg(L, 1);
    if (room == nullptr) {
        return pushIntegers(L, {0, 0, 0, 0});
    }
    return pushIntegers(L, {room->left, room->top, room->right, room->bottom});
}

int setRoomDataArrayFromBase64(lua_State* L) {
    if (CMap* map = mapOf(L)) {
        Dungeon::unpackRoomDataFromBase64(*map, textArg(L, 1));
    }
    return 0;
}

// Map.Renderer

int getDrawOffset(lua_State* L) {
    const CMapRenderer* renderer = rendererOf(L);
    return pushOffset(L, renderer != nullptr ? renderer->getDrawOffset() : CMapRenderer::Offset{});
}

int setDrawOffset(lua_State* L) {
    if (CMapRenderer* renderer = rendererOf(L)) {
        renderer->setDrawOffset({floatArg(L, 1), floatArg(L, 2)});
    }
    return 0;
}

int getScreenDrawOffset(lua_State* L) {
    const CMapRenderer* renderer = rendererOf(L);
    return pushOffset(L, renderer != nullptr ? renderer->getScreenDrawOffset() : CMapRenderer::Offset{});
}

int setScreenDrawOffset(lua_State* L) {
    if (CMapRenderer* renderer = rendererOf(L)) {
        renderer->setScreenDrawOffset({floatArg(L, 1), floatArg(L, 2)});
    }
    return 0;
}

int resetScreenDrawOffset(lua_State* L) {
    if (CMapRenderer* renderer = rendererOf(L)) {
        renderer->setScreenDrawOffset({});
    }
    return 0;
}

int setShake(lua_State* L) {
    if (CMapRenderer* renderer = rendererOf(L)) {
        const bool random = lua_gettop(L) == 4 && flagArg(L, 4);
        renderer->setShake(intArg(L, 1), floatArg(L, 2), floatArg(L, 3), random);
    }
    return 0;
}

int getFocusActor(lua_State* L) {
    const CMapRenderer* renderer = rendererOf(L);
    lua_pushlightuserdata(L, renderer != nullptr ? renderer->getFocusActor() : nullptr);
    return 1;
}

// The camera follows a participant of this floor, or nothing (nil): any other pointer from a
// script is ignored, since the renderer would read through it every frame.
int setFocusActor(lua_State* L) {
    Dungeon::CDungeon* floor = floorOf(L);
    CMapRenderer* renderer = rendererOf(L);
    if (floor == nullptr || renderer == nullptr) {
        return 0;
    }
    // Only compared until it is known to be a participant.
    void* given = lua_touserdata(L, 1);
    auto* actor = static_cast<Actor::CActor*>(given);
    if (actor == nullptr || floor->getTurnController().contains(actor)) {
        renderer->setFocusActor(actor);
    }
    return 0;
}

int getForceDrawAll(lua_State* L) {
    const CMapRenderer* renderer = rendererOf(L);
    lua_pushboolean(L, renderer != nullptr && renderer->getForceDrawAll());
    return 1;
}

// The renderer's switches, each from one flag argument.
template <void (CMapRenderer::*Set)(bool)>
int setRendererFlag(lua_State* L) {
    if (CMapRenderer* renderer = rendererOf(L)) {
        (renderer->*Set)(flagArg(L, 1));
    }
    return 0;
}

int setForceHideAllCellObjectOnMiniMap(lua_State* L) {
    if (Dungeon::CDungeon* floor = floorOf(L)) {
        floor->getMiniMapRenderer().setForceHideAllCellObject(flagArg(L, 1));
    }
    return 0;
}

}  // namespace

bool CMapCommand::registerFunctions(CScriptController& controller) {
    lua_State* L = controller.getLuaState();
    if (L == nullptr) {
        return false;
    }
    registerScriptTable(L, {"Map",
                            {
                                {"create", &create},
                                {"getMapSize", &getMapSize},
                                {"setStartPosition", &setStartPosition},
                                {"clearRoom", &clearRoom},
                                {"getRoomCount", &getRoomCount},
                                {"getRoom", &getRoom},
                                {"addRoom", &addRoom},
                                {"addRoomGate", &addRoomGate},
                                {"getRoomGateCount", &getRoomGateCount},
                                {"getRoomGate", &getRoomGate},
                                {"setRoom", &setRoom},
                            },
                            {
                                {"Cell",
                                 {
                                     {"getCellType", &getCellType},
                                     {"setCellType", &setCellType},
                                     {"setCellTypeArrayFromBase64", &setCellTypeArrayFromBase64},
                                     {"isRoom", &isRoom},
                                     {"getRoom", &getCellRoom},
                                 },
                                 {}},
                                {"Chip",
                                 {
                                     {"addLayer", &addLayer},
                                     {"setLayerName", &setLayerName},
                                     {"getLayerVisible", &getLayerVisible},
                                     {"setLayerVisible", &setLayerVisible},
                                     {"setMapChipTexturePath", &setMapChipTexturePath},
                                     {"reloadMapChipTexture", &reloadMapChipTexture},
                                     {"setChipData", &setChipData},
                                     {"setChipDataArrayFromBase64", &setChipDataArrayFromBase64},
                                 },
                                 {}},
                                {"Room",
                                 {
                                     {"getRoomType", &getRoomType},
                                     {"setRoomType", &setRoomType},
                                     {"getRoomRect", &getRoomRect},
                                     {"setRoomDataArrayFromBase64", &setRoomDataArrayFromBase64},
                                 },
                                 {}},
                                {"Renderer",
                                 {
                                     {"getDrawOffset", &getDrawOffset},
                                     {"setDrawOffset", &setDrawOffset},
                                     {"getScreenDrawOffset", &getScreenDrawOffset},
                                     {"setScreenDrawOffset", &setScreenDrawOffset},
                                     {"resetScreenDrawOffset", &resetScreenDrawOffset},
                                     {"setShake", &setShake},
                                     {"getFocusActor", &getFocusActor},
                                     {"setFocusActor", &setFocusActor},
                                     {"getForceDrawAll", &getForceDrawAll},
                                     {"setForceDrawAll", &setRendererFlag<&CMapRenderer::setForceDrawAll>},
                                     {"setDarkness", &setRendererFlag<&CMapRenderer::setDarkness>},
                                     {"setTemporaryBlind", &setRendererFlag<&CMapRenderer::setTemporaryBlind>},
                                     {"setForceHideAllCellObjectOnMiniMap", &setForceHideAllCellObjectOnMiniMap},
                                 },
                                 {}},
                            }});
    return true;
}

}  // namespace Fenwarrow::ScriptCommand
