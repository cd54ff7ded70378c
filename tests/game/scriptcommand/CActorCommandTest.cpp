// The "Actor" module from Lua, over the game data's player and an enemy set up from its folder,
// both standing on a small real floor with the real action queue.
#include "game/scriptcommand/CActorCommand.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "game/actor/CEnemy.h"
#include "game/actor/ConditionType.h"
#include "game/actor/CPlayer.h"
#include "game/condition/CConditionController.h"
#include "game/dungeon/CDungeon.h"
#include "game/dungeon/CMapCell.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/item/CItem.h"
#include "game/item/CItemFactory.h"
#include "game/services/CScriptController.h"
#include "game/scriptcommand/CAudioCommand.h"
#include "game/scriptcommand/CDamageCalculateCommand.h"
#include "game/scriptcommand/CDungeonCommand.h"
#include "game/scriptcommand/CGameCommand.h"
#include "game/scriptcommand/CGraphicsCommand.h"
#include "game/scriptcommand/CItemCommand.h"
#include "game/scriptcommand/CMapCommand.h"
#include "game/scriptcommand/CMossbellLibCommand.h"
#include "game/services/ScriptArguments.h"
#include "tests/game/action/ActionFixture.h"
#include "tests/game/dungeon/DungeonTestServices.h"

namespace {

using Fenwarrow::ScriptModule;
using Fenwarrow::Actor::CActor;
using Fenwarrow::Actor::CEnemy;
using Fenwarrow::Dungeon::MapPoint;
using Fenwarrow::Item::CItem;
using Fenwarrow::ScriptCommand::CActorCommand;
using Orvex::Script::CScriptValue;

constexpr MapPoint kPlayerPoint{2, 5};
constexpr MapPoint kEnemyPoint{4, 5};
constexpr uint32_t kHerbId = 5;

const char* const kEnemySetup = "function setActor(a) Actor.setActorID(a, 3) end function setup() end";
// The enemy answers the turn-event registration into its own name.
const char* const kEnemyActor = R"(
Actor.Validation = {}
function Actor.initialize(a) self = a end
function Actor.Event.addTurnEvent(name, turns) Actor.setName(self, name .. ":" .. turns) end
function Actor.Validation.isNear(n) return n == 0 end
)";
const char* const kItemSetup = R"(function setup(factory) addItemInfo(factory, 5, "Item/Herb/") end)";
const char* const kHerbSetup = "function initialize(item) end";
// An action script that writes what it was handed into its actor.
const char* const kMarkAction = R"(
Game.Action = {}
function Game.Action.initialize(a, item, flag, word)
  Actor.setActorID(a, word or 55)
  Actor.setName(a, tostring(flag))
end
function Game.Action.updateAction(dt) return false end
)";

// The probes: each returns its results joined into one text.
const char* const kProbes = R"(
local function join(...)
  local parts = {}
  for i = 1, select("#", ...) do parts[i] = tostring((select(i, ...))) end
  return table.concat(parts, ",")
end

function basics(p, e)
  Actor.setActorID(e, 7)
  Actor.setName(e, "スライム")
  Actor.setDrawOffset(e, 1.5, -2)
  Actor.setActionEventScriptFileName(e, "Script/Test/mark.lua")
  Actor.setEnableScriptTask(e, true)
  local cx, cy = Actor.getCellPoint(e)
  local dx, dy = Actor.getDrawPosition(e)
  local ox, oy = Actor.getDrawOffset(e)
  return join(Actor.getActorType(p), Actor.getActorType(e), Actor.getActorID(e), Actor.getName(e), cx, cy,
              dx, dy, ox, oy, Actor.getActionEventScriptFileName(e), Actor.getActorDirectory(e),
              Actor.getDisplayActorDirectory(e), Actor.getRoom(e) == nil, Actor.getRoom(p) ~= nil,
              Actor.doValidation(e, "isNear"), Actor.isAlive(e), Actor.Condition.getName(e),
              Actor.Condition.isCondition(e, 3), Actor.Condition.addCondition(e, 3), Actor.Condition.addCondition(e, 99))
