// Sleep, paralysis, hibernation, dozing and shelter: the turns they take away, how they end,
// and what refuses them.
#include "game/condition/CDozingCondition.h"
#include "game/condition/CShelteredCondition.h"
#include "game/damage/CDamageCalculator.h"
#include "tests/game/condition/ConditionFixture.h"

namespace ConditionTest {
namespace {

using namespace Fenwarrow::Actor;
using Fenwarrow::Damage::CDamageCalculator;
using Fenwarrow::Damage::CDamageParam;

class TurnConditionTest : public ConditionFixture {
protected:
    // Whether the actor got each of that many turns.
    std::string turnPattern(CActor& actor, int turns) {
        std::string pattern;
        for (int turn = 0; turn < turns; ++turn) {
            pattern += takeTurn(actor) ? 'A' : '-';
        }
        return pattern;
    }
    void hurt(CActor& actor, int32_t kind, int32_t conditionType) {
        CDamageParam& param = CDamageCalculator::of(actor).getParam();
        param.clear();
        param.kind = kind;
        param.conditionType = conditionType;
        actor.callEvent("onDamage");
    }
};

struct TurnCase {
    const char* name;
    int32_t type;
    bool onPlayer;
    float life;  // of a maximum of 100
    std::string pattern;
};

TEST_F(TurnConditionTest, ConditionsTakeTurnsAwayUntilTheyRunOut) {
    const std::string frozenEnemy(40, '-');
    const TurnCase cases[] = {
        {"sleep: four turns lost, the fifth taken", kConditionSleep, true, 100.0f, "----AA"},
        {"sleep counts down for enemies too", kConditionSleep, false, 100.0f, "----AA"},
        {"freeze: the player's 30 turns", kConditionFreeze, true, 100.0f, std::string(29, '-') + "AA"},
        {"freeze never runs out for an enemy", kConditionFreeze, false, 100.0f, frozenEnemy},
        {"hibernation at full life ends in the next turn", kConditionHibernation, true, 100.0f, "AA"},
        {"hibernation heals until life is full", kConditionHibernation, true, 10.0f, "---AA"},
        {"hibernation runs out after five turns", kConditionHibernation, true, 1.0f, "----AA"},
        {"shelter: the player's 20 turns", kConditionSheltered, true, 100.0f, std::string(19, '-') + "AA"},
        {"shelter: 50 turns for others", kConditionSheltered, false, 100.0f, std::string(49, '-') + "AA"},
    };
    for (const TurnCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::shared_ptr<CActor> actor = c.onPlayer ? std::shared_ptr<CActor>(player_) : addEnemy({12, 8});
        actor->getStatus().setLife(c.life);
        ASSERT_TRUE(actor->getConditions()->addCondition(c.type));
        EXPECT_EQ(actor->getMotionLock(), 1);
        EXPECT_EQ(turnPattern(*actor, static_cast<int>(c.pattern.size())), c.pattern);
        const bool lasting = c.pattern.back() == '-';
        EXPECT_EQ(actor->hasCondition(c.type), lasting);
        EXPECT_EQ(actor->getMotionLock() != 0, lasting);
        actor->getConditions()->removeCondition(c.type);
        if (!c.onPlayer) {
            floor_->removeActor(actor.get());
        }
    }
}

TEST_F(TurnConditionTest, HibernationHealsThirtyEachTurn) {
    // An enemy: the player would also regain life by hunger's rule.
    auto enemy = addEnemy({12, 8});
    enemy->getStatus().setLife(10.0f);
    ASSERT_TRUE(enemy->getConditions()->addCondition(kConditionHibernation));
    takeTurn(*enemy);
    EXPECT_FLOAT_EQ(enemy->getStatus().getLife(), 40.0f);
    takeTurn(*enemy);
    EXPECT_FLOAT_EQ(enemy->getStatus().getLife(), 70.0f);
}

TEST_F(TurnConditionTest, StableActorsRefuseSleepFreezeButNotHibernationOrShelter) {
    player_->getStatus().setStabilityState(4, true);
    auto& set = *player_->getConditions();
    EXPECT_FALSE(set.addCondition(kConditionSleep));
    EXPECT_FALSE(set.addCondition(kConditionFreeze));
    EXPECT_TRUE(takeTurn(*player_));
    EXPECT_TRUE(set.addCondition(kConditionHibernation));
    EXPECT_TRUE(set.removeCondition(kConditionHibernation));
    EXPECT_TRUE(set.addCondition(kConditionSheltered));
}

TEST_F(TurnConditionTest, DamageBreaksFreezeAndShelterExceptTheirOwnConditionDamage) {
    for (const int32_t type : {kConditionFreeze, kConditionSheltered}) {
        SCOPED_TRACE(type);
        auto enemy = addEnemy({12, 8});
        ASSERT_TRUE(enemy->getConditions()->addCondition(type));
        hurt(*enemy, CDamageParam::kCondition, type);
        EXPECT_TRUE(enemy->hasCondition(type));
        hurt(*enemy, CDamageParam::kCondition, kConditionSleep);
        EXPECT_FALSE(enemy->hasCondition(type));
        ASSERT_TRUE(enemy->getConditions()->addCondition(type));
        hurt(*enemy, CDamageParam::kBlow, 0);
        EXPECT_FALSE(enemy->hasCondition(type));
        EXPECT_EQ(enemy->getMotionLock(), 0);
        EXPECT_TRUE(takeTurn(*enemy));
        floor_->removeActor(enemy.get());
    }
}

TEST_F(TurnConditionTest, AFloorChangeEndsAllFive) {
    for (const int32_t type :
         {kConditionSleep, kConditionFreeze, kConditionHibernation, kConditionSheltered, kConditionDozing}) {
        SCOPED_TRACE(type);
        auto enemy = addEnemy({12, 8});
        enemy->getStatus().setLife(50.0f);
        ASSERT_TRUE(enemy->getConditions()->addCondition(type));
        enemy->callEvent("onChangeFloor");
        EXPECT_FALSE(enemy->hasCondition(type));
        EXPECT_TRUE(takeTurn(*enemy));
        floor_->removeActor(enemy.get());
    }
}

TEST_F(TurnConditionTest, SleepFreezeAndHibernationEndDozing) {
    for (const int32_t type : {kConditionSleep, kConditionFreeze, kConditionHibernation}) {
        SCOPED_TRACE(type);
        auto enemy = addEnemy({12, 8});
        enemy->getStatus().setLife(50.0f);
        ASSERT_TRUE(enemy->getConditions()->addCondition(kConditionDozing));
        ASSERT_TRUE(enemy->getConditions()->addCondition(type));
        EXPECT_FALSE(enemy->hasCondition(kConditionDozing));
        floor_->removeActor(enemy.get());
    }
}

TEST_F(TurnConditionTest, MonsterHouseEnemiesAreDormantUntilThePlayerEntersTheirRoom) {
    room_->roomType = 1;
    auto enemy = addEnemy({3, 3});
    enemy->callEvent("onArrival");
    ASSERT_TRUE(enemy->hasCondition(kConditionDozing));
    for (int turn = 0; turn < 5; ++turn) {
        EXPECT_FALSE(takeTurn(*enemy));
    }
    move(*player_, kInRoom);
    EXPECT_TRUE(takeTurn(*enemy));
    EXPECT_FALSE(enemy->hasCondition(kConditionDozing));
    EXPECT_TRUE(takeTurn(*enemy));
}

TEST_F(TurnConditionTest, ASleeperWakesWhenHurtOrWhenThePlayerSharesItsRoom) {
    // Enough sleepers that some fall asleep (half do) and stay so for a turn with the player
    // away.
    std::vector<std::shared_ptr<TurnTaker<CEnemy>>> enemies;
    for (int32_t x = 2; x <= 6; ++x) {
        for (int32_t y = 2; y <= 3; ++y) {
            enemies.push_back(addEnemy({x, y}));
            ASSERT_TRUE(enemies.back()->getConditions()->addCondition(kConditionDozing));
        }
    }
    int asleep = 0;
    for (const auto& enemy : enemies) {
        const auto& dozing =
            static_cast<const Condition::CDozingCondition&>(*conditionsOf(*enemy).getCondition(kConditionDozing));
        if (dozing.isAsleep()) {
            ++asleep;
            EXPECT_FALSE(takeTurn(*enemy));
        }
    }
    ASSERT_GT(asleep, 0);
    // One sleeper hurt wakes at once.
    for (const auto& enemy : enemies) {
        if (!enemy->hasCondition(kConditionDozing) || takeTurn(*enemy)) {
            continue;
        }
        hurt(*enemy, CDamageParam::kBlow, 0);
        EXPECT_FALSE(enemy->hasCondition(kConditionDozing));
        EXPECT_TRUE(takeTurn(*enemy));
        break;
    }
    // With the player in the room each wakes with one chance in ten a turn: all within 200.
    move(*player_, kInRoom);
    for (int turn = 0; turn < 200; ++turn) {
        for (const auto& enemy : enemies) {
            takeTurn(*enemy);
        }
    }
    for (const auto& enemy : enemies) {
        EXPECT_FALSE(enemy->hasCondition(kConditionDozing));
        EXPECT_TRUE(takeTurn(*enemy));
    }
}

TEST_F(TurnConditionTest, AnEnemyThatDozedOffOnArrivalGetsNoTurnUntilDozingIsAddedAgain) {
    // Out of the player's sight, half of the arrivals fall asleep without the condition.
    std::shared_ptr<TurnTaker<CEnemy>> sleeper;
    for (int attempt = 0; attempt < 64 && sleeper == nullptr; ++attempt) {
        auto enemy = addEnemy({19, 0});
        enemy->callEvent("onArrival");
        if (!takeTurn(*enemy)) {
            sleeper = enemy;
        } else {
            floor_->removeActor(enemy.get());
        }
    }
    ASSERT_NE(sleeper, nullptr);
    EXPECT_FALSE(sleeper->hasCondition(kConditionDozing));
    hurt(*sleeper, CDamageParam::kBlow, 0);
    sleeper->callEvent("onChangeFloor");
    EXPECT_FALSE(takeTurn(*sleeper));
    ASSERT_TRUE(sleeper->getConditions()->addCondition(kConditionDozing));
    hurt(*sleeper, CDamageParam::kBlow, 0);
    EXPECT_TRUE(takeTurn(*sleeper));
}

TEST_F(TurnConditionTest, ShelterWithoutItsPictureStillHoldsTheActor) {
    // The test archive has no hollow picture: the shelter is not seen but works.
    ASSERT_TRUE(player_->getConditions()->addCondition(kConditionSheltered));
    const auto& shelter =
        static_cast<const Condition::CShelteredCondition&>(*conditionsOf(*player_).getCondition(kConditionSheltered));
    EXPECT_EQ(shelter.getShelterSprite(), nullptr);
    EXPECT_EQ(player_->getMotionLock(), 1);
    Orvex::Graphics::OxRenderQueue queue;
    player_->draw(queue, nullptr);
    EXPECT_FALSE(takeTurn(*player_));
}

}  // namespace
}  // namespace ConditionTest
