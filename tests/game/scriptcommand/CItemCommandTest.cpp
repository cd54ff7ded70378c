#include "game/scriptcommand/CItemCommand.h"

#include <gtest/gtest.h>

#include "game/actor/CPlayer.h"
#include "game/dungeon/CDungeon.h"
#include "game/item/CItem.h"
#include "game/item/CItemFactory.h"
#include "game/services/CScriptController.h"
#include "tests/game/dungeon/DungeonTestServices.h"
#include "tests/game/scriptcommand/ScriptCallSupport.h"
#include "tests/game/shell/GameTestContext.h"

namespace {

using Fenwarrow::CGameDataManager;
using Fenwarrow::Actor::CActor;
using Fenwarrow::Dungeon::CDungeon;
using Fenwarrow::Item::CItem;
using Fenwarrow::ScriptCommand::CItemCommand;
using ScriptCall::Values;

constexpr const char* kPlayerSetup = "function setActor(a) end function setup() end";

constexpr const char* kScript = R"lua(
function status(item)
  local S = Item.Status
  S.setUseCount(item, 15);     local a = S.getUseCount(item)
  S.setUseCount(item, -1);     local b = S.getUseCount(item)
  S.setBaseAttack(item, -150); local c = S.getBaseAttack(item)
  S.setBaseAttack(item, 5); S.setAttack(item, 200); local d = S.getAttack(item)
  S.setBaseDefense(item, 120); S.setDefense(item, -300); local e, f = S.getBaseDefense(item), S.getDefense(item)
  S.setSlotCount(item, -1);    local g = S.getSlotCount(item)
  S.setSlotCount(item, 2)
  local h = S.addAbility(item, 12)
  local i = S.addAbility(item, 12)
  S.setSlotAbility(item, 1, 7)
  S.setSlotAbility(item, 5, 9)
  local j = S.addAbility(item, 3)
  return a, b, c, d, e, f, g, h, i, S.getSlotAbility(item, 1), S.getSlotAbility(item, 5), j,
         S.checkAbility(item, 7), S.getMaxSlotCount(), S.getMaxSlotCount(item, 1, 2)
end

function flags(item)
  local S = Item.Status
  S.setPrice(item, 100) S.setUnitPrice(item, 10) S.setCurse(item, true) S.setBlessed(item, 1)
  S.setFrozen(item, 0) S.setItemHolder(item, true) S.setUseIfTaken(item, false)
  S.setAnotherOption(item, 2) S.setPoppable(item, true)
  return S.getPrice(item), S.getUnitPrice(item), S.getCurse(item), S.getBlessed(item), S.getFrozen(item),
         S.isItemHolder(item), S.getUseIfTaken(item), S.getAnotherOption(item), S.getPoppable(item)
end

function identity(item)
  Item.setName(item, "おにぎり")
  Item.setItemType(item, 8)
  Item.setItemActionScriptFileName(item, "Script/Item/Action/Eat.lua")
  Item.setItemAttachScriptFileName(item, "Script/Item/Action/Attach.lua")
  Item.setChangeFloorScriptFileName(item, "Script/Item/Action/Rot.lua")
  Item.setVisible(item, 0)
  return Item.getName(item), Item.getItemType(item), Item.getItemID(item), Item.getItemAttachScriptFileName(item),
         Item.getChangeFloorScriptFileName(item), Item.getVisible(item), Item.getParent(item), #Item.getItemList(item),
         select("#", Item.getCellPoint(item)), Item.getBasicAnimation(item) ~= nil, Item.getOriginParam(item) ~= nil
end

function identification(item)
  Item.Status.setUnidentified(item, true)
  local own, kind = Item.Status.getUnidentified(item), Item.getUnidentified(item)
  Item.setTemporaryName(item, "くさい草")
  local shown = Item.getDisplayName(item, false)
  Item.identify(item)
  return own, kind, shown, Item.getUnidentified(item), Item.Status.getUnidentified(item), Item.getTemporaryName(item),
         Item.getDisplayName(item, true)
end

function push(holder, item) Item.pushItemIntoItemList(holder, item) end
function pop(holder, item) Item.popItemFromItemList(holder, item) end
function holding(holder, item)
  local list = Item.getItemList(holder)
  return #list, list[1] == item, Item.getParent(item) == holder, Item.getTotalPrice(holder)
end
function remove(item) Item.removeItem(item) end
function ids() local list = Item.Factory.getItemIDList() return #list, list[1], list[2], list[3] end
function name(item) Item.setName(item, "x") return Item.getName(item), Item.getItemID(item), Item.Status.getPrice(item) end
)lua";