end

function sprites(e)
  return Actor.getBasicAnimation(e), Actor.getWeaponAnimation(e), Actor.getOriginParam(e)
end

function endTurn(a) Actor.endTurn(a) end
function idOf(a) return Actor.getActorID(a) end

function status(a)
  local s = Actor.Status
  s.setLevel(a, 0);           local level0 = s.getLevel(a)
  s.setLevel(a, 120);         local level120 = s.getLevel(a)
  s.setMaxLife(a, 80); s.setLife(a, 12.7)
  local life = s.getLife(a)
  s.setLife(a, 0 / 0);        local lifeNaN = s.getLife(a)
  s.setMaxForce(a, 20);       local maxForce = s.getMaxForce(a)
  s.setMaxForce(a, 8); s.setForce(a, 9)
  s.setEXP(a, 3000000)
  s.setTurnCount(a, -3)
  s.setDirection(a, 6)
  s.setAttack(a, 1e9); s.setDefense(a, -5); s.setPower(a, 300)
  s.setMaxHungerPoint(a, 150); s.setHungerPoint(a, 180)
  return join(level0, level120, life, lifeNaN, maxForce, s.getForce(a), s.getEXP(a), s.getTurnCount(a),
              s.getDirection(a), s.getAttack(a), s.getDefense(a), s.getPower(a), s.getMaxLife(a),
              s.getHungerPoint(a))
end

function bits(a)
  local s = Actor.Status
  s.setCategory(a, 3, true)
  s.setCategory(a, 20, true)   -- no category value of its own
  s.setCategory(a, 0, false)
  s.setCategory(a, 33, true)   -- bit 1
  s.setStabilityState(a, -1, true)  -- bit 31
  local before = join(s.getCategory(a, 3), s.getCategory(a, 20), s.getCategory(a, 1), s.getCategory(a, 0),
                      s.getStabilityState(a, 31), s.getStabilityState(a, 63))
  s.clearCategory(a)
  return before .. "|" .. join(s.getCategory(a, 3), s.getCategory(a, 20))
end

function pinch(a, maxLife, life)
  Actor.Status.setMaxLife(a, maxLife)
  Actor.Status.setLife(a, life)
  return join(Actor.isPinch(a), Actor.isAlive(a))
end

-- Every function of the table and its sub-tables with the bad object first: each answers
-- nothing but nils.
function sweep(bad)
  local answered = {}
  local function visit(prefix, t)
    for name, f in pairs(t) do
      if type(f) == "function" then
        local results = {f(bad, 1, 2, "x")}
        for i = 1, table.maxn(results) do
          if results[i] ~= nil then answered[#answered + 1] = prefix .. name end
        end
      elseif type(f) == "table" then
        visit(prefix .. name .. ".", f)
      end
    end
  end
  visit("", Actor)
  table.sort(answered)
  return table.concat(answered, " ")
end

function items(p)
  local I = Actor.Item
  local first = I.createItem(p, 5)
  local second = I.createItem(p, 5, 0)
  local third = I.createItem(p, 5, -1)
  local beyond = I.createItem(p, 5, 9)
  local unknown = I.createItem(p, 77)
  local order = join(I.getItem(p, 0) == second, I.getItem(p, 1) == first, I.getItem(p, 2) == third)
  local out = join(I.getItem(p, -1), I.getItem(p, 3), beyond, unknown, I.getItemCount(p))
  I.deleteItem(p, "0")
  I.deleteItem(p, 0.5)
  local kept = I.getItemCount(p)
  I.deleteItem(p, 0)
  I.deleteItem(p, third)
  return order .. "|" .. out .. "|" .. join(kept, I.getItemCount(p), I.getItem(p, 0) == first)
end

function give(from, to, item) Actor.Item.toActor(from, to, item) end
function delete(a, what) Actor.Item.deleteItem(a, what) end

function equip(a, weapon, shield)
  local I = Actor.Item
  return join(I.setEquippedWeaponItem(a, weapon), I.setEquippedShieldItem(a, shield),
              I.setEquippedShieldItem(a, weapon), I.getEquippedWeaponIndex(a), I.getEquippedShieldIndex(a),
              I.getEquippedWeaponItem(a) == weapon, I.getEquippedAmuletItem(a))
end

function unequip(a) return Actor.Item.setEquippedWeaponItem(a, nil), Actor.Item.getEquippedWeaponIndex(a) end

function move(a, dx, dy) Actor.Action.doMove(a, dx, dy) end
function script(a, path) Actor.Action.pushAction(a, path) end
function throw(...) Actor.Action.doThrowItem(...) end
function talk(a, partner) Actor.talk(a, partner) end
function turnEvent(a) Actor.Event.addTurnEventScript(a, "Script/Turn/poison.lua", 4) end
)";

