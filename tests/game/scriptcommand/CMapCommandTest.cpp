#include "game/scriptcommand/CMapCommand.h"

#include <gtest/gtest.h>

#include "engine/serialization/OxBase64.h"
#include "game/actor/CPlayer.h"
#include "game/dungeon/CDungeon.h"
#include "game/services/CScriptController.h"
#include "tests/game/dungeon/DungeonTestServices.h"
#include "tests/game/shell/GameTestContext.h"
#include "tests/game/shell/ScriptTestSupport.h"

namespace {

using Fenwarrow::CScriptController;
using Fenwarrow::Dungeon::CDungeon;
using Fenwarrow::Dungeon::CMap;
using Fenwarrow::Dungeon::CRoom;
using Fenwarrow::Dungeon::MapPoint;
using Fenwarrow::ScriptCommand::CMapCommand;
using Orvex::Script::CScriptValue;

// A number or a flag (booleans come back as integers 0 or 1).
double valueOf(const CScriptValue& value) {
    return value.getType() == CScriptValue::kInteger ? value.asInteger() : value.asNumber();
}

// A floor script as the game's floors write them, plus probes of the getters' edge cases.
constexpr const char* kFloorScript = R"lua(
function generate()
  Map.create(32, 10, 8)
  local w, h = Map.getMapSize()
  local r0 = Map.getRoom(0)
  local l, t, r, b = Map.Room.getRoomRect(r0)
  created = {w, h, Map.getRoomCount(), l, t, r, b, Map.Cell.getCellType(4, 4)}

  Map.clearRoom()
  local shop = Map.addRoom(1, 1, 3, 3)
  for i = 1, 100 do Map.addRoom(6, 5, 8, 6) end  -- the first handle must survive these
  Map.addRoomGate(shop, 4, 2)
  Map.addRoomGate(shop, 2, 0)
  Map.Room.setRoomType(shop, 2)
  Map.setRoom(shop)
  Map.setRoom(Map.getRoom(1))
  for y = 1, 3 do for x = 1, 3 do Map.Cell.setCellType(x, y, 1) end end
  Map.Cell.setCellType(10, 0, 1)      -- outside: nothing
  Map.setStartPosition(2, 3)

  local layer = Map.Chip.addLayer()
  Map.Chip.setLayerName(layer, "MapBackChip")
  Map.Chip.setLayerVisible(layer, true)
  Map.Chip.setMapChipTexturePath(layer, "Dungeon/MapChip/cave.png", 1)
  Map.Chip.setChipData(layer, 2, 3, true, 0, 5, 6)
  Map.Chip.setChipData(layer, 9, 7, 1, 0, 1, 1)
  Map.Chip.setChipData(layer, 0, 8, 1, 0, 9, 9)  -- index width x height: nothing
  Map.Chip.setChipData(5, 0, 0, 1, 0, 9, 9)      -- no such layer
  local hidden = Map.Chip.addLayer()
  Map.Chip.setLayerName(hidden, "MapFrontChip")
  Map.Chip.setLayerVisible(hidden, 0)
end

function probes()
  local shop = Map.getRoom(0)
  local gx, gy = Map.getRoomGate(shop, 1)
  return Map.Cell.getCellType(-1, 0), Map.Cell.getCellType(10, 0), Map.Cell.isRoom(-1, 0),
         Map.Cell.getRoom(10, 0) == nil, Map.Cell.getRoom(2, 2) == shop, Map.Cell.getRoom(0, 7) == nil,
         type(Map.getRoom(Map.getRoomCount())), Map.getRoomGateCount(shop), gx, gy,
         select("#", Map.getRoomGate(shop, 2)), Map.Chip.getLayerVisible(0), Map.Chip.getLayerVisible(1),
         select("#", Map.Chip.getLayerVisible(2)), Map.Room.getRoomType(shop)
end

function staleHandle()
  local old = Map.getRoom(0)
  Map.clearRoom()
  Map.addRoomGate(old, 5, 5)
  Map.Room.setRoomType(old, 7)
  Map.setRoom(old)
  return Map.Room.getRoomType(old), Map.getRoomGateCount(old)
end

function badCreate(size, w, h) Map.create(size, w, h) end

function fromBase64(cells, rooms, chips)
  Map.create(16, 8, 4)
  Map.clearRoom()
  Map.Cell.setCellTypeArrayFromBase64(cells)
  Map.Room.setRoomDataArrayFromBase64(rooms)
  for i = 0, Map.getRoomCount() - 1 do Map.setRoom(Map.getRoom(i)) end
  local layer = Map.Chip.addLayer()
  Map.Chip.setChipDataArrayFromBase64(layer, chips)
end

function renderer()
  Map.Renderer.setDrawOffset(1.5, -2)
  Map.Renderer.setScreenDrawOffset(3, 4)
  local sx, sy = Map.Renderer.getScreenDrawOffset()
  Map.Renderer.resetScreenDrawOffset()
  local rx, ry = Map.Renderer.getScreenDrawOffset()
  Map.Renderer.setForceDrawAll(true)
  Map.Renderer.setDarkness(1)
  Map.Renderer.setTemporaryBlind(true)
  Map.Renderer.setForceHideAllCellObjectOnMiniMap(true)
  local dx, dy = Map.Renderer.getDrawOffset()
  return dx, dy, sx, sy, rx, ry, Map.Renderer.getForceDrawAll(), Lua.isNull(Map.Renderer.getFocusActor())
end

function shake(...) Map.Renderer.setShake(...) end
function focus(actor) Map.Renderer.setFocusActor(actor) end
)lua";

