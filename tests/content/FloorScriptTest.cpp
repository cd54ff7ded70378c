// Runs the shipped floor generator and the DEMO10 and R99 floor scripts in the game's script host,
// with the real Map and Lua modules on a real floor, reading the scripts from the built
// archives, and checks the floors they lay out: every room reachable from the start, floors
// walled in, gates where corridors meet rooms, chip layers over the right cells, and the same
// floor again from the same seed.
#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "game/dungeon/CDungeon.h"
#include "game/dungeon/CMap.h"
#include "game/scriptcommand/CMapCommand.h"
#include "game/services/CScriptController.h"
#include "tests/game/dungeon/DungeonTestServices.h"
#include "tests/game/shell/GameTestContext.h"
#include "tests/game/shell/ScriptTestSupport.h"

namespace {

using Fenwarrow::CScriptController;
using Fenwarrow::Dungeon::CDungeon;
using Fenwarrow::Dungeon::CMap;
using Fenwarrow::Dungeon::CMapCell;
using Fenwarrow::Dungeon::CRoom;
using Fenwarrow::Dungeon::MapPoint;
using Fenwarrow::ScriptCommand::CMapCommand;
using Orvex::Script::CScriptValue;

constexpr int kFloor = 1, kWall = 2, kHardWall = 3, kWater = 4;

// The test's own calls into the generator and the floor scripts. The Dungeon module is not
// attached here: the stand-in records what the floor scripts hand to it.
constexpr const char* kHarness = R"lua(
enemyList = {}
made = {}
local function record(kind) return function(a, b, c) made[#made + 1] = { kind = kind, a, b, c } return true end end
local itemCount = 0
Dungeon = {
  addEnemyList = function(folder) enemyList[#enemyList + 1] = folder end,
  setFloorType = function(kind) floorType = kind end,
  setEnableDarkness = function() end, setBackgroundColor = function() end,
  createItem = function(id, x, y)
    itemCount = itemCount + 1
    made[#made + 1] = { kind = "item", id, x, y, handle = itemCount }
    return itemCount
  end,
  createNonPlayer = record("npc"),
  Shop = { createShop = record("shop") }, MonsterHouse = { createMonsterHouse = record("house") },
  Turn = { setTurnCount = function(count) turnCount = count end },
}
-- Item scripts a floor sets on the items it made, by the item's handle.
itemScripts = {}
Item = { setItemActionScriptFileName = function(item, path) itemScripts[item] = path end }

function build(seed, width, height, rooms, water, patches)
  Lua.Random.setSeed(seed)
  local FloorGen = Lua.dofile("Script/Lib/FloorGen.lua")
  local floor = FloorGen.build({ width = width, height = height, rooms = rooms, water = water, patches = patches })
  return #floor.rooms
end

function tooSmall()
  local FloorGen = Lua.dofile("Script/Lib/FloorGen.lua")
  local ok, message = pcall(FloorGen.build, { width = 12, height = 10, rooms = 9 })
  return ok, message
end

function runFloor(path, seed)
  Lua.Random.setSeed(seed)
  enemyList = {}
  floorType, turnCount = 0, nil
  local chunk = Lua.loadfile(path)
  setfenv(chunk, setmetatable({}, { __index = _G }))
  chunk()
  floorScript = getfenv(chunk)
  floorScript.generate()
  return #enemyList
end

local function roomOf(handle)
  for i = 0, Map.getRoomCount() - 1 do
    if Map.getRoom(i) == handle then return i end
  end
  return nil
end

-- The floor set-up's later calls; what the script placed is checked here. Returns the faults.
function setupFloor()
  made = {}
  itemScripts = {}
  floorScript.setup()
  local faults = {}
  local function fault(text) faults[#faults + 1] = text end
  if type(floorScript.getInitialEnemyCount()) ~= "number" then fault("no initial enemy count") end
  floorScript.setupEvent()
  local taken, stairs = {}, false
  for _, m in ipairs(made) do
    if m.kind == "item" or m.kind == "npc" then
      local key = m[2] .. "," .. m[3]
      if Map.Cell.getCellType(m[2], m[3]) ~= 1 then fault(m.kind .. " off the floor at " .. key) end
      if taken[key] then fault("two things at " .. key) end
      taken[key] = true
      stairs = stairs or m[1] == 700
    else
      if not roomOf(m[2]) then fault(m.kind .. " in no room of the map") end
      if type(Lua.loadfile(m[1])) ~= "function" then fault(m.kind .. " script missing: " .. tostring(m[1])) end
    end
  end
  if not stairs then fault("no stairs down") end
  return table.concat(faults, "; ")
end

-- The cell of the stairs down, their own action script ("" when they keep the usual one),
-- whether that script is in the archives, the turn the floor starts at (-1 when left as it
-- is) and the floor type.
function stairsOfFloor()
  for _, m in ipairs(made) do
    if m.kind == "item" and m[1] == 700 then
      local script = itemScripts[m.handle] or ""
      local exists = script == "" or type(Lua.loadfile(script)) == "function"
      return m[2], m[3], script, exists, turnCount or -1, floorType
    end
  end
  return -1, -1, "", false, turnCount or -1, floorType
end

-- The room index of a shop or monster house the floor made, or -1.
function madeRoom(kind)
  for _, m in ipairs(made) do
    if m.kind == kind then return roomOf(m[2]) end
  end
  return -1
end
)lua";

class FloorScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<std::u16string> archives;
        for (const char* name : {"d000.bin", "d100.bin", "d200.bin", "d300.bin", "d400.bin", "d500.bin", "d900.bin"}) {
            archives.push_back(TempFolder::engineForm(std::string(ORVEX_RUN_DIR) + "/" + name));
        }
        Orvex::FileArchiver::OxArchiveOptions options;
        options.lowerCaseNames = 1;
        ASSERT_EQ(services_.reader.openArchives(archives, options), 0u)
            << Orvex::System::narrow(services_.reader.getLastError());
        const auto bytes = ScriptTest::textBytes(kHarness);
        ASSERT_TRUE(host_.setupState(bytes.data(), static_cast<uint32_t>(bytes.size()), 0x100000));
        CMapCommand::Services map;
        map.currentFloor = [this] { return &floor_; };
        ASSERT_TRUE(host_.attachCommand(std::make_shared<CMapCommand>(map)));
        ASSERT_TRUE(host_.runMain());
    }

    std::vector<CScriptValue> call(const std::string& name, int count, const std::vector<CScriptValue>& args) {
        std::vector<CScriptValue> results;
        host_.callFunction(results, name, count, args);
        return {results.rbegin(), results.rend()};
    }

    int build(int seed, int width, int height, int rooms, int water, int patches = 0) {
        const auto results = call(
            "build", 1,
            {CScriptValue::fromInteger(seed), CScriptValue::fromInteger(width), CScriptValue::fromInteger(height),
             CScriptValue::fromInteger(rooms), CScriptValue::fromInteger(water), CScriptValue::fromInteger(patches)});
        return results.size() == 1 ? static_cast<int>(results[0].asNumber()) : -1;
    }

    CMap& map() { return floor_.getMap(); }

    ScriptTest::TestScriptServices services_;
    GameTest::TestGameContext context_;
    DungeonTest::TestDungeonServices dungeonServices_{context_};
    CDungeon floor_{dungeonServices_};
    CScriptController host_{services_};
};

int kindAt(const CMap& map, int x, int y) {
    const CMapCell* cell = map.getCell({x, y});
    return cell != nullptr ? cell->cellType : 0;
}

bool onRing(const CRoom& room, MapPoint p) {
    const bool besideColumns = (p.x == room.left - 1 || p.x == room.right + 1) && p.y >= room.top && p.y <= room.bottom;
    const bool besideRows = (p.y == room.top - 1 || p.y == room.bottom + 1) && p.x >= room.left && p.x <= room.right;
    return besideColumns || besideRows;
}

// What every playable floor must be, whoever laid it out.
void checkPlayable(const CMap& map) {
    const int w = map.getWidth(), h = map.getHeight();
    ASSERT_GT(w, 2);
    ASSERT_GT(map.getRoomCount(), 0);
    // Walled in: the border is HardWall, every cell has a real kind, no floor or water touches
    // anything but floor, water or wall.
    int floors = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int kind = kindAt(map, x, y);
            const bool border = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            if (border) {
                EXPECT_EQ(kind, kHardWall) << x << "," << y;
            }
            EXPECT_TRUE(kind >= kFloor && kind <= kWater) << "kind " << kind << " at " << x << "," << y;
            floors += kind == kFloor ? 1 : 0;
        }
    }
    // Every floor cell reachable from the start in straight steps (so every room is too).
    const MapPoint start = map.getStartPosition();
    ASSERT_EQ(kindAt(map, start.x, start.y), kFloor) << "start " << start.x << "," << start.y;
    ASSERT_NE(map.getCell(start)->room, nullptr) << "the start lies in no room";
    std::set<std::pair<int, int>> reached{{start.x, start.y}};
    std::deque<MapPoint> open{start};
    while (!open.empty()) {
        const MapPoint p = open.front();
        open.pop_front();
        for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            const MapPoint n{p.x + dx, p.y + dy};
            if (kindAt(map, n.x, n.y) == kFloor && reached.insert({n.x, n.y}).second) open.push_back(n);
        }
    }
    EXPECT_EQ(static_cast<int>(reached.size()), floors) << "floor cells cut off from the start";
    // Rooms: their cells link to them, each holds floor, and every opening in the wall ring
    // around a room is one of its gates (the sight and shop rules go by the gates).
    for (int i = 0; i < map.getRoomCount(); ++i) {
        const CRoom& room = *map.getRoom(i);
        SCOPED_TRACE("room " + std::to_string(i));
        bool hasFloor = false;
        for (int y = room.top; y <= room.bottom; ++y) {
            for (int x = room.left; x <= room.right; ++x) {
                EXPECT_EQ(map.getCell({x, y})->room, &room) << x << "," << y;
                hasFloor = hasFloor || kindAt(map, x, y) == kFloor;
            }
        }
        EXPECT_TRUE(hasFloor);
        for (int y = room.top - 1; y <= room.bottom + 1; ++y) {
            for (int x = room.left - 1; x <= room.right + 1; ++x) {
                const MapPoint p{x, y};
                if (!onRing(room, p) || kindAt(map, x, y) != kFloor) continue;
                EXPECT_NE(std::find(room.gates.begin(), room.gates.end(), p), room.gates.end())
                    << "an opening at " << x << "," << y << " is no gate";
            }
        }
        for (const MapPoint& gate : room.gates) {
            EXPECT_TRUE(onRing(room, gate)) << gate.x << "," << gate.y;
            EXPECT_EQ(kindAt(map, gate.x, gate.y), kFloor) << gate.x << "," << gate.y;
        }
        if (map.getRoomCount() > 1) {
            EXPECT_FALSE(room.gates.empty()) << "a room without a way in";
        }
    }
}

