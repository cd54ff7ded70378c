#include "game/scriptcommand/CDamageCalculateCommand.h"

#include <gtest/gtest.h>

#include "game/actor/CPlayer.h"
#include "game/damage/CDamageCalculator.h"
#include "game/dungeon/CDungeon.h"
#include "game/item/CItem.h"
#include "game/scriptcommand/CItemCommand.h"
#include "game/services/CScriptController.h"
#include "game/services/ScriptArguments.h"
#include "tests/game/dungeon/DungeonTestServices.h"
#include "tests/game/scriptcommand/ScriptCallSupport.h"
#include "tests/game/shell/GameTestContext.h"

namespace {

using Fenwarrow::CGameDataManager;
using Fenwarrow::Actor::CActor;
using Fenwarrow::Damage::CDamageCalculator;
using Fenwarrow::Damage::CDamageParam;
using Fenwarrow::Dungeon::CDungeon;
using Fenwarrow::Item::CItem;
using Fenwarrow::ScriptCommand::CDamageCalculateCommand;
using ScriptCall::Values;

constexpr const char* kPlayerSetup = "function setActor(a) end function setup() end";

constexpr const char* kScript = R"lua(
local D = DamageCalculate
local C = D.OriginParam.ActorCategoryParam

function fixed(actor, count)
  if count == 4 then D.setFixedDamageParam(actor, -3, true, 1) else D.setFixedDamageParam(actor, -3, true) end
end
function twoStatus(actor)
  D.setActorStatusDamageParam(actor, {key = "life", value = 5})
  D.setActorStatusDamageParam(actor, {key = "force", value = 2})
  D.setFinalDamageParam(actor, 1.5)
end
function itemStatus(actor, item) D.setItemStatusDamageParam(actor, {item = item, key = "defense", value = -1}) end
function categories(array)
  C.clearCategory(array)
  C.setCategory(array, 13, 0.5)
  C.setCategory(array, 14, 9)
  C.setCategory(array, -1, 9)
  return C.isCategory(array, 13), C.isCategory(array, 0), C.isCategory(array, 14), C.isCategory(array, -1)
end
function own() return D.getOriginParam() end
function hit(target, source)
  D.setBlowDamageParam(target)
  D.DamageParam.setLogMessage(target, true)
  D.execute(target, 1, source)
  local r = D.getDamageResult(target)
  local s = r.damageSource
  return r.isHit, r.isCritical, r.fDamage, r.iDamage, s.damageID, s.sourceType, s.strDamageName,
         s.pOriginActor == source, s.pOriginItem
end
function thrown(target, item)
  D.setFixedDamageParam(target, -4)
  D.execute(target, 2, item, "石", true)
  local s = D.getDamageResult(target).damageSource
  return s.strDamageName, s.pOriginItem == item, s.pOriginActor ~= nil
end
function cleared(target)
  D.clearDamageResult(target)
  local r = D.getDamageResult(target)
  return r.isHit, r.fDamage, r.damageSource.damageID, r.damageSource.pOriginActor
end
function ability(actor, n) return D.checkItemAbility(actor, n) end
)lua";

struct Enemy : CActor {
    using CActor::CActor;
    int32_t getActorType() const override { return kEnemy; }
};

class DamageModule : public ::testing::Test {
protected:
    void SetUp() override {
        ScriptTest::openArchive(folder_, context_.reader,
                                {{u"Actor/Player/HERO/setup.lua.lcd", ScriptTest::textBytes(kPlayerSetup), false},
                                 {u"Actor/Player/HERO/actor.lua.lcd", ScriptTest::textBytes(""), false}});
        context_.provideAllModules();
        data_ = std::make_unique<CGameDataManager>(context_);
        context_.gameData = data_.get();
        player_ = data_->getPlayer().get();
        ASSERT_NE(player_, nullptr);
        ASSERT_TRUE(floor_.getMap().create(32, 3, 3));
        floor_.setPlayer(data_->getPlayer());
        floor_.addTurnParticipant(data_->getPlayer());
        enemy_ = std::make_shared<Enemy>(context_);
        enemy_->getStatus().setMaxLife(50.0f);
        enemy_->getStatus().setLife(50.0f);
        floor_.addTurnParticipant(enemy_);

        const auto bytes = ScriptTest::textBytes(kScript);
        ASSERT_TRUE(host_.setupState(bytes.data(), static_cast<uint32_t>(bytes.size()), 0x40000));
        ASSERT_TRUE(
            host_.attachCommand(std::make_shared<CDamageCalculateCommand>(context_, [this] { return &floor_; })));
        ASSERT_TRUE(host_.attachCommand(
            std::make_shared<Fenwarrow::ScriptCommand::CItemCommand>(context_, [this] { return &floor_; })));
        ASSERT_TRUE(host_.runMain());
    }

    Values call(const char* name, const std::vector<ScriptCall::Argument>& arguments) {
        return ScriptCall::call(host_.getLuaState(), name, arguments);
    }
    CDamageParam& paramOf(CActor& actor) { return CDamageCalculator::of(actor).getParam(); }

    TempFolder folder_;
    GameTest::TestGameContext context_;
    std::unique_ptr<CGameDataManager> data_;
    DungeonTest::TestDungeonServices services_{context_};
    CDungeon floor_{services_};
    CActor* player_ = nullptr;
    std::shared_ptr<Enemy> enemy_;
    Fenwarrow::CScriptController host_{context_};
};

