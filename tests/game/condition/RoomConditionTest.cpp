// The default condition: room entry and exit events, the music of shops and monster houses,
// and the robber event when the player leaves a shop owing.
#include "game/condition/CDefaultCondition.h"
#include "game/dungeon/CShopInfo.h"
#include "game/item/CItem.h"
#include "tests/game/condition/ConditionFixture.h"

namespace ConditionTest {
namespace {

using namespace Fenwarrow::Actor;
using Fenwarrow::Dungeon::getFloorText;
using Fenwarrow::Dungeon::setFloorText;

constexpr const char16_t* kFloorMusic = u"BGM/bgm002.ogg";
constexpr const char16_t* kShopMusic = u"BGM/bgm003.ogg";
constexpr const char16_t* kHouseMusic = u"BGM/bgm004.ogg";

class RoomConditionTest : public ConditionFixture {
protected:
    void SetUp() override {
        ConditionFixture::SetUp();
        setFloorText(floor_->getFloorState().currentBgmPath, kFloorMusic);
        data_->playBGM(kFloorMusic, false);
        player_->getEventHolder().addListener(&events_);
        // A second room beside the first, sharing its east wall line: x 7..9.
        Fenwarrow::Dungeon::CMap& map = floor_->getMap();
        second_ = map.addRoom(Fenwarrow::Dungeon::CRoom(7, 2, 9, 6));
        map.setRoomCells(second_);
        player_->callEvent("onArrival");
        events_.events.clear();
    }
    void TearDown() override {
        player_->getEventHolder().removeListener(&events_);
        ConditionFixture::TearDown();
    }
    std::u16string music() const { return data_->getBGMInfo().path; }
    void makeShop(Fenwarrow::Dungeon::CRoom& room) {
        room.roomType = 2;
        room.shop = std::make_shared<Fenwarrow::Dungeon::CShopInfo>(*floor_);
        room.shop->setBGMPath(kShopMusic);
    }
    // Goods of the shop carried out of its rooms: owed in full.
    void takeGoods(Fenwarrow::Dungeon::CRoom& room) {
        auto item = std::make_shared<Fenwarrow::Item::CItem>(game_, 100);
        item->getStatus().setPrice(500);
        floor_->addFloorItem(item);
        ASSERT_TRUE(floor_->putCellObject(item.get(), {room.left, room.bottom}, false));
        room.shop->addItem(item.get());
        floor_->removeItem(item.get());
        ASSERT_GT(room.shop->getTotalSellPrice(), 0);
    }