class MapModule : public ::testing::Test {
protected:
    void SetUp() override {
        const auto bytes = ScriptTest::textBytes(kFloorScript);
        ASSERT_TRUE(host_.setupState(bytes.data(), static_cast<uint32_t>(bytes.size()), 0x100000));
        CMapCommand::Services services;
        services.currentFloor = [this] { return &floor_; };
        ASSERT_TRUE(host_.attachCommand(std::make_shared<CMapCommand>(services)));
        ASSERT_TRUE(host_.runMain());
    }

    // Results in the order the script returned them.
    std::vector<CScriptValue> call(const std::string& name, int count, const std::vector<CScriptValue>& args = {}) {
        std::vector<CScriptValue> results;
        host_.callFunction(results, name, count, args);
        return {results.rbegin(), results.rend()};
    }

    CMap& map() { return floor_.getMap(); }

    ScriptTest::TestScriptServices services_;
    GameTest::TestGameContext context_;
    DungeonTest::TestDungeonServices floorServices_{context_};
    CDungeon floor_{floorServices_};
    CScriptController host_{services_};
};

TEST_F(MapModule, AFloorScriptBuildsCellsRoomsGatesLayersAndStart) {
    call("generate", 0);
    lua_State* L = host_.getLuaState();
    lua_getglobal(L, "created");
    std::vector<int> created;
    for (int i = 1; i <= 8; ++i) {
        lua_rawgeti(L, -1, i);
        created.push_back(static_cast<int>(lua_tointeger(L, -1)));
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
    EXPECT_EQ(created, (std::vector<int>{10, 8, 1, 0, 0, 9, 7, 0}));

    ASSERT_EQ(map().getRoomCount(), 101);
    const CRoom* shop = map().getRoom(0);
    EXPECT_EQ(shop->roomType, 2);
    EXPECT_EQ((std::array{shop->left, shop->top, shop->right, shop->bottom}), (std::array{1, 1, 3, 3}));
    EXPECT_EQ(shop->gates, (std::vector<MapPoint>{{4, 2}, {2, 0}}));
    EXPECT_EQ(map().getStartPosition(), (MapPoint{2, 3}));
    for (const auto& cell : map().getCells()) {
        const bool inShop = cell.x >= 1 && cell.x <= 3 && cell.y >= 1 && cell.y <= 3;
        const bool inSecond = cell.x >= 6 && cell.x <= 8 && cell.y >= 5 && cell.y <= 6;
        EXPECT_EQ(cell.cellType, inShop ? 1 : 0) << cell.x << "," << cell.y;
        EXPECT_EQ(cell.room, inShop ? shop : (inSecond ? map().getRoom(1) : nullptr)) << cell.x << "," << cell.y;
    }

    ASSERT_EQ(map().getChipLayers().size(), 2u);
    const auto layer = map().getChipLayers().at(0);
    EXPECT_EQ(layer->getLayerName(), u"MapBackChip");
    EXPECT_TRUE(layer->isVisible());
    EXPECT_FALSE(map().getChipLayers().at(1)->isVisible());
    ASSERT_EQ(layer->getChipSet().getChipInfos().size(), 1u);
    EXPECT_EQ(layer->getChipSet().getChipInfos().at(0)->getTexturePath(), u"Dungeon/MapChip/cave.png");
    EXPECT_TRUE(layer->getChipSet().getChipInfos().at(0)->isAutoTile());
    const auto& entries = layer->getEntries();
    ASSERT_EQ(entries.size(), 80u);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const bool set = i == 32 || i == 79;
        EXPECT_EQ(entries[i].enabled, set ? 1 : 0) << i;
    }
    EXPECT_EQ((std::array{entries[32].chipInfoIndex, entries[32].chipX, entries[32].chipY}), (std::array{0, 5, 6}));

    const auto probes = call("probes", 15);
    ASSERT_EQ(probes.size(), 15u);
    const std::vector<int64_t> expected{0, 0, 0, 1, 1, 1, -1, 2, 2, 0, 0, 1, 0, 0, 2};
    for (std::size_t i = 0; i < probes.size(); ++i) {
        if (i == 6) {
            EXPECT_EQ(probes[i].getText(), "userdata");  // a null light userdata, not nil
        } else {
            EXPECT_EQ(valueOf(probes[i]), static_cast<double>(expected[i])) << "probe " << i;
        }
    }
}

