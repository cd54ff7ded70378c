#include "game/dungeon/CDungeon.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "game/actor/CPlayer.h"
#include "game/item/CItem.h"
#include "game/item/CItemFactory.h"
#include "tests/game/dungeon/DungeonTestServices.h"
#include "tests/game/shell/GameTestContext.h"

namespace {

using namespace Fenwarrow::Dungeon;
using Fenwarrow::Actor::CActor;
using Fenwarrow::Actor::CPlayer;
using Fenwarrow::Item::CItem;

struct Enemy : CActor {
    using CActor::CActor;
    int32_t getActorType() const override { return kEnemy; }
};

// A floor from rows of text: '.' Floor, '#' Wall, 'H' HardWall, '~' Water, ' ' None; rooms are
// given as rectangles and linked to the cells.
class Floor : public ::testing::Test {
protected:
    void build(const std::vector<std::string>& rows, const std::vector<CRoom>& rooms = {}, uint32_t cellSize = 32) {
        CMap& map = floor_.getMap();
        ASSERT_TRUE(map.create(cellSize, static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size())));
        map.clearRoom();
        for (int32_t y = 0; y < map.getHeight(); ++y) {
            for (int32_t x = 0; x < map.getWidth(); ++x) {
                const char c = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
                map.getCell({x, y})->cellType = c == '.'   ? kCellFloor
                                                : c == '#' ? kCellWall
                                                : c == 'H' ? kCellHardWall
                                                : c == '~' ? kCellWater
                                                           : kCellNone;
            }
        }
        for (const CRoom& room : rooms) {
            map.addRoom(room);
        }
        map.assignRoomCells();
    }

    CActor* enemyAt(MapPoint point) {
        enemies_.push_back(std::make_unique<Enemy>(context_));
        EXPECT_TRUE(floor_.putCellObject(enemies_.back().get(), point, false));
        return enemies_.back().get();
    }
    CItem* itemAt(MapPoint point) {
        items_.push_back(std::make_unique<CItem>(context_, 1));
        EXPECT_TRUE(floor_.putCellObject(items_.back().get(), point, false));
        return items_.back().get();
    }

    GameTest::TestGameContext context_;
    DungeonTest::TestDungeonServices services_{context_};
    CDungeon floor_{services_};
    CPlayer player_{context_};
    std::vector<std::unique_ptr<Enemy>> enemies_;
    std::vector<std::unique_ptr<CItem>> items_;
};

TEST_F(Floor, PlacementKeepsOneObjectOfEachTypeOnAFloorCell) {
    build({"....", ".#..", "...."});
    CItem* item = itemAt({0, 0});
    CItem other(context_, 2);
    EXPECT_FALSE(floor_.putCellObject(&other, {0, 0}, false));  // a second item
    EXPECT_FALSE(floor_.putCellObject(&other, {0, 0}, true));
    EXPECT_TRUE(floor_.putCellObject(&player_, {0, 0}, false));   // an actor beside the item
    EXPECT_FALSE(floor_.putCellObject(&player_, {0, 0}, false));  // its own type is there
    EXPECT_FALSE(floor_.putCellObject(&other, {1, 1}, false));    // a wall, unless forced
    EXPECT_FALSE(floor_.putCellObject(&other, {4, 0}, true));     // outside
    EXPECT_TRUE(floor_.forcePutCellObject(&other, {1, 1}));
    EXPECT_TRUE(floor_.putCellObject(item, {3, 2}, false));  // a move leaves the old cell
    EXPECT_EQ(floor_.getMap().getCell({0, 0})->objects[0], &player_);
    EXPECT_EQ(item->getCell(), floor_.getMap().getCell({3, 2}));
    floor_.deleteCellObject(item);
    floor_.deleteCellObject(item);
    EXPECT_EQ(item->getCell(), nullptr);
    EXPECT_EQ(floor_.getMap().getCell({3, 2})->objectCount, 0u);
}

