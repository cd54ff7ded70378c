// The menu stack, the root screen with its status panel, the message history and the give-up,
// driven by keys over a real floor.
#include <gtest/gtest.h>

#include "engine/system/OxWideFormat.h"
#include "game/menu/CLogMenu.h"
#include "game/menu/CReserveMenu.h"
#include "game/menu/CRootMenu.h"
#include "game/menu/CSimpleActionItemMenu.h"
#include "game/services/CSettingDataManager.h"
#include "tests/game/menu/MenuFixture.h"

namespace MenuTest {
namespace {

using Fenwarrow::Item::CItem;
using Fenwarrow::SceneLayer::CMenuBase;

class GameMenuTest : public MenuFixture {
protected:
    CMenuBase* menu(const char16_t* name) const { return menu_->findMenu(name); }
};

TEST_F(GameMenuTest, OpensTheRootOnlyOnAnEmptyStackAndRefusesUnknownNames) {
    EXPECT_FALSE(menu_->openMenu(u"OtherMenu", false)) << "a screen opens only from another one";
    ASSERT_TRUE(menu_->openRoot());
    EXPECT_FALSE(menu_->openRoot());
    EXPECT_FALSE(menu_->openMenu(u"NoSuchMenu", true));
    EXPECT_EQ(menu_->getCurrent(), menu(u"RootMenu"));
    EXPECT_TRUE(menu(u"RootMenu")->isOpen()) << "an unknown name changes nothing";
}

TEST_F(GameMenuTest, ARootReplacedByTheInventoryClosesTheWholeMenuOnBack) {
    ASSERT_TRUE(menu_->openRoot());
    press(kDecide);  // "持ち物"
    EXPECT_EQ(menu_->getCurrent(), menu(u"ItemMenu"));
    EXPECT_FALSE(menu(u"RootMenu")->isOpen());
    press(kCancel);
    EXPECT_TRUE(menu_->isStackEmpty());
    EXPECT_EQ(menu_->getCurrent(), nullptr);
    EXPECT_FALSE(menu(u"ItemMenu")->isOpen());
}

TEST_F(GameMenuTest, AScreenOpenedOnTopKeepsTheRootOpenAndTheRootResumesAfterIt) {
    ASSERT_TRUE(menu_->openRoot());
    pressAll({kUp, kDecide});  // "中断", the last entry
    EXPECT_EQ(menu_->getCurrent(), menu(u"ReserveMenu"));
    EXPECT_TRUE(menu(u"RootMenu")->isOpen()) << "still drawn below";
    press(kCancel);
    EXPECT_EQ(menu_->getCurrent(), menu(u"RootMenu"));
    EXPECT_TRUE(menu(u"RootMenu")->getWindow()->focused);
    press(kCancel);
    EXPECT_TRUE(menu_->isStackEmpty());
}

TEST_F(GameMenuTest, TheStatusPanelShowsEquipmentStrengthsFullnessStrengthAndExperience) {
    Fenwarrow::Actor::CActorStatus& status = player_->getStatus();
    status.setMaxHungerPoint(100.0f);
    status.setHungerPoint(87.9f);
    status.setMaxForce(8);
    status.setForce(6);
    status.setEXP(42);
    auto* root = static_cast<Fenwarrow::SceneLayer::CRootMenu*>(menu(u"RootMenu"));
    const std::u16string format =
        u"<0:POSX>武器の強さ<1:POSX>%d<2:POSX>満腹度<3:POSX>%d/%d\n"
        u"<0:POSX>防具の強さ<1:POSX>%d<2:POSX>ちから<3:POSX>%d/%d\n<2:POSX>経験値<3:POSX>%d";
    ASSERT_TRUE(menu_->openRoot());
    EXPECT_EQ(root->getStatusWindow()->text, Orvex::System::formatWide(format, 0, 87, 100, 0, 6, 8, 42))
        << "nothing equipped shows 0 for both strengths";
    menu_->back();

    auto weapon = carry(CItem::kWeapon, u"剣");
    weapon->getStatus().setAttack(7);
    auto shield = carry(CItem::kShield, u"盾");
    shield->getStatus().setDefense(5);
    player_->setEquippedWeaponItem(weapon.get());
    player_->setEquippedShieldItem(shield.get());
    ASSERT_TRUE(menu_->openRoot());
    EXPECT_EQ(root->getStatusWindow()->text, Orvex::System::formatWide(format, 7, 87, 100, 5, 6, 8, 42));
}

TEST_F(GameMenuTest, TheFeetEntryOpensTheItemLyingThereAndNothingOnAnEmptyCell) {
    ASSERT_TRUE(menu_->openRoot());
    pressAll({kDown, kDecide});  // "足元"
    EXPECT_EQ(menu_->getCurrent(), menu(u"RootMenu")) << "nothing at the feet: the root stays";

    auto herb = dropAt(kPlayerPoint, CItem::kDrug, u"草");
    press(kDecide);
    auto* feet = static_cast<Fenwarrow::SceneLayer::CSimpleActionItemMenu*>(menu(u"SimpleActionItemMenu"));
    ASSERT_EQ(menu_->getCurrent(), feet);
    EXPECT_EQ(feet->getCaption(), u"足元");
    ASSERT_EQ(feet->getItems().size(), 1u);
    EXPECT_EQ(feet->getItems()[0], herb);
    EXPECT_EQ(feet->getPages().size(), 1u);
    EXPECT_EQ(feet->getPages()[0]->title, u"足元");
    press(kCancel);
    EXPECT_TRUE(menu_->isStackEmpty()) << "the feet list replaced the root";
}

TEST_F(GameMenuTest, UnderTheMobblyConditionNeitherTheInventoryNorTheFeetOpen) {
    dropAt(kPlayerPoint, CItem::kDrug, u"草");
    conditions_.insert(Fenwarrow::SceneLayer::CRootMenu::kMobblyCondition);
    ASSERT_TRUE(menu_->openRoot());
    press(kDecide);  // "持ち物"
    EXPECT_EQ(menu_->getCurrent(), menu(u"RootMenu"));
    pressAll({kDown, kDecide});  // "足元"
    EXPECT_EQ(menu_->getCurrent(), menu(u"RootMenu"));
    pressAll({kDown, kDecide});  // "その他" still opens
    EXPECT_EQ(menu_->getCurrent(), menu(u"OtherMenu"));
}

// Lines "0" .. "n-1" in the floor's log.
void addLines(Fenwarrow::Dungeon::CDungeon& floor, int count) {
    for (int i = 0; i < count; ++i) {
        floor.getLogManager().addLogMessage(Orvex::System::formatWide(u"%d", i));
    }
}

std::u16string page(int first, int last) {
    std::u16string text;
    for (int i = first; i <= last; ++i) {
        text += Orvex::System::formatWide(u"%d\n", i);
    }
    return text;
}

TEST_F(GameMenuTest, TheHistoryShowsTenLinesAPageAndScrollsWithinTheLog) {
    addLines(*floor_, 25);
    ASSERT_TRUE(menu_->openRoot());
    pressAll({kDown, kDown, kDecide, kDecide});  // "その他", "履歴"
    auto* log = static_cast<Fenwarrow::SceneLayer::CLogMenu*>(menu(u"LogMenu"));
    ASSERT_EQ(menu_->getCurrent(), log);
    const std::u16string& text = log->getWindow()->text;
    EXPECT_EQ(text, page(15, 24)) << "opens on the newest line";
    press(kUp);
    EXPECT_EQ(text, page(14, 23));
    press(kLeft);
    EXPECT_EQ(text, page(4, 13));
    press(kLeft);
    EXPECT_EQ(text, page(0, 9)) << "the first full page is as far up as it goes";
    press(kUp);
    EXPECT_EQ(log->getScrollLine(), 9);
    press(kRight);
    press(kRight);
    press(kDown);
    EXPECT_EQ(text, page(15, 24)) << "the newest line is as far down as it goes";
    press(kCancel);
    EXPECT_TRUE(menu_->isStackEmpty()) << "the history replaced the other menu, which replaced the root";
}

TEST_F(GameMenuTest, AShortHistoryShowsEveryLineWhateverTheScrollKeys) {
    addLines(*floor_, 4);
    ASSERT_TRUE(menu_->openRoot());
    pressAll({kDown, kDown, kDecide, kDecide});
    const std::u16string& text = menu(u"LogMenu")->getWindow()->text;
    for (uint32_t key : {kUp, kLeft, kDown, kRight, kUp}) {
        press(key);
        EXPECT_EQ(text, page(0, 3)) << "after key " << key;
    }
}

TEST_F(GameMenuTest, GivingUpAsksFirstThenLeavesForTheResultWithNoMenuOpen) {
    floor_->getServices().getSettingDataManager()->getResultSetting().flags.fill(0);
    auto* reserve = static_cast<Fenwarrow::SceneLayer::CReserveMenu*>(menu(u"ReserveMenu"));
    ASSERT_TRUE(menu_->openRoot());
    pressAll({kUp, kDecide, kDecide});  // "中断", "断念する"
    ASSERT_TRUE(reserve->isConfirming());
    press(kCancel);
    EXPECT_FALSE(reserve->isConfirming()) << "cancel returns to the give-up entry";
    EXPECT_EQ(menu_->getCurrent(), reserve);
    pressAll({kDecide, kDown, kDecide});  // "断念する", "いいえ"
    EXPECT_FALSE(reserve->isConfirming());
    EXPECT_EQ(menu_->getCurrent(), reserve);
    EXPECT_TRUE(services_->sceneChanges.empty());

    pressAll({kDecide, kUp, kDecide});  // "断念する", "はい"
    EXPECT_TRUE(menu_->isStackEmpty());
    EXPECT_TRUE(floor_->isExiting());
    EXPECT_EQ(floor_->getRequestedScene(), 10);
    EXPECT_EQ(services_->sceneChanges, std::vector<int32_t>{10});
    EXPECT_EQ(floor_->getServices().getSettingDataManager()->getResultSetting().flags[Fenwarrow::kResultGaveUp], 1)
        << "the result scene shows the run as given up";
}

}  // namespace
}  // namespace MenuTest