class ActorModule : public ActionTest::ActionFixture {
protected:
    void SetUp() override {
        ActionFixture::SetUp();
        packScripts({
            {u"Actor/Player/HERO/setup.lua", "function setActor(a) end function setup() end"},
            {u"Actor/Player/HERO/actor.lua", ""},
            {u"Actor/Enemy/TEST/TEST01/setup.lua", kEnemySetup},
            {u"Actor/Enemy/TEST/TEST01/actor.lua", kEnemyActor},
            {u"Script/Item/ItemSetup.lua", kItemSetup},
            {u"Item/Herb/setup.lua", kHerbSetup},
            {u"Script/Test/mark.lua", kMarkAction},
        });
        context_.game.factories[ScriptModule::kActor] = [this] { return makeModule(); };
        items_ = std::make_unique<Fenwarrow::Item::CItemFactory>(context_.game);
        ASSERT_TRUE(items_->initialize());
        context_.game.itemFactory = items_.get();
        data_ = std::make_unique<Fenwarrow::CGameDataManager>(context_.game);
        context_.game.gameData = data_.get();
        ASSERT_NE(data_->getPlayer(), nullptr);

        floorServices_ = std::make_unique<DungeonTest::TestDungeonServices>(context_.game);
        floor_ = std::make_unique<Fenwarrow::Dungeon::CDungeon>(*floorServices_);
        auto& map = floor_->getMap();
        map.create(32, 12, 8);
        for (auto& cell : map.getCells()) {
            cell.cellType = Fenwarrow::Dungeon::kCellFloor;
            cell.setDrawPosition(static_cast<float>(cell.x * 32 + 16), static_cast<float>(cell.y * 32 + 32));
        }
        map.clearRoom();
        Fenwarrow::Dungeon::CRoom* room = map.addRoom(Fenwarrow::Dungeon::CRoom(0, 4, 3, 7));
        map.setRoomCells(room);
        context_.dungeon = floor_.get();

        player_ = data_->getPlayer();
        floor_->setPlayer(player_);
        floor_->addTurnParticipant(player_);
        ASSERT_TRUE(floor_->putCellObject(player_.get(), kPlayerPoint, false));
        enemy_ = std::make_shared<CEnemy>(context_.game);
        ASSERT_TRUE(enemy_->setup(u"Actor/Enemy/TEST/TEST01/"));
        floor_->addTurnParticipant(enemy_);
        ASSERT_TRUE(floor_->putCellObject(enemy_.get(), kEnemyPoint, false));

        const auto bytes = ScriptTest::textBytes(kProbes);
        ASSERT_TRUE(host_.setupState(bytes.data(), static_cast<uint32_t>(bytes.size()), 0x100000));
        ASSERT_TRUE(host_.attachCommand(makeModule()));
        ASSERT_TRUE(host_.runMain());
    }
    void TearDown() override {
        manager_->clear();
        host_.close();
        context_.dungeon = nullptr;
        enemy_.reset();
        player_.reset();
        floor_.reset();
        floorServices_.reset();
        data_.reset();
        ActionFixture::TearDown();
    }