// Everything a floor is made of, to compare two builds.
std::vector<int> snapshot(const CMap& map) {
    std::vector<int> out{map.getWidth(), map.getHeight(), map.getStartPosition().x, map.getStartPosition().y};
    for (const CMapCell& cell : map.getCells()) out.push_back(cell.cellType);
    for (int i = 0; i < map.getRoomCount(); ++i) {
        const CRoom& room = *map.getRoom(i);
        out.insert(out.end(), {room.left, room.top, room.right, room.bottom});
        for (const MapPoint& gate : room.gates) out.insert(out.end(), {gate.x, gate.y});
    }
    for (const auto& layer : map.getChipLayers()) {
        for (const auto& entry : layer->getEntries()) out.insert(out.end(), {entry.enabled, entry.chipX, entry.chipY});
    }
    return out;
}

TEST_F(FloorScriptTest, GeneratedFloorsArePlayableForManySizesAndSeeds) {
    struct Case {
        int seed, width, height, rooms, water;
    };
    // Square and flat maps, a single room, counts that leave spare slots (junctions), tight fits.
    const Case cases[] = {{1, 48, 36, 6, 2}, {2, 40, 30, 4, 1}, {3, 64, 40, 9, 3}, {4, 20, 16, 1, 1},
                          {5, 40, 30, 5, 0}, {6, 56, 24, 7, 2}, {7, 30, 40, 3, 1}, {8, 17, 17, 2, 0}};
    for (const Case& c : cases) {
        for (int seed = c.seed; seed < c.seed + 200; seed += 40) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::to_string(c.width) + "x" +
                         std::to_string(c.height) + ", " + std::to_string(c.rooms) + " rooms");
            ASSERT_EQ(build(seed, c.width, c.height, c.rooms, c.water), c.rooms);
            ASSERT_EQ(map().getWidth(), c.width);
            EXPECT_EQ(map().getCellSize(), 80u);
            EXPECT_EQ(map().getRoomCount(), c.rooms);
            checkPlayable(map());
            int water = 0;
            for (const CMapCell& cell : map().getCells()) water += cell.cellType == kWater ? 1 : 0;
            if (c.water == 0) {
                EXPECT_EQ(water, 0);
            }
            if (c.water > 0 && c.width >= 40) {
                EXPECT_GT(water, 0) << "large rooms hold the pools asked for";
            }
        }
    }
}