TEST_F(DamageModule, ParameterSettersResetTheRecordAndKeepOneValue) {
    call("fixed", {enemy_.get(), 4.0});
    EXPECT_EQ(paramOf(*enemy_).kind, CDamageParam::kFixed);
    EXPECT_FLOAT_EQ(paramOf(*enemy_).fixedValue, -3.0f);
    EXPECT_FALSE(paramOf(*enemy_).fixedKill);  // the flag counts only as the third of three
    call("fixed", {enemy_.get(), 3.0});
    EXPECT_TRUE(paramOf(*enemy_).fixedKill);

    call("twoStatus", {enemy_.get()});
    const CDamageParam& param = paramOf(*enemy_);
    EXPECT_EQ(param.kind, CDamageParam::kActorStatus);
    EXPECT_FLOAT_EQ(param.actorStatus.life, 0.0f);
    EXPECT_EQ(param.actorStatus.force, 2);
    EXPECT_FLOAT_EQ(param.finalMultiplier, 1.5f);

    CItem item(context_, 7);
    call("itemStatus", {enemy_.get(), static_cast<void*>(&item)});
    EXPECT_EQ(paramOf(*enemy_).itemStatus.item, &item);
    EXPECT_EQ(paramOf(*enemy_).itemStatus.defense, -1);
}

TEST_F(DamageModule, CategoryNumbersOutsideTheFourteenAreIgnored) {
    for (const char* source : {"module", "item", "actor"}) {
        CItem item(context_, 7);
        void* array = std::string(source) == "module" ? static_cast<void*>(nullptr)
                      : std::string(source) == "item"
                          ? static_cast<void*>(item.getCategoryWeights().data())
                          : static_cast<void*>(player_->getStatus().getCategoryValues().data());
        if (array == nullptr) {
            lua_getglobal(host_.getLuaState(), "own");
            lua_call(host_.getLuaState(), 0, 1);
            array = lua_touserdata(host_.getLuaState(), -1);
            lua_pop(host_.getLuaState(), 1);
        }
        ASSERT_NE(array, nullptr) << source;
        EXPECT_EQ(call("categories", {array}), (Values{"true", "false", "false", "false"})) << source;
        const float* values = static_cast<const float*>(array);
        for (int i = 0; i < 13; ++i) {
            EXPECT_EQ(values[i], 0.0f) << source << " " << i;
        }
        EXPECT_EQ(values[13], 0.5f) << source;
    }
    // Anything else is no array at all.
    float stray[14] = {};
    EXPECT_EQ(call("categories", {static_cast<void*>(stray)}), (Values{"false", "false", "false", "false"}));
    EXPECT_EQ(stray[13], 0.0f);
}

TEST_F(DamageModule, ExecuteRunsTheTargetsCalculatorAndReportsItsResult) {
    player_->getStatus().setAttack(10.0f);
    const Values result = call("hit", {enemy_.get(), static_cast<void*>(player_)});
    ASSERT_EQ(result.size(), 9u);
    const bool hit = result[0] == "true";
    EXPECT_EQ(result[4], "1");  // a blow
    EXPECT_EQ(result[5], "1");  // from an actor
    EXPECT_EQ(result[6], "");   // unnamed
    EXPECT_EQ(result[7], "true");
    EXPECT_EQ(result[8], "nil");
    EXPECT_FLOAT_EQ(enemy_->getStatus().getLife(), 50.0f - std::stof(result[3]));
    EXPECT_EQ(hit, std::stof(result[3]) > 0.0f);

    // A thrown item the player carries makes the player the attacker.
    auto stone = std::make_shared<CItem>(context_, 9);
    player_->addItem(stone);
    EXPECT_EQ(call("thrown", {enemy_.get(), static_cast<void*>(stone.get())}), (Values{"石", "true", "true"}));
    EXPECT_EQ(call("cleared", {enemy_.get()}), (Values{"false", "0", "0", "nil"}));
}

TEST_F(DamageModule, ObjectsThatAreNoActorOfTheGameDoNothing) {
    Enemy stranger(context_);
    int notAnActor = 0;
    for (void* object : {static_cast<void*>(&stranger), static_cast<void*>(&notAnActor), static_cast<void*>(nullptr)}) {
        call("fixed", {object, 3.0});
        EXPECT_EQ(call("cleared", {object}), (Values{"false", "0", "0", "nil"}));
        EXPECT_EQ(call("ability", {object, 33.0}), (Values{"false"}));
    }
    EXPECT_EQ(stranger.getDamageCalculatorSlot(), nullptr);
    // Lent to this state, a live actor is accepted; a lent object that is no actor is not.
    Fenwarrow::ScriptArguments::lendObject(host_.getLuaState(), &stranger);
    Fenwarrow::ScriptArguments::lendObject(host_.getLuaState(), &notAnActor);
    call("fixed", {static_cast<void*>(&notAnActor), 3.0});
    call("fixed", {static_cast<void*>(&stranger), 3.0});
    ASSERT_NE(stranger.getDamageCalculatorSlot(), nullptr);
    EXPECT_TRUE(stranger.getDamageCalculatorSlot()->getParam().fixedKill);
}

}  // namespace
