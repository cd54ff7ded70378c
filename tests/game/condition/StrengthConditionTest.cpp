// Strength, weakness, debility, invincibility, kotatsu and Mobbly on a small floor: the numbers
// they change and give back, how long they last, and the Mobbly's turn back with its held
// level-up and the player's equipment dressed again.
#include <gtest/gtest.h>

#include "engine/serialization/OxSerializer.h"
#include "game/action/CScriptingAction.h"
#include "game/actor/ConditionType.h"
#include "game/condition/CFlaccidCondition.h"
#include "game/condition/CMobblyCondition.h"
#include "game/condition/CStrongCondition.h"
#include "game/item/CItem.h"
#include "tests/game/action/ActionTestContext.h"
#include "tests/game/condition/ConditionFloorFixture.h"

namespace {

using namespace Fenwarrow::Actor;
using ConditionTest::ConditionFloor;
using ConditionTest::reports;
using Fenwarrow::Item::CItem;

class StrengthConditions : public ConditionFloor {
protected:
    std::vector<Orvex::Packer::PackerEntry> extraEntries() const override {
        return {{u"Item/Shield/attach.lua.lcd", ScriptTest::textBytes("function attach(p, i) Actor.note('shield') end"),
                 false},
                {u"Item/Amulet/attach.lua.lcd", ScriptTest::textBytes("function attach(p, i) Actor.note('amulet') end"),
                 false}};
    }
    std::shared_ptr<CItem> equip(int32_t type, const std::u16string& attachScript) {
        auto item = std::make_shared<CItem>(context_, 100 + static_cast<uint32_t>(type));
        item->setItemType(type);
        item->setAttachScriptFileName(attachScript);
        player_->addItem(item);
        if (type == CItem::kWeapon) {
            EXPECT_GE(data_->setEquippedWeaponItem(item.get()), 0);
        } else if (type == CItem::kShield) {
            EXPECT_GE(data_->setEquippedShieldItem(item.get()), 0);
        } else {
            EXPECT_GE(data_->setEquippedAmuletItem(item.get()), 0);
        }
        return item;
    }
    // One frame-sized stand-in for the weapon and shield sprites a look dresses.
    static void dress(CActor& actor) {
        for (const auto which : {CActor::kWeaponSprite, CActor::kShieldSprite}) {
            actor.getExtraSprite(which)->getAnimationDataList().push_back(
                std::make_shared<Orvex::MossbellLib::OxAnimationData>(0, 0.1f));
        }
    }
    static bool dressed(const CActor& actor, CActor::ExtraSprite which) {
        return !actor.getExtraSprite(which)->getAnimationDataList().empty();
    }
};

// Strength adds half the attack and takes off at its end what it added; a change made
// meanwhile counts for two thirds of itself.
TEST_F(StrengthConditions, StrengthGivesBackWhatItAdded) {
    struct Case {
        float meanwhile;
        float after;
    } cases[] = {{0.0f, 10.0f}, {1.0f, 1.0f + 32.0f / 3.0f}};
    for (const Case& c : cases) {
        player_->getStatus().setAttack(10.0f);
        ASSERT_TRUE(add(*player_, kConditionStrong));
        EXPECT_FLOAT_EQ(player_->getStatus().getAttack(), 15.0f);
        // A second attach while on changes nothing.
        EXPECT_TRUE(add(*player_, kConditionStrong));
        EXPECT_FLOAT_EQ(player_->getStatus().getAttack(), 15.0f);
        player_->getStatus().setAttack(15.0f + c.meanwhile);
        int turns = 0;
        while (has(*player_, kConditionStrong) && turns < 40) {
            enterTurn(*player_);
            ++turns;
        }
        EXPECT_EQ(turns, 20);
        EXPECT_NEAR(player_->getStatus().getAttack(), c.after, 1e-4f) << c.meanwhile;
    }
}

// Weakness pins strength to 1 for ten player turns, then gives back force and maximum.
TEST_F(StrengthConditions, WeaknessPinsStrengthAndGivesItBack) {
    player_->getStatus().setMaxForce(8);
    player_->getStatus().setForce(5);
    ASSERT_TRUE(add(*player_, kConditionFlaccid));
    EXPECT_EQ(player_->getStatus().getForce(), 1);
    EXPECT_EQ(player_->getStatus().getMaxForce(), 1);
    for (int turn = 0; turn < 9; ++turn) {
        enterTurn(*player_);
    }
    EXPECT_TRUE(has(*player_, kConditionFlaccid));
    enterTurn(*player_);
    EXPECT_FALSE(has(*player_, kConditionFlaccid));
    EXPECT_EQ(player_->getStatus().getForce(), 5);
    EXPECT_EQ(player_->getStatus().getMaxForce(), 8);
}

// Debility costs a point of life and of hunger every turn, silently; an enemy below two points
// of life shakes it off without being hurt.
TEST_F(StrengthConditions, DebilityCostsLifeAndHungerEveryTurn) {
    player_->getStatus().setMaxLife(50.0f);
    player_->getStatus().setLife(50.0f);
    player_->getStatus().setMaxHungerPoint(100.0f);
    player_->getStatus().setHungerPoint(100.0f);
    ASSERT_TRUE(add(*player_, kConditionDebility));
    for (int turn = 0; turn < 3; ++turn) {
        EXPECT_TRUE(enterTurn(*player_));
    }
    EXPECT_FLOAT_EQ(player_->getStatus().getLife(), 47.0f);
    EXPECT_FLOAT_EQ(player_->getStatus().getHungerPoint(), 97.0f);
    EXPECT_TRUE(floor_->getLogManager().getHistory().empty());
    int turns = 3;
    while (has(*player_, kConditionDebility) && turns < 40) {
        enterTurn(*player_);
        ++turns;
    }
    EXPECT_EQ(turns, 20);
    // The turn that ends it costs nothing.
    EXPECT_FLOAT_EQ(player_->getStatus().getLife(), 31.0f);

    enemy_->getStatus().setMaxLife(10.0f);
    enemy_->getStatus().setLife(3.0f);
    ASSERT_TRUE(add(*enemy_, kConditionDebility));
    enterTurn(*enemy_);
    EXPECT_FLOAT_EQ(enemy_->getStatus().getLife(), 2.0f);
    enterTurn(*enemy_);
    EXPECT_FLOAT_EQ(enemy_->getStatus().getLife(), 1.0f);
    enterTurn(*enemy_);
    EXPECT_FALSE(has(*enemy_, kConditionDebility));
    EXPECT_FLOAT_EQ(enemy_->getStatus().getLife(), 1.0f);
}

// Invincibility lasts 30 turns on the player and 15 on anyone else; kotatsu never comes on.
TEST_F(StrengthConditions, InvincibilityCountsEveryActorDownAndKotatsuNeverComesOn) {
    for (const auto& [actor, turns] : {std::pair<CActor*, int>{player_.get(), 30}, {enemy_.get(), 15}}) {
        ASSERT_TRUE(add(*actor, kConditionInvincible));
        int counted = 0;
        while (has(*actor, kConditionInvincible) && counted < 40) {
            enterTurn(*actor);
            ++counted;
        }
        EXPECT_EQ(counted, turns);
    }
    EXPECT_FALSE(add(*player_, kConditionKotatsu));
    EXPECT_EQ(conditions(*player_).getConditionName(), nullptr);
}

// A Mobbly wears the creature's look without its equipment for 15 turns; turning back it
// prepares its level-up at once (so the frames that drive it find a script), takes its own look
// again, and the player's items dress it again: an item whose script is missing is skipped.
TEST_F(StrengthConditions, AMobblyTurnsBackPreparedToLevelUp) {
    dress(*player_);
    equip(CItem::kWeapon, u"Item/Weapon/missing.lua");
    equip(CItem::kShield, u"Item/Shield/attach.lua");
    equip(CItem::kAmulet, u"Item/Amulet/attach.lua");
    ASSERT_TRUE(add(*player_, kConditionMobbly));
    EXPECT_EQ(lookOf(*player_), "MOBB");
    EXPECT_FALSE(dressed(*player_, CActor::kWeaponSprite));
    EXPECT_FALSE(dressed(*player_, CActor::kShieldSprite));

    auto* mobbly = static_cast<Fenwarrow::Actor::Condition::CMobblyCondition*>(
        conditions(*player_).getCondition(kConditionMobbly));
    EXPECT_EQ(mobbly->getHeldAction(), nullptr);
    int turns = 0;
    while (has(*player_, kConditionMobbly) && turns < 40) {
        enterTurn(*player_);
        ++turns;
    }
    EXPECT_EQ(turns, 15);
    EXPECT_EQ(lookOf(*player_), "HERO");
    EXPECT_EQ(reports().trace, (std::vector<std::string>{"shield", "amulet"}));
    ASSERT_NE(services_.effect, nullptr);
    EXPECT_EQ(services_.scripted.back(), Fenwarrow::Actor::Condition::CMobblyCondition::kLevelUpScript);
    EXPECT_EQ(services_.effect->calls, (std::vector<std::string>{"prepare"}));
    conditions(*player_).update(0.016f);
    Orvex::Graphics::OxRenderQueue queue;
    conditions(*player_).draw(queue, nullptr);
    EXPECT_EQ(services_.effect->calls, (std::vector<std::string>{"prepare", "update", "draw"}));

    // A floor change ends it too; an enemy is never dressed again.
    ASSERT_TRUE(add(*enemy_, kConditionMobbly));
    conditions(*enemy_).onChangeFloor();
    EXPECT_FALSE(has(*enemy_, kConditionMobbly));
    EXPECT_EQ(lookOf(*enemy_), "SLIM");
}

// When a module cannot be attached to an item's script, no later item is dressed either.
TEST_F(StrengthConditions, AMobblyWhoseItemModulesFailDressesNothingMore) {
    equip(CItem::kShield, u"Item/Shield/attach.lua");
    equip(CItem::kAmulet, u"Item/Amulet/attach.lua");
    ASSERT_TRUE(add(*player_, kConditionMobbly));
    // The look comes back first (its host makes one Item module); the shield's host gets none.
    auto made = std::make_shared<int>(0);
    context_.factories[Fenwarrow::ScriptModule::kItem] = [made]() -> std::shared_ptr<Fenwarrow::IScriptCommand> {
        if (++*made > 1) {
            return nullptr;
        }
        return std::make_shared<GameTest::TestModule>("Item", std::vector<Fenwarrow::ScriptCommand::ScriptFunction>{});
    };
    ASSERT_TRUE(conditions(*player_).removeCondition(kConditionMobbly));
    EXPECT_EQ(*made, 2);
    EXPECT_TRUE(reports().trace.empty());
    EXPECT_EQ(lookOf(*player_), "HERO");
}

// The level-up a Mobbly holds is a scripted action. Driven without ever being prepared (as it
// was before its end prepared it), such an action does nothing and ends instead of running a
// script it does not have.
TEST(HeldAction, AScriptedActionNeverPreparedEndsWithoutRunningAnything) {
    ActionTest::TestActionContext context;
    Fenwarrow::Action::CScriptingAction action(context, Fenwarrow::Actor::Condition::CMobblyCondition::kLevelUpScript,
                                               nullptr);
    action.draw();
    action.update();
    EXPECT_FALSE(action.isActive());
    EXPECT_EQ(action.getScript(), nullptr);
}

// The numbers strength and weakness keep are saved with the set, and a Mobbly read back takes
// its form again.
TEST_F(StrengthConditions, SavedConditionsComeBackWithTheirNumbersAndLooks) {
    player_->getStatus().setAttack(10.0f);
    player_->getStatus().setMaxForce(8);
    player_->getStatus().setForce(6);
    ASSERT_TRUE(add(*player_, kConditionStrong));
    ASSERT_TRUE(add(*player_, kConditionFlaccid));
    ASSERT_TRUE(add(*player_, kConditionMobbly));
    enterTurn(*player_);
    // Each record read back into the same condition of another player.
    auto copy = std::make_shared<Fenwarrow::Actor::CPlayer>(context_);
    ASSERT_TRUE(copy->setup(u"Actor/Player/HERO/"));
    for (int32_t type : {kConditionStrong, kConditionFlaccid, kConditionMobbly}) {
        Orvex::Serialization::OxSerializer record;
        ASSERT_TRUE(conditions(*player_).getCondition(type)->serialize(record)) << type;
        record.setWriting(false);
        ASSERT_TRUE(conditions(*copy).getCondition(type)->serialize(record)) << type;
        EXPECT_EQ(record.getRemaining(), 0u) << type;
    }
    EXPECT_EQ(lookOf(*copy), "MOBB");
    auto* strong =
        static_cast<Fenwarrow::Actor::Condition::CStrongCondition*>(conditions(*copy).getCondition(kConditionStrong));
    EXPECT_EQ(strong->getCounter(), 19);
    EXPECT_FLOAT_EQ(strong->getSavedAttack(), 10.0f);
    copy->getStatus().setMaxForce(1);
    ASSERT_TRUE(conditions(*copy).removeCondition(kConditionFlaccid));
    EXPECT_EQ(copy->getStatus().getMaxForce(), 8);
    EXPECT_EQ(copy->getStatus().getForce(), 6);
}

}  // namespace