TEST_F(Floor, PlacementNearSearchesOutwardsWithinTheDepth) {
    build({".....", ".....", ".....", ".....", "....."});
    CItem probe(context_, 9);
    EXPECT_EQ(floor_.putCellObjectNear(&probe, {2, 2}, false, 0), kInvalidPoint);
    EXPECT_EQ(probe.getCell(), nullptr);
    for (const MapPoint taken : {MapPoint{2, 2}, MapPoint{3, 2}, MapPoint{2, 3}, MapPoint{1, 2}, MapPoint{2, 1}}) {
        itemAt(taken);
    }
    EXPECT_EQ(floor_.putCellObjectNear(&probe, {2, 2}, false, 1), kInvalidPoint);  // the point and its four
    // With depth 2 the search goes on from the east neighbour: its own east cell first.
    EXPECT_EQ(floor_.putCellObjectNear(&probe, {2, 2}, false, 2), (MapPoint{4, 2}));
    // A deep search over a floor with no room left ends (each cell is searched once per depth).
    build({"#####", "#####", "#####", "#####", "#####"});
    CItem stray(context_, 9);
    EXPECT_EQ(floor_.putCellObjectNear(&stray, {2, 2}, true, 40), (MapPoint{2, 2}));
    CItem another(context_, 9);
    EXPECT_EQ(floor_.putCellObjectNear(&another, {2, 2}, false, 40), kInvalidPoint);
}