TEST_F(MapModule, RoomHandlesFromBeforeClearRoomNameNothing) {
    call("generate", 0);
    const auto results = call("staleHandle", 2);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].asNumber(), 0.0);
    EXPECT_EQ(results[1].asNumber(), 0.0);
    EXPECT_EQ(map().getRoomCount(), 0);
    EXPECT_EQ(map().getCell({2, 2})->room, nullptr);
}

TEST_F(MapModule, CreateRefusesBadSizesAndKeepsTheMap) {
    call("generate", 0);
    for (const auto& args :
         std::vector<std::array<int, 3>>{{0, 10, 10}, {32, -4, 10}, {32, 10, 0}, {32, 1 << 16, 1 << 16}}) {
        call("badCreate", 0,
             {CScriptValue::fromInteger(args[0]), CScriptValue::fromInteger(args[1]),
              CScriptValue::fromInteger(args[2])});
        EXPECT_EQ(map().getWidth(), 10);
        EXPECT_EQ(map().getCells().size(), 80u);
        EXPECT_EQ(map().getRoomCount(), 101);
    }
}

// The map editor's records: four little-endian 32-bit fields per cell.
std::string records(const std::vector<std::array<uint32_t, 4>>& cells) {
    std::string bytes;
    for (const auto& cell : cells) {
        for (uint32_t field : cell) {
            for (int i = 0; i < 4; ++i) {
                bytes.push_back(static_cast<char>(field >> (8 * i)));
            }
        }
    }
    return bytes;
}

std::string base64(const std::string& bytes) { return Orvex::Serialization::base64Encode(bytes.data(), bytes.size()); }

TEST_F(MapModule, Base64ArraysBuildKindsRoomsGatesAndChips) {
    // 8 x 4 cells. Kinds: record {1, 5, 2, 1} gives 6 (kept), {0, 0, 2, 1} gives 0.
    std::vector<std::array<uint32_t, 4>> kinds(32, {1, 0, 1, 0});
    kinds[1] = {1, 5, 2, 1};
    kinds[2] = {0, 0, 2, 1};
    kinds[3] = {1, 0, 3, 0};
    // Rooms: (1,1) and (3,1) with one cell between join; (7,3) stays a room of its own. Gates
    // join the first room whose widened rectangle holds them.
    std::vector<std::array<uint32_t, 4>> rooms(32, {0, 0, 0, 0});
    auto at = [&rooms](int x, int y) -> std::array<uint32_t, 4>& { return rooms[static_cast<std::size_t>(y * 8 + x)]; };
    at(1, 1) = {1, 0, 1, 0};
    at(3, 1) = {1, 0, 1, 0};
    at(7, 3) = {1, 0, 1, 0};
    at(5, 0) = {1, 0, 2, 0};  // gate two columns right of (3,1): joins the first room
    at(0, 3) = {1, 0, 2, 0};  // near the first room's widened area
    at(7, 0) = {0, 0, 2, 0};  // field 0 = 0: skipped
    std::vector<std::array<uint32_t, 4>> chips(32, {0, static_cast<uint32_t>(-1), 0, 0});
    chips[9] = {1, 0, 4, 2};
    chips[10] = {2, 1, 7, 7};  // not exactly 1: disabled, values still copied

    call("fromBase64", 0,
         {CScriptValue(base64(records(kinds))), CScriptValue(base64(records(rooms))),
          CScriptValue(base64(records(chips)))});
    EXPECT_EQ(map().getCell({1, 0})->cellType, 6);
    EXPECT_EQ(map().getCell({2, 0})->cellType, 0);
    EXPECT_EQ(map().getCell({3, 0})->cellType, 3);
    EXPECT_EQ(map().getCell({5, 2})->cellType, 1);

    ASSERT_EQ(map().getRoomCount(), 2);
    const CRoom* first = map().getRoom(0);
    EXPECT_EQ((std::array{first->left, first->top, first->right, first->bottom}), (std::array{1, 1, 3, 1}));
    EXPECT_EQ(first->gates, (std::vector<MapPoint>{{5, 0}, {0, 3}}));
    const CRoom* single = map().getRoom(1);
    EXPECT_EQ((std::array{single->left, single->top, single->right, single->bottom}), (std::array{7, 3, 7, 3}));
    EXPECT_EQ(map().getCell({2, 1})->room, first);
    EXPECT_EQ(map().getCell({7, 3})->room, single);

    const auto& entries = map().getChipLayers().at(0)->getEntries();
    EXPECT_EQ((std::array{int{entries[9].enabled}, entries[9].chipInfoIndex, entries[9].chipX, entries[9].chipY}),
              (std::array{1, 0, 4, 2}));
    EXPECT_EQ((std::array{int{entries[10].enabled}, entries[10].chipInfoIndex, entries[10].chipX}),
              (std::array{0, 1, 7}));
    EXPECT_EQ(entries[0].chipInfoIndex, -1);
}

