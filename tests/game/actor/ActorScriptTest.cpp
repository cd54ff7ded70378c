// An actor set up from a folder of real scripts: what reaches its "setup.lua" and "actor.lua",
// which hooks run when, and how motions and drawing follow the script's sprites.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/graphics/OxRenderQueue.h"
#include "game/actor/CEnemy.h"
#include "game/actor/CNonPlayer.h"
#include "game/actor/CPlayer.h"
#include "game/actor/IPlayerControl.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/CMapCell.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/dungeon/IActionManager.h"
#include "game/services/CScriptController.h"
#include "game/services/ScriptArguments.h"
#include "tests/game/dungeon/DungeonTestServices.h"
#include "tests/game/shell/GameTestContext.h"

namespace {

using Fenwarrow::ScriptModule;
using Fenwarrow::Actor::CActor;
using Fenwarrow::Actor::CEnemy;
using Fenwarrow::Actor::CNonPlayer;
using Fenwarrow::Actor::CPlayer;
using Orvex::MossbellLib::OxAnimationData;
using Orvex::MossbellLib::OxMADObject;

constexpr const char16_t* kFolder = u"Actor/Enemy/TEST/TEST01/";

// The set-up script hands its actor to the "Actor" stand-in.
const char* const kSetupScript = R"(
function setActor(a) actor = a end
function setup() Actor.setActorID(actor, 42) end
)";

const char* const kActorScript = R"(
calls = ""
local function log(text) calls = calls .. text .. ";" end
function Actor.initialize(a) self = a; log("init") end
function Actor.onEnterTurn() log("enter") end
function Actor.onTurn()
  log("turn")
  -- Enemies end their own turns; the player's is ended by its control layer.
  if not isPlayer and Actor.endTurn then Actor.endTurn(self) end
end
function Actor.onExitTurn() log("exit") end
function Actor.onUpdate(dt) log("update" .. dt) end
function Actor.onDraw() log("draw") end
function Actor.onTaskDraw() log("taskdraw") end
Actor.Event = {}
function Actor.Event.onDamage() log("damage") end
function Actor.Event.onWhistle() log("whistle") end
Actor.Command = {}
function Actor.Command.doPoke(n, a, b) log("poke" .. n .. tostring(a == self) .. tostring(b == nil)) end
Actor.Validation = {}
function Actor.Validation.isOne(n, a) return n == 1 and a == self end
)";

const char* const kAttachScript = "function attach(p, i) Actor.setActorID(p, 77) end";

// As the game's modules do: an actor from a script counts only when it was lent to the state and
// is alive.
int setActorID(lua_State* L) {
    void* pointer = lua_touserdata(L, 1);
    CActor* actor = Fenwarrow::ScriptArguments::isLentObject(L, pointer) ? CActor::findLiveActor(pointer) : nullptr;
    if (actor != nullptr) {
        actor->setActorID(static_cast<int32_t>(lua_tonumber(L, 2)));
    }
    return 0;
}

int endTurn(lua_State* L) {
    void* pointer = lua_touserdata(L, 1);
    CActor* actor = Fenwarrow::ScriptArguments::isLentObject(L, pointer) ? CActor::findLiveActor(pointer) : nullptr;
    if (actor != nullptr) {
        actor->setTurnState(0);
    }
    return 0;
}

struct CountingListener : Fenwarrow::Dungeon::CDungeonEventListener {
    void onDamage() override { ++damage; }
    int damage = 0;
};

struct NoActions : Fenwarrow::Dungeon::IActionManager {
    bool isBusy() const override { return false; }
    bool isBlocking() const override { return false; }
    void update() override {}
    void draw() override {}
    void clear() override {}
};

// A sprite of one-second frames with the given motions, each one frame long.
void giveMotions(OxMADObject& sprite, const std::vector<std::u16string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        sprite.getAnimationDataList().push_back(std::make_shared<OxAnimationData>(0, 1.0f));
        sprite.getPlayRangeList().push_back(std::make_shared<OxMADObject::OxPlayRangeData>(
            static_cast<uint32_t>(i), static_cast<uint32_t>(i), names[i]));
    }
}

