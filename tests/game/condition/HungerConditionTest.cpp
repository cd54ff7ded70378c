// Hunger and natural recovery: the hunger clock, its warnings at 20 and 10, starving and its
// messages, recovery by level, and the floors where hunger stands still.
#include "game/condition/CStarvationCondition.h"
#include "tests/game/condition/ConditionFixture.h"

namespace ConditionTest {
namespace {

using namespace Fenwarrow::Actor;

constexpr const char16_t* kHungry = u"お腹がすいてきた。";
constexpr const char16_t* kVeryHungry = u"お腹がペコペコだ！";
constexpr const char16_t* kStarving[] = {u"もうだめ・・・。倒れそう！", u"何か食べないと・・・",
                                         u"お腹がペコペコで倒れてしまう！", u"お腹と背中がくっつきそう！"};

class HungerConditionTest : public ConditionFixture {
protected:
    void SetUp() override {
        ConditionFixture::SetUp();
        status().setLife(50.0f);
    }
    CActorStatus& status() { return player_->getStatus(); }
    void turns(int count) {
        for (int turn = 0; turn < count; ++turn) {
            takeTurn(*player_);
        }
    }
    bool starving() { return player_->hasCondition(kConditionStarvation); }
    Condition::CConditionBase& hunger() { return *conditionsOf(*player_).getCondition(kConditionStarvation); }
    // Loads the hunger clock's saved record.
    bool loadClock(float lastHunger, float accumulator, int32_t messageIndex, bool active) {
        Orvex::Serialization::OxSerializer record;
        record.writeByte(1);
        record.write32(lastHunger);
        record.write32(accumulator);
        record.write32(messageIndex);
        record.writeByte(active ? 1 : 0);
        record.setWriting(false);
        return hunger().serialize(record) && record.getRemaining() == 0;
    }
};

TEST_F(HungerConditionTest, HungerFallsOneInTenTurnsAndWarnsOncePerCrossing) {
    struct Case {
        float hunger;
        int turns;
        float after;
        std::vector<std::u16string> log;
    };
    const Case cases[] = {
        {21.0f, 10, 20.0f, {kHungry}}, {20.0f, 10, 19.0f, {}}, {11.0f, 10, 10.0f, {kVeryHungry}},
        {10.0f, 10, 9.0f, {}},         {21.0f, 9, 21.0f, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hunger);
        const std::size_t logged = log().size();
        status().setHungerPoint(c.hunger);
        // The clock starts afresh: the last hunger is the current one.
        ASSERT_TRUE(loadClock(c.hunger, 10.0f, 0, false));
        turns(c.turns);
        EXPECT_FLOAT_EQ(status().getHungerPoint(), c.after);
        EXPECT_EQ(std::vector<std::u16string>(log().begin() + static_cast<std::ptrdiff_t>(logged), log().end()), c.log);
    }
}

TEST_F(HungerConditionTest, ADropPastBothMarksGivesOnlyTheSecondWarning) {
    status().setHungerPoint(25.0f);
    turns(1);
    status().setHungerPoint(5.0f);
    turns(1);
    EXPECT_EQ(log(), (std::vector<std::u16string>{kVeryHungry}));
}

TEST_F(HungerConditionTest, StarvingCostsALifeATurnWithFourMessages) {
    status().setHungerPoint(1.0f);
    turns(9);
    EXPECT_FALSE(starving());
    const float fed = status().getLife();
    EXPECT_NEAR(fed, 50.9f, 1e-4f);
    turns(1);
    EXPECT_TRUE(starving());
    EXPECT_FLOAT_EQ(status().getHungerPoint(), 0.0f);
    turns(5);
    // No regeneration while starving; messages only on the first four starving turns.
    EXPECT_NEAR(status().getLife(), fed - 6.0f, 1e-4f);
    std::vector<std::u16string> expected(std::begin(kStarving), std::end(kStarving));
    EXPECT_EQ(log(), expected);
}

TEST_F(HungerConditionTest, EatingEndsStarvingAtTheNextTurnWithRecoveryInIt) {
    status().setHungerPoint(0.0f);
    turns(1);
    ASSERT_TRUE(player_->getConditions()->addCondition(kConditionStarvation));
    turns(1);
    ASSERT_TRUE(starving());
    status().setHungerPoint(50.0f);
    const float before = status().getLife();
    turns(1);
    EXPECT_FALSE(starving());
    EXPECT_NEAR(status().getLife(), before + 0.1f, 1e-4f);
}

TEST_F(HungerConditionTest, OnFloorsOfTypeTwoHungerStandsStillAndStarvingStays) {
    status().setHungerPoint(0.0f);
    turns(1);
    ASSERT_TRUE(player_->getConditions()->addCondition(kConditionStarvation));
    floor_->getFloorState().floorType = 2;
    status().setHungerPoint(30.0f);
    const float before = status().getLife();
    turns(20);
    EXPECT_FLOAT_EQ(status().getHungerPoint(), 30.0f);
    EXPECT_TRUE(starving());
    EXPECT_NEAR(status().getLife(), before - 20.0f, 1e-4f);
}

TEST_F(HungerConditionTest, StabilityBitTwoStopsHunger) {
    status().setHungerPoint(30.0f);
    status().setStabilityState(2, true);
    turns(40);
    EXPECT_FLOAT_EQ(status().getHungerPoint(), 30.0f);
}

TEST_F(HungerConditionTest, RecoveryByLevel) {
    const std::pair<int32_t, float> cases[] = {{1, 0.1f},   {2, 0.11f}, {13, 0.49f}, {30, 1.01f},
                                               {53, 1.79f}, {54, 1.8f}, {60, 1.8f},  {99, 1.8f}};
    for (const auto& [level, regeneration] : cases) {
        SCOPED_TRACE(level);
        status().setLevel(level);
        status().setLife(50.0f);
        turns(1);
        EXPECT_NEAR(status().getLife(), 50.0f + regeneration, 1e-4f);
    }
}

// Debility takes its own point of life each turn; the hunger clock then gives none back.
TEST_F(HungerConditionTest, DebilityStopsRecovery) {
    status().setMaxLife(100.0f);
    status().setMaxHungerPoint(100.0f);
    status().setHungerPoint(80.0f);
    status().setLevel(60);
    turns(1);
    EXPECT_NEAR(status().getLife(), 51.8f, 1e-4f);
    ASSERT_TRUE(player_->getConditions()->addCondition(kConditionDebility));
    turns(2);
    EXPECT_NEAR(status().getLife(), 49.8f, 1e-4f);
}

TEST_F(HungerConditionTest, OtherActorsNeitherHungerNorRecover) {
    auto enemy = addEnemy({12, 8});
    enemy->getStatus().setLife(50.0f);
    enemy->getStatus().setHungerPoint(1.0f);
    for (int turn = 0; turn < 30; ++turn) {
        takeTurn(*enemy);
    }
    EXPECT_FLOAT_EQ(enemy->getStatus().getHungerPoint(), 1.0f);
    EXPECT_FLOAT_EQ(enemy->getStatus().getLife(), 50.0f);
}

TEST_F(HungerConditionTest, ANegativeMessageIndexFromADamagedSaveCountsAsTheFirst) {
    status().setHungerPoint(0.0f);
    ASSERT_TRUE(loadClock(0.0f, 10.0f, -5, true));
    ASSERT_TRUE(starving());
    turns(1);
    EXPECT_EQ(log(), (std::vector<std::u16string>{kStarving[0]}));
    EXPECT_EQ(static_cast<Condition::CStarvationCondition&>(hunger()).getMessageIndex(), 1);
}

}  // namespace
}  // namespace ConditionTest