TEST_F(MapModule, ShortOrBrokenBase64StopsAtTheLastWholeRecord) {
    std::string kinds = records(std::vector<std::array<uint32_t, 4>>(32, {1, 0, 1, 0}));
    // Five whole records and part of a sixth.
    const std::string shortData = base64(kinds.substr(0, 5 * 16 + 7));
    // A stray character after three records stops the decoding there.
    const std::string broken = base64(kinds.substr(0, 3 * 16)) + "*" + base64(kinds);
    for (const auto& [text, whole] : {std::pair{shortData, 5}, std::pair{broken, 3}}) {
        call("fromBase64", 0, {CScriptValue(text), CScriptValue(text), CScriptValue(text)});
        for (int i = 0; i < 32; ++i) {
            EXPECT_EQ(map().getCells()[static_cast<std::size_t>(i)].cellType, i < whole ? 1 : 0) << i;
        }
    }
}

TEST_F(MapModule, RendererSettersStoreIntoTheFloorsRenderers) {
    const auto values = call("renderer", 8);
    ASSERT_EQ(values.size(), 8u);
    const std::vector<double> expected{1.5, -2, 3, 4, 0, 0, 1, 1};
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(valueOf(values[i]), expected[i]) << i;
    }
    const auto& renderer = floor_.getMapRenderer();
    EXPECT_TRUE(renderer.getDarkness());
    EXPECT_TRUE(renderer.getTemporaryBlind());
    EXPECT_TRUE(floor_.getMiniMapRenderer().getForceHideAllCellObject());

    call("shake", 0, {CScriptValue::fromInteger(4), CScriptValue(8.0), CScriptValue(-2.0), CScriptValue(true)});
    EXPECT_TRUE(renderer.getShake().random);
    EXPECT_EQ(renderer.getShake().interval, 4);
    EXPECT_EQ(renderer.getShake().amplitudeY, -2.0f);
    // The random flag is read only when exactly four arguments are passed.
    call("shake", 0,
         {CScriptValue::fromInteger(2), CScriptValue(1.0), CScriptValue(1.0), CScriptValue(true), CScriptValue(true)});
    EXPECT_FALSE(renderer.getShake().random);

    // The camera follows a participant of the floor; any other pointer is ignored, nil clears.
    auto participant = std::make_shared<Fenwarrow::Actor::CPlayer>(context_);
    floor_.addTurnParticipant(participant);
    call("focus", 0, {CScriptValue(static_cast<void*>(participant.get()))});
    EXPECT_EQ(renderer.getFocusActor(), participant.get());
    int stranger = 0;
    call("focus", 0, {CScriptValue(static_cast<void*>(&stranger))});
    EXPECT_EQ(renderer.getFocusActor(), participant.get());
    call("focus", 0, {CScriptValue(static_cast<void*>(nullptr))});
    EXPECT_EQ(renderer.getFocusActor(), nullptr);
}

}  // namespace