    std::shared_ptr<CActorCommand> makeModule() { return std::make_shared<CActorCommand>(context_.game, &context_); }

    std::vector<CScriptValue> call(const std::string& name, int count, const std::vector<CScriptValue>& args = {}) {
        std::vector<CScriptValue> results;
        host_.callFunction(results, name, count, args);
        return {results.rbegin(), results.rend()};
    }
    std::string text(const std::string& name, const std::vector<CScriptValue>& args = {}) {
        const auto results = call(name, 1, args);
        return results.size() == 1 ? results[0].getText() : "<no result>";
    }
    static CScriptValue object(const void* pointer) { return CScriptValue(const_cast<void*>(pointer)); }
    CScriptValue player() const { return object(static_cast<CActor*>(player_.get())); }
    CScriptValue enemy() const { return object(static_cast<CActor*>(enemy_.get())); }

    std::unique_ptr<Fenwarrow::Item::CItemFactory> items_;
    std::unique_ptr<Fenwarrow::CGameDataManager> data_;
    std::unique_ptr<DungeonTest::TestDungeonServices> floorServices_;
    std::unique_ptr<Fenwarrow::Dungeon::CDungeon> floor_;
    std::shared_ptr<CActor> player_;
    std::shared_ptr<CEnemy> enemy_;
    Fenwarrow::CScriptController host_{context_.game};
};

TEST_F(ActorModule, ActorFunctionsReadAndChangeTheActorsOfTheFloor) {
    // The set-up script reached the enemy before it stood on the floor: it was lent.
    EXPECT_EQ(enemy_->getActorID(), 3);
    EXPECT_EQ(text("basics", {player(), enemy()}),
              "1,3,7,スライム,4,5,144,192,1.5,-2,Script/Test/mark.lua,Actor/Enemy/TEST/TEST01/,"
              "Actor/Enemy/TEST/TEST01/,true,true,true,true,nil,false,false,false");
    EXPECT_EQ(enemy_->getActorID(), 7);
    EXPECT_EQ(enemy_->getName(), u"スライム");
    EXPECT_TRUE(enemy_->getEnableScriptTask());
    enemy_->update(0.0f);
    EXPECT_EQ(enemy_->getDrawPositionX(), std::floor(144.0f - 16.0f + 1.5f));

    // The sprites and the category values go out lent to the state, so the modules that take
    // them back (animation, damage) accept them.
    const auto handles = call("sprites", 3, {enemy()});
    ASSERT_EQ(handles.size(), 3u);
    lua_State* L = host_.getLuaState();
    EXPECT_EQ(handles[0].asPointer(), enemy_->getAnimation().get());
    EXPECT_EQ(handles[1].asPointer(), enemy_->getExtraSprite(CActor::kWeaponSprite).get());
    EXPECT_EQ(handles[2].asPointer(), enemy_->getStatus().getCategoryValues().data());
    for (const auto& handle : handles) {
        EXPECT_TRUE(Fenwarrow::ScriptArguments::isLentObject(L, handle.asPointer()));
    }

    enemy_->setTurnState(2);
    call("endTurn", 0, {enemy()});
    EXPECT_EQ(enemy_->getTurnState(), 0);
}

TEST_F(ActorModule, StatusSettersClampAndLifeReadsAsAWholeNumber) {
    EXPECT_EQ(text("status", {enemy()}), "1,99,12,0,15,8,2760000,0,6,999,0,299,80,150");
}

TEST_F(ActorModule, BitNumbersWrapAndOnlyCategoriesHoldAValue) {
    EXPECT_EQ(text("bits", {enemy()}), "true,true,true,false,true,true|false,false");
    const auto& values = enemy_->getStatus().getCategoryValues();
    EXPECT_EQ(values[3], 1.0f);
    EXPECT_EQ(values[1], 1.0f);
    EXPECT_EQ(values[0], 0.0f);
    // clearCategory clears the bits only.
    EXPECT_EQ(enemy_->getStatus().getCategoryBits(), 0u);
}