struct Enemy : CActor {
    using CActor::CActor;
    int32_t getActorType() const override { return kEnemy; }
};

class ItemModule : public ::testing::Test {
protected:
    void SetUp() override {
        ScriptTest::openArchive(folder_, context_.reader,
                                {{u"Actor/Player/HERO/setup.lua.lcd", ScriptTest::textBytes(kPlayerSetup), false},
                                 {u"Actor/Player/HERO/actor.lua.lcd", ScriptTest::textBytes(""), false}});
        context_.provideAllModules();
        data_ = std::make_unique<CGameDataManager>(context_);
        context_.gameData = data_.get();
        ASSERT_NE(data_->getPlayer(), nullptr);
        const auto bytes = ScriptTest::textBytes(kScript);
        ASSERT_TRUE(host_.setupState(bytes.data(), static_cast<uint32_t>(bytes.size()), 0x40000));
        ASSERT_TRUE(host_.attachCommand(std::make_shared<CItemCommand>(context_, [this] { return floor_.get(); })));
        ASSERT_TRUE(host_.runMain());
    }

    Values call(const char* name, const std::vector<ScriptCall::Argument>& arguments) {
        return ScriptCall::call(host_.getLuaState(), name, arguments);
    }
    std::shared_ptr<CItem> make(uint32_t id, int32_t type = CItem::kOther) {
        auto item = std::make_shared<CItem>(context_, id);
        item->setItemType(type);
        return item;
    }
    void openFloor() {
        floor_ = std::make_unique<CDungeon>(services_);
        ASSERT_TRUE(floor_->getMap().create(32, 4, 4));
        for (int32_t y = 0; y < 4; ++y) {
            for (int32_t x = 0; x < 4; ++x) {
                floor_->getMap().getCell({x, y})->cellType = Fenwarrow::Dungeon::kCellFloor;
            }
        }
        floor_->setPlayer(data_->getPlayer());
        floor_->addTurnParticipant(data_->getPlayer());
    }

    TempFolder folder_;
    GameTest::TestGameContext context_;
    std::unique_ptr<CGameDataManager> data_;
    DungeonTest::TestDungeonServices services_{context_};
    std::unique_ptr<CDungeon> floor_;
    Fenwarrow::CScriptController host_{context_};
};

TEST_F(ItemModule, StatusSettersKeepTheirRanges) {
    auto item = make(1);
    EXPECT_EQ(call("status", {item.get()}), (Values{"10", "10", "-99", "104", "99", "0", "64", "true", "false", "7",
                                                    "0", "false", "true", "64", "64"}));
    auto fresh = make(2);
    EXPECT_EQ(call("flags", {fresh.get()}),
              (Values{"100", "10", "true", "true", "false", "true", "false", "2", "true"}));
    EXPECT_EQ(fresh->getPrice(), (100 + 1000) / 2);
}

TEST_F(ItemModule, IdentityScriptsAndLook) {
    auto item = make(42);
    EXPECT_EQ(call("identity", {item.get()}),
              (Values{"おにぎり", "8", "42", "Script/Item/Action/Attach.lua", "Script/Item/Action/Rot.lua", "false",
                      "nil", "0", "0", "true", "true"}));
    EXPECT_EQ(item->getActionScriptFileName(), u"Script/Item/Action/Eat.lua");
}

TEST_F(ItemModule, KindIdentificationIsApartFromTheItemsOwnFlag) {
    data_->getUnidentifiedItems().insertOrAssign(42, {42, true, u"黄色い草", u""});
    auto item = make(42, CItem::kDrug);
    item->setName(u"薬草");
    EXPECT_EQ(call("identification", {item.get()}),
              (Values{"true", "true", "くさい草", "false", "true", "くさい草", "<#Drug:ICON>薬草"}));
    // A kind without a record has no temporary name.
    auto plain = make(43);
    EXPECT_EQ(call("identification", {plain.get()}),
              (Values{"true", "false", "", "false", "true", "nil", "<#Other:ICON>"}));
}