class ActorScripts : public ::testing::Test {
protected:
    void SetUp() override {
        context_.provideAllModules();
        context_.factories[ScriptModule::kActor] = [] {
            return std::make_shared<GameTest::TestModule>(
                "Actor", std::vector<Fenwarrow::ScriptCommand::ScriptFunction>{{"setActorID", setActorID},
                                                                               {"endTurn", endTurn}});
        };
        openFolders();
    }

    // The test folder with both scripts, and two folders that each miss one.
    void openFolders() {
        const std::u16string noActor = u"Actor/Enemy/TEST/NOACT/";
        const std::u16string noSetup = u"Actor/Enemy/TEST/NOSET/";
        ScriptTest::openArchive(
            folder_, context_.reader,
            {{std::u16string(kFolder) + u"setup.lua.lcd", ScriptTest::textBytes(kSetupScript), false},
             {std::u16string(kFolder) + u"actor.lua.lcd", ScriptTest::textBytes(kActorScript), false},
             {noActor + u"setup.lua.lcd", ScriptTest::textBytes(kSetupScript), false},
             {noSetup + u"actor.lua.lcd", ScriptTest::textBytes(kActorScript), false},
             {u"Actor/Player/HERO/setup.lua.lcd", ScriptTest::textBytes(kSetupScript), false},
             {u"Actor/Player/HERO/actor.lua.lcd", ScriptTest::textBytes(kActorScript), false},
             {u"Script/Test/attach.lua.lcd", ScriptTest::textBytes(kAttachScript), false}});
    }

    static bool setUp(CActor& actor, const std::u16string& folder = kFolder) { return actor.setup(folder); }

    // The hooks the actor's script has heard, in order, and forgets them.
    static std::string calls(CActor& actor) {
        lua_State* L = actor.getScript()->getLuaState();
        lua_getglobal(L, "calls");
        std::string text = lua_tostring(L, -1) != nullptr ? lua_tostring(L, -1) : "";
        lua_pop(L, 1);
        lua_pushstring(L, "");
        lua_setglobal(L, "calls");
        return text;
    }

    TempFolder folder_;
    GameTest::TestGameContext context_;
    NoActions actions_;
};

TEST_F(ActorScripts, SetupRunsBothScriptsWithTheActorAndTheirModulesInOrder) {
    CEnemy enemy(context_);
    enemy.setDrawOffset(3.0f, 4.0f);
    ASSERT_TRUE(setUp(enemy));
    EXPECT_TRUE(enemy.isSetup());
    EXPECT_EQ(enemy.getActorDirectory(), kFolder);
    EXPECT_EQ(enemy.getFolderPath(), kFolder);
    EXPECT_EQ(enemy.getActorID(), 42);  // "setup.lua" was given this actor
    EXPECT_EQ(enemy.getDrawOffsetX(), 0.0f);
    EXPECT_EQ(calls(enemy), "init;");  // "Actor.initialize" with this actor
    lua_State* L = enemy.getScript()->getLuaState();
    lua_getglobal(L, "self");
    EXPECT_EQ(lua_touserdata(L, -1), static_cast<void*>(&enemy));
    lua_pop(L, 1);
    using M = ScriptModule;
    EXPECT_EQ(context_.created, (std::vector<M>{M::kMossbellLib, M::kActor, M::kMap, M::kDungeon, M::kGame,
                                                M::kDamageCalculate, M::kGraphics, M::kMossbellLib, M::kActor, M::kMap,
                                                M::kDungeon, M::kGame, M::kItem, M::kAudio, M::kDamageCalculate}));
}

