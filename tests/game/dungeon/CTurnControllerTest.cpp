#include "game/dungeon/CTurnController.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "game/actor/CActor.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/IActionManager.h"
#include "tests/game/dungeon/DungeonTestServices.h"
#include "tests/game/shell/GameTestContext.h"

namespace {

using namespace Fenwarrow::Dungeon;
using Fenwarrow::Actor::CActor;

// The floor's action queue as the turn order sees it.
struct Actions : IActionManager {
    bool isBusy() const override { return busy; }
    bool isBlocking() const override { return blocking; }
    void update() override {}
    void draw() override {}
    void clear() override {}
    bool busy = false;
    bool blocking = false;
};

using Log = std::vector<std::string>;

// A participant that records its turns. It ends each turn after `framesPerTurn` calls of onTurn
// (0: it ends the turn on entry); `exclusive` makes each onTurn queue an exclusive action.
struct Participant : CActor {
    Participant(Fenwarrow::IGameContext& context, std::string name, Log& log, int32_t type)
        : CActor(context), name(std::move(name)), log(log), type(type) {
        getStatus().setLife(10.0f);
    }
    int32_t getActorType() const override { return type; }
    int32_t getActionsPerRound() override { return perRound; }
    void onEnterTurn(IActionManager&) override {
        log.push_back(name + "+");
        framesLeft = framesPerTurn;
        setTurnState(framesPerTurn == 0 ? 0 : 1);
    }
    void onTurn(IActionManager& actions) override {
        log.push_back(name);
        if (exclusive) {
            static_cast<Actions&>(actions).blocking = true;
        }
        if (leaveFloor) {
            leaveFloor->removeActor(this);
            return;
        }
        if (--framesLeft <= 0) {
            setTurnState(0);
        }
    }
    void onExitTurn(IActionManager&) override { log.push_back(name + "-"); }

    std::string name;
    Log& log;
    int32_t type;
    int32_t framesPerTurn = 1;
    int32_t framesLeft = 0;
    int32_t perRound = 1;
    bool exclusive = false;
    CDungeon* leaveFloor = nullptr;  // set: the participant leaves the floor during its turn
};

class Turns : public ::testing::Test {
protected:
    // A corridor of eight floor cells; x 5..7 is a room of the given type.
    void SetUp() override {
        CMap& map = floor_.getMap();
        ASSERT_TRUE(map.create(32, 8, 1));
        map.clearRoom();
        for (int32_t x = 0; x < 8; ++x) {
            map.getCell({x, 0})->cellType = kCellFloor;
        }
        CRoom room(5, 0, 7, 0);
        room.roomType = 1;
        map.addRoom(room);
        map.assignRoomCells();
    }

    std::shared_ptr<Participant> join(const std::string& name, int32_t x, int32_t type = CActor::kEnemy) {
        auto actor = std::make_shared<Participant>(context_, name, log_, type);
        EXPECT_TRUE(floor_.putCellObject(actor.get(), {x, 0}, false));
        floor_.addTurnParticipant(actor);
        return actor;
    }
    // The player and two enemies, none of them skipped.
    void playerAndTwo() {
        player_ = join("P", 0, CActor::kPlayer);
        a_ = join("A", 1);
        b_ = join("B", 2);
        for (auto* p : {player_.get(), a_.get(), b_.get()}) {
            p->setJoinedThisRound(false);
        }
    }