TEST_F(Floor, MovesAreBlockedByKindsActorsAndWallCorners) {
    build({"........", "........", "........", "........", ".....~..", "...... .", "........", "........"});
    ASSERT_TRUE(floor_.putCellObject(&player_, {5, 5}, false));
    CActor* east = enemyAt({7, 7});
    struct Case {
        MapPoint to;
        bool step;
        bool movable;
    };
    // (6,5) is None and (5,4) Water: both diagonal steps past them cut a corner.
    const Case cases[] = {{{6, 4}, true, false},  {{4, 4}, true, false},  {{6, 6}, true, false},
                          {{4, 6}, true, true},   {{4, 5}, true, true},   {{5, 6}, true, true},
                          {{6, 4}, false, true},  {{5, 4}, false, false}, {{7, 7}, false, false},
                          {{8, 5}, false, false}, {{-1, 0}, false, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(floor_.isMovable(&player_, c.to, c.step), c.movable) << c.to.x << "," << c.to.y << " step " << c.step;
    }
    EXPECT_FALSE(floor_.isMovable(nullptr, {4, 4}, false));
    (void)east;

    // Actors beside a diagonal step do not cut it.
    build({"......", "......", "......", "......", "......", "......"});
    ASSERT_TRUE(floor_.putCellObject(&player_, {5, 5}, false));
    enemyAt({5, 4});
    enemyAt({4, 5});
    EXPECT_TRUE(floor_.isMovable(&player_, {4, 4}, true));
    EXPECT_TRUE(floor_.checkAttackPossible({5, 5}, {4, 4}, 1));
    floor_.getMap().getCell({4, 5})->cellType = kCellWall;
    EXPECT_FALSE(floor_.isMovable(&player_, {4, 4}, true));
    EXPECT_FALSE(floor_.checkAttackPossible({5, 5}, {4, 4}, 1));
    EXPECT_TRUE(floor_.checkAttackPossible({5, 5}, {4, 4}, 0));
    EXPECT_TRUE(floor_.checkAttackPossible({5, 5}, {5, 0}, 1));
}

TEST_F(Floor, SightCoversTheWidenedRoomOrTheEightNeighbours) {
    // A room (2..5, 1..3) and a corridor below it.
    build({"##########", "#........#", "#........#", "#........#", "####.#####", "####.#####", "####.#####"},
          {CRoom(2, 1, 5, 3)});
    ASSERT_TRUE(floor_.putCellObject(&player_, {3, 2}, false));
    struct Case {
        MapPoint point;
        bool seen;
    };
    const Case inRoom[] = {{{1, 0}, true}, {{6, 4}, true}, {{0, 2}, false}, {{7, 2}, false}, {{4, 5}, false}};
    for (const Case& c : inRoom) {
        EXPECT_EQ(floor_.isPointInRoomSight(&player_, c.point, false), c.seen) << c.point.x << "," << c.point.y;
    }
    ASSERT_TRUE(floor_.putCellObject(&player_, {4, 5}, false));
    const Case inCorridor[] = {{{3, 4}, true}, {{5, 6}, true}, {{4, 5}, true}, {{4, 3}, false}, {{6, 5}, false}};
    for (const Case& c : inCorridor) {
        EXPECT_EQ(floor_.isPointInRoomSight(&player_, c.point, false), c.seen) << c.point.x << "," << c.point.y;
    }
    CActor* target = enemyAt({4, 3});
    EXPECT_FALSE(floor_.checkActorInSight(&player_, target, false));
    floor_.setFloorIdentifiable(&player_, true);
    EXPECT_TRUE(floor_.checkActorInSight(&player_, target, false));
    EXPECT_FALSE(floor_.checkActorInSight(&player_, target, true));
    EXPECT_TRUE(floor_.getMap().getCell({8, 1})->tracked);  // the player explored every Floor cell
    EXPECT_FALSE(floor_.getMap().getCell({0, 0})->tracked);
    floor_.deleteCellObject(target);
    EXPECT_FALSE(floor_.checkActorInSight(&player_, target, false));
}

TEST_F(Floor, ScreenSightUsesUnsignedCellDivisions) {
    for (const auto& [cellSize, reachX, reachY] : {std::tuple{32u, 13, 10}, std::tuple{48u, 9, 7}}) {
        build(std::vector<std::string>(40, std::string(40, '.')), {}, cellSize);
        ASSERT_TRUE(floor_.putCellObject(&player_, {20, 20}, false));
        EXPECT_TRUE(floor_.checkPointInActorSight({20 + reachX, 20 - reachY}, &player_)) << cellSize;
        EXPECT_FALSE(floor_.checkPointInActorSight({20 - reachX - 1, 20}, &player_)) << cellSize;
        EXPECT_FALSE(floor_.checkPointInActorSight({20, 20 + reachY + 1}, &player_)) << cellSize;
    }
    EXPECT_FALSE(floor_.checkPointInActorSight({0, 0}, nullptr));
    EXPECT_FALSE(floor_.checkCellObjectInActorSight(nullptr, &player_));
}

TEST_F(Floor, NeighbourListsRunClockwiseFromNorth) {
    build({"...", "...", "..."});
    ASSERT_TRUE(floor_.putCellObject(&player_, {0, 0}, false));
    CActor* east = enemyAt({1, 0});
    CActor* southEast = enemyAt({1, 1});
    itemAt({0, 1})->setVisible(false);
    const auto around = floor_.getAroundActorList({0, 0});
    EXPECT_EQ(around, (std::array<CActor*, 8>{nullptr, nullptr, east, southEast, nullptr, nullptr, nullptr, nullptr}));
    int32_t kinds[8];
    bool visible[8];
    floor_.getAroundCellInfo(0, 0, kinds, visible);
    EXPECT_EQ(std::vector<int32_t>(kinds, kinds + 8), (std::vector<int32_t>{0, 0, 1, 1, 1, 0, 0, 0}));
    EXPECT_EQ(std::vector<bool>(visible, visible + 8),
              (std::vector<bool>{false, false, true, true, false, false, false, false}));
    floor_.setTrapIdentifiable(&player_, true);
    floor_.getAroundCellInfo(0, 0, kinds, visible);
    EXPECT_TRUE(visible[4]);
}

TEST_F(Floor, DirectionIndexIsTheNearestOfEightClockwiseFromNorth) {
    const MapPoint from{5, 5};
    const std::pair<MapPoint, int32_t> cases[] = {{{5, 4}, 0}, {{6, 4}, 1}, {{6, 5}, 2}, {{6, 6}, 3},
                                                  {{5, 6}, 4}, {{4, 6}, 5}, {{4, 5}, 6}, {{4, 4}, 7},
                                                  {{7, 4}, 1}, {{7, 3}, 1}, {{8, 4}, 2}};
    for (const auto& [to, index] : cases) {
        EXPECT_EQ(CDungeon::getDirectionIndex(from, to), index) << to.x << "," << to.y;
    }
}

TEST_F(Floor, LinesOfFireStopAtTargetsAndWalls) {
    build({"..........", "..........", "......#...", ".........."});
    ASSERT_TRUE(floor_.putCellObject(&player_, {1, 2}, false));
    player_.getStatus().setDirection(2);  // east
    enemyAt({3, 2});
    enemyAt({5, 2});
    itemAt({8, 2});
    using Points = std::vector<MapPoint>;
    // The first actor ends the line; collected, every actor up to the wall, then the cell before
    // it unless that is the last one collected.
    EXPECT_EQ(floor_.getShootableCells(&player_, -1, CCellObject::kActor, -1, false, false), (Points{{3, 2}}));
    EXPECT_EQ(floor_.getShootableCells(&player_, 2, CCellObject::kActor, -1, true, false), (Points{{3, 2}, {5, 2}}));
    floor_.deleteCellObject(enemies_.back().get());
    EXPECT_EQ(floor_.getShootableCells(&player_, 2, CCellObject::kActor, -1, true, false), (Points{{3, 2}, {5, 2}}));
    ASSERT_TRUE(floor_.putCellObject(enemies_.back().get(), {4, 2}, false));
    EXPECT_EQ(floor_.getShootableCells(&player_, 2, CCellObject::kActor, -1, true, false),
              (Points{{3, 2}, {4, 2}, {5, 2}}));
    // Passing walls the line runs to the map's edge.
    EXPECT_EQ(floor_.getShootableCells(&player_, 2, CCellObject::kActor, -1, true, true),
              (Points{{3, 2}, {4, 2}, {9, 2}}));
    // Thrown items stop before the first actor; within the range the line ends where it runs out.
    EXPECT_EQ(floor_.getShootableCells(&player_, 2, CCellObject::kItem, -1, false, false), (Points{{2, 2}}));
    EXPECT_EQ(floor_.getShootableCells(&player_, 0, CCellObject::kItem, 1, false, false), (Points{{1, 1}}));
    // A line that leaves the map at once, a bad direction and an actor on no cell.
    ASSERT_TRUE(floor_.putCellObject(&player_, {0, 0}, false));
    EXPECT_EQ(floor_.getShootableCells(&player_, 7, CCellObject::kActor, -1, false, false), (Points{kInvalidPoint}));
    EXPECT_TRUE(floor_.getShootableCells(&player_, 9, CCellObject::kActor, -1, false, false).empty());
    floor_.deleteCellObject(&player_);
    EXPECT_TRUE(floor_.getShootableCells(&player_, 2, CCellObject::kActor, -1, false, false).empty());
}

TEST_F(Floor, FreeRoomPointsEndInAFullOrMisplacedRoom) {
    build({".....", ".....", "....."}, {CRoom(0, 0, 4, 2), CRoom(20, 20, 30, 30)});
    const CRoom* room = floor_.getMap().getRoom(0);
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
            if (x != 3 || y != 2) {
                enemyAt({x, y});
            }
        }
    }
    EXPECT_EQ(floor_.getRandomRoomPoint(room, true), (MapPoint{3, 2}));  // the one free cell
    enemyAt({3, 2});
    EXPECT_EQ(floor_.getRandomRoomPoint(room, true), kInvalidPoint);
    EXPECT_EQ(floor_.getRandomRoomPoint(floor_.getMap().getRoom(1), true), kInvalidPoint);
    const MapPoint any = floor_.getRandomRoomPoint(room, false);
    EXPECT_TRUE(room->contains(any));
    EXPECT_EQ(floor_.getRandomRoomPoint(nullptr, true), (MapPoint{0, 0}));
}