TEST_F(ActorScripts, SetupFailsWithoutEitherScriptOrAModule) {
    CEnemy noActorScript(context_);
    EXPECT_FALSE(setUp(noActorScript, u"Actor/Enemy/TEST/NOACT/"));
    EXPECT_FALSE(noActorScript.isSetup());
    EXPECT_EQ(noActorScript.getScript(), nullptr);  // no half-built state hears hooks

    CEnemy noSetupScript(context_);
    EXPECT_FALSE(setUp(noSetupScript, u"Actor/Enemy/TEST/NOSET/"));
    EXPECT_EQ(noSetupScript.getScript(), nullptr);

    context_.factories.erase(ScriptModule::kAudio);  // only "actor.lua" attaches it
    CEnemy noAudio(context_);
    EXPECT_FALSE(setUp(noAudio));
    EXPECT_EQ(noAudio.getActorID(), 42);  // "setup.lua" had run
    EXPECT_EQ(noAudio.getScript(), nullptr);
    EXPECT_TRUE(noAudio.getActorDirectory().empty());
}

TEST_F(ActorScripts, TurnHooksReachTheScript) {
    CEnemy enemy(context_);
    ASSERT_TRUE(setUp(enemy));
    calls(enemy);
    enemy.setTurnState(1);
    enemy.onEnterTurn(actions_);
    EXPECT_EQ(enemy.getTurnState(), 1);  // only the script ends the turn
    EXPECT_TRUE(enemy.getInTurn());
    enemy.onTurn(actions_);
    EXPECT_EQ(enemy.getTurnState(), 0);  // the script ended it
    enemy.onExitTurn(actions_);
    EXPECT_EQ(calls(enemy), "enter;turn;exit;");
    enemy.getStatus().setTurnCount(3);
    EXPECT_EQ(enemy.getActionsPerRound(), 3);
}

TEST_F(ActorScripts, FrameHooksRunOnlyWithTheScriptTask) {
    CEnemy enemy(context_);
    ASSERT_TRUE(setUp(enemy));
    calls(enemy);
    Orvex::Graphics::OxRenderQueue queue;
    enemy.setAnimationSpeed(2.0f);
    enemy.update(0.25f);
    enemy.draw(queue, nullptr);
    enemy.onTaskDraw();
    EXPECT_EQ(calls(enemy), "");

    enemy.setEnableScriptTask(true);
    enemy.update(0.25f);  // the script's time runs at the actor's animation speed
    enemy.draw(queue, nullptr);
    enemy.onTaskDraw();
    EXPECT_EQ(calls(enemy), "update0.5;draw;taskdraw;");

    enemy.getStatus().setShown(false);  // a hidden actor does not draw, not even by script
    enemy.draw(queue, nullptr);
    EXPECT_EQ(calls(enemy), "");
}

TEST_F(ActorScripts, FloorEventsReachListenersFirstOtherNamesOnlyTheScript) {
    CEnemy enemy(context_);
    ASSERT_TRUE(setUp(enemy));
    calls(enemy);
    CountingListener listener;
    enemy.getEventHolder().addListener(&listener);
    enemy.callEvent("onDamage");
    enemy.callEvent("onWhistle");
    enemy.callEvent("onNothing");  // defined nowhere: harmless
    EXPECT_EQ(listener.damage, 1);
    EXPECT_EQ(calls(enemy), "damage;whistle;");
}

TEST_F(ActorScripts, CommandsAndValidationsTakeACountAndPointers) {
    CEnemy enemy(context_);
    ASSERT_TRUE(setUp(enemy));
    calls(enemy);
    enemy.callCommand("doPoke", {&enemy});
    enemy.callCommand("doMissing", {});
    EXPECT_EQ(calls(enemy), "poke1truetrue;");
    EXPECT_TRUE(enemy.doValidation("isOne", {&enemy}));
    EXPECT_FALSE(enemy.doValidation("isOne", {&enemy, &enemy}));
    EXPECT_FALSE(enemy.doValidation("isMissing", {&enemy}));
}

