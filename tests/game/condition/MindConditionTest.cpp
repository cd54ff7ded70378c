// Confusion, drunkenness, blindness, hallucination, berserk, unhinged, stealth and decoy on a
// small floor: how long each lasts and for whom, what it shows, what it refuses, and what it
// leaves behind when it ends.
#include <gtest/gtest.h>

#include "engine/serialization/OxSerializer.h"
#include "game/actor/ConditionType.h"
#include "game/item/CItem.h"
#include "tests/game/condition/ConditionFloorFixture.h"

namespace {

using namespace Fenwarrow::Actor;
using ConditionTest::ConditionFloor;
using ConditionTest::reports;
using ConditionTest::ScriptedRandom;

class MindConditions : public ConditionFloor {
protected:
    std::vector<Orvex::Packer::PackerEntry> extraEntries() const override {
        return {
            {u"Script/Actor/AI/AIMachine.lua.lcd",
             ScriptTest::textBytes("AI = { Machine = {} }\n"
                                   "function AI.Machine.execution(nothing, player)\n"
                                   "  Actor.note(nothing == nil and player ~= nil and 'machine' or 'bad arguments')\n"
                                   "end\n"),
             false}};
    }
    void SetUp() override {
        ConditionFloor::SetUp();
        giveMarks(*player_);
        giveMarks(*enemy_);
    }
    // Turn entries until the condition is off (at most `limit`).
    static int turnsUntilOff(CActor& actor, int32_t type, int limit = 100) {
        int turns = 0;
        while (has(actor, type) && turns < limit) {
            enterTurn(actor);
            ++turns;
        }
        return turns;
    }
};

// Each counted condition on each kind of actor: the turns it lasts (0 = never ends by itself),
// the mark it shows meanwhile, and a clean effect sprite once it is gone.
TEST_F(MindConditions, CountedConditionsLastTheirTurnsForTheirActors) {
    struct Case {
        int32_t type;
        bool onPlayer;
        int turns;
        const char16_t* mark;
    } cases[] = {
        {kConditionConfusion, true, 10, u"Confusion"},
        {kConditionDrunken, true, 20, u"Drunken"},
        {kConditionDrunken, false, 0, u"Drunken"},
        {kConditionBlind, true, 15, u"Blind"},
        {kConditionBlind, false, 0, u"Blind"},
        {kConditionTrip, true, 20, u"Trip"},
        {kConditionBerserk, true, 20, u""},
        {kConditionBerserk, false, 0, u""},
        {kConditionScapegoat, false, 20, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << (c.onPlayer ? " on the player" : " on the enemy"));
        CActor& actor = c.onPlayer ? static_cast<CActor&>(*player_) : *enemy_;
        ASSERT_TRUE(add(actor, c.type));
        EXPECT_EQ(markOf(actor), c.mark);
        const int turns = turnsUntilOff(actor, c.type, 60);
        if (c.turns == 0) {
            EXPECT_EQ(turns, 60) << "ran out by itself";
            EXPECT_TRUE(conditions(actor).removeCondition(c.type));
        } else {
            EXPECT_EQ(turns, c.turns);
        }
        EXPECT_FALSE(has(actor, c.type));
        EXPECT_EQ(markOf(actor), u"");
        // Every one of them also ends with the floor.
        ASSERT_TRUE(add(actor, c.type));
        conditions(actor).onChangeFloor();
        EXPECT_FALSE(has(actor, c.type));
    }
}

// An enemy whose confusion runs out stays confused one more turn whenever a roll of 1..100 is
// at most 80; the player recovers on its count alone.
TEST_F(MindConditions, AConfusedEnemyMayStayConfusedPastItsCount) {
    ASSERT_TRUE(add(*enemy_, kConditionConfusion));
    for (int turn = 0; turn < 19; ++turn) {
        enterTurn(*enemy_);
    }
    EXPECT_TRUE(context_.scripted.draws.empty());
    context_.scripted.draws = {ScriptedRandom::kRoll80, ScriptedRandom::kRoll80, ScriptedRandom::kRollTop};
    enterTurn(*enemy_);
    EXPECT_TRUE(has(*enemy_, kConditionConfusion));
    enterTurn(*enemy_);
    EXPECT_TRUE(has(*enemy_, kConditionConfusion));
    enterTurn(*enemy_);
    EXPECT_FALSE(has(*enemy_, kConditionConfusion));
    EXPECT_TRUE(context_.scripted.draws.empty());
    EXPECT_EQ(markOf(*enemy_), u"");
}

// Who is proof against what: the stable actor, the calm equipment, and the conditions that
// only fit one kind of actor.
TEST_F(MindConditions, RefusedConditionsStayOffAndChangeNothing) {
    enemy_->getStatus().setStabilityState(4, true);
    for (int32_t type :
         {kConditionConfusion, kConditionDrunken, kConditionBlind, kConditionBerserk, kConditionScapegoat}) {
        EXPECT_FALSE(add(*enemy_, type)) << type;
    }
    EXPECT_EQ(markOf(*enemy_), u"");
    EXPECT_EQ(lookOf(*enemy_), "SLIM");
    // Stealth and unhinged do not ask.
    EXPECT_TRUE(add(*enemy_, kConditionStealth));
    EXPECT_TRUE(add(*enemy_, kConditionUnhinged));

    // Only the player hallucinates; only an enemy of no particular kind comes unhinged.
    auto other = addEnemy({3, 1});
    giveMarks(*other);
    EXPECT_FALSE(add(*other, kConditionTrip));
    EXPECT_FALSE(add(*player_, kConditionUnhinged));
    other->getStatus().setCategory(9, true);
    EXPECT_FALSE(add(*other, kConditionUnhinged));
    other->getStatus().setCategory(9, false);
    EXPECT_TRUE(add(*other, kConditionUnhinged));
    EXPECT_EQ(markOf(*other), u"Unhinged");
    EXPECT_TRUE(conditions(*other).removeCondition(kConditionUnhinged));
    EXPECT_EQ(markOf(*other), u"");

    // Calm equipment keeps the player's head clear.
    auto amulet = std::make_shared<Fenwarrow::Item::CItem>(context_, 101);
    amulet->setItemType(Fenwarrow::Item::CItem::kAmulet);
    amulet->getStatus().setSlotCount(1);
    amulet->getStatus().addAbility(3);
    player_->addItem(amulet);
    ASSERT_GE(data_->setEquippedAmuletItem(amulet.get()), 0);
    EXPECT_FALSE(add(*player_, kConditionConfusion));
}

// The blind player loses the mini-map and, frame by frame, sees only itself; in a corridor
// every player (blind or not) sees only its neighbours. A blind enemy changes neither view.
TEST_F(MindConditions, BlindnessNarrowsThePlayersViewFrameByFrame) {
    Fenwarrow::Dungeon::CMapRenderer& view = floor_->getMapRenderer();
    conditions(*player_).update(0.016f);
    EXPECT_FALSE(view.getPlayerOnly());
    EXPECT_FALSE(view.getDarkness());

    ASSERT_TRUE(add(*enemy_, kConditionBlind));
    conditions(*enemy_).update(0.016f);
    EXPECT_EQ(floor_->getFloorState().showMiniMap, 1);
    EXPECT_FALSE(view.getPlayerOnly());

    ASSERT_TRUE(add(*player_, kConditionBlind));
    EXPECT_EQ(floor_->getFloorState().showMiniMap, 0);
    conditions(*player_).update(0.016f);
    EXPECT_TRUE(view.getPlayerOnly());
    EXPECT_FALSE(view.getDarkness());

    ASSERT_TRUE(conditions(*player_).removeCondition(kConditionBlind));
    EXPECT_EQ(floor_->getFloorState().showMiniMap, 1);
    view.setPlayerOnly(false);
    ASSERT_TRUE(floor_->putCellObject(player_.get(), {5, 1}, true));
    conditions(*player_).update(0.016f);
    EXPECT_FALSE(view.getPlayerOnly());
    EXPECT_TRUE(view.getDarkness());
}

// While the player hallucinates every other actor wears the Mobbly's look, newcomers included
// and a loaded actor too; the end gives each its own look back, and later arrivals keep theirs.
TEST_F(MindConditions, HallucinationDressesEveryOtherActorAsAMobbly) {
    auto second = addEnemy({3, 1});
    ASSERT_TRUE(add(*player_, kConditionTrip));
    EXPECT_EQ(lookOf(*player_), "HERO");
    EXPECT_EQ(lookOf(*enemy_), "MOBB");
    EXPECT_EQ(lookOf(*second), "MOBB");

    auto newcomer = addEnemy({3, 0});
    EXPECT_EQ(lookOf(*newcomer), "SLIM");
    newcomer->callEvent("onArrival");
    EXPECT_EQ(lookOf(*newcomer), "MOBB");

    // A saved enemy read back while the hallucination lasts.
    Orvex::Serialization::OxSerializer record;
    auto* trip = conditions(*second).getCondition(kConditionTrip);
    ASSERT_TRUE(trip->serialize(record));
    reports().looks[second.get()] = "SLIM";
    record.setWriting(false);
    ASSERT_TRUE(trip->serialize(record));
    EXPECT_EQ(lookOf(*second), "MOBB");

    EXPECT_EQ(turnsUntilOff(*player_, kConditionTrip), 20);
    for (const auto& actor : {enemy_, second, newcomer}) {
        EXPECT_EQ(lookOf(*actor), "SLIM");
    }
    auto late = addEnemy({3, 2});
    late->callEvent("onArrival");
    EXPECT_EQ(lookOf(*late), "SLIM");
}

// The berserk player's turns are played by the machine script between the player's own turn
// hooks, for twenty turns.
TEST_F(MindConditions, BerserkPlaysThePlayersTurnsByScript) {
    ASSERT_TRUE(add(*player_, kConditionBerserk));
    EXPECT_FALSE(enterTurn(*player_));
    EXPECT_EQ(reports().trace, (std::vector<std::string>{"own enter", "machine", "own exit"}));

    int turns = 1;
    while (has(*player_, kConditionBerserk) && turns < 40) {
        enterTurn(*player_);
        ++turns;
    }
    EXPECT_EQ(turns, 20);
    EXPECT_TRUE(enterTurn(*player_));

    // An enemy only carries the mark: its turns stay its own.
    ASSERT_TRUE(add(*enemy_, kConditionBerserk));
    reports().trace.clear();
    EXPECT_TRUE(enterTurn(*enemy_));
    EXPECT_TRUE(reports().trace.empty());
}

// A player that cannot move plays no script turn while berserk, yet the berserk count runs on.
TEST_F(MindConditions, ABerserkPlayerHeldStillPlaysNoScriptTurn) {
    player_->getStatus().setMaxLife(100.0f);
    player_->getStatus().setLife(50.0f);
    for (int32_t held : {kConditionSleep, kConditionFreeze, kConditionHibernation}) {
        SCOPED_TRACE(held);
        ASSERT_TRUE(add(*player_, kConditionBerserk));
        ASSERT_TRUE(add(*player_, held));
        reports().trace.clear();
        EXPECT_FALSE(enterTurn(*player_));
        EXPECT_TRUE(reports().trace.empty());
        ASSERT_TRUE(conditions(*player_).removeCondition(held));
        EXPECT_EQ(turnsUntilOff(*player_, kConditionBerserk), 19);
    }
}

// Stealth hides the actor until the player gains the sight that sees through it.
TEST_F(MindConditions, StealthHidesTheActorUntilThePlayerSeesThroughIt) {
    ASSERT_TRUE(add(*enemy_, kConditionStealth));
    EXPECT_FALSE(enemy_->getStatus().getShown());
    conditions(*enemy_).update(0.016f);
    EXPECT_TRUE(has(*enemy_, kConditionStealth));
    player_->getStatus().setStabilityState(0, true);
    conditions(*enemy_).update(0.016f);
    EXPECT_FALSE(has(*enemy_, kConditionStealth));
    EXPECT_TRUE(enemy_->getStatus().getShown());
}

// A decoy wears the player's look; a fallen decoy keeps it, refuses removal, and its own
// count still ends the condition.
TEST_F(MindConditions, ADecoyWearsThePlayersLookAndAFallenOneKeepsIt) {
    ASSERT_TRUE(add(*enemy_, kConditionScapegoat));
    EXPECT_EQ(lookOf(*enemy_), "HERO");
    ASSERT_TRUE(conditions(*enemy_).removeCondition(kConditionScapegoat));
    EXPECT_EQ(lookOf(*enemy_), "SLIM");

    ASSERT_TRUE(add(*enemy_, kConditionScapegoat));
    enemy_->getStatus().setLife(0.0f);
    EXPECT_FALSE(conditions(*enemy_).removeCondition(kConditionScapegoat));
    EXPECT_EQ(lookOf(*enemy_), "HERO");
    int turns = 0;
    while (has(*enemy_, kConditionScapegoat) && turns < 40) {
        enterTurn(*enemy_);
        ++turns;
    }
    EXPECT_EQ(turns, 20);
    EXPECT_EQ(lookOf(*enemy_), "HERO");
}

// The names the player reads: what the player cannot see or sees wrongly, and what the actor
// itself hides behind, in that order; the name as set is kept.
TEST_F(MindConditions, NamesAreDisguisedByThePlayersEyesAndTheActorsOwnCover) {
    player_->setName(u"旅人");
    enemy_->setName(u"スライム");
    struct Case {
        std::vector<int32_t> playerHas;
        std::vector<int32_t> enemyHas;
        const char16_t* enemyName;
    } cases[] = {
        {{}, {}, u"スライム"},
        {{kConditionBlind}, {}, u"？？？"},
        {{}, {kConditionStealth}, u"？？？"},
        {{kConditionTrip}, {}, u"まぼろしの影"},
        {{}, {kConditionScapegoat}, u"身代わり人形"},
        {{kConditionTrip}, {kConditionStealth}, u"？？？"},
        {{kConditionTrip}, {kConditionScapegoat}, u"まぼろしの影"},
    };
    for (const Case& c : cases) {
        for (int32_t type : c.playerHas) {
            ASSERT_TRUE(add(*player_, type));
        }
        for (int32_t type : c.enemyHas) {
            ASSERT_TRUE(add(*enemy_, type));
        }
        EXPECT_EQ(enemy_->getName(), c.enemyName);
        EXPECT_EQ(player_->getName(), u"旅人");
        EXPECT_EQ(enemy_->getOriginalName(), u"スライム");
        conditions(*player_).onChangeFloor();
        conditions(*enemy_).onChangeFloor();
    }
}

// The records of the conditions that keep only a count or a flag: the may-act byte, then the
// count left (little-endian) or the flag. Read back after the condition was taken off, each is
// on again and lasts exactly the turns it had left.
TEST_F(MindConditions, CountAndFlagRecordsRoundTripWithTheTurnsLeft) {
    player_->getStatus().setMaxLife(100.0f);
    player_->getStatus().setLife(100.0f);
    struct Case {
        int32_t type;
        bool onPlayer;
        int32_t left;  // after three turn entries; -1: a flag that never runs out
    } cases[] = {
        {kConditionConfusion, true, 7},   {kConditionDrunken, true, 17},  {kConditionBlind, true, 12},
        {kConditionTrip, true, 17},       {kConditionBerserk, true, 17},  {kConditionScapegoat, false, 17},
        {kConditionInvincible, true, 27}, {kConditionDebility, true, 17}, {kConditionStealth, false, -1},
        {kConditionUnhinged, false, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type);
        CActor& actor = c.onPlayer ? static_cast<CActor&>(*player_) : *enemy_;
        ASSERT_TRUE(add(actor, c.type));
        for (int turn = 0; turn < 3; ++turn) {
            enterTurn(actor);
        }
        auto* condition = conditions(actor).getCondition(c.type);
        Orvex::Serialization::OxSerializer record;
        ASSERT_TRUE(condition->serialize(record));
        std::vector<uint8_t> expected{static_cast<uint8_t>(condition->getMayAct() ? 1 : 0)};
        if (c.left < 0) {
            expected.push_back(1);
        } else {
            for (int shift = 0; shift < 32; shift += 8) {
                expected.push_back(static_cast<uint8_t>(static_cast<uint32_t>(c.left) >> shift));
            }
        }
        EXPECT_EQ(record.getBuffer(), expected);

        ASSERT_TRUE(conditions(actor).removeCondition(c.type));
        record.setWriting(false);
        ASSERT_TRUE(condition->serialize(record));
        EXPECT_EQ(record.getRemaining(), 0u);
        EXPECT_TRUE(has(actor, c.type));
        if (c.left < 0) {
            EXPECT_EQ(turnsUntilOff(actor, c.type, 30), 30);
            EXPECT_TRUE(conditions(actor).removeCondition(c.type));
        } else {
            EXPECT_EQ(turnsUntilOff(actor, c.type), c.left);
        }
    }
    // Kotatsu never comes on and keeps only the may-act byte.
    Orvex::Serialization::OxSerializer kotatsu;
    ASSERT_TRUE(conditions(*player_).getCondition(kConditionKotatsu)->serialize(kotatsu));
    EXPECT_EQ(kotatsu.getBuffer(), (std::vector<uint8_t>{1}));
}

}  // namespace