TEST_F(ActorModule, PinchBelowThirtyPercentAndAliveFromOnePoint) {
    struct Case {
        double maxLife;
        double life;
        const char* expected;
    };
    for (const Case& c : {Case{100, 30, "false,true"}, Case{100, 29.9, "true,true"}, Case{10, 0.9, "true,false"},
                          Case{1, 1, "false,true"}}) {
        EXPECT_EQ(text("pinch", {enemy(), CScriptValue(c.maxLife), CScriptValue(c.life)}), c.expected)
            << c.maxLife << " " << c.life;
    }
}

TEST_F(ActorModule, UnknownActorsAreNeitherReadNorChanged) {
    // Off the floor and never the player: a script has no business with it.
    auto stranger = std::make_shared<CEnemy>(context_.game);
    const auto item = std::make_shared<CItem>(context_.game, kHerbId);
    const void* sprite = call("sprites", 1, {enemy()}).at(0).asPointer();  // lent, but no actor
    for (const CScriptValue& bad :
         {CScriptValue(), object(stranger.get()), object(item.get()), CScriptValue::fromInteger(5), object(sprite)}) {
        EXPECT_EQ(text("sweep", {bad}), "") << bad.getText();
    }
    EXPECT_EQ(stranger->getActorID(), -1);
    EXPECT_EQ(stranger->getStatus().getLevel(), 1);
    EXPECT_EQ(stranger->getItemList().size(), 0u);
    EXPECT_FALSE(manager_->isBusy());

    // Lent to the state it counts while it lives; once freed, the lent pointer names nothing.
    lua_State* L = host_.getLuaState();
    stranger->setActorID(12);
    Fenwarrow::ScriptArguments::lendObject(L, static_cast<CActor*>(stranger.get()));
    const CScriptValue strangerArg = object(static_cast<CActor*>(stranger.get()));
    ASSERT_EQ(call("idOf", 1, {strangerArg}).size(), 1u);
    EXPECT_EQ(call("idOf", 1, {strangerArg}).at(0).asNumber(), 12.0);
    stranger.reset();
    EXPECT_TRUE(call("idOf", 1, {strangerArg}).empty());  // nil gives no result

    // A defeated enemy taken off the floor is still the floor's, and the script that defeated
    // it reads it.
    floor_->removeActor(enemy_.get());
    ASSERT_FALSE(floor_->getTurnController().contains(enemy_.get()));
    ASSERT_EQ(call("idOf", 1, {enemy()}).size(), 1u);
}

TEST_F(ActorModule, ItemsAreCreatedAtTheirPlaceAndDeletedByItemOrWholeIndex) {
    EXPECT_EQ(text("items", {player()}), "true,true,true|nil,nil,nil,nil,3|3,1,true");
}