TEST_F(FloorScriptTest, GroundUnderEveryCellAndAutoTiledWallsExactlyOnWalls) {
    ASSERT_EQ(build(11, 40, 30, 4, 2, 5), 4);
    const auto& layers = map().getChipLayers();
    ASSERT_EQ(layers.size(), 3u);
    const auto& ground = *layers.at(0);
    const auto& patches = *layers.at(1);
    const auto& walls = *layers.at(2);
    EXPECT_EQ(ground.getLayerName(), u"MapGround");
    // Unnamed, so it is drawn at the walls' priority: above the ground.
    EXPECT_EQ(patches.getLayerName(), u"");
    EXPECT_EQ(walls.getLayerName(), u"MapBackChip");
    for (const auto* layer : {&ground, &patches, &walls}) {
        EXPECT_TRUE(layer->isVisible());
        ASSERT_EQ(layer->getChipSet().getChipInfos().size(), 1u);
    }
    EXPECT_EQ(ground.getChipSet().getChipInfos().at(0)->getTexturePath(), u"Dungeon/MapChip/ground.png");
    EXPECT_FALSE(ground.getChipSet().getChipInfos().at(0)->isAutoTile());
    EXPECT_EQ(walls.getChipSet().getChipInfos().at(0)->getTexturePath(), u"Dungeon/MapChip/wall_auto.png");
    EXPECT_TRUE(walls.getChipSet().getChipInfos().at(0)->isAutoTile());
    int patched = 0;
    for (std::size_t i = 0; i < map().getCells().size(); ++i) {
        const int kind = map().getCells()[i].cellType;
        const auto& g = ground.getEntries()[i];
        EXPECT_EQ(g.enabled, 1) << i;
        EXPECT_EQ(g.chipInfoIndex, 0) << i;
        // Ground chips: stone in row 0, water in row 1 of the ground sheet (4 x 3 chips).
        EXPECT_EQ(g.chipY, kind == kWater ? 1 : 0) << i;
        EXPECT_TRUE(g.chipX >= 0 && g.chipX < 4) << i;
        const auto& w = walls.getEntries()[i];
        EXPECT_EQ(w.enabled, (kind == kWall || kind == kHardWall) ? 1 : 0) << i;
        if (w.enabled) {
            EXPECT_EQ(w.chipInfoIndex, 0) << i;
        }
        const auto& p = patches.getEntries()[i];
        if (p.enabled) {
            ++patched;
            EXPECT_EQ(kind, kFloor) << "a patch off the floor at " << i;
            EXPECT_EQ(p.chipY, 2) << i;
        }
    }
    EXPECT_GT(patched, 0);
}

