// The shipped attack, shot, put, talk and effect action scripts, read from the built archives
// and run by the real action queue on a real floor with the game's modules: what a blow, a
// kill, a shot, a word with the shopkeeper, an item put down, an arrival, a burnt item and a
// collapse leave on the floor, in the log, in the status and in the result record.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "game/action/CPutItemAction.h"
#include "game/actor/CNonPlayer.h"
#include "tests/game/action/SampleScriptFloor.h"

namespace {

using Fenwarrow::Action::CScriptingAction;
using Fenwarrow::Damage::CDamageCalculator;
using Fenwarrow::Dungeon::MapPoint;

const std::u16string kAttack = u"Script/Action/Attack.lua";
const std::u16string kShoot = u"Script/Action/Shoot.lua";
const std::u16string kArrival = u"Script/Lib/Game/Action/Action/ArrivalActorAction.lua";
const std::u16string kBurnout = u"Script/Lib/Game/Action/Action/BurnoutItemAction.lua";
const std::u16string kDead = u"Script/Lib/Game/Action/Action/DeadAction.lua";

constexpr int32_t kDebility = 19;

using SampleActionScripts = ActionTest::SampleScriptFloor;

TEST_F(SampleActionScripts, AKillingBlowTakesTheEnemyOffTheFloorAndPaysThePlayer) {
    const auto enemy = slime({3, 5}, 1.0f);
    run(kAttack, player_.get());

    EXPECT_TRUE(CDamageCalculator::of(*enemy).getResult().isHit);
    EXPECT_FALSE(enemy->isAlive());
    EXPECT_FALSE(onFloor(*enemy));
    EXPECT_EQ(player_->getStatus().getEXP(), 3);
    EXPECT_TRUE(logHas(u"<0:COLOR>勇者</COLOR>は<0:COLOR>スライム</COLOR>に"));
    EXPECT_TRUE(logHas(u"<0:COLOR>スライム</COLOR>をたおした。"));
    EXPECT_TRUE(logHas(u"経験値を<1:COLOR>3</COLOR>得た。"));
    EXPECT_GT(queuedDraws_, 0u) << "the damage pop-up";
}

TEST_F(SampleActionScripts, AHitTheEnemySurvivesLeavesItStandingAndPaysNothing) {
    const auto enemy = slime({3, 5}, 500.0f);
    run(kAttack, player_.get());

    const auto& result = CDamageCalculator::of(*enemy).getResult();
    ASSERT_TRUE(result.isHit);
    EXPECT_LT(enemy->getStatus().getLife(), 500.0f);
    EXPECT_TRUE(onFloor(*enemy));
    EXPECT_TRUE(enemy->isVisible());
    EXPECT_EQ(player_->getStatus().getEXP(), 0);
    EXPECT_FALSE(logHas(u"をたおした。"));
    EXPECT_GT(queuedDraws_, 0u) << "the damage pop-up";
}

TEST_F(SampleActionScripts, AKilledPlayerStaysAndTheResultNamesItsKiller) {
    const auto enemy = slime({3, 5}, 10.0f);
    player_->getStatus().setLife(1.0f);
    run(kAttack, enemy.get());

    ASSERT_FALSE(player_->isAlive());
    EXPECT_TRUE(onFloor(*player_));
    EXPECT_EQ(text(settings_.getResultSetting().damageSourceName), u"スライム");
    EXPECT_EQ(text(settings_.getResultSetting().damageName), u"");
    EXPECT_EQ(enemy->getStatus().getEXP(), 3) << "enemies gain nothing";
}

TEST_F(SampleActionScripts, AShotStrikesTheFirstActorInLineAndStopsAtWalls) {
    const auto near = slime({6, 5}, 500.0f);
    const auto far = slime({9, 5}, 500.0f);
    const auto behindWall = slime({22, 5}, 500.0f);
    run(kShoot, player_.get());

    const auto& result = CDamageCalculator::of(*near).getResult();
    EXPECT_EQ(result.damageId, 6) << "a shot";
    EXPECT_EQ(result.originActor, player_.get());
    EXPECT_EQ(result.damageName, u"石つぶて");
    EXPECT_EQ(CDamageCalculator::of(*far).getResult().damageId, 0);
    EXPECT_TRUE(logHas(u"<0:COLOR>勇者</COLOR>は石つぶてで<0:COLOR>スライム</COLOR>に") ||
                logHas(u"<0:COLOR>勇者</COLOR>の攻撃はあたらなかった。"));
    EXPECT_GT(queuedDraws_, 0u) << "the pebble in flight";

    // Nothing between the player and the wall but the slime behind it.
    floor_->removeActor(near.get());
    floor_->removeActor(far.get());
    queuedDraws_ = 0;
    run(kShoot, player_.get());
    EXPECT_GT(queuedDraws_, 0u) << "the pebble flies to the wall";
    EXPECT_EQ(CDamageCalculator::of(*behindWall).getResult().damageId, 0);
    EXPECT_EQ(behindWall->getStatus().getLife(), 500.0f);
}

TEST_F(SampleActionScripts, ABurntItemLeavesTheFloorWithALogLine) {
    const auto item = addItem(kPlayerPoint);
    const auto other = addItem({4, 5});
    run(kBurnout, player_.get());

    const auto& items = floor_->getItems();
    EXPECT_EQ(std::count(items.begin(), items.end(), item), 0);
    EXPECT_EQ(item->getCell(), nullptr);
    EXPECT_EQ(std::count(items.begin(), items.end(), other), 1);
    EXPECT_TRUE(logHas(u"<0:COLOR>やくそう</COLOR>は燃えてしまった。"));

    // With nothing underfoot nothing burns.
    const std::size_t lines = log().size();
    run(kBurnout, player_.get());
    EXPECT_EQ(log().size(), lines);
    EXPECT_EQ(std::count(items.begin(), items.end(), other), 1);
}

TEST_F(SampleActionScripts, AnArrivingActorDropsInAndIsShownAgain) {
    const auto enemy = slime({5, 5}, 6.0f);
    enemy->setVisible(false);
    float highest = 0.0f;
    manager_->pushAction(std::make_shared<CScriptingAction>(context_, kArrival, enemy.get()));
    ASSERT_TRUE(updateUntil([&] {
        highest = std::min(highest, enemy->getDrawOffsetY());
        return !manager_->isBusy();
    }));
    EXPECT_TRUE(enemy->isVisible());
    EXPECT_LT(highest, -10.0f) << "it came from above";
    EXPECT_EQ(enemy->getDrawOffsetY(), 0.0f);
}

TEST_F(SampleActionScripts, APlayerDeadOfDebilityCollapsesAndTheResultSaysWhy) {
    ASSERT_NE(player_->getConditions(), nullptr);
    ASSERT_TRUE(player_->getConditions()->addCondition(kDebility));
    player_->getStatus().setLife(0.0f);
    run(kDead, player_.get());

    EXPECT_EQ(text(settings_.getResultSetting().damageSourceName), u"");
    EXPECT_EQ(text(settings_.getResultSetting().damageName), u"衰弱");
    EXPECT_GT(player_->getDrawOffsetY(), 0.0f) << "it lies lower";
}

// A new floor runs the change-floor script of every item the player carries, and of the items
// they hold, with the floor's player and the item: the cake loses worth each time.
TEST_F(SampleActionScripts, EachNewFloorRunsTheChangeFloorScriptsOfCarriedItems) {
    auto cake = std::make_shared<Fenwarrow::Item::CItem>(context_.game, 600);
    cake->getStatus().setPrice(35);
    cake->setChangeFloorScriptFileName(u"Script/Item/Action/ChangeFloor.lua");
    auto pot = std::make_shared<Fenwarrow::Item::CItem>(context_.game, 400);
    auto potCake = std::make_shared<Fenwarrow::Item::CItem>(context_.game, 600);
    potCake->getStatus().setPrice(35);
    potCake->setChangeFloorScriptFileName(u"Script/Item/Action/ChangeFloor.lua");
    pot->pushItemIntoItemList(potCake);
    player_->addItem(cake);
    player_->addItem(pot);

    for (int32_t expected : {25, 15, 5, 5}) {
        player_->callEvent("onChangeFloor");
        EXPECT_EQ(cake->getStatus().getPrice(), expected);
        EXPECT_EQ(potCake->getStatus().getPrice(), expected);
    }
    EXPECT_EQ(pot->getStatus().getPrice(), 0) << "no script, no change";
    EXPECT_FALSE(manager_->isBusy()) << "the script runs at once and queues nothing";
}

// A blow at someone who talks is a word with them: the shopkeeper, with nothing to settle,
// greets the player and takes no damage.
TEST_F(SampleActionScripts, AnAttackOnTheShopkeeperIsAWordWithHim) {
    auto keeper = std::make_shared<Fenwarrow::Actor::CNonPlayer>(context_.game);
    keeper->setName(u"店主");
    keeper->getStatus().setMaxLife(999.0f);
    keeper->getStatus().setLife(999.0f);
    keeper->setActionEventScriptFileName(u"Actor/NonPlayer/VNDR/Event/Talk.lua");
    floor_->addTurnParticipant(keeper);
    ASSERT_TRUE(floor_->putCellObject(keeper.get(), {kPlayerPoint.x + 1, kPlayerPoint.y}, false));

    run(kAttack, player_.get());

    EXPECT_EQ(keeper->getStatus().getLife(), 999.0f);
    EXPECT_TRUE(logHas(u"店主「いらっしゃいませ。」"));
}

// An item put down lies on the putter's cell and is no longer carried: a put that left it in
// the bag as well would let the player sell it and keep it.
TEST_F(SampleActionScripts, APutItemLiesOnThePuttersCellAndIsNoLongerCarried) {
    auto sword = std::make_shared<Fenwarrow::Item::CItem>(context_.game, 100);
    sword->setName(u"どうの剣");
    sword->setPutScriptFileName(u"Script/Item/Action/Put.lua");
    player_->addItem(sword);

    manager_->pushAction(
        std::make_shared<Fenwarrow::Action::CPutItemAction>(context_, player_.get(), sword.get(), u"", 0, 0));
    ASSERT_TRUE(updateUntil([&] { return !manager_->isBusy(); }));

    EXPECT_LT(player_->findItem(sword.get()), 0);
    ASSERT_NE(sword->getCell(), nullptr);
    EXPECT_EQ(sword->getCell()->getPoint(), kPlayerPoint);
    EXPECT_TRUE(logHas(u"を置いた。"));
}

}  // namespace
