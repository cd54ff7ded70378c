// The condition set of an actor: type numbers from scripts, attaching and removing, the shown
// name, and the turn taken away by any condition holding its may-act flag.
#include <climits>

#include "tests/game/condition/ConditionFixture.h"

namespace ConditionTest {
namespace {

using Fenwarrow::Actor::kConditionTypeCount;
using namespace Fenwarrow::Actor;

class ConditionControllerTest : public ConditionFixture {};

std::vector<bool> activeSet(const Condition::CConditionController& set) {
    std::vector<bool> active;
    for (int32_t type = 0; type < kConditionTypeCount; ++type) {
        active.push_back(set.isCondition(type));
    }
    return active;
}

TEST_F(ConditionControllerTest, TypeNumbersOutsideTheSetAreRefusedAndChangeNothing) {
    auto& set = conditionsOf(*player_);
    ASSERT_TRUE(set.addCondition(kConditionSleep));
    const std::vector<bool> before = activeSet(set);
    for (const int32_t type : {-1, 23, 99, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(type);
        EXPECT_FALSE(set.isCondition(type));
        EXPECT_FALSE(set.addCondition(type));
        EXPECT_FALSE(set.removeCondition(type));
        EXPECT_FALSE(player_->hasCondition(type));
        EXPECT_EQ(set.getCondition(type), nullptr);
    }
    EXPECT_EQ(activeSet(set), before);
}

TEST_F(ConditionControllerTest, AddingAnActiveOrRemovingAnInactiveConditionCallsNothing) {
    auto& set = conditionsOf(*player_);
    ASSERT_TRUE(set.addCondition(kConditionSleep));
    EXPECT_FALSE(takeTurn(*player_));
    auto* sleep = static_cast<Condition::CCountingCondition*>(set.getCondition(kConditionSleep));
    ASSERT_EQ(sleep->getCounter(), 4);
    EXPECT_TRUE(set.addCondition(kConditionSleep));
    EXPECT_EQ(sleep->getCounter(), 4);
    EXPECT_TRUE(set.removeCondition(kConditionFreeze));
    EXPECT_TRUE(set.removeCondition(kConditionSleep));
    EXPECT_FALSE(player_->hasCondition(kConditionSleep));
    EXPECT_TRUE(takeTurn(*player_));
}

TEST_F(ConditionControllerTest, ShownNameIsTheFirstNamedActiveConditionInOrder) {
    auto& set = conditionsOf(*player_);
    EXPECT_EQ(set.getConditionName(), nullptr);
    // Hunger and dozing carry no name.
    ASSERT_TRUE(set.addCondition(kConditionStarvation));
    ASSERT_TRUE(set.addCondition(kConditionDozing));
    EXPECT_EQ(set.getConditionName(), nullptr);
    ASSERT_TRUE(set.addCondition(kConditionHibernation));
    EXPECT_EQ(std::u16string(set.getConditionName()), u"冬眠");
    ASSERT_TRUE(set.addCondition(kConditionFreeze));
    EXPECT_EQ(std::u16string(set.getConditionName()), u"金縛り");
    ASSERT_TRUE(set.addCondition(kConditionQuick));
    EXPECT_EQ(std::u16string(set.getConditionName()), u"倍速");
}

TEST_F(ConditionControllerTest, AnInactiveConditionHoldingItsFlagStillTakesTheTurn) {
    auto& set = conditionsOf(*player_);
    set.getCondition(kConditionDozing)->setMayAct(false);
    ASSERT_FALSE(set.isCondition(kConditionDozing));
    for (int turn = 0; turn < 3; ++turn) {
        EXPECT_FALSE(takeTurn(*player_));
    }
    set.getCondition(kConditionDozing)->setMayAct(true);
    EXPECT_TRUE(takeTurn(*player_));
}

TEST_F(ConditionControllerTest, ATakenTurnEndsAtOnceInTheTurnOrder) {
    auto enemy = addEnemy({12, 8});
    ASSERT_TRUE(enemy->getConditions()->addCondition(kConditionSleep));
    // The player ends its turns; the sleeping enemy gets none for its five turn entries.
    runTurns(6);
    EXPECT_EQ(turns_, (TurnLog{"P", "P", "P", "P", "P", "E"}));
}

}  // namespace
}  // namespace ConditionTest
