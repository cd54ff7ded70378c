#include "game/scriptcommand/CDungeonCommand.h"

#include <gtest/gtest.h>

#include "game/actor/CPlayer.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/CShopInfo.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/services/CScriptController.h"
#include "tests/game/dungeon/DungeonTestServices.h"
#include "tests/game/shell/GameTestContext.h"
#include "tests/game/shell/ScriptTestSupport.h"

namespace {

using Fenwarrow::CScriptController;
using Fenwarrow::Dungeon::CDungeon;
using Fenwarrow::Dungeon::CRoom;
using Fenwarrow::Dungeon::MapPoint;
using Fenwarrow::ScriptCommand::CDungeonCommand;
using Orvex::Script::CScriptValue;

double valueOf(const CScriptValue& value) {
    return value.getType() == CScriptValue::kInteger ? value.asInteger() : value.asNumber();
}

// Probes of the module over a floor of 8 x 6: a room (1..5, 1..4) of Floor cells inside a
// ring of walls; the player at (2, 2) facing east, an item at (3, 2) and one with an option
// value at (2, 3).
constexpr const char* kScript = R"lua(
function cells()
  local n, places = Dungeon.getCellObjects(2, 2)
  local outsideN, outside = Dungeon.getCellObjects(-1, 0)
  local around = Dungeon.getAroundItemList(2, 2)
  local aroundAll = Dungeon.getAroundItemList(2, 2, 1)
  local actors = Dungeon.getAroundActorList(3, 2)
  return n, Dungeon.CellObject.getCellObjectType(Dungeon.CellObject.getCellObject(places, 0)), outsideN,
         Lua.isNull(outside), Dungeon.checkActorInCell(9, 0) == nil, Dungeon.checkItemInCell(-1, -1) == nil,
         around[3] ~= nil, around[5] == nil, aroundAll[5] ~= nil, actors[8] == nil, actors[7] == Dungeon.getPlayer(),
         actors[1] == nil
end

function foreign(bogus)
  Dungeon.removeActor(bogus)
  Dungeon.CellObject.setVisible(bogus, false)
  return Dungeon.toActorFromCellObject(bogus) == nil, Dungeon.CellObject.getCellObject(bogus, 0) == nil,
         select("#", Dungeon.CellObject.getDrawPosition(bogus)), #Dungeon.getActorList()
end

function digging()
  local a = select("#", Dungeon.dig(3, 3, false))       -- a Floor cell: no result
  local b = Dungeon.dig(0, 0, false, false)             -- a wall, only tested
  local d = Dungeon.dig(0, 1, false)                    -- dug
  local e = select("#", Dungeon.dig(-1, 0, true))       -- outside
  local f = select("#", Dungeon.burst(2, 3, false))      -- an item with an option value stays
  local g = Dungeon.burst(2, 3, true)
  local h = select("#", Dungeon.burst(7, 5, true))       -- no item
  return a, b, d, e, f, g, h, #Dungeon.getItemList(true)
end

function adventure(first, second)
  Dungeon.Adventure.doAdventureScript("Script/ADV/story.lua", first, second)
end

function shooting()
  local hit, x, y, direction = Dungeon.getShootableItem(Dungeon.getPlayer())
  return hit ~= nil, x, y, direction
end

function fields()
  Dungeon.setBackgroundColor(0x1FF, 2, 3)
  local r, g, b = Dungeon.getBackgroundColor()
  Dungeon.Turn.setTurnCount(950)
  Dungeon.Turn.setSuspend(true)
  Dungeon.MiniMap.showMiniMap(false)
  Dungeon.MiniMap.setMiniMapOffset(1.5, -2)
  Dungeon.setEnableDarkness(false)
  Dungeon.setFloorType(2)
  Dungeon.addEnemyList("Actor/Enemy/A/")
  return r, g, b, Dungeon.Turn.getTurnCount(), Dungeon.getFloorType(), Dungeon.checkRobber(), #Dungeon.getEnemyList()
end

function shops(room)
  local refused = Dungeon.Shop.createShop("Script/Shop/none.lua", room)
  local made = Dungeon.Shop.createShop("Script/Shop/shop.lua", room)
  local house = Dungeon.MonsterHouse.createMonsterHouse("Script/Shop/house.lua", room)
  local second = Dungeon.MonsterHouse.createMonsterHouse("Script/Shop/house.lua", room)
  return refused, made, house, second
end

function trade()
  Dungeon.Shop.resetShopItem()
  local offered = Dungeon.Shop.getTotalSellPrice()
  Dungeon.toPlayerItem(Dungeon.checkItemInCell(3, 2))
  local owed = Dungeon.Shop.getTotalSellPrice()
  Dungeon.Shop.sellItem()
  return offered, owed, Dungeon.Shop.getTotalSellPrice(), Dungeon.Shop.getTotalBuyPrice()
end

function next(...) Dungeon.requestNextDungeon(...) end
function breakWalls() return Dungeon.breakingWall() end
)lua";