TEST_F(FloorScriptTest, SameSeedSameFloorOtherSeedOtherFloor) {
    build(42, 48, 36, 6, 2, 4);
    const std::vector<int> first = snapshot(map());
    build(42, 48, 36, 6, 2, 4);
    EXPECT_EQ(snapshot(map()), first);
    build(43, 48, 36, 6, 2, 4);
    EXPECT_NE(snapshot(map()), first);
}

TEST_F(FloorScriptTest, AFloorTooSmallForItsRoomsIsAnErrorThatSaysSo) {
    const auto results = call("tooSmall", 2, {});
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].asInteger(), 0);
    EXPECT_NE(results[1].getText().find("no room for 9 rooms on a 12 x 10 floor"), std::string::npos)
        << results[1].getText();
}

// The DEMO10 floors as the floor set-up runs them: "generate" lays out the map (the set-up
// then links the room cells, as here the scripts do themselves) and lists the enemies.
TEST_F(FloorScriptTest, DemoFloorsLayOutPlayableFloorsWithEnemies) {
    for (const char* path :
         {"Dungeon/DEMO10/00/00/001.lua", "Dungeon/DEMO10/00/00/002.lua", "Dungeon/DEMO10/00/00/003.lua"}) {
        for (int seed : {1, 2, 3}) {
            SCOPED_TRACE(std::string(path) + " seed " + std::to_string(seed));
            map().clear();
            const auto results =
                call("runFloor", 1, {CScriptValue(std::string(path)), CScriptValue::fromInteger(seed)});
            ASSERT_EQ(results.size(), 1u);
            EXPECT_EQ(results[0].asNumber(), 2.0) << "two kinds of enemy";
            map().assignRoomCells();
            checkPlayable(map());
            EXPECT_GE(map().getRoomCount(), 4);
            const auto faults = call("setupFloor", 1, {});
            ASSERT_EQ(faults.size(), 1u);
            EXPECT_EQ(faults[0].getText(), "");
        }
    }
}

