#pragma once
// A small real floor whose actors carry the real condition set: a 20 x 10 map of Floor cells
// with one room (x 2..6, y 2..6), the player at (10, 8) in the corridor, the game data (music)
// and the floor's log and turn order. Test actors end each turn at once and record it.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/actor/CEnemy.h"
#include "game/actor/CPlayer.h"
#include "game/condition/CConditionController.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/CRoom.h"
#include "game/gamedata/CGameDataManager.h"
#include "tests/game/dungeon/DungeonTestServices.h"

namespace ConditionTest {

using Fenwarrow::Dungeon::MapPoint;

// Who took a turn, in order.
using TurnLog = std::vector<std::string>;

template <typename Base>
class TurnTaker : public Base {
public:
    TurnTaker(Fenwarrow::IGameContext& context, std::string name, TurnLog& log)
        : Base(context), name_(std::move(name)), log_(log) {}
    void onTurn(Fenwarrow::Dungeon::IActionManager& /*actions*/) override {
        log_.push_back(name_);
        this->setTurnState(0);
    }

private:
    std::string name_;
    TurnLog& log_;
};

// Records the floor events an actor's listeners hear.
class EventRecorder : public Fenwarrow::Dungeon::CDungeonEventListener {
public:
    void onRoomIn() override { events.push_back("in"); }
    void onRoomOut() override { events.push_back("out"); }
    std::vector<std::string> events;
};

class ConditionFixture : public ::testing::Test {
protected:
    static constexpr MapPoint kCorridor{10, 8};
    static constexpr MapPoint kInRoom{4, 4};

    void SetUp() override {
        game_.makeConditions = [](Fenwarrow::Actor::CActor& actor) {
            return std::make_unique<Fenwarrow::Actor::Condition::CConditionController>(actor);
        };
        data_ = std::make_unique<Fenwarrow::CGameDataManager>(game_);
        game_.gameData = data_.get();
        services_ = std::make_unique<DungeonTest::TestDungeonServices>(game_);
        floor_ = std::make_unique<Fenwarrow::Dungeon::CDungeon>(*services_);
        Fenwarrow::Dungeon::CMap& map = floor_->getMap();
        map.create(32, 20, 10);
        for (Fenwarrow::Dungeon::CMapCell& cell : map.getCells()) {
            cell.cellType = Fenwarrow::Dungeon::kCellFloor;
        }
        map.clearRoom();
        room_ = map.addRoom(Fenwarrow::Dungeon::CRoom(2, 2, 6, 6));
        map.setRoomCells(room_);
        game_.dungeon = floor_.get();
        player_ = std::make_shared<TurnTaker<Fenwarrow::Actor::CPlayer>>(game_, "P", turns_);
        player_->setActorID(1);
        floor_->setPlayer(player_);
        // In the order from the first round on.
        floor_->getTurnController().appendParticipant(player_, false);
        ASSERT_TRUE(floor_->putCellObject(player_.get(), kCorridor, false));
        actions_ = std::make_shared<DungeonTest::RecordingActions>();
    }
    void TearDown() override {
        game_.dungeon = nullptr;
        floor_.reset();
        services_.reset();
        game_.gameData = nullptr;
        data_.reset();
    }

    std::shared_ptr<TurnTaker<Fenwarrow::Actor::CEnemy>> addEnemy(MapPoint point, const std::string& name = "E") {
        auto enemy = std::make_shared<TurnTaker<Fenwarrow::Actor::CEnemy>>(game_, name, turns_);
        enemy->setActorID(static_cast<int32_t>(floor_->getTurnController().getParticipantCount()) + 1);
        floor_->getTurnController().appendParticipant(enemy, false);
        EXPECT_TRUE(floor_->putCellObject(enemy.get(), point, false));
        return enemy;
    }

    static Fenwarrow::Actor::Condition::CConditionController& conditionsOf(Fenwarrow::Actor::CActor& actor) {
        return static_cast<Fenwarrow::Actor::Condition::CConditionController&>(*actor.getConditions());
    }
    // One turn entry and exit of the actor outside the turn order; whether it got the turn.
    bool takeTurn(Fenwarrow::Actor::CActor& actor) {
        actor.setActionsLeft(1);
        actor.onEnterTurn(*actions_);
        const bool acted = actor.getInTurn();
        actor.onExitTurn(*actions_);
        return acted;
    }
    // The turn order runs until the log holds that many turns (bounded).
    void runTurns(std::size_t count) {
        for (int frame = 0; frame < 1000 && turns_.size() < count; ++frame) {
            floor_->getTurnController().update(*actions_);
        }
        ASSERT_GE(turns_.size(), count);
        turns_.resize(count);
    }
    const std::vector<std::u16string>& log() const { return floor_->getLogManager().getHistory(); }
    // The actor goes to the point (or stays there) and ends a turn.
    void move(Fenwarrow::Actor::CActor& actor, MapPoint point) {
        const Fenwarrow::Dungeon::CMapCell* cell = actor.getCell();
        if (cell == nullptr || cell->getPoint() != point) {
            ASSERT_TRUE(floor_->putCellObject(&actor, point, false));
        }
        actor.onExitTurn(*actions_);
    }

    GameTest::TestGameContext game_;
    std::unique_ptr<Fenwarrow::CGameDataManager> data_;
    std::unique_ptr<DungeonTest::TestDungeonServices> services_;
    std::unique_ptr<Fenwarrow::Dungeon::CDungeon> floor_;
    Fenwarrow::Dungeon::CRoom* room_ = nullptr;
    TurnLog turns_;
    std::shared_ptr<TurnTaker<Fenwarrow::Actor::CPlayer>> player_;
    std::shared_ptr<DungeonTest::RecordingActions> actions_;
};

}  // namespace ConditionTest