TEST_F(Floor, RoomActorsAreFoundOnTheWidenedRectangle) {
    build({"#######", "#.....#", "#.....#", "#######", "......."}, {CRoom(1, 1, 5, 2)});
    const CRoom* room = floor_.getMap().getRoom(0);
    CActor* gate = enemyAt({1, 1});
    gate->setActorID(7);
    ASSERT_TRUE(floor_.forcePutCellObject(gate, {0, 1}));  // on the wall line, as in a gate
    CActor* inside = enemyAt({3, 2});
    inside->setActorID(4);
    enemyAt({3, 4});  // two rows below: outside even when widened
    EXPECT_EQ(floor_.getRoomActorList(room), (std::vector<CActor*>{gate, inside}));
    EXPECT_TRUE(floor_.checkRoomActorExist(room, 7, true));
    EXPECT_FALSE(floor_.checkRoomActorExist(room, 7, false));
    EXPECT_TRUE(floor_.checkRoomActorExist(room, 4, false));
    EXPECT_FALSE(floor_.checkRoomActorExist(nullptr, 4, true));
}

TEST_F(Floor, TrackingMarksTheRoomOnEntryOrTheCellsAroundInCorridors) {
    build({"#####.", "#...#.", "#...#.", "##.##.", "##.##."}, {CRoom(1, 1, 3, 2)});
    CRoom* room = floor_.getMap().getRoom(0);
    room->gates.push_back({2, 3});
    CMap& map = floor_.getMap();
    ASSERT_TRUE(floor_.putCellObject(&player_, {2, 4}, false));
    floor_.track(&player_, std::nullopt);
    EXPECT_TRUE(map.getCell({2, 3})->tracked);
    EXPECT_FALSE(map.getCell({1, 3})->tracked);  // a wall in reach stays unexplored
    EXPECT_FALSE(map.getCell({2, 2})->tracked);
    ASSERT_TRUE(floor_.putCellObject(&player_, {2, 2}, false));
    floor_.track(&player_, MapPoint{2, 2});  // coming from a room cell: nothing new
    EXPECT_FALSE(map.getCell({1, 1})->tracked);
    floor_.track(&player_, MapPoint{2, 3});
    for (const MapPoint point : {MapPoint{1, 1}, MapPoint{3, 2}, MapPoint{2, 3}}) {
        EXPECT_TRUE(map.getCell(point)->tracked) << point.x << "," << point.y;
    }
    EXPECT_FALSE(map.getCell({0, 1})->tracked);
    EXPECT_FALSE(map.getCell({5, 0})->tracked);
    // Only the player explores.
    CActor* enemy = enemyAt({5, 0});
    floor_.track(enemy, std::nullopt);
    EXPECT_FALSE(map.getCell({5, 1})->tracked);
}

}  // namespace

