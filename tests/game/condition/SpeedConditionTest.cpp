// Quick and slow: extra and lost turns in the turn order, how long they last, and how they
// exclude each other.
#include "tests/game/condition/ConditionFixture.h"

namespace ConditionTest {
namespace {

using namespace Fenwarrow::Actor;

class SpeedConditionTest : public ConditionFixture {};

std::string joined(const TurnLog& log) {
    std::string text;
    for (const std::string& name : log) {
        text += name;
    }
    return text;
}

std::string repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

TEST_F(SpeedConditionTest, QuickActorsActTwiceSlowOnesEveryOtherRound) {
    auto quick = addEnemy({12, 8}, "Q");
    auto slow = addEnemy({14, 8}, "S");
    ASSERT_TRUE(quick->getConditions()->addCondition(kConditionQuick));
    ASSERT_TRUE(slow->getConditions()->addCondition(kConditionSlow));
    // The slow one loses its first round, then acts in every other.
    const std::string expected = repeat(
        "PQQ"
        "PQQS",
        15);
    runTurns(expected.size());
    EXPECT_EQ(joined(turns_), expected);
    // Enemies without category weight 9 do not count down; a new floor ends both.
    for (const auto& enemy : {quick, slow}) {
        EXPECT_TRUE(enemy->hasCondition(kConditionQuick) || enemy->hasCondition(kConditionSlow));
        enemy->callEvent("onChangeFloor");
        EXPECT_FALSE(enemy->hasCondition(kConditionQuick) || enemy->hasCondition(kConditionSlow));
    }
}

TEST_F(SpeedConditionTest, TheQuickPlayerGetsTwentyTurnEntries) {
    addEnemy({12, 8});
    ASSERT_TRUE(player_->getConditions()->addCondition(kConditionQuick));
    // Ten rounds with two actions; quick ends on the twentieth entry.
    const std::string expected = repeat("PPE", 10) + repeat("PE", 3);
    runTurns(expected.size());
    EXPECT_EQ(joined(turns_), expected);
    EXPECT_FALSE(player_->hasCondition(kConditionQuick));
}

TEST_F(SpeedConditionTest, TheSlowPlayerSkipsEveryOtherTurnForTwentyEntries) {
    addEnemy({12, 8});
    ASSERT_TRUE(player_->getConditions()->addCondition(kConditionSlow));
    // Each round: the player's entry (taken or lost), then the enemy. Entries 1, 3 ... 19 are
    // lost; the twentieth ends slowness and is taken.
    std::string expected;
    for (int entry = 1; entry <= 26; ++entry) {
        const bool taken = entry % 2 == 0 || entry >= 20;
        expected += std::string(taken ? "P" : "") + "E";
    }
    runTurns(expected.size());
    EXPECT_EQ(joined(turns_), expected);
    EXPECT_FALSE(player_->hasCondition(kConditionSlow));
}

TEST_F(SpeedConditionTest, QuickAndSlowExcludeEachOther) {
    auto& set = *player_->getConditions();
    ASSERT_TRUE(set.addCondition(kConditionSlow));
    ASSERT_TRUE(set.addCondition(kConditionQuick));
    EXPECT_FALSE(set.isCondition(kConditionSlow));
    ASSERT_TRUE(set.addCondition(kConditionSlow));
    EXPECT_FALSE(set.isCondition(kConditionQuick));
    // Slowness gave the turn back when it was removed.
    ASSERT_TRUE(set.removeCondition(kConditionSlow));
    EXPECT_TRUE(takeTurn(*player_));
}

TEST_F(SpeedConditionTest, StableActorsRefuseSlownessOnly) {
    player_->getStatus().setStabilityState(4, true);
    EXPECT_FALSE(player_->getConditions()->addCondition(kConditionSlow));
    EXPECT_TRUE(player_->getConditions()->addCondition(kConditionQuick));
}

TEST_F(SpeedConditionTest, TheWalkSpeedIsNormalAgainWhenEitherEnds) {
    for (const int32_t type : {kConditionQuick, kConditionSlow}) {
        SCOPED_TRACE(type);
        ASSERT_TRUE(player_->getConditions()->addCondition(type));
        // The body plays no walk here, so the walk factor is not applied.
        player_->update(0.0f);
        EXPECT_FLOAT_EQ(player_->getAnimationSpeed(), 1.0f);
        player_->setAnimationSpeed(3.0f);
        ASSERT_TRUE(player_->getConditions()->removeCondition(type));
        EXPECT_FLOAT_EQ(player_->getAnimationSpeed(), 1.0f);
    }
}

TEST_F(SpeedConditionTest, ASlowEnemyWithCategoryWeightNineCountsDownAndMayLinger) {
    auto enemy = addEnemy({12, 8});
    enemy->getStatus().setCategory(9, true);
    ASSERT_TRUE(enemy->getConditions()->addCondition(kConditionSlow));
    for (int entry = 0; entry < 20; ++entry) {
        takeTurn(*enemy);
    }
    // At the end of its count it stays slow one more turn four times in five: within 100
    // further turns it is over.
    int extra = 0;
    while (enemy->hasCondition(kConditionSlow) && extra < 100) {
        takeTurn(*enemy);
        ++extra;
    }
    EXPECT_FALSE(enemy->hasCondition(kConditionSlow));
    EXPECT_TRUE(takeTurn(*enemy));
}

}  // namespace
}  // namespace ConditionTest