// The fixed floor holds its shop: the second room, one gate only (a shop refuses more), the
// shopkeeper inside.
TEST_F(FloorScriptTest, TheFixedFloorsShopHasOneGateAndItsKeeper) {
    call("runFloor", 1, {CScriptValue(std::string("Dungeon/DEMO10/00/00/002.lua")), CScriptValue::fromInteger(1)});
    ASSERT_EQ(map().getRoomCount(), 5);
    const CRoom& shop = *map().getRoom(1);
    EXPECT_EQ(shop.gates.size(), 1u);
    EXPECT_EQ((std::array{shop.left, shop.top, shop.right, shop.bottom}), (std::array{13, 2, 18, 5}));
    EXPECT_EQ(map().getStartPosition(), (MapPoint{4, 4}));
    call("setupFloor", 1, {});
    const auto room = call("madeRoom", 1, {CScriptValue(std::string("shop"))});
    ASSERT_EQ(room.size(), 1u);
    EXPECT_EQ(room[0].asNumber(), 1.0);
}

// The monster house is a room the player does not start in.
TEST_F(FloorScriptTest, TheLastFloorsMonsterHouseIsNotTheStartRoom) {
    for (int seed : {1, 2, 3, 4, 5}) {
        call("runFloor", 1,
             {CScriptValue(std::string("Dungeon/DEMO10/00/00/003.lua")), CScriptValue::fromInteger(seed)});
        call("setupFloor", 1, {});
        const auto room = call("madeRoom", 1, {CScriptValue(std::string("house"))});
        ASSERT_EQ(room.size(), 1u);
        const int house = static_cast<int>(room[0].asNumber());
        ASSERT_GE(house, 0) << "no monster house, seed " << seed;
        EXPECT_FALSE(map().getRoom(house)->contains(map().getStartPosition())) << "seed " << seed;
    }
}

// The trial dungeon's floors are the same on every visit: one room with the stairs straight
// to the right of the start. The first starts the clock just short of the first warning; the
// second is out of the clock's reach. The stairs that end a dungeon carry the script that
// records the clear; the others keep the stairs' own.
TEST_F(FloorScriptTest, TrialFloorsAreFixedAndTheLastStairsRecordTheClear) {
    struct Case {
        const char* path;
        int turnCount;
        int floorType;
        const char* exitScript;
    };
    const Case cases[] = {
        {"Dungeon/R99/00/00/001.lua", 898, 0, ""},
        {"Dungeon/R99/00/00/002.lua", -1, 2, "Script/Item/Action/ExitR99.lua"},
        {"Dungeon/DEMO10/00/00/003.lua", -1, 0, "Script/Item/Action/ExitDEMO10.lua"},
        {"Dungeon/DEMO10/00/00/001.lua", -1, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::vector<int> first;
        for (int seed : {1, 2}) {
            map().clear();
            call("runFloor", 1, {CScriptValue(std::string(c.path)), CScriptValue::fromInteger(seed)});
            map().assignRoomCells();
            checkPlayable(map());
            const auto faults = call("setupFloor", 1, {});
            ASSERT_EQ(faults.size(), 1u);
            EXPECT_EQ(faults[0].getText(), "");
            const auto stairs = call("stairsOfFloor", 6, {});
            ASSERT_EQ(stairs.size(), 6u);
            EXPECT_EQ(stairs[2].getText(), c.exitScript);
            EXPECT_TRUE(stairs[3].asInteger() != 0) << "the exit script is not in the archives";
            EXPECT_EQ(stairs[4].asNumber(), c.turnCount);
            EXPECT_EQ(stairs[5].asNumber(), c.floorType);
            if (std::string(c.path).find("R99") != std::string::npos) {
                EXPECT_EQ(map().getRoomCount(), 1);
                EXPECT_EQ(map().getStartPosition(), (MapPoint{3, 4}));
                EXPECT_EQ((std::array{stairs[0].asNumber(), stairs[1].asNumber()}), (std::array{9.0, 4.0}));
                const std::vector<int> layout = snapshot(map());
                if (first.empty()) {
                    first = layout;
                } else {
                    EXPECT_EQ(layout, first) << "the trial floor changed with the seed";
                }
            }
        }
    }
}

}  // namespace
