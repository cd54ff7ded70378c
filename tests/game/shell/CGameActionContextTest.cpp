// The game's action context over the real game manager: it follows the floor the manager holds
// and reaches that floor's player's control layer, and it does without the services start-up
// has not made yet (no sounds, no render queue, no keys, no floor). The manager itself tells
// the game's parts about the conditions of that floor's player.
#include "game/shell/CGameActionContext.h"

#include <gtest/gtest.h>

#include <memory>

#include "game/actor/CPlayer.h"
#include "game/actor/ConditionType.h"
#include "game/actor/IPlayerControl.h"
#include "game/condition/CConditionController.h"
#include "game/dungeon/CDungeon.h"
#include "game/shell/CGameManager.h"
#include "tests/engine/thread/ThreadFixture.h"
#include "tests/game/dungeon/DungeonTestServices.h"

namespace {

using Fenwarrow::CGameActionContext;
using Fenwarrow::CGameManager;

// The player's control layer as the actions see it: whether it dashes, and how often it was
// told to stop.
class RecordingControl : public Fenwarrow::Actor::IPlayerControl {
public:
    void onTurn(Fenwarrow::Dungeon::IActionManager&) override {}
    void clearContinuousMove() override {
        dashing = false;
        ++stops;
    }
    bool isDashing() const override { return dashing; }

    bool dashing = false;
    int stops = 0;
};

class GameActionContext : public ThreadFixture {
protected:
    void SetUp() override {
        ThreadFixture::SetUp();
        manager_ = CGameManager::instance();
        ASSERT_NE(manager_, nullptr);
    }
    void TearDown() override {
        if (manager_ != nullptr) {
            manager_->setCurrentDungeon(nullptr);
        }
        CGameManager::release();
        ThreadFixture::TearDown();
    }

    CGameManager* manager_ = nullptr;
    // The floors the manager holds until TearDown use these, so they outlive it.
    GameTest::TestGameContext game_;
    DungeonTest::TestDungeonServices services_{game_};
};

TEST_F(GameActionContext, FollowsTheManagersFloorAndItsPlayersControls) {
    CGameActionContext context(*manager_);
    EXPECT_EQ(&context.getGameContext(), static_cast<Fenwarrow::IGameContext*>(manager_));
    EXPECT_EQ(context.getCurrentDungeon(), nullptr);
    EXPECT_EQ(context.getActionManager(), nullptr);
    EXPECT_FALSE(context.isPlayerDashing());
    context.stopPlayerDash();  // no floor: nothing to stop

    auto floor = std::make_shared<Fenwarrow::Dungeon::CDungeon>(services_);
    manager_->setCurrentDungeon(floor);
    EXPECT_EQ(context.getCurrentDungeon(), floor.get());
    EXPECT_EQ(context.getActionManager(), nullptr) << "a floor not set up has no queue";
    EXPECT_FALSE(context.isPlayerDashing()) << "a floor without a player";

    auto player = std::make_shared<Fenwarrow::Actor::CPlayer>(game_);
    floor->setPlayer(player);
    EXPECT_FALSE(context.isPlayerDashing()) << "a player without its control layer";
    context.stopPlayerContinuousMove();

    RecordingControl control;
    control.dashing = true;
    player->setPlayerLayer(&control);
    EXPECT_TRUE(context.isPlayerDashing());
    context.stopPlayerDash();
    EXPECT_EQ(control.stops, 1);
    EXPECT_FALSE(context.isPlayerDashing());
    context.stopPlayerContinuousMove();
    EXPECT_EQ(control.stops, 2);

    // Another floor in play: the context follows the manager.
    auto next = std::make_shared<Fenwarrow::Dungeon::CDungeon>(services_);
    manager_->setCurrentDungeon(next);
    EXPECT_EQ(context.getCurrentDungeon(), next.get());
    EXPECT_FALSE(context.isPlayerDashing());
    control.dashing = true;
    context.stopPlayerDash();
    EXPECT_EQ(control.stops, 2) << "the old floor's player is not told";
    player->setPlayerLayer(nullptr);
}

TEST_F(GameActionContext, DoesWithoutServicesStartUpHasNotMade) {
    CGameActionContext context(*manager_);
    context.playSystemSE(3);
    context.playSystemSE(-1);
    bool drawn = false;
    context.addRenderQueue(0, [&] { drawn = true; });
    EXPECT_FALSE(drawn);
    EXPECT_EQ(context.getVirtualKey(), nullptr);
    context.updateReplay();
    EXPECT_EQ(context.getFrameTime(), 0.0f);
}

// Items ask the game whether the player hallucinates; the answer follows the floor in play.
TEST_F(GameActionContext, TheManagerAnswersForTheConditionsOfTheFloorsPlayer) {
    using Fenwarrow::Actor::kConditionTrip;
    Fenwarrow::IGameContext& game = *manager_;
    EXPECT_FALSE(game.playerHasCondition(kConditionTrip)) << "no floor";

    auto floor = std::make_shared<Fenwarrow::Dungeon::CDungeon>(services_);
    manager_->setCurrentDungeon(floor);
    game_.dungeon = floor.get();
    EXPECT_FALSE(game.playerHasCondition(kConditionTrip)) << "a floor without a player";

    game_.makeConditions = [](Fenwarrow::Actor::CActor& actor) {
        return std::make_unique<Fenwarrow::Actor::Condition::CConditionController>(actor);
    };
    auto player = std::make_shared<Fenwarrow::Actor::CPlayer>(game_);
    floor->setPlayer(player);
    EXPECT_FALSE(game.playerHasCondition(kConditionTrip));
    auto& conditions = static_cast<Fenwarrow::Actor::Condition::CConditionController&>(*player->getConditions());
    ASSERT_TRUE(conditions.addCondition(kConditionTrip));
    EXPECT_TRUE(game.playerHasCondition(kConditionTrip));
    EXPECT_FALSE(game.playerHasCondition(Fenwarrow::Actor::kConditionBlind));

    manager_->setCurrentDungeon(std::make_shared<Fenwarrow::Dungeon::CDungeon>(services_));
    EXPECT_FALSE(game.playerHasCondition(kConditionTrip)) << "the old floor's player no longer counts";
    game_.dungeon = nullptr;
}

}  // namespace