TEST_F(ActorScripts, ScriptlessActorsIgnoreHooks) {
    CNonPlayer bystander(context_);
    Orvex::Graphics::OxRenderQueue queue;
    bystander.setEnableScriptTask(true);
    bystander.onEnterTurn(actions_);
    bystander.onTurn(actions_);
    bystander.update(0.1f);
    bystander.draw(queue, nullptr);
    bystander.callEvent("onDamage");
    bystander.callCommand("doPoke", {});
    EXPECT_FALSE(bystander.doValidation("isOne", {}));
    EXPECT_EQ(queue.size(), 0u);  // standing on no cell
}

class Motions : public ::testing::Test {
protected:
    void SetUp() override {
        giveMotions(*enemy_.getAnimation(), {u"Sleep", u"Walk_2", u"Walk_6"});
        giveMotions(weapon(), {u"Walk_2"});
        enemy_.getStatus().setDirection(2);
    }
    OxMADObject& body() { return *enemy_.getAnimation(); }
    OxMADObject& weapon() { return *enemy_.getExtraSprite(CActor::kWeaponSprite); }
    OxMADObject& shield() { return *enemy_.getExtraSprite(CActor::kShieldSprite); }

    GameTest::TestGameContext context_;
    CEnemy enemy_{context_};
};

TEST_F(Motions, DirectionPicksTheRangeAndEquipmentFollows) {
    enemy_.playMotion(u"Walk", false, true, true);
    EXPECT_TRUE(body().isPlayingFromPlayRangeName(u"Walk_2"));
    EXPECT_EQ(body().getState(), OxMADObject::kPlaying);
    EXPECT_TRUE(body().getLoopPlay());
    EXPECT_TRUE(weapon().isPlayingFromPlayRangeName(u"Walk_2"));
    EXPECT_EQ(shield().getState(), OxMADObject::kStopped);  // holds nothing: left alone
    EXPECT_EQ(enemy_.getMotionName(), u"Walk");             // the base name is recorded
    EXPECT_TRUE(enemy_.getMotionWithDirection());

    enemy_.playMotion(u"Sleep", false, false, false);
    EXPECT_TRUE(body().isPlayingFromPlayRangeName(u"Sleep"));
    EXPECT_FALSE(body().getLoopPlay());
    EXPECT_EQ(weapon().getState(), OxMADObject::kStopped);  // it has no "Sleep"
}

TEST_F(Motions, KeepLockAndMissingMotions) {
    enemy_.playMotion(u"Walk", false, true, true);
    body().update(0.5f);
    enemy_.playMotion(u"Walk", true, true, true);  // already playing: goes on
    EXPECT_FLOAT_EQ(body().getCurrentTime(), 1.5f);
    enemy_.playMotion(u"Walk", false, true, true);  // asked again without keep: from its start
    EXPECT_FLOAT_EQ(body().getCurrentTime(), 1.0f);

    enemy_.setMotionLock(1);
    enemy_.playMotion(u"Sleep", false, false, false);
    EXPECT_TRUE(body().isPlayingFromPlayRangeName(u"Walk_2"));
    EXPECT_EQ(enemy_.getMotionName(), u"Walk");
    enemy_.setMotionLock(0);

    enemy_.playMotion(u"Dance", false, false, true);
    EXPECT_EQ(body().getState(), OxMADObject::kStopped);
}

TEST_F(Motions, AnyLengthOfNameIsSafeAndTheRecordKeepsSixtyThreeUnits) {
    const std::u16string longName(300, u'W');
    giveMotions(body(), {longName + u"_2"});
    enemy_.playMotion(longName, false, true, false);
    EXPECT_TRUE(body().isPlayingFromPlayRangeName(longName + u"_2"));
    EXPECT_EQ(enemy_.getMotionName(), std::u16string(63, u'W'));
}