namespace {

TEST_F(Floor, FloorItemsAreFoundByCellAndIdAndLeaveWithTheirCell) {
    build({"....", "....", "#..."});
    auto first = std::make_shared<CItem>(context_, 20);
    auto second = std::make_shared<CItem>(context_, 20);
    auto other = std::make_shared<CItem>(context_, 3);
    for (const auto& [item, point] :
         {std::pair{first, MapPoint{2, 1}}, std::pair{second, MapPoint{0, 0}}, std::pair{other, MapPoint{3, 2}}}) {
        floor_.addFloorItem(item);
        ASSERT_TRUE(floor_.putCellObject(item.get(), point, false));
    }
    ASSERT_TRUE(floor_.putCellObject(&player_, {2, 1}, false));
    EXPECT_EQ(floor_.findItemsByItemID(20), (std::vector<MapPoint>{{0, 0}, {2, 1}}));
    EXPECT_EQ(floor_.getCellItem(floor_.getMap().getCell({2, 1})), first);
    EXPECT_EQ(floor_.getCellItem(floor_.getMap().getCell({1, 1})), nullptr);

    EXPECT_EQ(floor_.removeItem(first.get()), first);
    EXPECT_EQ(first->getCell(), nullptr);
    EXPECT_EQ(floor_.getItems().size(), 2u);
    EXPECT_EQ(floor_.removeItem(first.get()), nullptr);
    EXPECT_EQ(floor_.removeItem(nullptr), nullptr);
    EXPECT_EQ(floor_.findItemsByItemID(20), (std::vector<MapPoint>{{0, 0}}));
}

TEST_F(Floor, AnItemTheFactoryCannotMakeChangesNothing) {
    build({"...", "#.."});
    Fenwarrow::Item::CItemFactory factory(context_);    // knows no item
    EXPECT_EQ(floor_.createItem(20, {1, 1}), nullptr);  // no factory yet
    floor_.setItemFactory(&factory);
    EXPECT_EQ(floor_.createItem(20, {1, 1}), nullptr);
    EXPECT_TRUE(floor_.getItems().empty());
    EXPECT_EQ(floor_.getMap().getCell({1, 1})->objectCount, 0u);
    EXPECT_EQ(floor_.createItem(20, {0, 1}), nullptr);  // a wall
    EXPECT_EQ(floor_.createItem(20, {3, 0}), nullptr);  // outside
}

}  // namespace