class DungeonModule : public ::testing::Test {
protected:
    void SetUp() override {
        auto& map = floor_.getMap();
        ASSERT_TRUE(map.create(32, 8, 6));
        map.clearRoom();
        for (auto& cell : map.getCells()) {
            cell.cellType = Fenwarrow::Dungeon::kCellWall;
        }
        for (int32_t y = 1; y <= 4; ++y) {
            for (int32_t x = 1; x <= 5; ++x) {
                map.getCell({x, y})->cellType = Fenwarrow::Dungeon::kCellFloor;
            }
        }
        map.addRoom(CRoom(1, 1, 5, 4));
        map.assignRoomCells();
        player_ = std::make_shared<Fenwarrow::Actor::CPlayer>(context_);
        player_->getStatus().setLife(10.0f);
        player_->getStatus().setDirection(2);
        floor_.setPlayer(player_);
        floor_.addTurnParticipant(player_);
        ASSERT_TRUE(floor_.putCellObject(player_.get(), {2, 2}, false));
        plain_ = place({3, 2}, 0);
        optioned_ = place({2, 3}, 2);

        ScriptTest::openArchive(folder_, context_.reader,
                                {{u"Script/Shop/shop.lua.lcd",
                                  ScriptTest::textBytes("function getBGMFilePath() return 'BGM/shop.ogg' end "
                                                        "function setup(room) return Map.Room ~= nil or true end")},
                                 {u"Script/Shop/house.lua.lcd",
                                  ScriptTest::textBytes("function getHouseName() return 'ねぐら' end "
                                                        "function getBGMFilePath() return 'BGM/house.ogg' end "
                                                        "function setup(room) return true end")}});
        context_.provideAllModules();
        context_.factories[Fenwarrow::ScriptModule::kDungeon] = [this] {
            return std::make_shared<CDungeonCommand>([this] { return &floor_; });
        };
        data_ = std::make_unique<Fenwarrow::CGameDataManager>(context_);
        context_.gameData = data_.get();
        data_->setPlayerMoney(1000);
        const auto bytes = ScriptTest::textBytes(kScript);
        ASSERT_TRUE(host_.setupState(bytes.data(), static_cast<uint32_t>(bytes.size()), 0x100000));
        ASSERT_TRUE(host_.attachCommand(std::make_shared<CDungeonCommand>([this] { return &floor_; })));
        ASSERT_TRUE(host_.runMain());
    }

    std::shared_ptr<Fenwarrow::Item::CItem> place(MapPoint point, int32_t option) {
        auto item = std::make_shared<Fenwarrow::Item::CItem>(context_, 5);
        item->getStatus().setAnotherOption(option);
        floor_.addFloorItem(item);
        EXPECT_TRUE(floor_.putCellObject(item.get(), point, false));
        return item;
    }

    std::vector<CScriptValue> call(const std::string& name, int count, const std::vector<CScriptValue>& args = {}) {
        std::vector<CScriptValue> results;
        host_.callFunction(results, name, count, args);
        return {results.rbegin(), results.rend()};
    }

    std::vector<double> numbers(const std::string& name, int count, const std::vector<CScriptValue>& args = {}) {
        std::vector<double> values;
        for (const CScriptValue& value : call(name, count, args)) {
            values.push_back(valueOf(value));
        }
        return values;
    }

    TempFolder folder_;
    GameTest::TestGameContext context_;
    std::unique_ptr<Fenwarrow::CGameDataManager> data_;
    DungeonTest::TestDungeonServices services_{context_};
    CDungeon floor_{services_};
    std::shared_ptr<Fenwarrow::Actor::CPlayer> player_;
    std::shared_ptr<Fenwarrow::Item::CItem> plain_;
    std::shared_ptr<Fenwarrow::Item::CItem> optioned_;
    CScriptController host_{context_};
};

TEST_F(DungeonModule, CellsAndNeighboursAnswerWithObjectsOrNothing) {
    const auto results = call("cells", 12);
    ASSERT_EQ(results.size(), 12u);
    EXPECT_EQ(valueOf(results[0]), 1);  // the player alone on its cell
    EXPECT_EQ(results[1].getText(), "Actor");
    EXPECT_EQ(valueOf(results[2]), 0);  // outside: 0 and a null handle
    for (std::size_t i = 3; i < results.size(); ++i) {
        EXPECT_EQ(valueOf(results[i]), 1) << "result " << i;
    }
}

TEST_F(DungeonModule, PointersThatNameNoObjectOfTheFloorNameNothing) {
    int stranger = 0;
    const auto results = call("foreign", 4, {CScriptValue(static_cast<void*>(&stranger))});
    EXPECT_EQ(valueOf(results[0]), 1);
    EXPECT_EQ(valueOf(results[1]), 1);
    EXPECT_EQ(valueOf(results[2]), 0);
    EXPECT_EQ(valueOf(results[3]), 1) << "the player is still in the turn order";
    EXPECT_EQ(player_->getCell(), floor_.getMap().getCell({2, 2}));
}

