// The item lists and the entries of the chosen item, driven by keys over a real floor: which
// entries each kind of item shows, and what equip, throw, put, push, pop, pick up, use and
// name do through the player's script commands and the floor's action queue.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/item/CUnidentifiedItemInfo.h"
#include "game/layer/CSceneLayerManager.h"
#include "game/menu/CItemMenu.h"
#include "game/menu/CRenameLayer.h"
#include "game/menu/CSimpleActionItemMenu.h"
#include "tests/game/menu/MenuFixture.h"

namespace MenuTest {
namespace {

using Fenwarrow::Item::CItem;
using Fenwarrow::SceneLayer::CItemMenu;
using Labels = std::vector<std::u16string>;

// What the attach script of an equipped item was handed.
void* g_attachedPlayer = nullptr;
void* g_attachedItem = nullptr;
int noteAttach(lua_State* L) {
    g_attachedPlayer = lua_touserdata(L, 1);
    g_attachedItem = lua_touserdata(L, 2);
    return 0;
}

class ItemMenuTest : public MenuFixture {
protected:
    void SetUp() override {
        MenuFixture::SetUp();
        g_attachedPlayer = g_attachedItem = nullptr;
        // In the player's turn, which the entries that act end.
        player_->setTurnState(1);
        context_.game.factories[Fenwarrow::ScriptModule::kGame] = [] {
            return std::make_shared<GameTest::TestModule>(
                "Game", std::vector<Fenwarrow::ScriptCommand::ScriptFunction>{{"noteAttach", &noteAttach}});
        };
    }

    const std::vector<std::pair<std::u16string, std::string>>& extraScripts() const override {
        static const std::vector<std::pair<std::u16string, std::string>> kScripts = {
            {u"Script/Test/Attach.lua", "function attach(player, item) Game.noteAttach(player, item) end\n"},
            {u"Script/UI/Rename.lua",
             "frames = 0\n"
             "function setup(item) target = item end\n"
             "function update(dt) frames = frames + 1 return frames < 2 end\n"
             "function draw() end\n"},
        };
        return kScripts;
    }

    CItemMenu* inventory() const { return static_cast<CItemMenu*>(menu_->findMenu(u"ItemMenu")); }
    Fenwarrow::SceneLayer::CSimpleActionItemMenu* simpleMenu() const {
        return static_cast<Fenwarrow::SceneLayer::CSimpleActionItemMenu*>(menu_->findMenu(u"SimpleActionItemMenu"));
    }