TEST_F(Motions, DrawFollowsTheCellAndQueuesWhatIsShown) {
    Fenwarrow::Dungeon::CMapCell cell;
    cell.drawX = 100.0f;
    cell.drawY = 200.0f;
    enemy_.setCell(&cell);
    enemy_.setDrawOffset(0.5f, -1.5f);
    enemy_.update(0.0f);
    EXPECT_EQ(enemy_.getDrawPositionX(), 84.0f);   // floor(100 - 16 + 0.5)
    EXPECT_EQ(enemy_.getDrawPositionY(), 158.0f);  // floor(200 - 40 - 1.5)

    Orvex::Graphics::OxRenderQueue queue;
    enemy_.draw(queue, nullptr);
    EXPECT_EQ(queue.size(), 0u);  // nothing plays yet

    enemy_.playMotion(u"Walk", false, true, true);
    giveMotions(*enemy_.getExtraSprite(CActor::kEffectSprite), {u"Blind"});
    enemy_.getExtraSprite(CActor::kEffectSprite)->play();
    enemy_.draw(queue, nullptr);
    EXPECT_EQ(queue.size(), 3u);  // body, weapon and effect

    queue.clear();
    enemy_.getExtraSprite(CActor::kEffectSprite)->pause();  // the effect shows only while it plays
    enemy_.draw(queue, nullptr);
    EXPECT_EQ(queue.size(), 2u);

    queue.clear();
    enemy_.getStatus().setShown(false);
    enemy_.draw(queue, nullptr);
    EXPECT_EQ(queue.size(), 0u);
}

struct RecordingControl : Fenwarrow::Actor::IPlayerControl {
    void onTurn(Fenwarrow::Dungeon::IActionManager&) override { log += "layer;"; }
    void clearContinuousMove() override { log += "dash off;"; }
    bool isDashing() const override { return false; }
    std::string log;
};

struct EndingControl : Fenwarrow::Actor::IPlayerControl {
    explicit EndingControl(CActor& player) : player(player) {}
    void onTurn(Fenwarrow::Dungeon::IActionManager&) override { player.setTurnState(0); }
    void clearContinuousMove() override {}
    bool isDashing() const override { return false; }
    CActor& player;
};

TEST_F(ActorScripts, EnemiesFromTheirFolderTakeTheirTurnsOnAFloor) {
    DungeonTest::TestDungeonServices services{context_};
    Fenwarrow::Dungeon::CDungeon floor{services};
    ASSERT_TRUE(floor.getMap().create(32, 4, 1));
    for (int32_t x = 0; x < 4; ++x) {
        floor.getMap().getCell({x, 0})->cellType = 1;
    }
    auto player = std::make_shared<CPlayer>(context_);
    ASSERT_TRUE(player->setup(u"Actor/Player/HERO/"));
    std::vector<std::shared_ptr<CActor>> order{player};
    for (int i = 0; i < 2; ++i) {
        auto enemy = std::make_shared<CEnemy>(context_);
        ASSERT_TRUE(setUp(*enemy));
        order.push_back(enemy);
    }
    auto& turns = floor.getTurnController();
    for (std::size_t i = 0; i < order.size(); ++i) {
        ASSERT_TRUE(floor.putCellObject(order[i].get(), {static_cast<int32_t>(i), 0}, false));
        turns.appendParticipant(order[i], false);
        calls(*order[i]);
    }
    // The player's control layer ends its turn as soon as the turn runs; a frame stops at the
    // player's turn entry, so each round takes two frames.
    EndingControl layer{*player};
    player->setPlayerLayer(&layer);
    for (int frame = 0; frame < 6; ++frame) {
        turns.update(actions_);
    }
    const std::string threeTurns = "enter;turn;exit;enter;turn;exit;enter;turn;exit;";
    EXPECT_EQ(calls(*order[1]), threeTurns);
    EXPECT_EQ(calls(*order[2]), threeTurns);
    EXPECT_EQ(calls(*player), threeTurns);
    EXPECT_EQ(turns.getTurnCount(), 4u);
}