TEST_F(ActorModule, EquipmentIsThePlayersAndStaysOnItsItemsWhenTheListChanges) {
    const auto weapon = std::make_shared<CItem>(context_.game, kHerbId);
    weapon->setItemType(CItem::kWeapon);
    const auto shield = std::make_shared<CItem>(context_.game, kHerbId);
    shield->setItemType(CItem::kShield);
    const auto herb = std::make_shared<CItem>(context_.game, kHerbId);
    for (const auto& item : {herb, weapon, shield}) {
        player_->addItem(item);
    }
    const CScriptValue weaponArg = object(weapon.get());
    const CScriptValue shieldArg = object(shield.get());
    EXPECT_EQ(text("equip", {player(), weaponArg, shieldArg}), "1,2,-1,1,2,true,nil");
    // The enemy wears nothing.
    EXPECT_EQ(text("equip", {enemy(), weaponArg, shieldArg}), "-1,-1,-1,-1,-1,false,nil");

    // Dropping the herb in front of them moves both down one place; they stay worn.
    call("delete", 0, {player(), object(herb.get())});
    EXPECT_EQ(player_->getEquippedWeaponItem(), weapon);
    EXPECT_EQ(player_->getEquippedShieldItem(), shield);
    EXPECT_EQ(player_->getEquippedShieldIndex(), 1);

    // Giving the worn weapon away empties its slot instead of leaving it on the shield.
    call("give", 0, {player(), enemy(), weaponArg});
    EXPECT_EQ(player_->getEquippedWeaponIndex(), -1);
    EXPECT_EQ(player_->getEquippedShieldItem(), shield);
    ASSERT_EQ(enemy_->getItemList().size(), 1u);
    EXPECT_EQ(enemy_->getItemList().at(0), weapon);

    const auto results = call("unequip", 2, {player()});
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].asNumber(), -1.0);
    EXPECT_EQ(player_->getEquippedShieldItem(), shield);
}

TEST_F(ActorModule, ActionsGoToTheFloorsQueueWithWhatTheScriptGave) {
    call("move", 0, {enemy(), CScriptValue::fromInteger(1), CScriptValue::fromInteger(1)});
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(enemy_->getCell()->getPoint(), (MapPoint{5, 6}));

    const auto item = std::make_shared<CItem>(context_.game, kHerbId);
    item->setThrowScriptFileName(u"Script/Test/mark.lua");
    // A third argument alone is no throw option: the throw takes true and -1.
    call("throw", 0, {enemy(), object(item.get()), CScriptValue(false)});
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(enemy_->getActorID(), -1);
    EXPECT_EQ(enemy_->getName(), u"true");
    call("throw", 0, {enemy(), object(item.get()), CScriptValue(false), CScriptValue::fromInteger(9)});
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(enemy_->getActorID(), 9);
    EXPECT_EQ(enemy_->getName(), u"false");

    call("script", 0, {player(), CScriptValue("Script/Test/mark.lua")});
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(player_->getActorID(), 55);

    // Talking runs the partner's action-event script with the partner.
    enemy_->setActionEventScriptFileName(u"Script/Test/mark.lua");
    call("talk", 0, {player(), enemy()});
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(enemy_->getActorID(), 55);
}

TEST_F(ActorModule, TurnEventsAreRegisteredThroughTheActorsOwnScript) {
    call("turnEvent", 0, {enemy()});
    EXPECT_EQ(enemy_->getName(), u"Script/Turn/poison.lua:4");
}

