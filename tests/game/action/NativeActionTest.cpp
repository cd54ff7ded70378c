// The waits, removals, arrivals and level changes, on the small floor with enemies set up
// from folders in the test archive.
#include <gtest/gtest.h>

#include "game/action/CArrivalActorAction.h"
#include "game/action/CEnemyLevelUPAction.h"
#include "game/action/CRemoveItemAction.h"
#include "game/action/CTimerAction.h"
#include "game/gamedata/CGameDataManager.h"
#include "game/services/CScriptController.h"
#include "tests/game/action/FloorFixture.h"

namespace {

using Fenwarrow::Action::CArrivalActorAction;
using Fenwarrow::Action::CEnemyLevelUPAction;
using Fenwarrow::Action::CTimerAction;
using Fenwarrow::Dungeon::MapPoint;

const char* const kSetup = "function setActor(a) end function setup() end";
// The actor notes its arrival, so a test can see that "onArrival" reached the script.
const char* const kActor = R"(
Actor.Event = {}
function Actor.initialize(a) arrivals = 0 end
function Actor.Event.onArrival() arrivals = arrivals + 1 end
)";
// The flash of an arrival or a level change: runs three frames.
const char* const kFlash = R"(
Game.Action = {}
local frames = 0
function Game.Action.initialize(a) subject = a end
function Game.Action.updateAction(dt) frames = frames + 1 return frames < 3 end
)";

class NativeActions : public ActionTest::FloorFixture {
protected:
    void SetUp() override {
        FloorFixture::SetUp();
        std::vector<std::pair<std::u16string, std::string>> scripts = {
            {u"Actor/Enemy/SLM/SLM01/setup.lua", kSetup}, {u"Actor/Enemy/SLM/SLM01/actor.lua", kActor},
            {u"Actor/Enemy/SLM/SLM02/setup.lua", kSetup}, {u"Actor/Enemy/SLM/SLM02/actor.lua", kActor},
            {u"Actor/Player/HERO/setup.lua", kSetup},     {u"Actor/Player/HERO/actor.lua", kActor},
        };
        if (withFlashes()) {
            scripts.push_back({u"Script/Lib/Game/Action/Action/ArrivalActorAction.lua", kFlash});
            scripts.push_back({u"Script/Lib/Game/Action/Action/EnemyLevelUPAction.lua", kFlash});
        }
        packScripts(scripts);
    }
    virtual bool withFlashes() const { return true; }
    static int arrivals(const Fenwarrow::Actor::CActor& actor) {
        lua_State* L = actor.getScript() != nullptr ? actor.getScript()->getLuaState() : nullptr;
        if (L == nullptr) {
            return -1;
        }
        lua_getglobal(L, "arrivals");
        const int count = static_cast<int>(lua_tointeger(L, -1));
        lua_pop(L, 1);
        return count;
    }
    std::shared_ptr<Fenwarrow::Actor::CEnemy> setUpEnemy(const std::u16string& folder, MapPoint point) {
        auto enemy = std::make_shared<Fenwarrow::Actor::CEnemy>(context_.game);
        EXPECT_TRUE(enemy->setup(folder));
        floor_->addTurnParticipant(enemy);
        EXPECT_TRUE(floor_->putCellObject(enemy.get(), point, false));
        return enemy;
    }
};

TEST_F(NativeActions, ATimerCountsFrameTimeDown) {
    const struct {
        float seconds;
        int frames;
    } cases[] = {{0.0f, 1}, {0.5f, 2}, {0.6f, 3}};
    context_.frameTime = 0.25f;
    for (const auto& c : cases) {
        CTimerAction timer(context_, c.seconds);
        int frames = 0;
        while (timer.isActive() && frames < 10) {
            timer.update();
            ++frames;
        }
        EXPECT_EQ(frames, c.frames) << c.seconds;
    }
}

