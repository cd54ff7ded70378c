#include "game/actor/CActor.h"

#include <cmath>

#include <gtest/gtest.h>

#include "game/actor/CPlayer.h"
#include "game/item/CItem.h"
#include "tests/game/shell/GameTestContext.h"

namespace {

using Fenwarrow::Actor::CActorStatus;
using Fenwarrow::Actor::CPlayer;
using Fenwarrow::Item::CItem;

TEST(ActorStatus, SettersClampIntoTheirRanges) {
    struct Case {
        void (*set)(CActorStatus&);
        float (*get)(const CActorStatus&);
        float expected;
        const char* what;
    } cases[] = {
        {[](CActorStatus& s) { s.setLevel(0); }, [](const CActorStatus& s) { return float(s.getLevel()); }, 1,
         "level 0"},
        {[](CActorStatus& s) { s.setLevel(120); }, [](const CActorStatus& s) { return float(s.getLevel()); }, 99,
         "level 120"},
        {[](CActorStatus& s) {
             s.setLife(80);
             s.setMaxLife(50);
         },
         [](const CActorStatus& s) { return s.getLife(); }, 50, "max life lowers life"},
        {[](CActorStatus& s) { s.setLife(NAN); }, [](const CActorStatus& s) { return s.getLife(); }, 0, "NaN life"},
        {[](CActorStatus& s) { s.setMaxForce(20); }, [](const CActorStatus& s) { return float(s.getMaxForce()); }, 15,
         "max force 20"},
        {[](CActorStatus& s) {
             s.setMaxForce(8);
             s.setForce(9);
         },
         [](const CActorStatus& s) { return float(s.getForce()); }, 8, "force above max"},
        {[](CActorStatus& s) { s.setEXP(3000000); }, [](const CActorStatus& s) { return float(s.getEXP()); }, 2760000,
         "EXP"},
        {[](CActorStatus& s) { s.setTurnCount(-2); }, [](const CActorStatus& s) { return float(s.getTurnCount()); }, 0,
         "turn count"},
        {[](CActorStatus& s) { s.setMaxHungerPoint(50); }, [](const CActorStatus& s) { return s.getHungerPoint(); }, 50,
         "max hunger lowers hunger"},
        {[](CActorStatus& s) { s.setPower(400); }, [](const CActorStatus& s) { return s.getPower(); }, 299, "power"},
    };
    for (const Case& c : cases) {
        CActorStatus fresh;
        c.set(fresh);
        EXPECT_EQ(c.get(fresh), c.expected) << c.what;
    }
}

TEST(ActorStatus, SpecialAbilityNamesAndCategoryWeights) {
    EXPECT_EQ(std::u16string(CActorStatus::getSpecialAbilityName(0)), u"目薬");
    EXPECT_EQ(std::u16string(CActorStatus::getSpecialAbilityName(8)), u"呪詛返し");
    EXPECT_EQ(CActorStatus::getSpecialAbilityName(9), nullptr);
    EXPECT_EQ(CActorStatus::getSpecialAbilityName(-1), nullptr);

    CActorStatus status;
    EXPECT_EQ(status.getCategoryWeight(0), 1.0f);
    EXPECT_EQ(status.getCategoryWeight(1), 0.0f);
    status.setCategory(13, true);
    status.setCategory(0, false);
    EXPECT_TRUE(status.getCategory(13));
    EXPECT_EQ(status.getCategoryWeight(13), 1.0f);
    EXPECT_EQ(status.getCategoryWeight(0), 0.0f);
    // A bit past the categories is only a bit: there is no weight to write.
    status.setCategory(14, true);
    status.setCategory(40, true);
    EXPECT_TRUE(status.getCategory(14));
    EXPECT_FALSE(status.getCategory(40));
    EXPECT_EQ(status.getCategoryWeight(14), 0.0f);
    status.clearCategory();
    EXPECT_EQ(status.getCategoryBits(), 0u);
    EXPECT_EQ(status.getCategoryWeight(13), 1.0f);  // clearing the bits keeps the weights
}

class Actor : public ::testing::Test {
protected:
    GameTest::TestGameContext context_;
    CPlayer player_{context_};
};

TEST_F(Actor, PlayerBelowOnePointOfLifeEndsAtZero) {
    player_.getStatus().setLife(0.9f);
    EXPECT_FALSE(player_.isAlive());
    player_.getEventHolder().onDamage();  // the actor's own listener part hears its events
    EXPECT_EQ(player_.getStatus().getLife(), 0.0f);
    player_.getStatus().setLife(1.0f);
    player_.onDamage();
    EXPECT_EQ(player_.getStatus().getLife(), 1.0f);
}

TEST_F(Actor, CarriedItemsHearTheActorsEventsUntilRemoved) {
    auto first = std::make_shared<CItem>(context_, 1);
    auto second = std::make_shared<CItem>(context_, 2);
    player_.addItem(first);
    EXPECT_FALSE(player_.insertItem(second, 2));  // past the end
    EXPECT_TRUE(player_.insertItem(second, 0));
    EXPECT_EQ(player_.findItem(second.get()), 0);
    EXPECT_EQ(player_.findItem(first.get()), 1);
    EXPECT_EQ(player_.getEventHolder().getListeners().size(), 3u);
    // Their looks are rebuilt with the actor's, in inventory order.
    EXPECT_EQ(player_.getDependentObjects(),
              (std::vector<Fenwarrow::Dungeon::CCellObject*>{second.get(), first.get()}));

    EXPECT_EQ(player_.removeItem(second.get()), second);
    EXPECT_EQ(player_.removeItem(second.get()), nullptr);
    EXPECT_EQ(player_.findItem(second.get()), -1);
    EXPECT_EQ(player_.getEventHolder().getListeners().size(), 2u);
}

TEST_F(Actor, SetupFailsWithoutItsScriptsOrModules) {
    TempFolder folder;
    ScriptTest::openArchive(folder, context_.reader, {});
    EXPECT_FALSE(player_.setup(u"Actor/Player/HERO/"));
    EXPECT_FALSE(player_.isSetup());
    EXPECT_TRUE(player_.getActorDirectory().empty());
}

TEST_F(Actor, ChangingFloorClearsStabilityAndShowsTheActor) {
    player_.getStatus().setStabilityState(4, true);
    player_.setVisible(false);
    player_.getEventHolder().onChangeFloor();
    EXPECT_FALSE(player_.getStatus().getStabilityState(4));
    EXPECT_TRUE(player_.isVisible());
    EXPECT_EQ(player_.getDrawPriority(), 8500000);
    EXPECT_EQ(player_.getActorID(), -1);
}

}  // namespace