namespace {

TEST_F(Floor, PutItemsLandNearbyOrLeaveTheGame) {
    build({"...#", "..##", "####"});
    auto player = std::make_shared<CPlayer>(context_);
    floor_.setPlayer(player);
    // Carried by the player: lands, joins the floor list and shows as asked.
    auto carried = std::make_shared<CItem>(context_, 4);
    player->addItem(carried);
    EXPECT_EQ(floor_.putItem(carried.get(), {0, 0}, false, 3), (MapPoint{0, 0}));
    EXPECT_EQ(floor_.getItems(), (std::vector<std::shared_ptr<CItem>>{carried}));
    EXPECT_FALSE(carried->isVisible());
    // Inside a container the player carries: taken out into the player's items first.
    auto pot = std::make_shared<CItem>(context_, 5);
    auto inside = std::make_shared<CItem>(context_, 6);
    player->addItem(pot);
    pot->pushItemIntoItemList(inside);
    EXPECT_EQ(floor_.putItem(inside.get(), {0, 0}, true, 3), (MapPoint{1, 0}));
    EXPECT_EQ(inside->getHolder(), nullptr);
    EXPECT_GE(player->findItem(inside.get()), 0);
    EXPECT_EQ(floor_.getItems().size(), 2u);
    // Depth 0 changes nothing; with every cell in reach taken the item leaves the game.
    EXPECT_EQ(floor_.putItem(carried.get(), {2, 0}, true, 0), kInvalidPoint);
    EXPECT_EQ(carried->getCell(), floor_.getMap().getCell({0, 0}));
    for (const MapPoint point : {MapPoint{2, 0}, MapPoint{0, 1}, MapPoint{1, 1}}) {
        itemAt(point);
    }
    EXPECT_EQ(floor_.putItem(carried.get(), {0, 0}, true, 3), kInvalidPoint);
    EXPECT_EQ(carried->getCell(), nullptr);
    EXPECT_EQ(floor_.getItems().size(), 1u);
}

}  // namespace

namespace {

TEST_F(Floor, PickingUpOutsideAShopEndsTheShopMarking) {
    build({"....", "...."});
    auto player = std::make_shared<CPlayer>(context_);
    floor_.setPlayer(player);
    ASSERT_TRUE(floor_.putCellObject(player.get(), {1, 1}, false));
    auto goods = std::make_shared<CItem>(context_, 7);
    goods->setShopEntryID(3);
    goods->setShopCell({1, 1});
    floor_.addFloorItem(goods);
    ASSERT_TRUE(floor_.putCellObject(goods.get(), {1, 1}, false));
    floor_.toPlayerItem(goods.get());
    EXPECT_EQ(goods->getCell(), nullptr);
    EXPECT_TRUE(floor_.getItems().empty());
    EXPECT_EQ(player->findItem(goods.get()), 0);
    EXPECT_EQ(goods->getShopEntryID(), -1);
    EXPECT_EQ(goods->getShopCell(), kInvalidPoint);
    ASSERT_EQ(floor_.getLogManager().getHistory().size(), 1u);
    const std::u16string& line = floor_.getLogManager().getHistory()[0];
    EXPECT_EQ(line.substr(line.size() - 5), u"を拾った。");
    floor_.toPlayerItem(goods.get());  // no longer a floor item: nothing
    EXPECT_EQ(floor_.getLogManager().getHistory().size(), 1u);
}

}  // namespace