    EventRecorder events_;
    Fenwarrow::Dungeon::CRoom* second_ = nullptr;
};

TEST_F(RoomConditionTest, RoomChangesRaiseTheRoomEvents) {
    struct Step {
        MapPoint to;
        std::vector<std::string> events;
    };
    const Step steps[] = {
        {kInRoom, {"in"}},        // corridor to room
        {{5, 5}, {}},             // within the room
        {{8, 4}, {"out", "in"}},  // straight into the next room
        {{8, 4}, {}},             // standing still
        {kCorridor, {"out"}},     // room to corridor
        {{11, 8}, {}},            // along the corridor
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.to.x);
        events_.events.clear();
        move(*player_, step.to);
        EXPECT_EQ(events_.events, step.events);
    }
}

TEST_F(RoomConditionTest, ALoadedActorIsNewlyArrivedInItsRoom) {
    move(*player_, kInRoom);
    auto& room = *conditionsOf(*player_).getCondition(kConditionDefault);
    Orvex::Serialization::OxSerializer record;
    ASSERT_TRUE(room.serialize(record));
    EXPECT_EQ(record.getBuffer(), (std::vector<uint8_t>{1, 0}));
    record.setWriting(false);
    ASSERT_TRUE(room.serialize(record));
    events_.events.clear();
    player_->onExitTurn(*actions_);
    EXPECT_EQ(events_.events, (std::vector<std::string>{"in"}));
}

TEST_F(RoomConditionTest, ShopsPlayTheirMusicAndLeavingPaidPlaysTheFloorsAgain) {
    makeShop(*room_);
    move(*player_, kInRoom);
    EXPECT_EQ(music(), kShopMusic);
    EXPECT_EQ(getFloorText(floor_->getFloorState().currentBgmPath), kFloorMusic);
    move(*player_, kCorridor);
    EXPECT_EQ(music(), kFloorMusic);
    EXPECT_EQ(floor_->getFloorState().robber, 0);
    EXPECT_NE(room_->shop, nullptr);
    EXPECT_TRUE(services_->adventures.empty());
}

TEST_F(RoomConditionTest, LeavingAShopOwingStartsTheRobberEventOnce) {
    makeShop(*room_);
    move(*player_, kInRoom);
    takeGoods(*room_);
    move(*player_, kCorridor);
    EXPECT_EQ(floor_->getFloorState().robber, 1);
    EXPECT_EQ(getFloorText(floor_->getFloorState().currentBgmPath), u"BGM/bgm017.ogg");
    EXPECT_EQ(music(), u"BGM/bgm017.ogg");
    EXPECT_EQ(room_->shop, nullptr);
    EXPECT_EQ(room_->roomType, 0);
    EXPECT_EQ(services_->adventures, (std::vector<std::u16string>{u"Actor/NonPlayer/VNDR/Event/Robber.lua"}));
    // The room is no shop any more: walking in and out again starts nothing.
    move(*player_, kInRoom);
    move(*player_, kCorridor);
    EXPECT_EQ(services_->adventures.size(), 1u);
}

TEST_F(RoomConditionTest, LeavingAShopIntoAnotherShopChangesNothing) {
    makeShop(*room_);
    makeShop(*second_);
    move(*player_, kInRoom);
    takeGoods(*room_);
    move(*player_, {8, 4});
    EXPECT_EQ(floor_->getFloorState().robber, 0);
    EXPECT_NE(room_->shop, nullptr);
}

TEST_F(RoomConditionTest, AMonsterHouseIsAnnouncedWhenItsMusicStarts) {
    room_->roomType = 1;
    room_->monsterHouse = std::make_shared<Fenwarrow::Dungeon::CMonsterHouseInfo>();
    const std::u16string name = u"モンスターハウス";
    std::copy(name.begin(), name.end(), room_->monsterHouse->houseName.begin());
    const std::u16string path = kHouseMusic;
    std::copy(path.begin(), path.end(), room_->monsterHouse->bgmPath.begin());
    move(*player_, kInRoom);
    EXPECT_EQ(music(), kHouseMusic);
    EXPECT_EQ(getFloorText(floor_->getFloorState().currentBgmPath), kHouseMusic);
    EXPECT_EQ(log(), (std::vector<std::u16string>{u"モンスターハウスだ！"}));
    // Its music still plays: no second announcement.
    move(*player_, kCorridor);
    move(*player_, kInRoom);
    EXPECT_EQ(log().size(), 1u);
}

TEST_F(RoomConditionTest, OnceARobberTheMusicNoLongerFollowsTheRooms) {
    floor_->getFloorState().robber = 1;
    makeShop(*room_);
    move(*player_, kInRoom);
    EXPECT_EQ(music(), kFloorMusic);
}

TEST_F(RoomConditionTest, EnemiesRaiseRoomEventsButTouchNoMusic) {
    makeShop(*room_);
    auto enemy = addEnemy({11, 2});
    EventRecorder enemyEvents;
    enemy->getEventHolder().addListener(&enemyEvents);
    enemy->callEvent("onArrival");
    move(*enemy, {3, 3});
    move(*enemy, {11, 2});
    EXPECT_EQ(enemyEvents.events, (std::vector<std::string>{"in", "out"}));
    EXPECT_EQ(music(), kFloorMusic);
    enemy->getEventHolder().removeListener(&enemyEvents);
}

}  // namespace
}  // namespace ConditionTest