TEST_F(ActorScripts, PlayerTurnsGoToItsScriptThenItsControlLayer) {
    CPlayer player(context_);
    ASSERT_TRUE(setUp(player));
    calls(player);
    player.onTurn(actions_);  // no layer: the script alone
    EXPECT_EQ(calls(player), "turn;");

    RecordingControl layer;
    player.setPlayerLayer(&layer);
    player.onTurn(actions_);
    EXPECT_EQ(calls(player), "turn;");
    player.getStatus().setStabilityState(1, true);
    player.getEventHolder().onChangeFloor();
    EXPECT_EQ(layer.log, "layer;dash off;");
    EXPECT_FALSE(player.getStatus().getStabilityState(1));
}

TEST_F(ActorScripts, OnlyThePlayerWearsEquipmentAndAttachScriptsRunWithIt) {
    Fenwarrow::CGameDataManager data(context_);
    context_.gameData = &data;
    const auto& player = data.getPlayer();
    ASSERT_NE(player, nullptr);
    using Fenwarrow::Item::CItem;
    auto potion = std::make_shared<CItem>(context_, 1);
    auto shield = std::make_shared<CItem>(context_, 2);
    auto sword = std::make_shared<CItem>(context_, 3);
    shield->setItemType(CItem::kShield);
    sword->setItemType(CItem::kWeapon);
    sword->setAttachScriptFileName(u"Script/Test/attach.lua");
    for (const auto& item : {potion, shield, sword}) {
        player->addItem(item);
    }

    CEnemy enemy(context_);
    enemy.setEquipmentKeeper(&data);  // even with a keeper, no other actor wears anything
    EXPECT_EQ(enemy.setEquippedShieldItem(shield.get()), -1);
    EXPECT_FALSE(enemy.attachItem(sword.get(), true));
    EXPECT_EQ(data.getEquippedShieldIndex(), -1);
    EXPECT_EQ(enemy.getEquippedShieldItem(), nullptr);

    EXPECT_EQ(player->setEquippedShieldItem(shield.get()), 1);
    EXPECT_EQ(player->setEquippedWeaponItem(shield.get()), -1);  // wrong category
    EXPECT_EQ(player->getEquippedShieldItem(), shield);
    EXPECT_FALSE(player->attachItem(potion.get(), true));  // no slot for it

    EXPECT_TRUE(player->attachItem(sword.get(), true));
    EXPECT_EQ(player->getEquippedWeaponIndex(), 2);
    EXPECT_EQ(player->getActorID(), 77);  // the attach script got the player

    giveMotions(*player->getExtraSprite(CActor::kWeaponSprite), {u"Walk_4"});
    player->detachEquippedItem(sword.get(), true);
    EXPECT_EQ(player->getEquippedWeaponItem(), nullptr);
    EXPECT_TRUE(player->getExtraSprite(CActor::kWeaponSprite)->getAnimationDataList().empty());
    EXPECT_EQ(player->getEquippedShieldIndex(), 1);
}

TEST(ActorTypes, EachKindReportsItsNumberAndIsKnownWhileItLives) {
    GameTest::TestGameContext context;
    auto enemy = std::make_unique<CEnemy>(context);
    const void* gone = enemy.get();
    EXPECT_EQ(CActor::findLiveActor(gone), enemy.get());
    enemy.reset();
    EXPECT_EQ(CActor::findLiveActor(gone), nullptr);
    int notAnActor = 0;
    EXPECT_EQ(CActor::findLiveActor(&notAnActor), nullptr);
    EXPECT_EQ(CPlayer(context).getActorType(), 1);
    EXPECT_EQ(CNonPlayer(context).getActorType(), 2);
    EXPECT_EQ(CEnemy(context).getActorType(), 3);
    EXPECT_EQ(CEnemy(context).getCellObjectType(), 1);
}

}  // namespace