TEST_F(NativeActions, AnArrivalIsBuiltOnTheLoaderAndPlacedWhenItStarts) {
    auto arrival = std::make_shared<CArrivalActorAction>(context_, u"Actor/Enemy/SLM/SLM01/", MapPoint{5, 5});
    // Preparing touches nothing of the floor.
    arrival->prepare();
    ASSERT_NE(arrival->getActor(), nullptr);
    EXPECT_EQ(floor_->getTurnController().getParticipantCount(), 1u);
    EXPECT_EQ(arrival->getActor()->getCell(), nullptr);

    // The point is taken: the nearest free cell east of it.
    addEnemy({5, 5});
    auto visible = std::make_shared<CArrivalActorAction>(context_, u"Actor/Enemy/SLM/SLM01/", MapPoint{5, 5});
    manager_->pushAction(visible);
    ASSERT_TRUE(updateUntil([&] { return visible->getActor() != nullptr && visible->getActor()->getCell(); }));
    const auto& actor = visible->getActor();
    EXPECT_EQ(pointOf(*actor), (MapPoint{6, 5}));
    EXPECT_TRUE(floor_->getTurnController().contains(actor.get()));
    EXPECT_EQ(arrivals(*actor), 1);
    // In sight: hidden while its flash runs, shown when the action ends.
    ASSERT_NE(visible->getInnerAction(), nullptr);
    EXPECT_FALSE(actor->isVisible());
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(actor->isVisible());

    // Out of sight: placed and shown at once, no flash.
    auto unseen = std::make_shared<CArrivalActorAction>(context_, u"Actor/Enemy/SLM/SLM01/", MapPoint{30, 5});
    manager_->pushAction(unseen);
    ASSERT_TRUE(runUntilIdle());
    ASSERT_NE(unseen->getActor(), nullptr);
    EXPECT_EQ(pointOf(*unseen->getActor()), (MapPoint{30, 5}));
    EXPECT_EQ(unseen->getInnerAction(), nullptr);
    EXPECT_TRUE(unseen->getActor()->isVisible());
}

TEST_F(NativeActions, NoArrivalFromAMissingFolderOrWithoutRoom) {
    auto missing = std::make_shared<CArrivalActorAction>(context_, u"Actor/Enemy/NONE/NONE01/", MapPoint{5, 5});
    manager_->pushAction(missing);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(missing->getActor(), nullptr);

    // Inside the wall column, with walls all round within three steps: nowhere to stand.
    for (auto& cell : floor_->getMap().getCells()) {
        if (cell.x >= 17 && cell.x <= 23) {
            cell.cellType = Fenwarrow::Dungeon::kCellWall;
        }
    }
    auto walled = std::make_shared<CArrivalActorAction>(context_, u"Actor/Enemy/SLM/SLM01/", MapPoint{20, 5});
    manager_->pushAction(walled);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(walled->getActor(), nullptr);
    EXPECT_EQ(floor_->getTurnController().getParticipantCount(), 1u);
}

TEST_F(NativeActions, NoArrivalOnAFullFloor) {
    while (!floor_->isMaxActor()) {
        const auto count = static_cast<int32_t>(floor_->getTurnController().getParticipantCount());
        addEnemy({24 + count % 15, 1 + count / 15});
    }
    const std::size_t full = floor_->getTurnController().getParticipantCount();
    auto crowded = std::make_shared<CArrivalActorAction>(context_, u"Actor/Enemy/SLM/SLM01/", MapPoint{5, 8});
    manager_->pushAction(crowded);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(floor_->getTurnController().getParticipantCount(), full);
    EXPECT_EQ(floor_->getMap().getCell({5, 8})->objectCount, 0u);
}

TEST_F(NativeActions, VariantFolderOfAnEnemyKind) {
    EXPECT_EQ(CEnemyLevelUPAction::getVariantFolder(u"Actor/Enemy/SLM/SLM01/", 3), u"Actor/Enemy/SLM/SLM03/");
    EXPECT_EQ(CEnemyLevelUPAction::getVariantFolder(u"Actor\\Enemy\\BAT\\BAT02", 1), u"Actor/Enemy/BAT/BAT01/");
}

TEST_F(NativeActions, ALevelChangeSwapsInTheNearestVariantInPlace) {
    addEnemy({9, 9});
    auto old = setUpEnemy(u"Actor/Enemy/SLM/SLM01/", {5, 5});
    addEnemy({9, 10});
    old->getStatus().setDirection(6);
    old->setName(u"スライム");
    const std::size_t slot = floor_->getTurnController().indexOf(old.get());
    // Only variants 01 and 02 exist: level 3 gives the 02 variant.
    auto change = std::make_shared<CEnemyLevelUPAction>(context_, old.get(), 3);
    manager_->pushAction(change);
    ASSERT_TRUE(updateUntil([&] { return change->getNewActor() != nullptr && change->getNewActor()->getCell(); }));
    const auto& fresh = change->getNewActor();
    EXPECT_EQ(change->getLevel(), 2);
    EXPECT_EQ(fresh->getActorDirectory(), u"Actor/Enemy/SLM/SLM02/");
    EXPECT_EQ(pointOf(*fresh), (MapPoint{5, 5}));
    EXPECT_EQ(fresh->getStatus().getDirection(), 6);
    EXPECT_EQ(floor_->getTurnController().indexOf(fresh.get()), slot);
    EXPECT_FALSE(floor_->getTurnController().contains(old.get()));
    EXPECT_EQ(arrivals(*fresh), 1);
    EXPECT_EQ(context_.sounds, (std::vector<int32_t>{11}));
    ASSERT_GE(log().size(), 2u);
    EXPECT_EQ(log()[log().size() - 2], u"<0:COLOR>スライム</COLOR>はレベルが上がって");
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(fresh->isVisible());
}