    void openInventory() {
        ASSERT_TRUE(menu_->openRoot());
        press(kDecide);
        ASSERT_EQ(menu_->getCurrent(), inventory());
    }
    // Moves down to the entry and decides.
    void choose(uint32_t index) {
        for (uint32_t i = 0; i < index; ++i) {
            press(kDown);
        }
        press(kDecide);
    }
    // The action entries of the inventory's item at that index.
    Labels actionsOf(uint32_t index) {
        openInventory();
        choose(index);
        EXPECT_TRUE(inventory()->isActionShown());
        return labels(*inventory()->getActionWindow());
    }
    // Decides the entry with that label in the shown action window of the menu.
    void act(CItemMenu& menu, const std::u16string& label) {
        const Labels shown = labels(*menu.getActionWindow());
        const auto found = std::find(shown.begin(), shown.end(), label);
        ASSERT_NE(found, shown.end()) << "no entry " << testing::PrintToString(label);
        choose(static_cast<uint32_t>(found - shown.begin()));
    }
    void unidentify(uint32_t itemId, const std::u16string& name) {
        Fenwarrow::Item::CUnidentifiedItemInfo info;
        info.itemId = itemId;
        info.unidentified = true;
        info.name = name;
        data_->getUnidentifiedItems().insertOrAssign(itemId, info);
    }
    std::shared_ptr<CItem> pot(uint32_t useCount) {
        auto holder = carry(CItem::kHollow, u"壺", CItemMenu::kPeekLimitedHolderId);
        holder->getStatus().setItemHolder(true);
        holder->getStatus().setUseCount(useCount);
        holder->setPushScriptFileName(u"Script/Test/Push.lua");
        holder->setThrowScriptFileName(u"Script/Test/Throw.lua");
        return holder;
    }
};

TEST_F(ItemMenuTest, EachKindOfItemShowsItsEntries) {
    struct Case {
        const char* what;
        std::function<void()> make;
        Labels expected;
    };
    const std::vector<Case> cases = {
        {"an unidentified drug with a throw script",
         [this] {
             unidentify(600, u"青い薬");
             carry(CItem::kDrug, u"毒消し", 600)->setThrowScriptFileName(u"Script/Test/Throw.lua");
         },
         {u"飲む", u"投げる", u"置く", u"交換", u"名前", u"閉じる"}},
        {"a weapon", [this] { carry(CItem::kWeapon, u"剣"); }, {u"装備", u"置く", u"交換", u"説明", u"閉じる"}},
        {"the equipped weapon",
         [this] { player_->setEquippedWeaponItem(carry(CItem::kWeapon, u"剣").get()); },
         {u"はずす", u"置く", u"交換", u"説明", u"閉じる"}},
        {"a cursed equipped weapon with a throw script",
         [this] {
             auto sword = carry(CItem::kWeapon, u"剣");
             sword->getStatus().setCurse(true);
             sword->setThrowScriptFileName(u"Script/Test/Throw.lua");
             player_->setEquippedWeaponItem(sword.get());
         },
         {u"説明", u"閉じる"}},
        {"a shield while a cursed one is worn",
         [this] {
             auto worn = makeItem(CItem::kShield, u"呪盾");
             worn->getStatus().setCurse(true);
             carry(CItem::kShield, u"盾");
             player_->addItem(worn);
             player_->setEquippedShieldItem(worn.get());
         },
         {u"置く", u"交換", u"説明", u"閉じる"}},
        {"a pot with looks left",
         [this] { pot(2); },
         {u"のぞく", u"入れる", u"投げる", u"置く", u"交換", u"説明", u"閉じる"}},
        {"a peek-limited pot with no looks left",
         [this] { pot(0); },
         {u"入れる", u"投げる", u"置く", u"交換", u"説明", u"閉じる"}},
        {"a frozen cake",
         [this] { carry(CItem::kCake, u"饅頭")->getStatus().setFrozen(true); },
         {u"置く", u"交換", u"説明", u"閉じる"}},
        {"stairs on",
         [this] { carry(CItem::kOther, u"階段")->getStatus().setAnotherOption(2); },
         {u"すすむ", u"置く", u"交換", u"説明", u"閉じる"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        // Something at the feet that can be picked up, so the exchange is offered.
        dropAt(kPlayerPoint, CItem::kTag, u"札");
        c.make();
        EXPECT_EQ(actionsOf(0), c.expected);
    }
}

TEST_F(ItemMenuTest, TheItemAtTheFeetCanBePickedUpButNotEquipped) {
    auto sword = dropAt(kPlayerPoint, CItem::kWeapon, u"剣");
    openInventory();
    EXPECT_EQ(inventory()->getPages().size(), 2u) << "an empty inventory is one empty page, then the feet";
    EXPECT_EQ(inventory()->getPages()[0]->getListItemCount(), 0u);
    press(kRight);
    ASSERT_EQ(inventory()->getPageIndex(), 1);
    EXPECT_EQ(inventory()->getPages()[1]->title, u"足元");
    press(kDecide);
    EXPECT_EQ(labels(*inventory()->getActionWindow()), (Labels{u"ひろう", u"説明", u"閉じる"}));
    act(*inventory(), u"ひろう");
    EXPECT_TRUE(menu_->isStackEmpty());
    EXPECT_EQ(player_->getTurnState(), 0) << "the turn ends";
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(player_->findItem(sword.get()), 0);
}

TEST_F(ItemMenuTest, ElevenItemsMakeTwoPagesAndTheRightKeyWrapsToTheFirst) {
    for (int i = 0; i < 11; ++i) {
        carry(CItem::kDrug, u"草");
    }
    openInventory();
    ASSERT_EQ(inventory()->getPages().size(), 3u);
    EXPECT_EQ(inventory()->getPages()[0]->title, u"持ち物1");
    EXPECT_EQ(inventory()->getPages()[0]->getListItemCount(), 10u);
    EXPECT_EQ(inventory()->getPages()[1]->title, u"持ち物2");
    EXPECT_EQ(inventory()->getPages()[1]->getListItemCount(), 1u);
    pressAll({kRight, kRight, kRight});
    EXPECT_EQ(inventory()->getPageIndex(), 0);
    press(kLeft);
    EXPECT_EQ(inventory()->getPageIndex(), 2);
}

TEST_F(ItemMenuTest, EquippingRunsTheAttachScriptWaitsAndEndsTheTurn) {
    auto sword = carry(CItem::kWeapon, u"剣");
    sword->setAttachScriptFileName(u"Script/Test/Attach.lua");
    openInventory();
    press(kDecide);
    act(*inventory(), u"装備");
    EXPECT_EQ(player_->getEquippedWeaponItem(), sword);
    EXPECT_EQ(g_attachedPlayer, player_.get());
    EXPECT_EQ(g_attachedItem, sword.get());
    EXPECT_EQ(player_->getTurnState(), 0);
    EXPECT_TRUE(manager_->isBusy()) << "the half-second wait";
    EXPECT_TRUE(menu_->isStackEmpty());
    ASSERT_TRUE(runUntilIdle());

    openInventory();
    EXPECT_EQ(inventory()->getPages()[0]->getListItem(0)->text, u"<#Equipped:HICON><#Weapon:ICON>剣");
    press(kDecide);
    act(*inventory(), u"はずす");
    EXPECT_EQ(player_->getEquippedWeaponItem(), nullptr);
}

TEST_F(ItemMenuTest, ThrowingTheEquippedWeaponUnequipsItAndHandsItToThePlayersScript) {
    auto sword = carry(CItem::kWeapon, u"剣");
    sword->setThrowScriptFileName(u"Script/Test/Throw.lua");
    player_->setEquippedWeaponItem(sword.get());
    openInventory();
    press(kDecide);
    act(*inventory(), u"投げる");
    EXPECT_EQ(player_->getEquippedWeaponItem(), nullptr);
    EXPECT_EQ(playerGlobal("commands"), "doThrowItem(1);");
    EXPECT_EQ(playerPointer("arg1"), sword.get());
    EXPECT_TRUE(menu_->isStackEmpty());
}

TEST_F(ItemMenuTest, PushingIntoAPotOffersThePlayersOtherItemsAndPoppingOffersItsContents) {
    auto holder = pot(3);
    auto herb = carry(CItem::kDrug, u"草");
    openInventory();
    press(kDecide);
    act(*inventory(), u"入れる");
    ASSERT_EQ(menu_->getCurrent(), simpleMenu());
    EXPECT_EQ(simpleMenu()->getItems().size(), 2u);
    press(kDecide);  // the pot itself
    EXPECT_EQ(labels(*simpleMenu()->getActionWindow()), (Labels{u"説明", u"閉じる"})) << "a pot never goes into itself";
    press(kCancel);
    press(kDown);
    press(kDecide);
    act(*simpleMenu(), u"入れる");
    EXPECT_EQ(playerGlobal("commands"), "doPushItem(2);");
    EXPECT_EQ(playerPointer("arg1"), holder.get());
    EXPECT_EQ(playerPointer("arg2"), herb.get());
    EXPECT_TRUE(menu_->isStackEmpty());

    // The script would have moved it; the pot now holds the herb.
    player_->removeItem(herb.get());
    holder->pushItemIntoItemList(herb);
    openInventory();
    press(kDecide);
    act(*inventory(), u"のぞく");
    ASSERT_EQ(menu_->getCurrent(), simpleMenu());
    EXPECT_EQ(simpleMenu()->getPages()[0]->title, u"壺【3】");
    press(kDecide);
    EXPECT_EQ(labels(*simpleMenu()->getActionWindow()), (Labels{u"取り出す", u"飲む", u"置く", u"説明", u"閉じる"}));
    act(*simpleMenu(), u"取り出す");
    EXPECT_EQ(playerGlobal("commands"), "doPushItem(2);doPopItem(2);");
    EXPECT_EQ(playerPointer("arg1"), holder.get());
    EXPECT_EQ(playerPointer("arg2"), herb.get());
}

TEST_F(ItemMenuTest, PuttingDownAnItemFromAPotTakesItOutFirst) {
    auto holder = pot(3);
    auto herb = makeItem(CItem::kDrug, u"草");
    holder->pushItemIntoItemList(herb);
    openInventory();
    press(kDecide);
    act(*inventory(), u"のぞく");
    press(kDecide);
    act(*simpleMenu(), u"置く");
    EXPECT_EQ(herb->getHolder(), nullptr);
    EXPECT_TRUE(holder->getItemList().empty());
    EXPECT_EQ(player_->findItem(herb.get()), 1) << "handed to the player for the script to put down";
    EXPECT_EQ(playerGlobal("commands"), "doPutItem(1);");
    EXPECT_EQ(playerPointer("arg1"), herb.get());
}

TEST_F(ItemMenuTest, ExchangingTakesUpTheItemAtTheFeetThenPutsTheChosenOneDown) {
    auto herb = carry(CItem::kDrug, u"草");
    auto tag = dropAt(kPlayerPoint, CItem::kTag, u"札");
    player_->getStatus().setStabilityState(6, true);  // nothing can be lifted
    openInventory();
    press(kDecide);
    act(*inventory(), u"交換");
    EXPECT_EQ(floor_->getLogManager().getHistory().back(), u"札【0】は重くて拾う事が出来ない。");
    EXPECT_EQ(playerGlobal("commands"), "");
    EXPECT_EQ(tag->getCell(), player_->getCell());

    player_->getStatus().setStabilityState(6, false);
    openInventory();
    press(kDecide);
    act(*inventory(), u"交換");
    EXPECT_EQ(player_->findItem(tag.get()), 1) << "taken up";
    EXPECT_EQ(tag->getCell(), nullptr);
    EXPECT_EQ(playerGlobal("commands"), "doPutItem(1);");
    EXPECT_EQ(playerPointer("arg1"), herb.get());
}

TEST_F(ItemMenuTest, TheDescriptionShowsStrengthAboutTextAndAbilitiesUntilDismissed) {
    auto sword = carry(CItem::kWeapon, u"剣");
    sword->getStatus().setAttack(7);
    sword->setAboutText(u"よく切れる剣。");
    sword->getStatus().setSlotCount(2);
    sword->getStatus().setSlotAbility(1, 10);
    openInventory();
    press(kDecide);
    act(*inventory(), u"説明");
    ASSERT_TRUE(inventory()->isInfoShown());
    EXPECT_FALSE(inventory()->isActionShown());
    EXPECT_EQ(inventory()->getInfoWindow()->title, u"剣＋7 攻7");
    EXPECT_EQ(inventory()->getInfoWindow()->text, u"よく切れる剣。\n\n能力：\n怪力\n");
    press(kCancel);
    EXPECT_FALSE(inventory()->isInfoShown());
    EXPECT_EQ(menu_->getCurrent(), inventory()) << "back at the list";

    // Without an ability there is no heading to show.
    sword->getStatus().setSlotAbility(1, 0);
    press(kDecide);
    act(*inventory(), u"説明");
    EXPECT_EQ(inventory()->getInfoWindow()->text, u"よく切れる剣。");
}

TEST_F(ItemMenuTest, ACardThatNeedsATargetAsksForOneAndPassesBoth) {
    auto card = carry(CItem::kCard, u"札");
    card->getStatus().setPoppable(true);
    auto herb = carry(CItem::kDrug, u"草");
    openInventory();
    press(kDecide);
    act(*inventory(), u"使う");
    ASSERT_EQ(menu_->getCurrent(), simpleMenu());
    choose(1);
    act(*simpleMenu(), u"使う");
    EXPECT_EQ(playerGlobal("commands"), "doItem(2);");
    EXPECT_EQ(playerPointer("arg1"), card.get());
    EXPECT_EQ(playerPointer("arg2"), herb.get());
}

TEST_F(ItemMenuTest, ASealedMouthCannotDrinkAndTheTurnIsNotUsed) {
    auto drug = carry(CItem::kDrug, u"薬");
    player_->getStatus().setStabilityState(5, true);
    openInventory();
    press(kDecide);
    act(*inventory(), u"飲む");
    EXPECT_EQ(playerGlobal("commands"), "");
    EXPECT_EQ(floor_->getLogManager().getHistory().back(), u"今は口が使えない！");
    EXPECT_NE(player_->getTurnState(), 0);
    EXPECT_FALSE(manager_->isBusy());

    player_->getStatus().setStabilityState(5, false);
    openInventory();
    press(kDecide);
    act(*inventory(), u"飲む");
    EXPECT_EQ(playerGlobal("commands"), "doItem(1);");
    EXPECT_EQ(playerPointer("arg1"), drug.get());
}

TEST_F(ItemMenuTest, NamingAnUnidentifiedDrugRunsTheRenameScriptOnItUntilItsUpdateSaysStop) {
    unidentify(600, u"青い薬");
    auto drug = carry(CItem::kDrug, u"毒消し", 600);
    Fenwarrow::SceneLayer::CSceneLayerManager& layers = services_->layers;
    openInventory();
    press(kDecide);
    act(*inventory(), u"名前");
    EXPECT_TRUE(menu_->isStackEmpty());
    layers.update();
    ASSERT_EQ(layers.getLayerCount(), 1u);
    layers.update();
    EXPECT_EQ(layers.getLayerCount(), 1u) << "the second update returns false; removed at the next";
    layers.update();
    EXPECT_EQ(layers.getLayerCount(), 0u);
}

TEST_F(ItemMenuTest, TheRenameLayerHandsTheItemToTheScriptAndIsRefusedWithoutItsWindowModule) {
    auto drug = carry(CItem::kDrug, u"薬");
    auto layer = std::make_shared<Fenwarrow::SceneLayer::CRenameLayer>(context_, drug.get());
    ASSERT_TRUE(layer->setup());
    lua_State* L = layer->getScript()->getLuaState();
    lua_getglobal(L, "target");
    EXPECT_EQ(lua_touserdata(L, -1), drug.get());
    lua_pop(L, 1);

    auto untargeted = std::make_shared<Fenwarrow::SceneLayer::CRenameLayer>(context_, nullptr);
    ASSERT_TRUE(untargeted->setup());
    lua_getglobal(untargeted->getScript()->getLuaState(), "target");
    EXPECT_TRUE(lua_isnil(untargeted->getScript()->getLuaState(), -1)) << "setup without arguments";

    context_.game.factories.erase(Fenwarrow::ScriptModule::kGeneralWindow);
    auto refused = std::make_shared<Fenwarrow::SceneLayer::CRenameLayer>(context_, drug.get());
    EXPECT_FALSE(services_->layers.addLayer(refused));
    EXPECT_FALSE(refused->isAlive());
}

}  // namespace
}  // namespace MenuTest