// The sample player's set-up with every module its two script states attach, each made as the
// game manager makes it (no floor, renderer or render queue at start-up).
TEST(ActorModuleSample, ThePlayersSetupFromTheSampleContentReachesThePlayer) {
    const auto source = [](const char* file) {
        return ScriptTest::readBytes(std::string(FENWARROW_CONTENT_DIR) + "/Actor/Player/HERO/" + file);
    };
    TempFolder folder;
    GameTest::TestGameContext context;
    const auto library = [](const char* file) {
        return ScriptTest::readBytes(std::string(FENWARROW_CONTENT_DIR) + "/Script/Lib/" + file);
    };
    ScriptTest::openArchive(folder, context.reader,
                            {{u"Actor/Player/HERO/setup.lua.lcd", source("setup.lua"), false},
                             {u"Actor/Player/HERO/actor.lua.lcd", source("actor.lua"), false},
                             {u"Script/Lib/ActorLook.lua.lcd", library("ActorLook.lua"), false},
                             {u"Script/Lib/ConditionLook.lua.lcd", library("ConditionLook.lua"), false}});
    using namespace Fenwarrow::ScriptCommand;
    const auto noFloor = [] { return static_cast<Fenwarrow::Dungeon::CDungeon*>(nullptr); };
    context.factories = {
        {ScriptModule::kActor, [&] { return std::make_shared<CActorCommand>(context); }},
        {ScriptModule::kMossbellLib, [&] { return std::make_shared<CMossbellLibCommand>(nullptr, context.reader); }},
        {ScriptModule::kMap,
         [&] {
             return std::make_shared<CMapCommand>(CMapCommand::Services{noFloor, &context.reader, nullptr});
         }},
        {ScriptModule::kDungeon, [&] { return std::make_shared<CDungeonCommand>(noFloor); }},
        {ScriptModule::kGame, [&] { return std::make_shared<CGameCommand>(context); }},
        {ScriptModule::kItem, [&] { return std::make_shared<CItemCommand>(context); }},
        {ScriptModule::kDamageCalculate, [&] { return std::make_shared<CDamageCalculateCommand>(context); }},
        {ScriptModule::kGraphics, [&] { return std::make_shared<CGraphicsCommand>(nullptr, context.reader, nullptr); }},
        {ScriptModule::kAudio,
         [&] { return std::make_shared<CAudioCommand>(context.audioDevice, context.reader, context.reader, nullptr); }},
    };
    Fenwarrow::CGameDataManager data(context);
    context.gameData = &data;
    const auto& player = data.getPlayer();
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->getName(), u"旅人");
    EXPECT_EQ(player->getActorID(), 1);
    const auto& status = player->getStatus();
    EXPECT_EQ(status.getMaxLife(), 15.0f);
    EXPECT_EQ(status.getLife(), 15.0f);
    EXPECT_EQ(status.getMaxForce(), 8);
    EXPECT_EQ(status.getForce(), 8);
    EXPECT_EQ(status.getAttack(), 6.0f);
    EXPECT_EQ(status.getDefense(), 0.0f);
    EXPECT_EQ(status.getDirection(), 4);
    // Its body walks and its condition sprite holds the marks the conditions show.
    const auto hasRange = [](const Orvex::MossbellLib::OxMADObject& sprite, const std::u16string& name) {
        for (const auto& range : const_cast<Orvex::MossbellLib::OxMADObject&>(sprite).getPlayRangeList()) {
            if (range->name == name) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(hasRange(*player->getAnimation(), u"Walk_4"));
    EXPECT_TRUE(hasRange(*player->getAnimation(), u"Sleep"));
    for (const char16_t* mark : {u"Confusion", u"Drunken", u"Blind", u"Trip", u"Unhinged"}) {
        EXPECT_TRUE(hasRange(*player->getExtraSprite(CActor::kEffectSprite), mark));
    }
}

}  // namespace

namespace {

// The same floor whose actors carry the real condition set.
class ActorModuleWithConditions : public ActorModule {
protected:
    void SetUp() override {
        context_.game.makeConditions = [](CActor& actor) {
            return std::make_unique<Fenwarrow::Actor::Condition::CConditionController>(actor);
        };
        ActorModule::SetUp();
        ASSERT_EQ(
            luaL_dostring(
                host_.getLuaState(),
                "function looks(a) return Actor.getDisplayActorDirectory(a) .. ',' .. tostring(Actor.isPinch(a)) end"),
            0);
    }
};

// Debility keeps an actor in a pinch at any life; while the player hallucinates, every other
// actor is drawn from the Mobbly's folder, the player from its own.
TEST_F(ActorModuleWithConditions, HallucinationAndDebilityShowInTheActorsLooks) {
    EXPECT_EQ(text("looks", {enemy()}), "Actor/Enemy/TEST/TEST01/,false");
    ASSERT_TRUE(enemy_->getConditions()->addCondition(Fenwarrow::Actor::kConditionDebility));
    ASSERT_TRUE(player_->getConditions()->addCondition(Fenwarrow::Actor::kConditionTrip));
    EXPECT_EQ(text("looks", {enemy()}), "Actor/Enemy/MOBB/MOBB01/,true");
    EXPECT_EQ(text("looks", {player()}), "Actor/Player/HERO/,false");
}

}  // namespace