TEST_F(NativeActions, NoLevelChangeToTheSameLevelOrOutOfRange) {
    auto old = setUpEnemy(u"Actor/Enemy/SLM/SLM01/", {5, 5});
    old->getStatus().setLevel(2);
    for (int32_t level : {3, 0, 4}) {
        auto change = std::make_shared<CEnemyLevelUPAction>(context_, old.get(), level);
        manager_->pushAction(change);
        ASSERT_TRUE(runUntilIdle()) << level;
        EXPECT_FALSE(change->isEnabled()) << level;
        EXPECT_EQ(change->getNewActor(), nullptr) << level;
        EXPECT_EQ(pointOf(*old), (MapPoint{5, 5})) << level;
    }
    EXPECT_TRUE(context_.sounds.empty());
}

// The flash script may be missing or shorter than the delay before the new actor shows: the
// new actor must not stay hidden.
class NativeActionsWithoutFlashes : public NativeActions {
protected:
    bool withFlashes() const override { return false; }
};

TEST_F(NativeActionsWithoutFlashes, ALevelChangeWithoutAFlashStillShowsTheNewActor) {
    auto old = setUpEnemy(u"Actor/Enemy/SLM/SLM02/", {5, 5});
    old->getStatus().setLevel(2);
    auto change = std::make_shared<CEnemyLevelUPAction>(context_, old.get(), 1);
    manager_->pushAction(change);
    ASSERT_TRUE(runUntilIdle());
    ASSERT_NE(change->getNewActor(), nullptr);
    EXPECT_EQ(pointOf(*change->getNewActor()), (MapPoint{5, 5}));
    EXPECT_TRUE(change->getNewActor()->isVisible());
}

TEST_F(NativeActions, RemovingAnItemKeepsTheRestEquipped) {
    Fenwarrow::CGameDataManager data(context_.game);
    const std::shared_ptr<Fenwarrow::Actor::CPlayer> hero = data.getPlayer();
    ASSERT_NE(hero, nullptr);
    auto carry = [&](int32_t type) {
        auto item = std::make_shared<Fenwarrow::Item::CItem>(context_.game, 100);
        item->setItemType(type);
        hero->addItem(item);
        return item;
    };
    auto potion = carry(Fenwarrow::Item::CItem::kDrug);
    auto sword = carry(Fenwarrow::Item::CItem::kWeapon);
    auto shield = carry(Fenwarrow::Item::CItem::kShield);
    auto ring = carry(Fenwarrow::Item::CItem::kAmulet);
    ASSERT_EQ(hero->setEquippedWeaponItem(sword.get()), 1);
    ASSERT_EQ(hero->setEquippedShieldItem(shield.get()), 2);
    ASSERT_EQ(hero->setEquippedAmuletItem(ring.get()), 3);

    // An item before them: their indexes move down with them.
    Fenwarrow::Action::CRemoveItemAction first(hero.get(), potion.get());
    first.update();
    EXPECT_FALSE(first.isActive());
    EXPECT_EQ(hero->findItem(potion.get()), -1);
    EXPECT_EQ(hero->getEquippedWeaponItem(), sword);
    EXPECT_EQ(hero->getEquippedShieldItem(), shield);
    EXPECT_EQ(hero->getEquippedAmuletItem(), ring);

    // The equipped weapon itself: its slot is free, not taken by the shield behind it.
    Fenwarrow::Action::CRemoveItemAction second(hero.get(), sword.get());
    second.update();
    EXPECT_EQ(hero->getEquippedWeaponItem(), nullptr);
    EXPECT_EQ(hero->getEquippedShieldItem(), shield);
    EXPECT_EQ(hero->getEquippedAmuletItem(), ring);
}

}  // namespace