TEST_F(DungeonModule, DiggingChangesOnlyWallsAndBurstsPassOverMarkedItems) {
    EXPECT_EQ(numbers("digging", 8), (std::vector<double>{0, 1, 1, 0, 0, 1, 0, 1}));
    EXPECT_EQ(floor_.getMap().getCell({0, 0})->cellType, Fenwarrow::Dungeon::kCellWall) << "only tested";
    EXPECT_EQ(floor_.getMap().getCell({0, 1})->cellType, Fenwarrow::Dungeon::kCellFloor);
    EXPECT_EQ(optioned_->getCell(), nullptr);
}

TEST_F(DungeonModule, ALineOfFireWithTheShooterAloneUsesItsFacingAndTheDefaultRange) {
    EXPECT_EQ(numbers("shooting", 4), (std::vector<double>{1, 3, 2, 2}));
}

TEST_F(DungeonModule, FloorFieldsTurnCountAndMiniMapSettings) {
    EXPECT_EQ(numbers("fields", 7), (std::vector<double>{0xFF, 2, 3, 950, 2, 0, 1}));
    EXPECT_EQ(services_.clearColour, 0xFFFF0203u);
    EXPECT_TRUE(floor_.getTurnController().getSuspend());
    EXPECT_EQ(floor_.getFloorState().showMiniMap, 0);
    EXPECT_FLOAT_EQ(floor_.getFloorState().miniMapOffsetY, -2.0f);
    EXPECT_EQ(floor_.getFloorState().enableDarkness, 0);
}

// The story's set-up script gets the two objects as the script handed them over, or 0.
TEST_F(DungeonModule, AnAdventureOverTheFloorGetsTheTwoObjectsWhole) {
    int first = 0;
    int second = 0;
    call("adventure", 0, {CScriptValue(static_cast<void*>(&first)), CScriptValue(static_cast<void*>(&second))});
    call("adventure", 0);
    EXPECT_EQ(services_.adventures, (std::vector<std::u16string>{u"Script/ADV/story.lua", u"Script/ADV/story.lua"}));
    using Contexts = std::pair<uintptr_t, uintptr_t>;
    EXPECT_EQ(
        services_.adventureContexts,
        (std::vector<Contexts>{{reinterpret_cast<uintptr_t>(&first), reinterpret_cast<uintptr_t>(&second)}, {0, 0}}));
}

TEST_F(DungeonModule, ShopsAndMonsterHousesComeFromTheirScriptsAndThePlayerPaysWhatItOwes) {
    CRoom* room = floor_.getMap().getRoom(0);
    plain_->getStatus().setPrice(120);
    optioned_->getStatus().setAnotherOption(0);
    optioned_->getStatus().setPrice(80);
    const auto made = numbers("shops", 4, {CScriptValue(static_cast<void*>(room))});
    EXPECT_EQ(made, (std::vector<double>{0, 1, 1, 0})) << "a missing script; a shop; a house; a second house";
    ASSERT_NE(room->shop, nullptr);
    EXPECT_EQ(room->shop->getBGMPath(), u"BGM/shop.ogg");
    ASSERT_NE(room->monsterHouse, nullptr);
    EXPECT_EQ(room->monsterHouse->houseName[0], u'ね');

    // Both items go on sale; the player picks one up, owes its price, and pays it.
    EXPECT_EQ(numbers("trade", 4), (std::vector<double>{0, 120, 0, 0}));
    EXPECT_EQ(data_->getPlayerMoney(), 880);
    EXPECT_EQ(player_->getItemList().at(0)->getShopEntryID(), -1) << "paid goods are the player's";
    EXPECT_EQ(room->shop->getEntries().size(), 1u);
}

TEST_F(DungeonModule, NextDungeonTakesAPathOnlyWhenItIsTheOneArgument) {
    floor_.getFloorState().nextScene = 9;
    call("next", 0, {CScriptValue("Dungeon/A/001.lua"), CScriptValue("extra")});
    EXPECT_TRUE(Fenwarrow::Dungeon::getFloorText(floor_.getFloorState().nextDungeonPath).empty());
    EXPECT_EQ(services_.sceneChanges, std::vector<int32_t>{9});
    call("next", 0, {CScriptValue("Dungeon/A/001.lua")});
    EXPECT_EQ(Fenwarrow::Dungeon::getFloorText(floor_.getFloorState().nextDungeonPath), u"Dungeon/A/001.lua");
}

TEST_F(DungeonModule, BreakingWallsMakesOneExploredRoomOrNothingWithoutWalls) {
    EXPECT_EQ(numbers("breakWalls", 1), std::vector<double>{1});
    ASSERT_EQ(floor_.getMap().getRoomCount(), 1);
    const CRoom* whole = floor_.getMap().getRoom(0);
    EXPECT_EQ((std::vector<int32_t>{whole->left, whole->top, whole->right, whole->bottom}),
              (std::vector<int32_t>{0, 0, 7, 5}));
    EXPECT_EQ(floor_.getMap().getCell({7, 5})->room, whole);
    EXPECT_TRUE(floor_.getMap().getCell({0, 0})->tracked);
    EXPECT_EQ(numbers("breakWalls", 1), std::vector<double>{0});
    EXPECT_EQ(floor_.getMap().getRoom(0), whole) << "the rooms are left alone";
}

}  // namespace
