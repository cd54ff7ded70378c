// The saved record of an actor's condition set: the may-act byte, then every condition's record
// in type order; loading restores every counter and flag.
#include "game/condition/CStarvationCondition.h"
#include "tests/game/condition/ConditionFixture.h"

namespace ConditionTest {
namespace {

using namespace Fenwarrow::Actor;
using Orvex::Serialization::OxSerializer;

// 1 may-act byte, then the records: each a may-act byte and its fields.
constexpr std::size_t kRecordSize = 1 + 2 + 13 * 5 + 2 * 6 + 1 + 14 + 4 + 2 * 2 + 9 + 13;

class ConditionRecordTest : public ConditionFixture {};

// Each condition's own record: its size, and a loaded copy that writes the same bytes and
// answers the same.
TEST_F(ConditionRecordTest, EachConditionsRecordRoundTrips) {
    const std::pair<int32_t, std::size_t> records[] = {
        {kConditionDefault, 2}, {kConditionQuick, 6},       {kConditionSlow, 6},
        {kConditionSleep, 5},   {kConditionStarvation, 14}, {kConditionFreeze, 5},
        {kConditionDozing, 4},  {kConditionSheltered, 5},   {kConditionHibernation, 5},
    };
    auto enemy = addEnemy({12, 8});
    auto copy = addEnemy({14, 8});
    enemy->getStatus().setLife(50.0f);
    for (const auto& [type, size] : records) {
        SCOPED_TRACE(type);
        auto& set = conditionsOf(*enemy);
        set.addCondition(type);
        takeTurn(*enemy);
        OxSerializer saved;
        ASSERT_TRUE(set.getCondition(type)->serialize(saved));
        EXPECT_EQ(saved.getBuffer().size(), size);
        saved.setWriting(false);
        Condition::CConditionBase& loaded = *conditionsOf(*copy).getCondition(type);
        ASSERT_TRUE(loaded.serialize(saved));
        EXPECT_EQ(saved.getRemaining(), 0u);
        OxSerializer again;
        ASSERT_TRUE(loaded.serialize(again));
        EXPECT_EQ(again.getBuffer(), saved.getBuffer());
        EXPECT_EQ(loaded.isActive(), set.getCondition(type)->isActive());
        EXPECT_EQ(loaded.getMayAct(), set.getCondition(type)->getMayAct());
        set.removeCondition(type);
        conditionsOf(*copy).removeCondition(type);
    }
}

TEST_F(ConditionRecordTest, TheSetsRecordRoundTrips) {
    auto enemy = addEnemy({12, 8});
    enemy->getStatus().setLife(50.0f);
    auto& set = *enemy->getConditions();
    ASSERT_TRUE(set.addCondition(kConditionSlow));
    ASSERT_TRUE(set.addCondition(kConditionSleep));
    ASSERT_TRUE(set.addCondition(kConditionSheltered));
    ASSERT_TRUE(set.addCondition(kConditionStarvation));
    takeTurn(*enemy);
    takeTurn(*enemy);

    OxSerializer saved;
    ASSERT_TRUE(set.serialize(saved));
    EXPECT_EQ(saved.getBuffer().size(), kRecordSize);

    auto copy = addEnemy({14, 8});
    saved.setWriting(false);
    ASSERT_TRUE(copy->getConditions()->serialize(saved));
    EXPECT_EQ(saved.getRemaining(), 0u);
    OxSerializer again;
    ASSERT_TRUE(copy->getConditions()->serialize(again));
    EXPECT_EQ(again.getBuffer(), saved.getBuffer());
    for (int32_t type = 0; type < kConditionTypeCount; ++type) {
        SCOPED_TRACE(type);
        EXPECT_EQ(copy->hasCondition(type), enemy->hasCondition(type));
    }
    // The loaded enemy goes on where the saved one stands: both sleep three more turns.
    for (int turn = 0; turn < 3; ++turn) {
        EXPECT_EQ(takeTurn(*copy), takeTurn(*enemy));
    }
    EXPECT_EQ(copy->hasCondition(kConditionSleep), enemy->hasCondition(kConditionSleep));
}

TEST_F(ConditionRecordTest, AShortRecordFailsToLoad) {
    OxSerializer saved;
    ASSERT_TRUE(player_->getConditions()->serialize(saved));
    saved.getBuffer().pop_back();
    saved.setWriting(false);
    auto copy = addEnemy({14, 8});
    EXPECT_FALSE(copy->getConditions()->serialize(saved));
}

}  // namespace
}  // namespace ConditionTest