    GameTest::TestGameContext context_;
    DungeonTest::TestDungeonServices services_{context_};
    CDungeon floor_{services_};
    CTurnController& turns_ = floor_.getTurnController();
    Actions actions_;
    Log log_;
    std::shared_ptr<Participant> player_, a_, b_;
};

TEST_F(Turns, EachFrameRunsTurnsInOrderUntilThePlayerComesRound) {
    playerAndTwo();
    turns_.update(actions_);  // the player's turn is entered; its onTurn runs next frame
    EXPECT_EQ(log_, (Log{"P+"}));
    turns_.update(actions_);
    EXPECT_EQ(log_, (Log{"P+", "P", "P-", "A+", "A", "A-", "B+", "B", "B-"}));
    EXPECT_EQ(turns_.getTurnCount(), 2u);
    EXPECT_TRUE(turns_.getRoundWrapped());
    turns_.update(actions_);  // the player's next turn is entered in a frame of its own
    EXPECT_EQ(log_.back(), "P+");
    EXPECT_EQ(turns_.getTurnCount(), 2u);
    EXPECT_FALSE(turns_.getRoundWrapped());
}

TEST_F(Turns, NothingRunsWhileTheActionsAreBusyBlockingOrSuspended) {
    // An empty order counts nothing.
    turns_.update(actions_);
    EXPECT_EQ(turns_.getTurnCount(), 1u);
    EXPECT_FALSE(turns_.getCurrent());

    playerAndTwo();
    actions_.busy = true;
    turns_.update(actions_);
    EXPECT_TRUE(log_.empty());
    actions_.busy = false;
    actions_.blocking = true;
    turns_.update(actions_);
    EXPECT_TRUE(log_.empty());
    EXPECT_EQ(turns_.getCurrent(), player_);
    actions_.blocking = false;

    turns_.update(actions_);
    turns_.update(actions_);  // wraps: roundWrapped set
    ASSERT_TRUE(turns_.getRoundWrapped());
    turns_.setSuspend(true);
    const Log before = log_;
    turns_.update(actions_);
    EXPECT_EQ(log_, before);
    EXPECT_TRUE(turns_.getRoundWrapped());  // kept while suspended
}

TEST_F(Turns, AnExclusiveActionStopsTheFrameAndAWaitingParticipantHoldsTheTurn) {
    playerAndTwo();
    a_->exclusive = true;
    b_->framesPerTurn = 2;
    turns_.update(actions_);
    turns_.update(actions_);
    EXPECT_EQ(log_, (Log{"P+", "P", "P-", "A+", "A", "A-"}));
    actions_.blocking = false;
    log_.clear();
    turns_.update(actions_);  // B waits a frame inside its turn
    EXPECT_EQ(log_, (Log{"B+", "B"}));
    turns_.update(actions_);
    EXPECT_EQ(log_, (Log{"B+", "B", "B", "B-", "P+"}));
}

TEST_F(Turns, TwoActionsPerRoundGiveTwoTurnsBeforeTheOrderMovesOn) {
    playerAndTwo();
    a_->perRound = 2;
    turns_.update(actions_);
    turns_.update(actions_);
    EXPECT_EQ(log_, (Log{"P+", "P", "P-", "A+", "A", "A-", "A+", "A", "A-", "B+", "B", "B-"}));
    EXPECT_EQ(turns_.getTurnCount(), 2u);
}

TEST_F(Turns, NewcomersWaitForThePlayersNextTurnUnlessTheirRoomLetsThemAct) {
    playerAndTwo();
    turns_.update(actions_);
    a_->framesPerTurn = 2;
    turns_.update(actions_);  // A is inside its turn when the newcomers arrive
    EXPECT_EQ(log_, (Log{"P+", "P", "P-", "A+", "A"}));
    auto late = join("L", 3);    // joins with the skip flag in a corridor
    auto roomed = join("R", 6);  // joins in a room that lets it act at once
    a_->framesPerTurn = 1;
    log_.clear();
    turns_.update(actions_);
    EXPECT_EQ(log_, (Log{"A", "A-", "B+", "B", "B-", "R+", "R", "R-"}));
    EXPECT_FALSE(late->getJoinedThisRound());  // passed over once
    turns_.update(actions_);
    log_.clear();
    turns_.update(actions_);
    EXPECT_EQ(log_, (Log{"P", "P-", "A+", "A", "A-", "B+", "B", "B-", "L+", "L", "L-", "R+", "R", "R-"}));
}

TEST_F(Turns, DeadParticipantsLeaveTheOrderButThePlayerAtTheFrontStays) {
    playerAndTwo();
    turns_.update(actions_);
    b_->getStatus().setLife(0.0f);
    player_->getStatus().setLife(0.0f);
    turns_.update(actions_);
    // B is swept when the player's turn ends; the dead player is never swept.
    EXPECT_EQ(log_, (Log{"P+", "P", "P-", "A+", "A", "A-"}));
    EXPECT_FALSE(turns_.contains(b_.get()));
    EXPECT_EQ(b_->getCell(), nullptr);
    EXPECT_TRUE(turns_.contains(player_.get()));
    ASSERT_EQ(floor_.getRemovedActors().size(), 0u);  // swept by the order, not by the floor
}

// A player who died on its own turn (a trap) while nobody's action holds the frame: the walk
// stops when the order comes round to it, so the floor can end the dive, instead of handing the
// turn round and round for ever.
TEST_F(Turns, TheWalkStopsWhenTheOrderComesRoundToADeadPlayer) {
    playerAndTwo();
    a_->framesPerTurn = 0;
    b_->framesPerTurn = 0;
    turns_.update(actions_);
    player_->getStatus().setLife(0.0f);
    turns_.update(actions_);
    EXPECT_EQ(log_, (Log{"P+", "P", "P-", "A+", "A-", "B+", "B-"}));
    EXPECT_EQ(turns_.getCurrent(), player_);
    turns_.update(actions_);  // and so on every frame until the floor ends the dive
    EXPECT_EQ(log_.size(), 7u);
    EXPECT_TRUE(turns_.contains(player_.get()));
}

TEST_F(Turns, RemovingTheCurrentParticipantHandsTheTurnOnAndWrapsAtTheEnd) {
    playerAndTwo();
    turns_.update(actions_);
    ASSERT_EQ(turns_.getCurrent(), player_);
    EXPECT_EQ(turns_.removeParticipant(player_.get()), player_);
    EXPECT_EQ(turns_.getCurrent(), a_);
    EXPECT_EQ(player_->getCell(), nullptr);
    EXPECT_EQ(player_->getTurnState(), 0);
    EXPECT_EQ(player_->getActionsLeft(), 1);

    EXPECT_EQ(turns_.removeParticipant(a_.get()), a_);
    EXPECT_EQ(turns_.getCurrent(), b_);
    EXPECT_EQ(turns_.getTurnCount(), 1u);
    // The last participant of the order: the order wraps and counts a turn; then nobody is left.
    EXPECT_EQ(turns_.removeParticipant(b_.get()), b_);
    EXPECT_EQ(turns_.getTurnCount(), 2u);
    EXPECT_FALSE(turns_.getCurrent());
    EXPECT_FALSE(turns_.removeParticipant(b_.get()));
    turns_.update(actions_);  // an empty order after all removals
}

TEST_F(Turns, AParticipantLeavingDuringItsTurnHandsOnWithoutAnExit) {
    playerAndTwo();
    a_->leaveFloor = &floor_;
    turns_.update(actions_);
    turns_.update(actions_);
    // B's turn is entered, not exited unentered on A's behalf.
    EXPECT_EQ(log_, (Log{"P+", "P", "P-", "A+", "A", "B+", "B", "B-"}));
    EXPECT_FALSE(turns_.contains(a_.get()));
    EXPECT_EQ(turns_.getCurrent(), player_);
}

TEST_F(Turns, ALoneDeadParticipantIsRemovedWithoutLooping) {
    auto lone = join("X", 1);
    lone->setJoinedThisRound(false);
    lone->getStatus().setLife(0.0f);
    turns_.update(actions_);
    EXPECT_TRUE(log_.empty());
    EXPECT_EQ(turns_.getParticipantCount(), 0u);
    ASSERT_EQ(floor_.getRemovedActors().size(), 1u);  // kept alive by the floor until its update
    EXPECT_EQ(floor_.getRemovedActors().at(0), lone);
}

TEST_F(Turns, PositionsAndInsertion) {
    playerAndTwo();
    Participant stranger(context_, "S", log_, CActor::kEnemy);
    EXPECT_EQ(turns_.indexOf(b_.get()), 2u);
    EXPECT_EQ(turns_.indexOf(&stranger), 0u);  // absent reads as the first position
    EXPECT_FALSE(turns_.contains(&stranger));
    EXPECT_FALSE(turns_.getActor(3));

    auto early = std::make_shared<Participant>(context_, "E", log_, CActor::kEnemy);
    floor_.insertTurnParticipant(early, 1);
    EXPECT_EQ(turns_.getActor(1), early);
    EXPECT_TRUE(early->getJoinedThisRound());
    auto lost = std::make_shared<Participant>(context_, "Z", log_, CActor::kEnemy);
    floor_.insertTurnParticipant(lost, 9);  // past the end: nothing inserted, no flag
    EXPECT_FALSE(turns_.contains(lost.get()));
    EXPECT_FALSE(lost->getJoinedThisRound());
}

TEST_F(Turns, TheFloorCountsItsActorsAndSeesThemOnScreen) {
    player_ = join("P", 0, CActor::kPlayer);
    EXPECT_TRUE(floor_.checkAnyActorInSight(player_.get()));  // the player itself counts
    for (int i = 1; i < 20; ++i) {
        EXPECT_FALSE(floor_.isMaxActor());
        floor_.addTurnParticipant(std::make_shared<Participant>(context_, "N", log_, CActor::kEnemy));
    }
    EXPECT_TRUE(floor_.isMaxActor());

    Participant away(context_, "W", log_, CActor::kEnemy);
    floor_.removeActor(player_.get());
    EXPECT_EQ(player_->getCell(), nullptr);
    // Nobody left on a cell: the participants without cells are not seen.
    ASSERT_TRUE(floor_.putCellObject(&away, {7, 0}, false));
    EXPECT_FALSE(floor_.checkAnyActorInSight(&away));
    floor_.deleteCellObject(&away);
}

}  // namespace