TEST_F(ItemModule, HoldersTakeItemsFromThePlayerAndGiveThemBack) {
    auto pot = make(400, CItem::kHollow);
    pot->getStatus().setPrice(50);
    auto herb = make(10, CItem::kDrug);
    herb->getStatus().setPrice(30);
    auto player = data_->getPlayer();
    player->addItem(pot);
    player->addItem(herb);

    call("push", {pot.get(), herb.get()});
    EXPECT_EQ(call("holding", {pot.get(), herb.get()}), (Values{"1", "true", "true", "80"}));
    EXPECT_EQ(player->findItem(herb.get()), -1);
    // Into itself or into an item it holds would make a loop of holders.
    call("push", {herb.get(), pot.get()});
    call("push", {pot.get(), pot.get()});
    EXPECT_EQ(pot->getHolder(), nullptr);
    EXPECT_EQ(player->findItem(pot.get()), 0);

    call("pop", {nullptr, herb.get()});
    EXPECT_EQ(call("holding", {pot.get(), herb.get()}), (Values{"0", "false", "false", "50"}));
    EXPECT_GE(player->findItem(herb.get()), 0);
}

TEST_F(ItemModule, PushingAnEquippedItemUnequipsItFirst) {
    auto pot = make(400, CItem::kHollow);
    auto sword = make(200, CItem::kWeapon);
    auto player = data_->getPlayer();
    player->addItem(pot);
    player->addItem(sword);
    ASSERT_GE(data_->setEquippedWeaponItem(sword.get()), 0);
    call("push", {pot.get(), sword.get()});
    EXPECT_EQ(data_->getEquippedWeaponItem(), nullptr);
    EXPECT_EQ(sword->getHolder(), pot.get());
}

TEST_F(ItemModule, RemovingAnItemTakesItFromWhoeverHasIt) {
    openFloor();
    auto player = data_->getPlayer();
    auto enemy = std::make_shared<Enemy>(context_);
    floor_->addTurnParticipant(enemy);
    auto stolen = make(10);
    enemy->addItem(stolen);
    auto lying = make(10);
    floor_->addFloorItem(lying);
    ASSERT_TRUE(floor_->putCellObject(lying.get(), {1, 1}, false));
    auto pot = make(400, CItem::kHollow);
    auto inside = make(10);
    pot->pushItemIntoItemList(inside);
    auto shield = make(300, CItem::kShield);
    auto sword = make(200, CItem::kWeapon);
    player->addItem(shield);
    player->addItem(sword);
    ASSERT_GE(data_->setEquippedWeaponItem(sword.get()), 0);

    call("remove", {stolen.get()});
    EXPECT_EQ(enemy->findItem(stolen.get()), -1);
    EXPECT_EQ(floor_->getItems().size(), 1u);  // not from the floor
    call("remove", {lying.get()});
    EXPECT_TRUE(floor_->getItems().empty());
    EXPECT_EQ(lying->getCell(), nullptr);
    call("remove", {inside.get()});
    EXPECT_EQ(pot->getItemList().size(), 0u);
    // The player's equipment stays right when an item before it leaves.
    call("remove", {shield.get()});
    EXPECT_EQ(player->findItem(shield.get()), -1);
    EXPECT_EQ(data_->getEquippedWeaponItem(), sword);
}

TEST_F(ItemModule, ObjectsThatAreNoLiveItemReadAsNone) {
    auto item = make(5);
    void* stale = item.get();
    item.reset();
    int notAnItem = 0;
    for (void* object : {stale, static_cast<void*>(&notAnItem), static_cast<void*>(nullptr)}) {
        EXPECT_EQ(call("name", {object}), (Values{"nil", "0", "0"}));
    }
}

TEST_F(ItemModule, FactoryListsEveryRegisteredKindInOrder) {
    EXPECT_EQ(call("ids", {}), (Values{"0", "nil", "nil", "nil"}));
    Fenwarrow::Item::CItemFactory factory(context_);
    for (uint32_t id : {30u, 2u, 17u}) {
        factory.addItemInfo(id, u"Item/Other/X/");
    }
    context_.itemFactory = &factory;
    EXPECT_EQ(call("ids", {}), (Values{"3", "2", "17", "30"}));
}

}  // namespace
